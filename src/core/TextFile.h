#pragma once

#include "TextChars.h"

#include <QString>
#include <QStringList>

#include <limits>
#include <optional>

// How much of a text file a window uses: at most `maxLines` lines, each cut to `maxLineBytes` bytes, and no
// more than `maxTotalBytes` bytes of kept text in all. The rest of a long line is skipped, not read into
// memory, so any file opens quickly with memory bounded by these numbers.
struct TextReadLimits
{
    int maxLines;
    qsizetype maxLineBytes;
    qsizetype maxTotalBytes;
};

// The readers keep 1000 lines of 80 characters; 80 characters take at most 320 bytes of UTF-8.
inline constexpr TextReadLimits kReaderTextLimits{1000, 1024, 1024 * 1024};
// The create-text box takes a text file whole, lines of any length, up to this much text (a long novel; more
// would slow every measuring of the box); its Format Text then keeps what the readers take.
inline constexpr qsizetype kCreateTextFileCap = 4 * 1024 * 1024;
inline constexpr TextReadLimits kCreateTextLimits{std::numeric_limits<int>::max(), kCreateTextFileCap,
                                                  kCreateTextFileCap};
// The tachistoscope's box re-wraps the text and uses its first 1000 display lines: a paragraph may be long,
// but never more than the box can show in 1000 lines.
inline constexpr TextReadLimits kWrappedTextLimits{1000, 256 * 1024, 1024 * 1024};

// Reads a text file as lines. Valid UTF-8 is taken as UTF-8, anything else as Windows-1252.
// A file that cannot be opened, or that is not text (it holds NUL bytes), gives nullopt. With `leftOut` the
// rest of a file the limits cut is read through too, to count the lines and words left out (a word cut in two
// counts as kept).
std::optional<QStringList> readTextFileLines(const QString &path,
                                             const TextReadLimits &limits = kReaderTextLimits,
                                             TextLeftOut *leftOut = nullptr);

// Splits text into lines at CR LF, LF or CR; a final line break does not start another line.
QStringList splitTextLines(const QString &text);

#pragma once

#include <QString>
#include <QStringList>

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
// The tachistoscope's box re-wraps the text and uses its first 1000 display lines: a paragraph may be long,
// but never more than the box can show in 1000 lines.
inline constexpr TextReadLimits kWrappedTextLimits{1000, 256 * 1024, 1024 * 1024};

// Reads a text file as lines. Valid UTF-8 is taken as UTF-8, anything else as Windows-1252.
// A file that cannot be opened, or that is not text (it holds NUL bytes), gives nullopt.
std::optional<QStringList> readTextFileLines(const QString &path, const TextReadLimits &limits = kReaderTextLimits);

// Splits text into lines at CR LF, LF or CR; a final line break does not start another line.
QStringList splitTextLines(const QString &text);

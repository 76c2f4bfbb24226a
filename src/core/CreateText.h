#pragma once

#include "MemoLines.h"
#include "TextChars.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Bringing a text within the paced readers' limits, saving it and handing it to a reader. Everything here
// works on the create-text box's displayed lines (see MemoLines), so the window only wraps, calls and shows
// messages.

inline constexpr int kReaderMaxLines = 1000;
inline constexpr int kReaderMaxLineLength = 80;
inline constexpr int kCreateTextMinFormatLines = 5;
inline constexpr char kTransferFileName[] = "temp.txt";

// What the Number of Lines and Width of Lines boxes show: all lines counted, the longest of the first 1000.
struct TextMeasure
{
    int lineCount = 0;
    int longestLine = 0;

    bool tooLong() const { return lineCount > kReaderMaxLines; }
    bool tooWide() const { return longestLine > kReaderMaxLineLength; }
};

TextMeasure measureLines(const QStringList &lines);

// Shown before the window narrows itself until every line fits in 80 characters.
QString autoResizeMessage();
// Format Text with fewer than five lines.
QString tooFewLinesMessage();
bool canFormat(int lineCount);

// Format Text: reflow into paragraphs, then indent each by `indent` spaces (0..5). Between the two, `fitBox`
// may put the reflowed text in the box, narrow it until the lines fit, and give back its lines; past 1000 of
// them the rest goes again. Gives what was left out past the first 1000 lines.
TextLeftOut formatCreateText(MemoLines &memo, int indent,
                             const std::function<void(MemoLines &)> &fitBox = nullptr);

// The lines as a file holds them: each cut to 80 characters, then up to three trailing blanks removed.
QStringList fileLines(const QStringList &lines);
// UTF-8 (the readers take it; plain ASCII stays byte for byte what it was), a CR LF after every line.
QByteArray encodeFileLines(const QStringList &lines);
// Writes fileLines(lines) whole or not at all; where the folder allows no temporary file the file is written
// in place. False when the file could not be made or written.
bool writeLinesFile(const QString &path, const QStringList &lines);

// Save to File, before the save dialog: the refusal to show, or nullopt when the text may be saved.
std::optional<QString> saveRefusal(const QStringList &lines);
// Save to File, after the dialog: nullopt when saved, else the message naming the file.
std::optional<QString> saveCreateTextFile(const QString &path, const QStringList &lines);
// The window's caption once `fileName` holds its text.
QString savedCaption(const QString &fileName);

struct TransferResult
{
    bool sent = false;
    // Empty when sent.
    QString message;
    // The refusals ask for Format Text: the panel blinks its caption.
    bool blinkFormatText = false;
};

// Send Text To: checks the limits and writes the transfer file at `path` (temp.txt in the program's folder).
TransferResult transferCreateText(const QString &path, const QStringList &lines);

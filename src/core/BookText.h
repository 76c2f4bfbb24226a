#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A text as every reader takes it, whatever file it came from: lines of at most 80 characters, with where
// its paragraphs and chapters begin, divided into parts a reader can take whole.

inline constexpr int kReaderLineWidth = 80;

// One line cut at word boundaries into lines of at most `width` characters (the spaces at a break go; a
// word longer than a line is cut). A line within the width comes back exactly as it was.
QStringList wrapReaderLine(const QString &line, int width = kReaderLineWidth);

struct ReaderLines
{
    QStringList lines;
    QList<int> paragraphStarts; // lines that begin a paragraph, ascending
    QList<int> chapterStarts;   // lines that begin a chapter, ascending
};

// The lines of a text file: a long line wrapped, every other line as it is. A paragraph begins at the first
// line with text, after a blank line, and at an indented line.
ReaderLines readerLinesFromFile(const QStringList &fileLines);
// Paragraphs of a document, each wrapped, a blank line between two; `chapterParagraphs` name the paragraphs
// that begin chapters.
ReaderLines readerLinesFromParagraphs(const QStringList &paragraphs,
                                      const QList<int> &chapterParagraphs = {});

struct TextPart
{
    int first = 0;
    int count = 0;
};

// How much of a reader's room a line takes: 1 for a paced reader, the lines it wraps into for a text box.
using LineCost = std::function<int(const QString &line)>;

// Divides the text into parts that each take at most `budget`, cut where a paragraph begins; a chapter that
// begins in the last quarter of a part ends the part there. A paragraph too long for a part is cut at a line.
// The parts follow one another and join back to the whole text; an empty text is one empty part.
QList<TextPart> splitIntoParts(const ReaderLines &text, const LineCost &cost, int budget);

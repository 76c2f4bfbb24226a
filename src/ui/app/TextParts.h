#pragma once

#include "AppValues.h"
#include "BookText.h"

#include <QString>
#include <QStringList>

class AppState;

// What a reader holds of a text opened from a file: its lines, divided into the parts the reader takes, and
// which part is shown. A book (a text of more than one part) keeps, per reader, the part and line where the
// user stopped, and offers to go on there when it is opened again; a story or any short text is one part and
// reads as it always did.
class TextParts
{
public:
    TextParts(AppState &state, Mode reader);

    // Opens `path` (shown to the user as `shownName`, its opening cut to 110 characters where `cutName`),
    // divided by `cost` within `budget`. The error box and false when it cannot be read.
    bool open(const QString &path, const QString &shownName, bool cutName, const LineCost &cost, int budget);

    // No file's text any more (the text came from the clipboard).
    void clear();
    // The shown part's lines.
    QStringList lines() const;
    // Where the reading starts in the shown part (1 at its top).
    int startLine() const { return m_startLine; }
    int part() const { return m_part + 1; }
    int parts() const { return static_cast<int>(m_parts.size()); }
    bool isBook() const { return m_parts.size() > 1; }
    // "Part 2 of 5"; empty for a text of one part.
    QString partCaption() const;

    // After a part's end: offers the next part of a book; true when the user took it (it is then shown).
    bool offerNextPart();
    // Keeps where the reader stopped in a book: `line` of the shown part (1-based).
    void keepPlace(int line);
    // The shown part was read to its end: the book goes on at the next part (or, read whole, at its top).
    void partRead();

private:
    void show(int part, int line);
    void remember(int part, int line);

    AppState &m_state;
    Mode m_reader;
    QString m_path;
    QString m_hash;
    QString m_title;
    ReaderLines m_text;
    QList<TextPart> m_parts;
    int m_part = 0;
    int m_startLine = 1;
};

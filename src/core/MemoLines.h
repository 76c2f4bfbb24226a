#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Cuts one paragraph (a hard line) into the lines a word-wrapping text box displays. The pieces must join
// back to the paragraph, trailing spaces included; an empty paragraph gives one empty line.
using WrapFunction = std::function<QStringList(const QString &paragraph)>;

// The text of a word-wrapping text box, addressed by its displayed lines the way the box's own line list
// is: deleting or replacing a displayed line edits the text underneath and re-wraps that paragraph.
class MemoLines
{
public:
    explicit MemoLines(WrapFunction wrap);

    void setText(const QString &text);
    // Paragraphs joined by line ends.
    QString text() const;

    int lineCount() const { return static_cast<int>(m_index.size()); }
    // An index outside the lines gives an empty line, as the box's own list does.
    QString line(int i) const;
    QStringList lines() const;
    // True for the last displayed line of a paragraph (a line the user ended, or the text's last line).
    bool endsParagraph(int i) const;

    // Removes the displayed line's characters; the last line of a paragraph takes its line end with it.
    void deleteLine(int i);
    // Replaces the displayed line's characters, keeping its line end.
    void setLine(int i, const QString &text);

private:
    struct Paragraph
    {
        QString text;
        QStringList lines;
    };
    struct Where
    {
        int paragraph;
        int line;
        int offset;
    };
    void wrapParagraph(Paragraph &p) const;
    void reindex();

    WrapFunction m_wrap;
    std::vector<Paragraph> m_paragraphs;
    std::vector<Where> m_index;
};

// Wraps at word boundaries to at most `width` characters a line (spaces hang at the line end); a word longer
// than a line is cut. Stands in for a box's pixel wrap where no fonts are at hand.
QStringList wrapAtCharacters(const QString &paragraph, int width);

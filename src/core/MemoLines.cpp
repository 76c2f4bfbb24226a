#include "MemoLines.h"

MemoLines::MemoLines(WrapFunction wrap) : m_wrap(std::move(wrap))
{
    setText(QString());
}

void MemoLines::setText(const QString &text)
{
    m_paragraphs.clear();
    for (const QString &p : text.split(QLatin1Char('\n'))) {
        Paragraph para{p, {}};
        wrapParagraph(para);
        m_paragraphs.push_back(std::move(para));
    }
    reindex();
}

QString MemoLines::text() const
{
    QStringList parts;
    parts.reserve(static_cast<qsizetype>(m_paragraphs.size()));
    for (const Paragraph &p : m_paragraphs)
        parts.append(p.text);
    return parts.join(QLatin1Char('\n'));
}

QString MemoLines::line(int i) const
{
    if (i < 0 || i >= lineCount())
        return QString();
    const Where &w = m_index[static_cast<std::size_t>(i)];
    return m_paragraphs[static_cast<std::size_t>(w.paragraph)].lines.at(w.line);
}

QStringList MemoLines::lines() const
{
    QStringList out;
    out.reserve(lineCount());
    for (const Paragraph &p : m_paragraphs)
        out.append(p.lines);
    return out;
}

bool MemoLines::endsParagraph(int i) const
{
    if (i < 0 || i >= lineCount())
        return false;
    const Where &w = m_index[static_cast<std::size_t>(i)];
    return w.line == m_paragraphs[static_cast<std::size_t>(w.paragraph)].lines.size() - 1;
}

void MemoLines::deleteLine(int i)
{
    if (i < 0 || i >= lineCount())
        return;
    const Where w = m_index[static_cast<std::size_t>(i)];
    const auto pi = static_cast<std::size_t>(w.paragraph);
    Paragraph &p = m_paragraphs[pi];
    p.text.remove(w.offset, p.lines.at(w.line).size());
    const bool lastOfParagraph = w.line == p.lines.size() - 1;
    if (lastOfParagraph && pi + 1 < m_paragraphs.size()) {
        p.text += m_paragraphs[pi + 1].text;
        m_paragraphs.erase(m_paragraphs.begin() + static_cast<std::ptrdiff_t>(pi + 1));
    }
    wrapParagraph(p);
    reindex();
}

void MemoLines::setLine(int i, const QString &text)
{
    if (i < 0 || i >= lineCount())
        return;
    const Where w = m_index[static_cast<std::size_t>(i)];
    Paragraph &p = m_paragraphs[static_cast<std::size_t>(w.paragraph)];
    p.text.replace(w.offset, p.lines.at(w.line).size(), text);
    wrapParagraph(p);
    reindex();
}

void MemoLines::wrapParagraph(Paragraph &p) const
{
    p.lines = p.text.isEmpty() ? QStringList{QString()} : m_wrap(p.text);
    if (p.lines.isEmpty())
        p.lines.append(QString());
}

void MemoLines::reindex()
{
    m_index.clear();
    for (std::size_t pi = 0; pi < m_paragraphs.size(); ++pi) {
        int offset = 0;
        const QStringList &lines = m_paragraphs[pi].lines;
        for (int li = 0; li < lines.size(); ++li) {
            m_index.push_back(Where{static_cast<int>(pi), li, offset});
            offset += static_cast<int>(lines.at(li).size());
        }
    }
}

QStringList wrapAtCharacters(const QString &paragraph, int width)
{
    QStringList out;
    const qsizetype n = paragraph.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        qsizetype lastBreak = -1;
        // Take characters while they fit; spaces always fit (they hang at the line end).
        while (end < n && (end - start < width || paragraph.at(end) == u' ')) {
            if (paragraph.at(end) == u' ')
                lastBreak = end + 1;
            ++end;
        }
        if (end < n && paragraph.at(end) != u' ' && lastBreak > start && lastBreak < end)
            end = lastBreak;
        // A word cut in two keeps a surrogate pair whole.
        if (end < n && paragraph.at(end).isLowSurrogate() && end > start)
            ++end;
        while (end < n && paragraph.at(end) == u' ')
            ++end;
        out.append(paragraph.mid(start, end - start));
        start = end;
    }
    if (out.isEmpty())
        out.append(QString());
    return out;
}

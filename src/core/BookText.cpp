#include "BookText.h"

#include "TextChars.h"

#include <algorithm>

namespace {

bool isBlank(const QString &line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.isSpace(); });
}

} // namespace

QStringList wrapReaderLine(const QString &line, int width)
{
    QStringList out;
    const QStringView all(line);
    qsizetype from = 0;
    for (;;) {
        const QStringView rest = all.mid(from);
        // Only the first width + 1 characters decide a cut: a long paragraph costs no more per line.
        const std::vector<qsizetype> at = charOffsets(rest.left(2 * (qsizetype(width) + 1)));
        if (at.size() <= static_cast<std::size_t>(width) + 1) // the rest fits (the offsets end one past it)
            break;
        // The last space at or before the width breaks the line, unless the text before it is all space.
        const auto text = std::find_if(rest.begin(), rest.end(), [](QChar c) { return !c.isSpace(); });
        const qsizetype firstText = text - rest.begin();
        qsizetype cut = -1;
        for (int c = width; c > 0 && cut < 0; --c) {
            const qsizetype offset = at[static_cast<std::size_t>(c)];
            if (rest.at(offset) == u' ' && firstText < offset)
                cut = offset;
        }
        if (cut < 0) {
            // A word longer than a line.
            const qsizetype end = at[static_cast<std::size_t>(width)];
            out.append(rest.left(end).toString());
            from += end;
            continue;
        }
        qsizetype headEnd = cut;
        while (headEnd > 0 && rest.at(headEnd - 1) == u' ')
            --headEnd;
        out.append(rest.left(headEnd).toString());
        qsizetype next = cut;
        while (next < rest.size() && rest.at(next) == u' ')
            ++next;
        from += next;
    }
    const QStringView rest = all.mid(from);
    if (!rest.isEmpty() || out.isEmpty())
        out.append(rest.toString());
    return out;
}

ReaderLines readerLinesFromFile(const QStringList &fileLines)
{
    ReaderLines out;
    bool afterBlank = true;
    for (const QString &fileLine : fileLines) {
        const bool blank = isBlank(fileLine);
        if (!blank && (afterBlank || fileLine.startsWith(u' ') || fileLine.startsWith(u'\t')))
            out.paragraphStarts.append(static_cast<int>(out.lines.size()));
        afterBlank = blank;
        out.lines += wrapReaderLine(fileLine);
    }
    return out;
}

ReaderLines readerLinesFromParagraphs(const QStringList &paragraphs, const QList<int> &chapterParagraphs)
{
    ReaderLines out;
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        if (p > 0)
            out.lines.append(QString());
        const int first = static_cast<int>(out.lines.size());
        out.paragraphStarts.append(first);
        if (chapterParagraphs.contains(static_cast<int>(p)))
            out.chapterStarts.append(first);
        out.lines += wrapReaderLine(paragraphs.at(p).simplified());
    }
    return out;
}

QList<TextPart> splitIntoParts(const ReaderLines &text, const LineCost &cost, int budget)
{
    const int n = static_cast<int>(text.lines.size());
    QList<TextPart> parts;
    int start = 0;
    while (start < n || parts.isEmpty()) {
        // The furthest the part can reach, and how much it has taken at each line.
        int end = start;
        int taken = 0;
        QList<int> takenBefore; // room taken by the lines before line start + i
        while (end < n) {
            const int c = std::max(1, cost(text.lines.at(end)));
            if (taken + c > budget && end > start)
                break;
            takenBefore.append(taken);
            taken += c;
            ++end;
        }
        int cut = end;
        if (end < n) {
            const auto lastBefore = [&](const QList<int> &starts, int minTaken) {
                int best = -1;
                for (int s : starts) {
                    if (s > start && s <= end && (s == end ? taken : takenBefore.at(s - start)) >= minTaken)
                        best = s;
                }
                return best;
            };
            const int chapter = lastBefore(text.chapterStarts, budget - budget / 4);
            const int paragraph = lastBefore(text.paragraphStarts, 0);
            cut = chapter >= 0 ? chapter : paragraph >= 0 ? paragraph : end;
        }
        parts.append(TextPart{start, cut - start});
        start = cut;
        if (n == 0)
            break;
    }
    return parts;
}

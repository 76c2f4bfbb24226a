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
    QString rest = line;
    while (charCount(rest) > width) {
        const std::vector<qsizetype> at = charOffsets(rest);
        // The last space at or before the width breaks the line, unless the text before it is all space.
        qsizetype cut = -1;
        for (int c = width; c > 0 && cut < 0; --c) {
            if (rest.at(at[static_cast<std::size_t>(c)]) == u' ' &&
                !isBlank(rest.left(at[static_cast<std::size_t>(c)])))
                cut = at[static_cast<std::size_t>(c)];
        }
        if (cut < 0) {
            // A word longer than a line.
            const qsizetype end = at[static_cast<std::size_t>(width)];
            out.append(rest.left(end));
            rest = rest.mid(end);
            continue;
        }
        QString head = rest.left(cut);
        while (head.endsWith(u' '))
            head.chop(1);
        out.append(head);
        qsizetype next = cut;
        while (next < rest.size() && rest.at(next) == u' ')
            ++next;
        rest = rest.mid(next);
    }
    if (!rest.isEmpty() || out.isEmpty())
        out.append(rest);
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

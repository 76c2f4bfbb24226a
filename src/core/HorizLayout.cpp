#include "HorizLayout.h"

#include "TextChars.h"

#include <algorithm>

namespace {

constexpr int kSplitReach = 22;
constexpr int kLongWordDistance = 10;

bool fixationPasses(int k, int j, const QString &f, bool exact)
{
    switch (k) {
    case 5:
        return j == 1 ? f.size() >= 6 : !f.isEmpty();
    case 3:
        return !f.isEmpty() && !(j == 1 && exact && f.size() < 5);
    default:
        return !f.isEmpty();
    }
}

// One attempt with k fixations; nullopt when a test fails or a split cannot be found, so the caller falls
// back to fewer fixations. A missing split is treated like an empty fixation: the line is never left undrawn.
std::optional<QStringList> tryCut(const QString &s, int k, bool &longWord)
{
    const int n = charCount(s);
    const int step = n / k;
    QStringList pieces;
    int prev = 0;
    for (int j = 1; j < k; ++j) {
        const auto split = SplitTarget(s, j * step, longWord);
        if (!split)
            return std::nullopt;
        const int p = split->position;
        const QString f = p > prev ? midChars(s, prev, p - prev - 1) : QString();
        if (!fixationPasses(k, j, f, split->exact))
            return std::nullopt;
        pieces.append(f);
        prev = p;
    }
    const QString last = midChars(s, prev);
    if (k == 2 && last.isEmpty())
        return std::nullopt;
    pieces.append(last);
    return pieces;
}

bool allSpaces(const QString &s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c == u' '; });
}

} // namespace

std::optional<HorizStyle> unreadStyleFor(int mode)
{
    switch (mode) {
    case 1:
        return HorizStyle::Invisible;
    case 2:
        return HorizStyle::SeeThrough;
    case 3:
        return HorizStyle::Covered;
    default:
        return std::nullopt;
    }
}

std::optional<HorizStyle> readStyleFor(int mode)
{
    switch (mode) {
    case 1:
        return HorizStyle::Invisible;
    case 2:
        return HorizStyle::Visible;
    case 3:
        return HorizStyle::SeeThrough;
    case 4:
        return HorizStyle::Covered;
    default:
        return std::nullopt;
    }
}

std::optional<HorizSplit> SplitTarget(const QString &s, int t, bool &longWord)
{
    // Positions count characters, so a pair of surrogates is one position and never a split.
    const std::vector<qsizetype> at = charOffsets(s);
    const int n = static_cast<int>(at.size()) - 1;
    auto isSpace = [&](int p) { return s.at(at[static_cast<std::size_t>(p - 1)]) == u' '; };
    if (t >= 1 && t <= n && isSpace(t))
        return HorizSplit{t, true};
    for (int d = 1; d <= kSplitReach; ++d) {
        if (t - d < 1 || t + d > n)
            return std::nullopt;
        if (isSpace(t - d))
            return HorizSplit{t - d, false};
        if (isSpace(t + d))
            return HorizSplit{t + d, false};
        if (d >= kLongWordDistance)
            longWord = true;
    }
    return std::nullopt;
}

QStringList cutHorizLine(const QString &s, int fixations, bool &longWord)
{
    const int n = charCount(s);
    for (int k = std::clamp(fixations, 1, kHorizMaxFixations); k >= 2; --k) {
        if ((k == 5 && n < 32) || (k == 4 && n < 31))
            continue;
        if (auto pieces = tryCut(s, k, longWord))
            return *pieces;
    }
    return {s};
}

QString normaliseHorizLine(const QString &fileLine)
{
    QString s = leftChars(fileLine, kHorizLineCapacity);
    if (!s.isEmpty() && !s.contains(u' '))
        s = leftChars(s + AsteriskPad, kHorizLineCapacity);
    if (s.startsWith(u' ') && s.mid(1, 2) != QLatin1String("  "))
        s.remove(0, 1);
    return s;
}

bool isBlankHorizLine(const QString &line)
{
    return line.size() <= 7 && allSpaces(line);
}

QString withoutPad(QString text)
{
    const qsizetype at = text.indexOf(QLatin1String("**********"));
    if (at >= 0)
        text.remove(at, 10);
    return text;
}

QString padFree(const QString &line)
{
    const qsizetype space = line.indexOf(u' ');
    if (space <= 0 || line.size() - space - 1 > 10)
        return line;
    for (qsizetype i = space + 1; i < line.size(); ++i) {
        if (line.at(i) != u'*')
            return line;
    }
    return line.left(space);
}

bool isPadForm(const QString &cell)
{
    return cell == QLatin1String("********** ") || cell == QLatin1String("**********") ||
           cell == QLatin1String(" ********** ") || cell == AsteriskPad;
}

HorizText LayoutHorizontalText(const QStringList &fileLines, int fixations)
{
    HorizText out;
    out.fixations = std::clamp(fixations, 1, kHorizMaxFixations);
    const qsizetype count = std::min<qsizetype>(fileLines.size(), kHorizMaxLines);
    for (qsizetype i = 0; i < count; ++i) {
        const QString s = normaliseHorizLine(fileLines.at(i));
        out.TextLines.append(s);
        FixationRow row;
        if (isBlankHorizLine(s)) {
            row.fill(QStringLiteral(" "));
            out.pieces.emplace_back();
        } else {
            QStringList pieces = cutHorizLine(s, out.fixations, out.longWords);
            // A line shown whole never shows its pad.
            if (pieces.size() == 1)
                pieces.front() = padFree(s);
            for (qsizetype j = 0; j < pieces.size(); ++j)
                row[static_cast<std::size_t>(j)] = leftChars(pieces.at(j), kFixationCellCapacity);
            out.pieces.push_back(std::move(pieces));
        }
        out.FixationCells.push_back(row);
    }
    out.LineCount = static_cast<int>(out.TextLines.size());
    // The last line is never counted.
    for (int i = 0; i + 1 < out.LineCount; ++i)
        out.WordCount += static_cast<double>(charCount(out.TextLines.at(i)) / 5);
    out.TotalFixations = out.fixations * out.LineCount;
    return out;
}

std::vector<HorizDraw> drawHorizontalPage(const HorizText &text, int unreadMode, const HorizMetrics &metrics)
{
    std::vector<HorizDraw> out;
    const int h = metrics.lineHeight;
    const int space = metrics.width(QStringLiteral(" "));
    HorizStyle style = HorizStyle::Visible;
    auto unread = [&] { style = unreadStyleFor(unreadMode).value_or(style); };
    auto put = [&](const QString &s, int x, int y) {
        out.push_back(HorizDraw{HorizDraw::Kind::Text, s, x, y, style, HorizWeight::Font, 0});
    };
    int penY = h;
    for (int i = 0; i < text.LineCount; ++i, penY += h) {
        const QStringList &pieces = text.pieces[static_cast<std::size_t>(i)];
        if (pieces.isEmpty())
            continue;
        int penX = kHorizMargin;
        if (pieces.size() == 1) {
            unread();
            put(pieces.front(), penX, penY);
        } else {
            for (qsizetype j = 0; j < pieces.size(); ++j) {
                const bool last = j + 1 == pieces.size();
                const QString &f = pieces.at(j);
                if (last && pieces.size() == 2 &&
                    (f == QLatin1String("********** ") || f == QLatin1String("**********")))
                    style = HorizStyle::Invisible;
                else
                    unread();
                put(f, penX, penY);
                penX += metrics.width(f);
                if (!last) {
                    style = HorizStyle::Invisible;
                    put(QStringLiteral(" "), penX, penY);
                    penX += space;
                }
            }
        }
        out.push_back(HorizDraw{HorizDraw::Kind::TopEdge, QString(), kHorizMargin, penY,
                                HorizStyle::Invisible, HorizWeight::Font,
                                metrics.width(text.TextLines.at(i))});
    }
    return out;
}

int horizPageHeight(int lineCount, int lineHeight, int clientHeight)
{
    return std::max(kHorizMinPageHeight, (lineCount + 4) * lineHeight + std::max(clientHeight, 0));
}

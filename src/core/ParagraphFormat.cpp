#include "ParagraphFormat.h"

#include "TextChars.h"

#include <algorithm>

namespace {

int cappedCount(const MemoLines &memo)
{
    return std::min(memo.lineCount(), kFormatMaxLines);
}

// The displayed lines of one paragraph run together as the paragraph's own text, so a word the box broke
// across lines comes back whole; a paragraph's end gets a blank, so it never runs into the next one. A run of
// empty lines becomes one break.
QString joinParagraphs(const MemoLines &memo, int n)
{
    QString text;
    for (int i = 0; i < n; ++i) {
        // Pasted or typed text gets the rule loaded files get: a tab is a space.
        const QString line = QString(memo.line(i)).replace(u'\t', u' ');
        if (!line.isEmpty()) {
            text += line;
            if (memo.endsParagraph(i) || i + 1 == n)
                text += QLatin1Char(' ');
        } else if (i + 1 < n && !memo.line(i + 1).isEmpty()) {
            text += QStringLiteral("\n\n");
        }
    }
    return text;
}

// The lines from `n` on, which the clean-up drops, and the words that begin on them.
TextLeftOut linesPast(const MemoLines &memo, int n)
{
    const auto withEnd = [&memo](int i) {
        return memo.endsParagraph(i) ? memo.line(i) + u'\n' : memo.line(i);
    };
    // The line before counts along, so that a word the box broke there counts as kept.
    const QString before = n > 0 ? withEnd(n - 1) : QString();
    QString rest = before;
    TextLeftOut out;
    for (int i = n; i < memo.lineCount(); ++i, ++out.lines)
        rest += withEnd(i);
    out.words = wordCount(rest) - wordCount(before);
    return out;
}

// Deletes the lines `drop` picks, scanning indexes 1 .. n - 1 of the count taken before the scan; after a
// deletion the scan goes on with the next index, so the line that moved up is not looked at. A line that
// moved up into the scanned range is looked at, the last line of the text included.
template <typename Pred> void deleteWhileScanning(MemoLines &memo, Pred drop)
{
    const int n = cappedCount(memo);
    for (int i = 0; i < n - 1 && i < memo.lineCount(); ++i) {
        if (drop(i))
            memo.deleteLine(i);
    }
}

} // namespace

TextLeftOut reflowParagraphs(MemoLines &memo, StarRuns stars)
{
    int n = cappedCount(memo);
    for (int deleted = 0; deleted < n - 1 && memo.lineCount() > 1 && memo.line(0).isEmpty(); ++deleted)
        memo.deleteLine(0);

    n = cappedCount(memo);
    const TextLeftOut leftOut = linesPast(memo, n);
    QString text = joinParagraphs(memo, n);
    if (stars == StarRuns::Drop)
        text.remove(QStringLiteral("****"));
    while (text.contains(QStringLiteral("  ")))
        text.replace(QStringLiteral("  "), QStringLiteral(" "));
    memo.setText(text);

    deleteWhileScanning(memo, [&memo](int i) { return memo.line(i) == QStringLiteral(" "); });
    // Only this step needs a line after the one it looks at.
    for (int pass = 0; pass < 2; ++pass)
        deleteWhileScanning(memo, [&memo](int i) {
            return i + 1 < memo.lineCount() && memo.line(i).isEmpty() && memo.line(i + 1).isEmpty();
        });
    return leftOut;
}

void indentParagraphs(MemoLines &memo, int indent)
{
    if (indent < 0 || indent > kMaxParagraphIndent)
        return;
    auto indentLine = [&memo, indent](int i) {
        QString line = memo.line(i);
        if (indent == 0) {
            if (line.startsWith(QLatin1Char(' ')))
                line.remove(0, 1);
        } else {
            line.prepend(QString(indent, QLatin1Char(' ')));
        }
        memo.setLine(i, line);
    };
    // A text of one line is a paragraph too.
    if (memo.lineCount() > 0)
        indentLine(0);
    // The count is taken afresh: an indent that wraps a paragraph onto one more line moves the later ones
    // down.
    for (int i = 0; i + 1 < cappedCount(memo); ++i) {
        if (memo.line(i).isEmpty())
            indentLine(i + 1);
    }
}

QString formatLeftOutMessage(const TextLeftOut &leftOut, qint64 keptLines, qint64 keptWords)
{
    return QStringLiteral(
               "Format Text keeps the first %1 lines of a text, the most the readers take. Kept: %2, "
               "%3. Left out: %4, %5.")
        .arg(kFormatMaxLines)
        .arg(countOf(keptLines, "line"), countOf(keptWords, "word"), countOf(leftOut.lines, "line"),
             countOf(leftOut.words, "word"));
}

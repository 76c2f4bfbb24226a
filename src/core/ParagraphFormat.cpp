#include "ParagraphFormat.h"

#include "TextChars.h"

#include <algorithm>

namespace {

int cappedCount(const MemoLines &memo)
{
    return std::min(memo.lineCount(), kFormatMaxLines);
}

QString joinParagraphs(const MemoLines &memo)
{
    const int n = cappedCount(memo);
    QStringList taken;
    taken.reserve(n);
    for (int i = 0; i < n; ++i) {
        // Pasted or typed text gets the rule loaded files get: a tab is a space.
        QString line = leftChars(QString(memo.line(i)).replace(u'\t', u' '), kFormatLineCut);
        if (!line.isEmpty() && charCount(line) < kFormatLineCut)
            line += QLatin1Char(' ');
        taken.append(line);
    }
    // A paragraph's lines run together (they carry their own spaces); a run of empty lines becomes one break.
    QString text;
    for (int i = 0; i < n; ++i) {
        if (!taken.at(i).isEmpty())
            text += taken.at(i);
        else if (i + 1 < n && !taken.at(i + 1).isEmpty())
            text += QStringLiteral("\n\n");
    }
    return text;
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

void reflowParagraphs(MemoLines &memo, StarRuns stars)
{
    const int n = cappedCount(memo);
    for (int deleted = 0; deleted < n - 1 && memo.lineCount() > 1 && memo.line(0).isEmpty(); ++deleted)
        memo.deleteLine(0);

    QString text = joinParagraphs(memo);
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
}

void indentParagraphs(MemoLines &memo, int indent)
{
    if (indent < 0 || indent > kMaxParagraphIndent)
        return;
    auto indentLine = [&memo, indent](int i) {
        QString line = memo.line(i);
        if (indent == 0) {
            line = leftChars(line, kFormatLineCut);
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

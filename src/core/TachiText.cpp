#include "TachiText.h"

#include "TextChars.h"

#include <algorithm>

namespace {

int cappedCount(const MemoLines &memo)
{
    return std::min(memo.lineCount(), kTachiMaxLines);
}

QString joinParagraphs(const MemoLines &memo)
{
    const int n = cappedCount(memo);
    QStringList taken;
    taken.reserve(n);
    for (int i = 0; i < n; ++i) {
        // Pasted or typed text gets the rule loaded files get: a tab is a space.
        QString line = leftChars(QString(memo.line(i)).replace(u'\t', u' '), kTachiLineCut);
        if (!line.isEmpty() && charCount(line) < kTachiLineCut)
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

void reflowTachiText(MemoLines &memo)
{
    const int n = cappedCount(memo);
    for (int deleted = 0; deleted < n - 1 && memo.lineCount() > 1 && memo.line(0).isEmpty(); ++deleted)
        memo.deleteLine(0);

    QString text = joinParagraphs(memo);
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

void indentTachiText(MemoLines &memo, int indent)
{
    auto indentLine = [&memo, indent](int i) {
        QString line = memo.line(i);
        if (indent == 0) {
            line = leftChars(line, kTachiLineCut);
            if (line.startsWith(QLatin1Char(' ')))
                line.remove(0, 1);
        } else {
            line.prepend(QString(indent, QLatin1Char(' ')));
        }
        memo.setLine(i, line);
    };
    if (memo.lineCount() > 0)
        indentLine(0);
    // The count is taken afresh: an indent that wraps a paragraph onto one more line moves the later ones
    // down.
    for (int i = 0; i + 1 < cappedCount(memo); ++i) {
        if (memo.line(i).isEmpty())
            indentLine(i + 1);
    }
}

double tachiTextWords(const QStringList &lines)
{
    long long words = 0;
    for (qsizetype i = 1; i < lines.size(); ++i)
        words += charCount(lines.at(i)) / 5;
    return static_cast<double>(words);
}

QString tachiEndBlock()
{
    QStringList marks;
    for (int i = 0; i < 12; ++i)
        marks.append(QStringLiteral("@@"));
    return marks.join(QLatin1Char(' ')).repeated(4);
}

QString buildFlashText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line.isEmpty() ? QStringLiteral("^^ ") : line;
    return text + tachiEndBlock();
}

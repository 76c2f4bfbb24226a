#include "TachiText.h"

#include "ParagraphFormat.h"
#include "TextChars.h"

TextLeftOut reflowTachiText(MemoLines &memo)
{
    return reflowParagraphs(memo, StarRuns::Drop);
}

void indentTachiText(MemoLines &memo, int indent)
{
    indentParagraphs(memo, indent);
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

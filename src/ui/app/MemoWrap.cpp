#include "app/MemoWrap.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

QStringList wrapMemoParagraph(const QPlainTextEdit &memo, const QString &paragraph)
{
    const QTextDocument *doc = memo.document();
    // The box lays its text out at its viewport's width less the document margin on either side.
    const qreal width = std::max<qreal>(1.0, memo.viewport()->width() - 2 * doc->documentMargin());
    QTextLayout layout(paragraph, memo.font());
    QTextOption option = doc->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.append(paragraph.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    return lines;
}

MemoLines memoLinesOf(const QPlainTextEdit &memo)
{
    MemoLines lines([&memo](const QString &p) { return wrapMemoParagraph(memo, p); });
    lines.setText(memo.toPlainText());
    return lines;
}

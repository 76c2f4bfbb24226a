#include "lessons/LessonDocument.h"

#include <QDir>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace {

Qt::Alignment toQtAlignment(RtfAlignment alignment)
{
    switch (alignment) {
    case RtfAlignment::Centre:
        return Qt::AlignHCenter;
    case RtfAlignment::Right:
        return Qt::AlignRight;
    case RtfAlignment::Justify:
        return Qt::AlignJustify;
    case RtfAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QTextCharFormat toCharFormat(const RtfCharFormat &f)
{
    QTextCharFormat cf;
    cf.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    cf.setFontItalic(f.italic);
    cf.setFontUnderline(f.underline);
    cf.setFontPointSize(f.pointSize());
    if (!f.fontFamily.isEmpty())
        cf.setFontFamilies({f.fontFamily});
    if (f.color)
        cf.setForeground(QColor(f.color->red, f.color->green, f.color->blue));
    return cf;
}

} // namespace

void fillTextDocument(QTextDocument &target, const RtfDocument &source)
{
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    bool first = true;
    for (const RtfParagraph &paragraph : source.paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(toQtAlignment(paragraph.alignment));
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const RtfRun &run : paragraph.runs)
            cursor.insertText(run.text, toCharFormat(run.format));
    }
    cursor.endEditBlock();
}

QString missingLessonNotice(const QString &fileName)
{
    return QStringLiteral(
               "The lesson file \"%1\" cannot be opened. You may need to reinstall Brindlewick Speed "
               "Reader.")
        .arg(fileName);
}

bool loadLessonDocument(QTextDocument &target, const QString &folder, const QString &fileName)
{
    const std::optional<RtfDocument> document = readRtfFile(QDir(folder).filePath(fileName));
    if (!document || document->paragraphs.isEmpty()) {
        target.setPlainText(missingLessonNotice(fileName));
        return false;
    }
    fillTextDocument(target, *document);
    return true;
}

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

// A text layout lays a word longer than a line out again for each line it fills, which costs time by the
// square of the word's length: a zero-width space after every 64 characters without a space gives such a
// word places to break, so any lesson opens in time linear in its size.
constexpr int kMaxUnbrokenLength = 64;

QString withBreaks(const QString &text, int &unbroken)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.isSpace()) {
            unbroken = 0;
        } else if (++unbroken > kMaxUnbrokenLength && !c.isLowSurrogate()) {
            out += QChar(0x200B);
            unbroken = 1;
        }
        out += c;
    }
    return out;
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
        int unbroken = 0;
        for (const RtfRun &run : paragraph.runs)
            cursor.insertText(withBreaks(run.text, unbroken), toCharFormat(run.format));
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

#include "CreateText.h"

#include "ParagraphFormat.h"

#include <QSaveFile>

#include <algorithm>

TextMeasure measureLines(const QStringList &lines)
{
    TextMeasure m;
    m.lineCount = static_cast<int>(lines.size());
    const qsizetype n = std::min<qsizetype>(lines.size(), kReaderMaxLines);
    for (qsizetype i = 0; i < n; ++i)
        m.longestLine = std::max(m.longestLine, static_cast<int>(lines.at(i).size()));
    return m;
}

QString autoResizeMessage()
{
    return QStringLiteral(
        "You have lines longer than 80 characters. Click OK to Auto-resize to within 80 characters.");
}

QString tooFewLinesMessage()
{
    return QStringLiteral("You need at least 5 lines before you can format the text.");
}

bool canFormat(int lineCount)
{
    return lineCount >= kCreateTextMinFormatLines;
}

TextLeftOut formatCreateText(MemoLines &memo, int indent, const std::function<void(MemoLines &)> &fitBox)
{
    TextLeftOut leftOut = reflowParagraphs(memo, StarRuns::Keep);
    if (fitBox) {
        fitBox(memo);
        // A narrower box shows more lines: the readers' 1000 are counted at the width the text keeps.
        if (memo.lineCount() > kReaderMaxLines) {
            const TextLeftOut more = reflowParagraphs(memo, StarRuns::Keep);
            leftOut = {leftOut.lines + more.lines, leftOut.words + more.words};
        }
    }
    indentParagraphs(memo, indent);
    return leftOut;
}

QStringList fileLines(const QStringList &lines)
{
    QStringList out;
    out.reserve(lines.size());
    for (const QString &line : lines) {
        QString cut = line.left(kReaderMaxLineLength);
        for (int i = 0; i < 3 && cut.endsWith(QLatin1Char(' ')); ++i)
            cut.chop(1);
        out.append(cut);
    }
    return out;
}

QByteArray encodeFileLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : fileLines(lines)) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool writeLinesFile(const QString &path, const QStringList &lines)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encodeFileLines(lines);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

std::optional<QString> saveRefusal(const QStringList &lines)
{
    const TextMeasure m = measureLines(lines);
    if (m.tooLong())
        return QStringLiteral("The text is longer than 1000 lines and will Not be saved.");
    if (m.tooWide())
        return QStringLiteral("The text has lines longer than 80 characters and will Not be saved.");
    return std::nullopt;
}

std::optional<QString> saveCreateTextFile(const QString &path, const QStringList &lines)
{
    if (writeLinesFile(path, lines))
        return std::nullopt;
    return QStringLiteral("The file ") + path + QStringLiteral(" cannot be made. ");
}

QString savedCaption(const QString &fileName)
{
    return QStringLiteral("Create Text File / ") + fileName;
}

TransferResult transferCreateText(const QString &path, const QStringList &lines)
{
    const TextMeasure m = measureLines(lines);
    if (m.tooLong())
        return {false,
                QStringLiteral(
                    "The text is longer than 1000 lines. Click the \"Format Text\" button to the right "
                    "to trim to 1000 lines."),
                true};
    if (m.tooWide())
        return {false,
                QStringLiteral(
                    "The text has lines longer than 80 characters. Click the \"Format Text\" button to "
                    "the right to shorten the lines."),
                true};
    if (!writeLinesFile(path, lines))
        return {false, QStringLiteral("The file can't be saved and transfered."), false};
    return {true, QString(), false};
}

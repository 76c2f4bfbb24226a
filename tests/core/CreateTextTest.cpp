#include "CreateText.h"
#include "ParagraphFormat.h"
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

MemoLines memoOf(int width, const QStringList &paragraphs)
{
    MemoLines memo([width](const QString &p) { return wrapAtCharacters(p, width); });
    memo.setText(paragraphs.join(QLatin1Char('\n')));
    return memo;
}

QStringList repeatedLines(int count, int length)
{
    return QStringList(count, QString(length, QLatin1Char('w')));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList words(const QStringList &lines)
{
    return lines.join(QLatin1Char(' ')).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

const QString kSaveTooLong = QStringLiteral("The text is longer than 1000 lines and will Not be saved.");
const QString kSaveTooWide =
    QStringLiteral("The text has lines longer than 80 characters and will Not be saved.");
const QString kSendTooLong = QStringLiteral("The text is longer than 1000 lines. Click the \"Format Text\" "
                                            "button to the right to trim to 1000 lines.");
const QString kSendTooWide =
    QStringLiteral("The text has lines longer than 80 characters. Click the \"Format "
                   "Text\" button to the right to shorten the lines.");

} // namespace

TEST(CreateText, SaveAndTransferRefuseTextsBeyondTheReadersLimits)
{
    struct Case
    {
        const char *what;
        QStringList lines;
        QString saveMessage; // empty: accepted
        QString sendMessage;
    };
    QStringList wideAfterTheLimit = repeatedLines(1000, 80);
    wideAfterTheLimit.append(QString(200, QLatin1Char('x')));
    QStringList wideAndLong = repeatedLines(1001, 10);
    wideAndLong[3] = QString(81, QLatin1Char('x'));
    const Case cases[] = {
        {"1000 lines of exactly 80", repeatedLines(1000, 80), {}, {}},
        {"1001 lines", repeatedLines(1001, 10), kSaveTooLong, kSendTooLong},
        {"a line of 81", {"short", QString(81, QLatin1Char('x'))}, kSaveTooWide, kSendTooWide},
        {"too long is told before too wide", wideAndLong, kSaveTooLong, kSendTooLong},
        {"a wide line after the first 1000 is not measured", wideAfterTheLimit, kSaveTooLong, kSendTooLong},
        {"an empty text", {}, {}, {}},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString temp = dir.filePath(QStringLiteral("temp.txt"));
    for (const Case &c : cases) {
        QFile::remove(temp);
        EXPECT_EQ(saveRefusal(c.lines).value_or(QString()), c.saveMessage) << c.what;
        const TransferResult sent = transferCreateText(temp, c.lines);
        EXPECT_EQ(sent.message, c.sendMessage) << c.what;
        EXPECT_EQ(sent.sent, c.sendMessage.isEmpty()) << c.what;
        EXPECT_EQ(sent.blinkFormatText, !c.sendMessage.isEmpty()) << c.what;
        // A refused transfer leaves no file for a reader to pick up.
        EXPECT_EQ(QFile::exists(temp), sent.sent) << c.what;
    }
}

TEST(CreateText, MeasuresAllLinesButOnlyTheFirstThousandForWidth)
{
    QStringList lines = repeatedLines(1000, 12);
    lines[999] = QString(79, QLatin1Char('x'));
    lines.append(QString(300, QLatin1Char('x')));
    const TextMeasure m = measureLines(lines);
    EXPECT_EQ(m.lineCount, 1001);
    EXPECT_EQ(m.longestLine, 79);
    EXPECT_TRUE(m.tooLong());
    EXPECT_FALSE(m.tooWide());
    EXPECT_TRUE(measureLines({QString(81, QLatin1Char('x'))}).tooWide());
    EXPECT_FALSE(canFormat(4));
    EXPECT_TRUE(canFormat(5));
}

TEST(CreateText, FileLinesAreCutTo80AndLoseAtMostThreeTrailingBlanks)
{
    struct Case
    {
        QString in;
        QString out;
    };
    const QString x78(78, QLatin1Char('x'));
    const Case cases[] = {
        {"four blanks    ", "four blanks "},
        {"three   ", "three"},
        {"   lead", "   lead"},
        {QString(80, QLatin1Char('a')), QString(80, QLatin1Char('a'))},
        {QString(80, QLatin1Char('a')) + "bc", QString(80, QLatin1Char('a'))},
        // The cut comes first: the blanks it leaves at the end go.
        {x78 + "  tail", x78},
        {"    ", " "},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fileLines({c.in}), QStringList{c.out}) << c.in.toStdString();
}

TEST(CreateText, TransferWritesEveryLineWithCrLfAndReplacesTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString temp = dir.filePath(QStringLiteral("temp.txt"));
    QFile old(temp);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'o'));
    old.close();

    const TransferResult sent = transferCreateText(temp, {"  Caf\u00e9 one    ", "", "two"});
    EXPECT_TRUE(sent.sent);
    EXPECT_EQ(fileBytes(temp), QByteArray("  Caf\xc3\xa9 one \r\n\r\ntwo\r\n"));
}

TEST(CreateText, AFileThatCannotBeMadeGivesItsMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missingFolder = dir.filePath(QStringLiteral("no such folder/story.txt"));
    EXPECT_EQ(saveCreateTextFile(missingFolder, {"text"}).value_or(QString()),
              "The file " + missingFolder + " cannot be made. ");
    const TransferResult sent = transferCreateText(missingFolder, {"text"});
    EXPECT_FALSE(sent.sent);
    EXPECT_FALSE(sent.blinkFormatText);
    EXPECT_EQ(sent.message, QStringLiteral("The file can't be saved and transfered."));

    const QString saved = dir.filePath(QStringLiteral("story.txt"));
    EXPECT_FALSE(saveCreateTextFile(saved, {"a", "b"}).has_value());
    EXPECT_EQ(fileBytes(saved), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(savedCaption(saved), "Create Text File / " + saved);
}

TEST(CreateText, FormatReflowsParagraphsAndIndentsThem)
{
    struct Case
    {
        const char *what;
        int width;
        int indent;
        QStringList in;
        QStringList out;
    };
    const QString eighty(80, QLatin1Char('a'));
    const Case cases[] = {
        {"three empty lines between paragraphs become one",
         40,
         3,
         {"", "First line", "goes on", "", "", "", "Second"},
         {"   First line goes on ", "", "   Second "}},
        {"three blanks between words become one", 40, 3, {"one   two", "three"}, {"   one two three "}},
        {"a line of exactly 80 gets no appended blank", 200, 3, {eighty, "next"}, {"   " + eighty + "next "}},
        {"indent 0 after the squeeze leaves no leading blank",
         40,
         0,
         {"  lead", "", "  next para", " second line"},
         {"lead ", "", "next para second line "}},
        {"star runs are text here", 40, 1, {"a ****b"}, {" a ****b "}},
        {"an indent beyond 5 changes nothing", 40, 6, {"x"}, {"x "}},
    };
    for (const Case &c : cases) {
        MemoLines memo = memoOf(c.width, c.in);
        formatCreateText(memo, c.indent);
        EXPECT_EQ(memo.lines(), c.out) << c.what;
    }
}

TEST(CreateText, IndentTouchesOnlyTheFirstLineOfEachParagraph)
{
    const QStringList formatted{" a b", " c", "", " d"};
    struct Case
    {
        int indent;
        QStringList out;
    };
    const Case cases[] = {
        {3, {"    a b", " c", "", "    d"}},
        {0, {"a b", " c", "", "d"}},
        {5, {"      a b", " c", "", "      d"}},
    };
    for (const Case &c : cases) {
        MemoLines memo = memoOf(40, formatted);
        indentParagraphs(memo, c.indent);
        EXPECT_EQ(memo.lines(), c.out) << "indent " << c.indent;
    }
    // A one-line text is indented too.
    MemoLines one = memoOf(40, {"alone"});
    indentParagraphs(one, 2);
    EXPECT_EQ(one.lines(), QStringList{"  alone"});
}

TEST(CreateText, FormatKeepsTheWordsOfTheFirstThousandLinesInOrder)
{
    // Seeded random texts of short words, empty lines and blank runs, wrapped at random widths.
    QRandomGenerator rng(1807);
    for (int round = 0; round < 40; ++round) {
        QStringList in;
        const int lineCount = rng.bounded(5, 60);
        for (int i = 0; i < lineCount; ++i) {
            QString line;
            const int wordCount = rng.bounded(0, 8);
            for (int w = 0; w < wordCount; ++w) {
                line += QString(rng.bounded(0, 4), QLatin1Char(' '));
                line += QString(rng.bounded(1, 9), QChar(u'a' + rng.bounded(26)));
            }
            in.append(line);
        }
        const int width = rng.bounded(12, 81);
        const int indent = rng.bounded(0, 6);
        MemoLines memo = memoOf(width, in);
        const QStringList before = words(memo.lines());
        formatCreateText(memo, indent);
        const QStringList out = memo.lines();
        EXPECT_EQ(words(out), before) << "round " << round;
        for (int i = 0; i < out.size(); ++i) {
            EXPECT_FALSE(out.at(i).trimmed().isEmpty() && !out.at(i).isEmpty()) << "round " << round;
            const bool doubleBreak = i + 1 < out.size() && out.at(i).isEmpty() && out.at(i + 1).isEmpty();
            EXPECT_FALSE(doubleBreak) << "round " << round;
        }
        EXPECT_TRUE(before.isEmpty() || !out.first().trimmed().isEmpty()) << "round " << round;
    }
}

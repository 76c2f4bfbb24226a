#include "CreateText.h"
#include "ParagraphFormat.h"
#include "TestText.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    const QString x81(81, QLatin1Char('x'));
    QStringList wideAfterTheLimit(1000, QString(80, QLatin1Char('w')));
    wideAfterTheLimit.append(x81);
    QStringList wideAndLong(1001, QStringLiteral("w"));
    wideAndLong[3] = x81;
    const std::tuple<const char *, QStringList, QString, QString> cases[] = {
        {"1000 lines of exactly 80", QStringList(1000, QString(80, QLatin1Char('w'))), {}, {}},
        {"1001 lines", QStringList(1001, QStringLiteral("w")), kSaveTooLong, kSendTooLong},
        {"a line of 81", {"short", x81}, kSaveTooWide, kSendTooWide},
        {"too long is told before too wide", wideAndLong, kSaveTooLong, kSendTooLong},
        {"a wide line after the first 1000 is not measured", wideAfterTheLimit, kSaveTooLong, kSendTooLong},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString temp = dir.filePath(QStringLiteral("temp.txt"));
    for (const auto &[what, lines, saveMessage, sendMessage] : cases) {
        QFile::remove(temp);
        EXPECT_EQ(saveRefusal(lines).value_or(QString()), saveMessage) << what;
        const TransferResult sent = transferCreateText(temp, lines);
        EXPECT_EQ(sent.message, sendMessage) << what;
        EXPECT_EQ(sent.sent, sendMessage.isEmpty()) << what;
        EXPECT_EQ(sent.blinkFormatText, !sendMessage.isEmpty()) << what;
        // A refused transfer leaves no file for a reader to pick up.
        EXPECT_EQ(QFile::exists(temp), sent.sent) << what;
    }
}

TEST(CreateText, FileLinesAreCutTo80AndLoseAtMostThreeTrailingBlanks)
{
    const QString a80(80, QLatin1Char('a'));
    const QString x78(78, QLatin1Char('x'));
    const QStringList in{"four blanks    ", "three   ",     "   lead", a80,
                         a80 + "bc",        x78 + "  tail", "    ",    ""};
    // The cut comes first: the blanks it leaves at the end go.
    const QStringList out{"four blanks ", "three", "   lead", a80, a80, x78, " ", ""};
    EXPECT_EQ(fileLines(in), out);
}

TEST(CreateText, WritesEveryLineWithCrLfOrSaysTheFileCannotBeMade)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString temp = dir.filePath(QStringLiteral("temp.txt"));
    QFile old(temp);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(5000, 'o')) == 5000);
    old.close();
    EXPECT_TRUE(transferCreateText(temp, {"  Caf\u00e9 one    ", "", "two"}).sent);
    EXPECT_EQ(fileBytes(temp), QByteArray("  Caf\xc3\xa9 one \r\n\r\ntwo\r\n"));

    const QString saved = dir.filePath(QStringLiteral("story.txt"));
    EXPECT_FALSE(saveCreateTextFile(saved, {"a", "b"}).has_value());
    EXPECT_EQ(fileBytes(saved), QByteArray("a\r\nb\r\n"));

    const QString nowhere = dir.filePath(QStringLiteral("no such folder/story.txt"));
    EXPECT_EQ(saveCreateTextFile(nowhere, {"text"}).value_or(QString()),
              "The file " + nowhere + " cannot be made. ");
    const TransferResult sent = transferCreateText(nowhere, {"text"});
    EXPECT_FALSE(sent.sent || sent.blinkFormatText);
    EXPECT_EQ(sent.message, QStringLiteral("The file can't be saved and transfered."));
}

TEST(CreateText, FormatReflowsParagraphsAndIndentsThem)
{
    const QString a80(80, QLatin1Char('a'));
    const std::tuple<const char *, int, int, QStringList, QStringList> cases[] = {
        {"three empty lines between paragraphs become one",
         40,
         3,
         {"", "First line", "goes on", "", "", "", "Second"},
         {"   First line goes on ", "", "   Second "}},
        {"three blanks between words become one", 40, 3, {"one   two", "three"}, {"   one two three "}},
        {"a line of exactly 80 gets no appended blank", 200, 3, {a80, "next"}, {"   " + a80 + "next "}},
        {"star runs are text here", 40, 1, {"a ****b"}, {" a ****b "}},
        {"an indent beyond 5 changes nothing", 40, 6, {"x"}, {"x "}},
    };
    for (const auto &[what, width, indent, in, out] : cases) {
        MemoLines memo = memoOf(width, in);
        formatCreateText(memo, indent);
        EXPECT_EQ(memo.lines(), out) << what;
    }
}

TEST(CreateText, IndentTouchesOnlyTheFirstLineOfEachParagraph)
{
    const QStringList formatted{" a b", " c", "", " d"};
    const std::tuple<QStringList, int, QStringList> cases[] = {
        {formatted, 3, {"    a b", " c", "", "    d"}},
        {formatted, 0, {"a b", " c", "", "d"}},
        {formatted, 5, {"      a b", " c", "", "      d"}},
        {{"alone"}, 2, {"  alone"}},
    };
    for (const auto &[in, indent, out] : cases) {
        MemoLines memo = memoOf(40, in);
        indentParagraphs(memo, indent);
        EXPECT_EQ(memo.lines(), out) << "indent " << indent;
    }
}

TEST(CreateText, FormatKeepsTheWordsInOrderAndLeavesNoBlankOrDoubledBreak)
{
    const QRegularExpression space(QStringLiteral("\\s+"));
    auto words = [&space](const QStringList &lines) {
        return lines.join(QLatin1Char(' ')).split(space, Qt::SkipEmptyParts);
    };
    QRandomGenerator rng(1807);
    for (int round = 0; round < 40; ++round) {
        QStringList in;
        for (int i = rng.bounded(5, 60); i > 0; --i) {
            QString line;
            for (int w = rng.bounded(0, 8); w > 0; --w)
                line += QString(rng.bounded(0, 4), QLatin1Char(' ')) +
                        QString(rng.bounded(1, 9), QChar(u'a' + rng.bounded(26)));
            in.append(line);
        }
        MemoLines memo = memoOf(rng.bounded(12, 81), in);
        const QStringList before = words(memo.lines());
        formatCreateText(memo, rng.bounded(0, 6));
        const QStringList out = memo.lines();
        EXPECT_EQ(words(out), before) << "round " << round;
        EXPECT_TRUE(before.isEmpty() || !out.first().trimmed().isEmpty()) << "round " << round;
        for (qsizetype i = 0; i < out.size(); ++i) {
            EXPECT_FALSE(out.at(i).trimmed().isEmpty() && !out.at(i).isEmpty()) << "round " << round;
            EXPECT_FALSE(i > 0 && out.at(i).isEmpty() && out.at(i - 1).isEmpty()) << "round " << round;
        }
    }
}

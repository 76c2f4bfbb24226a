#include "CreateText.h"
#include "ParagraphFormat.h"
#include "TachiText.h"
#include "TestText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <tuple>

// Refusals told by their first words ("The text is longer", "The text has lines"); the user's wording is
// pinned by the window's tests.
TEST(CreateText, SaveAndTransferRefuseTextsBeyondTheReadersLimits)
{
    QStringList wideAndLong(1001, QStringLiteral("w"));
    wideAndLong[3] = QString(81, QLatin1Char('x'));
    const std::tuple<const char *, QStringList, QString> cases[] = {
        {"1000 lines of exactly 80", QStringList(1000, QString(80, QLatin1Char('w'))), ""},
        {"a line of 81", {"short", QString(81, QLatin1Char('x'))}, "The text has lines"},
        {"too long is told before too wide", wideAndLong, "The text is longer"},
    };
    QTemporaryDir dir;
    const QString temp = dir.filePath(QStringLiteral("temp.txt"));
    for (const auto &[what, lines, refused] : cases) {
        QFile::remove(temp);
        EXPECT_EQ(saveRefusal(lines).value_or(QString()).left(18), refused) << what;
        const TransferResult sent = transferCreateText(temp, lines);
        EXPECT_EQ(sent.message.left(18), refused) << what;
        EXPECT_EQ(sent.sent, refused.isEmpty()) << what;
        EXPECT_EQ(sent.blinkFormatText, !refused.isEmpty()) << what;
        // A refused transfer leaves no file for a reader to pick up.
        EXPECT_EQ(QFile::exists(temp), sent.sent) << what;
    }
}

// A file that cannot be made is told by the window's tests.
TEST(CreateText, WritesLinesCutTo80WithCrLf)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("story.txt"));
    QFile old(saved); // an older, longer file is replaced whole
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.resize(5000));
    old.close();
    const QString a80(80, QLatin1Char('a'));
    // Saving writes what the box holds: the cut comes first, then at most three trailing blanks go.
    EXPECT_FALSE(
        saveCreateTextFile(saved, {"  Caf\u00e9 four    ", "", a80 + "bc", QString(78, u'x') + "  tail"})
            .has_value());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(),
              "  Caf\xc3\xa9 four \r\n\r\n" + a80.toLatin1() + "\r\n" + QByteArray(78, 'x') + "\r\n");
}

// The create-text box formats (stars kept, then an indent); the tachistoscope reflows (stars dropped) and
// indents on its own. Both share the paragraph rules. Lines are written joined by '|'. That the shared rules
// keep every word in order is tried over random texts below and by the tachistoscope's property test.
TEST(ParagraphFormat, ReflowJoinsParagraphsAndIndentTouchesTheirFirstLines)
{
    using Step = void (*)(MemoLines &, int);
    const Step format = [](MemoLines &memo, int k) { formatCreateText(memo, k); }, indent = indentTachiText;
    const Step reflow = [](MemoLines &memo, int) { reflowTachiText(memo); };
    const QString a80(80, QLatin1Char('a'));
    const std::tuple<const char *, Step, int, int, QString, QString> cases[] = {
        {"empty lines between paragraphs become one", format, 40, 3, "|First line|goes on||||Second",
         "   First line goes on ||   Second "},
        {"three blanks between words become one", format, 40, 3, "one   two|three", "   one two three "},
        {"a line of exactly 80 never runs into the next", format, 200, 3, a80 + "|next",
         "   " + a80 + " next "},
        {"a word the box broke comes back whole", format, 40, 0, a80 + "bbb end|x",
         a80.left(40) + "|" + a80.left(40) + "|bbb end x "},
        {"star runs are text in the box", format, 40, 1, "a ****b", " a ****b "},
        {"an indent beyond 5 changes nothing", format, 40, 6, "x", "x "},
        {"top empty lines go", reflow, 40, 0, "||The first|line||Second|", "The first line ||Second "},
        {"star runs go in the tachistoscope", reflow, 40, 0, "A  b ****c|d", "A b c d "},
        {"a lone-space paragraph and its doubled break go", reflow, 40, 0, "abc||   ||def", "abc ||def "},
        {"a line longer than 80 keeps every character", reflow, 200, 0, a80 + " bbbb|next",
         a80 + " bbbb next "},
        {"the joined paragraph is wrapped again", reflow, 12, 0, "one two|three four five",
         "one two |three four |five "},
        {"only empty lines: the last one stays", reflow, 40, 0, "||", ""},
        {"indent 5", indent, 40, 5, " a b| c|| d", "      a b| c||      d"},
        {"indent 0 takes one space away and cuts nothing", indent, 200, 0, "  a b|| " + a80 + " x",
         " a b||" + a80 + " x"},
        {"a text of one line", indent, 40, 2, "alone", "  alone"},
        {"paragraphs moved down by a wrap", indent, 10, 3, "abcd efgh||ijkl", "   abcd |efgh||   ijkl"},
    };
    for (const auto &[what, step, width, k, in, out] : cases) {
        MemoLines memo = memoOf(width, in.split(u'|'));
        step(memo, k);
        EXPECT_EQ(memo.lines(), out.split(u'|')) << what;
    }
    QStringList many;
    for (int i = 0; i < 1001; ++i)
        many.append(QStringLiteral("w%1").arg(i));
    MemoLines memo = memoOf(100000, many);
    const TextLeftOut leftOut = reflowTachiText(memo);
    EXPECT_EQ(memo.lines(), QStringList{many.mid(0, 1000).join(u' ') + u' '}) << "only 1000 lines are taken";
    EXPECT_TRUE(leftOut.lines == 1 && leftOut.words == 1) << "and the user is told of the rest";
    // A box narrowed after the reflow shows more lines: past 1000 of them the rest goes too, and is counted.
    memo = memoOf(100000, many);
    const TextLeftOut more = formatCreateText(memo, 0, [](MemoLines &m) { m = memoOf(3, {m.text()}); });
    EXPECT_TRUE(memo.lineCount() == 1000 && more.lines > 1 && more.words + wordCount(memo.text()) == 1001);
}

// Every text at every box width and indent: the words that go in come out, none glued, split or lost.
TEST(CreateTextProperty, FormatKeepsEveryWordAtAnyWidthAndIndent)
{
    std::mt19937 rng(26);
    for (int width = 40; width <= 120; ++width) {
        for (int indent = 0; indent <= kMaxParagraphIndent; ++indent) {
            // Hard-wrapped paragraphs, now and then a word wider than any box, a line of blanks or an indent.
            const int column = 30 + int(rng() % 81);
            QString text;
            for (int p = 0, paragraphs = 1 + int(rng() % 5); p < paragraphs; ++p) {
                qsizetype lineStart = text.size();
                text += QString(int(rng() % 8 == 0), u' ');
                for (int w = 0, words = 1 + int(rng() % 150); w < words; ++w) {
                    QString word(rng() % 30 == 0 ? 60 + int(rng() % 80) : 1 + int(rng() % 12), u'x');
                    for (QChar &c : word)
                        c = QChar(u'a' + char16_t(rng() % 26));
                    const bool breaks = w > 0 && text.size() - lineStart + 1 + word.size() > column;
                    lineStart = breaks ? text.size() + 1 : lineStart;
                    text += (w == 0 ? "" : breaks ? "\n" : " ") + word;
                }
                text += u'\n' + QString(int(rng() % 3), u' ') + u'\n';
            }
            MemoLines memo = memoOf(width, {text});
            // Half the time the box narrows to 80 characters between the reflow and the indent, as the window
            // does.
            formatCreateText(memo, indent, [width, &rng](MemoLines &m) {
                if (width > kReaderMaxLineLength && rng() % 2 == 0)
                    m = memoOf(kReaderMaxLineLength, {m.text()});
            });
            ASSERT_EQ(memo.text().simplified(), text.simplified())
                << width << ' ' << indent << text.toStdString();
        }
    }
}

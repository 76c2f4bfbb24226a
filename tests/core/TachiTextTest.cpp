#include "TachiText.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(TachiText, ReflowJoinsParagraphsAndCleansTheText)
{
    const QString eighty(80, QLatin1Char('a'));
    const std::tuple<const char *, int, QStringList, QStringList> cases[] = {
        {"top empty lines go, paragraph lines join, a run of empty lines is one break",
         40,
         {"", "", "The first line", "of a paragraph", "", "", "Second para here", ""},
         {"The first line of a paragraph ", "", "Second para here "}},
        {"stars and double spaces", 40, {"A  b ****c", "d"}, {"A b c d "}},
        {"a lone-space paragraph and the doubled break it leaves",
         40,
         {"abc", "", "   ", "", "def"},
         {"abc ", "", "def "}},
        {"a line of 80 or more is cut to 80 and gets no space",
         200,
         {eighty + QStringLiteral("bbbb"), "next"},
         {eighty + QStringLiteral("next ")}},
        {"the joined paragraph is wrapped again",
         12,
         {"one two", "three four five"},
         {"one two ", "three four ", "five "}},
        {"only empty lines: the last one stays", 40, {"", "", ""}, {""}},
    };
    for (const auto &[what, width, in, out] : cases) {
        MemoLines memo = memoOf(width, in);
        reflowTachiText(memo);
        EXPECT_EQ(memo.lines(), out) << what;
    }
}

TEST(TachiText, ReflowKeepsTheFirstThousandLines)
{
    QStringList in;
    for (int i = 0; i < 1001; ++i)
        in.append(QStringLiteral("w%1").arg(i));
    MemoLines memo = memoOf(100000, in);
    reflowTachiText(memo);
    ASSERT_EQ(memo.lineCount(), 1);
    EXPECT_TRUE(memo.line(0).endsWith(QStringLiteral(" w999 ")));
    EXPECT_FALSE(memo.line(0).contains(QStringLiteral("w1000")));
}

TEST(TachiText, IndentPutsSpacesBeforeEachParagraph)
{
    // One paragraph shown on two lines, then a second paragraph.
    const QStringList formatted{"First paragraph goes on ", "", "Second one "};
    for (int k = 0; k <= 5; ++k) {
        MemoLines memo = memoOf(20, formatted);
        indentTachiText(memo, k);
        const QString pad(k, QLatin1Char(' '));
        EXPECT_EQ(memo.text(), pad + "First paragraph goes on \n\n" + pad + "Second one ") << "indent " << k;
    }
    // Indenting twice indents twice; indent 0 takes one leading space away and cuts to 80.
    MemoLines twice = memoOf(40, formatted);
    indentTachiText(twice, 2);
    indentTachiText(twice, 2);
    EXPECT_EQ(twice.line(0), QStringLiteral("    First paragraph goes on "));
    MemoLines zero = memoOf(200, {"  two spaces", "", " " + QString(90, QLatin1Char('x'))});
    indentTachiText(zero, 0);
    EXPECT_EQ(zero.lines(), (QStringList{" two spaces", "", QString(79, QLatin1Char('x'))}));
}

TEST(TachiText, IndentReachesParagraphsMovedDownByAWrap)
{
    MemoLines memo = memoOf(10, {"abcd efgh", "", "ijkl"});
    indentTachiText(memo, 3);
    EXPECT_EQ(memo.lines(), (QStringList{"   abcd ", "efgh", "", "   ijkl"}));
}

TEST(TachiText, TextWordsCountsFiveCharactersAWordAfterTheFirstLine)
{
    EXPECT_EQ(tachiTextWords({}), 0.0);
    EXPECT_EQ(tachiTextWords({"only the first line counts for nothing"}), 0.0);
    EXPECT_EQ(tachiTextWords({"0123456789", "01234", "0123", "0123456789a", ""}), 3.0);
}

TEST(TachiText, FlashTextMarksBreaksAndEndsWithTheEndBlock)
{
    EXPECT_EQ(buildFlashText({"One two ", "three ", "", "Four "}),
              "One two three ^^ Four " + tachiEndBlock());
}

#include "TestText.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(MemoLines, WrapAtCharactersKeepsSpacesOnTheLineAndCutsLongWords)
{
    const std::tuple<const char *, int, QStringList> cases[] = {
        {"abc def ghi", 5, {"abc ", "def ", "ghi"}},
        {"abc def ghi", 8, {"abc def ", "ghi"}},
        {"abc   def", 4, {"abc   ", "def"}},
        {"abcdefgh ij", 3, {"abc", "def", "gh ", "ij"}},
        {"", 5, {""}},
    };
    for (const auto &[text, width, expected] : cases) {
        const QStringList lines = wrapAtCharacters(QString::fromLatin1(text), width);
        EXPECT_EQ(lines, expected) << text << " at " << width;
        EXPECT_EQ(lines.join(QString()), QString::fromLatin1(text));
    }
}

TEST(MemoLines, AddressesDisplayedLinesAcrossParagraphs)
{
    const MemoLines memo = memoOf(8, {"abc def ghi", "", "xyz"});
    EXPECT_EQ(memo.lines(), (QStringList{"abc def ", "ghi", "", "xyz"}));
    EXPECT_EQ(memo.lineCount(), 4);
    EXPECT_EQ(memo.line(1), QStringLiteral("ghi"));
    EXPECT_EQ(memo.line(4), QString());
    EXPECT_EQ(memo.line(-1), QString());
    EXPECT_EQ(memo.text(), QStringLiteral("abc def ghi\n\nxyz"));
}

TEST(MemoLines, DeletingALineEditsTheTextUnderneath)
{
    // A whole empty paragraph goes with its line end.
    MemoLines memo = memoOf(8, {"abc def ghi", "", "xyz"});
    memo.deleteLine(2);
    EXPECT_EQ(memo.text(), QStringLiteral("abc def ghi\nxyz"));

    // A wrapped line inside a paragraph: its characters go, the paragraph re-wraps.
    memo = memoOf(8, {"abc def ghi jkl mno", "xyz"});
    ASSERT_EQ(memo.line(1), QStringLiteral("ghi jkl "));
    memo.deleteLine(1);
    EXPECT_EQ(memo.text(), QStringLiteral("abc def mno\nxyz"));

    // The last line of a paragraph takes the line end: the next paragraph joins on.
    memo = memoOf(8, {"abc def ghi", "xyz"});
    memo.deleteLine(1);
    EXPECT_EQ(memo.text(), QStringLiteral("abc def xyz"));

    // Out of range: nothing happens.
    memo.deleteLine(7);
    EXPECT_EQ(memo.text(), QStringLiteral("abc def xyz"));
}

TEST(MemoLines, SettingALineRewrapsItsParagraph)
{
    MemoLines memo = memoOf(8, {"abc def", "", "xyz"});
    memo.setLine(0, QStringLiteral("   abc def"));
    EXPECT_EQ(memo.lines(), (QStringList{"   abc ", "def", "", "xyz"}));
    memo.setLine(3, QStringLiteral("x"));
    EXPECT_EQ(memo.text(), QStringLiteral("   abc def\n\nx"));
}

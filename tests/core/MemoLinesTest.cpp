#include "TestText.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(MemoLines, WrapsKeepingSpacesOnTheLineAndEditsTheTextUnderneathItsDisplayedLines)
{
    const std::tuple<const char *, int, const char *> cases[] = {
        {"abc def ghi", 5, "abc |def |ghi"},
        {"abc def ghi", 8, "abc def |ghi"},
        {"abc   def", 4, "abc   |def"},
        {"abcdefgh ij", 3, "abc|def|gh |ij"},
        {"", 5, ""},
    };
    for (const auto &[text, width, lines] : cases)
        EXPECT_EQ(wrapAtCharacters(QString::fromLatin1(text), width), QString::fromLatin1(lines).split(u'|'))
            << text << " at " << width;

    MemoLines memo = memoOf(8, {"abc def ghi", "", "xyz"});
    EXPECT_EQ(memo.lines(), (QStringList{"abc def ", "ghi", "", "xyz"}));
    EXPECT_EQ(memo.line(4), QString());
    EXPECT_EQ(memo.line(-1), QString());
    // A whole empty paragraph goes with its line end.
    memo.deleteLine(2);
    EXPECT_EQ(memo.text(), QStringLiteral("abc def ghi\nxyz"));
    // The last line of a paragraph takes the line end: the next paragraph joins on.
    memo.deleteLine(1);
    EXPECT_EQ(memo.text(), QStringLiteral("abc def xyz"));
    // Out of range: nothing happens.
    memo.deleteLine(7);
    EXPECT_EQ(memo.text(), QStringLiteral("abc def xyz"));

    // A wrapped line inside a paragraph: its characters go, the paragraph re-wraps.
    memo = memoOf(8, {"abc def ghi jkl mno", "xyz"});
    ASSERT_EQ(memo.line(1), QStringLiteral("ghi jkl "));
    memo.deleteLine(1);
    EXPECT_EQ(memo.text(), QStringLiteral("abc def mno\nxyz"));

    // Setting a line re-wraps its paragraph.
    memo = memoOf(8, {"abc def", "", "xyz"});
    memo.setLine(0, QStringLiteral("   abc def"));
    EXPECT_EQ(memo.lines(), (QStringList{"   abc ", "def", "", "xyz"}));
    memo.setLine(3, QStringLiteral("x"));
    EXPECT_EQ(memo.text(), QStringLiteral("   abc def\n\nx"));
}

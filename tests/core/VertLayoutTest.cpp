#include "VertLayout.h"

#include "TestText.h"

#include <gtest/gtest.h>

#include <tuple>

// Each case lays out `file` (lines split at '\n') and checks its last line: the stored text and the fixations
// separated by '|', or nothing for a blank line.
// How lines are normalised and cut is the horizontal layout's business and tested with it.
TEST(VertLayout, CutsLinesAsTheReaderExpects)
{
    const QString x19 = QString(19, u'x') + u' ' + QString(10, u'y');
    // Three-way finds the space at 12 from 24 but none within reach of 48; two-way none within reach of 36.
    const QString noSplit = QString(11, u'a') + u' ' + QString(58, u'b') + QStringLiteral(" c");
    const std::tuple<const char *, QString, int, QString, QString> cases[] = {
        {"pad line", "Contents", 2, "Contents **********", "Contents|**********"},
        {"seven spaces are blank", QString(7, u' '), 2, QString(7, u' '), QString()},
        {"eight spaces are text", QString(8, u' '), 2, QString(8, u' '), "   |    "},
        {"a failed three-way search falls to two, not to the line before",
         "aaaa bbbbbbbbbb cccccccccc\n" + x19, 3, x19, QString(x19).replace(u' ', u'|')},
        {"failed searches fall to one", noSplit, 3, noSplit, noSplit},
    };
    for (const auto &[name, file, fixations, stored, pieces] : cases) {
        const HorizText t = LayoutVerticalText(file.split(u'\n'), fixations);
        const int line = t.LineCount;
        EXPECT_EQ(t.TextLines.at(line - 1), stored) << name;
        EXPECT_EQ(isVertBlankLine(t, line), pieces.isEmpty()) << name;
        const QStringList expected = pieces.isEmpty() ? QStringList() : pieces.split(u'|');
        for (int j = 1; j <= kVertMaxFixations; ++j)
            EXPECT_EQ(vertFixation(t, line, j), expected.value(j - 1)) << name << " fixation " << j;
        if (pieces.isEmpty()) {
            EXPECT_EQ(t.cell(line, 5), QStringLiteral(" ")) << name;
        }
    }
}

TEST(VertLayout, PadIsHiddenFixationsAreAtLeastTwoAndThePageGrowsWithTheText)
{
    const HorizText t = LayoutVerticalText(
        {QStringLiteral("Contents"), QStringLiteral("The quick brown fox"), QStringLiteral("jumps over")}, 3);
    EXPECT_TRUE(isVertHiddenPad(t, 1, 2));
    EXPECT_FALSE(isVertHiddenPad(t, 2, 2));
    EXPECT_EQ(LayoutVerticalText({}, 3).TotalFixations, 0);
    // A damaged setting of one fixation is paced as two, not laid out whole and never revealed.
    EXPECT_EQ(LayoutVerticalText({QStringLiteral("The quick brown fox")}, 1).TotalFixations, 2);
    EXPECT_EQ(vertPageHeight(10, 4, 16, 300), kHorizMinPageHeight);
    EXPECT_GE(vertPageHeight(1000, 5, 40, 300), 1000 * 40 + 300);
}

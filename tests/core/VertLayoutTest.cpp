#include "VertLayout.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase
{
    const char *name;
    QStringList file;
    int fixations;
    int line;           // the line checked, 1-based
    QString stored;     // its entry in TextLines
    QStringList pieces; // its fixations; empty for a blank line
};

} // namespace

TEST(VertLayout, CutsLinesAsTheTableSays)
{
    const QString x19 = QString(19, u'x');
    const QString y10 = QString(10, u'y');
    // Three-way finds the space at 12 from 24 but none within reach of 48; two-way none within reach of 36.
    const QString longWords = QString(11, u'a') + u' ' + QString(58, u'b') + QStringLiteral(" c");
    const LayoutCase cases[] = {
        {"pad line",
         {QStringLiteral("Contents")},
         2,
         1,
         QStringLiteral("Contents **********"),
         {QStringLiteral("Contents"), QStringLiteral("**********")}},
        {"one leading space goes",
         {QStringLiteral(" Hello there")},
         2,
         1,
         QStringLiteral("Hello there"),
         {QStringLiteral("Hello"), QStringLiteral("there")}},
        {"three leading spaces stay",
         {QStringLiteral("   Hello there")},
         2,
         1,
         QStringLiteral("   Hello there"),
         {QStringLiteral("   Hello"), QStringLiteral("there")}},
        {"seven spaces are blank", {QString(7, u' ')}, 2, 1, QString(7, u' '), {}},
        {"eight spaces are text",
         {QString(8, u' ')},
         2,
         1,
         QString(8, u' '),
         {QString(3, u' '), QString(4, u' ')}},
        {"exact hit leaving 4 cuts in two",
         {QStringLiteral("abcd efgh ijklmn")},
         3,
         1,
         QStringLiteral("abcd efgh ijklmn"),
         {QStringLiteral("abcd efgh"), QStringLiteral("ijklmn")}},
        {"searched 4 cuts in three",
         {QStringLiteral("abcd efghij klmnop")},
         3,
         1,
         QStringLiteral("abcd efghij klmnop"),
         {QStringLiteral("abcd"), QStringLiteral("efghij"), QStringLiteral("klmnop")}},
        {"100 characters stored as 80",
         {QStringLiteral("word ") + QString(95, u'q')},
         2,
         1,
         QStringLiteral("word ") + QString(75, u'q'),
         {QStringLiteral("word ") + QString(75, u'q')}},
        {"failed first search falls to two, not to the line before",
         {QStringLiteral("aaaa bbbbbbbbbb cccccccccc"), x19 + u' ' + y10},
         3,
         2,
         x19 + u' ' + y10,
         {x19, y10}},
        {"failed searches fall to one", {longWords}, 3, 1, longWords, {longWords}},
        {"failed two-way search keeps the line whole",
         {QStringLiteral("Chapter 1")},
         2,
         1,
         QStringLiteral("Chapter 1"),
         {QStringLiteral("Chapter 1")}},
        {"a stored 1 is paced as 2",
         {QStringLiteral("The quick brown fox")},
         1,
         1,
         QStringLiteral("The quick brown fox"),
         {QStringLiteral("The quick"), QStringLiteral("brown fox")}},
    };
    for (const LayoutCase &c : cases) {
        const HorizText t = LayoutVerticalText(c.file, c.fixations);
        ASSERT_GE(t.LineCount, c.line) << c.name;
        EXPECT_EQ(t.TextLines.at(c.line - 1), c.stored) << c.name;
        EXPECT_EQ(isVertBlankLine(t, c.line), c.pieces.isEmpty()) << c.name;
        for (int j = 1; j <= kVertMaxFixations; ++j)
            EXPECT_EQ(vertFixation(t, c.line, j), c.pieces.value(j - 1)) << c.name << " fixation " << j;
        if (c.pieces.isEmpty()) {
            for (int j = 1; j <= kHorizMaxFixations; ++j)
                EXPECT_EQ(t.cell(c.line, j), QStringLiteral(" ")) << c.name;
        }
    }
}

TEST(VertLayout, CountsAndThePadsLook)
{
    const HorizText t = LayoutVerticalText(
        {QStringLiteral("Contents"), QStringLiteral("The quick brown fox"), QStringLiteral("jumps over")}, 3);
    EXPECT_EQ(t.LineCount, 3);
    EXPECT_EQ(t.TotalFixations, 9);
    // 19 / 5 + 19 / 5; the last line never counts.
    EXPECT_DOUBLE_EQ(t.WordCount, 6.0);
    EXPECT_TRUE(isVertHiddenPad(t, 1, 2));
    EXPECT_FALSE(isVertHiddenPad(t, 2, 2));

    const HorizMetrics mono{[](const QString &s) { return static_cast<int>(s.size()) * 6; }, 10};
    for (const HorizDraw &d : drawVerticalPage(t, 3, mono)) {
        if (d.text.contains(QLatin1String("*"))) {
            EXPECT_EQ(d.style, HorizStyle::Invisible) << "the pad is never shown";
        } else if (d.kind == HorizDraw::Kind::Text && d.text != QLatin1String(" ")) {
            EXPECT_EQ(d.style, HorizStyle::Covered) << d.text.toStdString();
        }
    }

    const HorizText empty = LayoutVerticalText({}, 2);
    EXPECT_EQ(empty.LineCount, 0);
    EXPECT_EQ(empty.TotalFixations, 0);
    EXPECT_DOUBLE_EQ(empty.WordCount, 0.0);
}

TEST(VertLayout, PageGrowsWithTheText)
{
    EXPECT_EQ(vertPageHeight(10, 4, 16, 300), kHorizMinPageHeight);
    const int h = vertPageHeight(1000, 5, 40, 300);
    EXPECT_GT(h, kHorizMinPageHeight);
    EXPECT_GE(h, 1000 * 40 + 300);
    EXPECT_EQ(vertFixationsFor(0), 2);
    EXPECT_EQ(vertFixationsFor(7), 3);
    EXPECT_EQ(vertDownSweepFor(1), 3);
    EXPECT_EQ(vertDownSweepFor(9), 5);
}

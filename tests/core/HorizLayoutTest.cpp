#include "HorizLayout.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

TEST(HorizLayout, NormalisesAndCutsLinesWithTheirFallBacks)
{
    // {line, K, fixations, a long word met}. A line too short for K falls back at once, not one probe at a
    // time; with no split within reach of the target the line is laid out whole rather than left undrawn. A
    // long word is met from the eleventh probe on (a split 11 from the target), not by probes the line's ends
    // stopped.
    const QString x9 = QString(9, u'x') + u' ' + QString(30, u'y');
    const QString x8 = QString(8, u'x') + u' ' + QString(31, u'y'), z = "a " + QString(60, u'z');
    // clang-format off
    const std::tuple<QString, int, QStringList, bool> cases[] = {
        {"The quick brown fox", 2, {"The quick", "brown fox"}, false},
        {"The quick brown fox", 1, {"The quick brown fox"}, false},
        {"Contents **********", 2, {"Contents", "**********"}, false},
        {"Contents **********", 3, {"Contents", "**********"}, false},
        {"abcdef ghijk lmnop qrstu vwxyz abcde", 5,
         {"abcdef", "ghijk", "lmnop", "qrstu", "vwxyz abcde"}, false},
        {"abcde fghij klmno pqrst uvwxy zabcd", 5, {"abcde", "fghij klmno", "pqrst", "uvwxy zabcd"}, false},
        {"abcd efgh ijklmn", 3, {"abcd efgh", "ijklmn"}, false},
        {"abcd efghij klmnop", 3, {"abcd", "efghij", "klmnop"}, false},
        {"Chapter 1", 2, {"Chapter 1"}, false}, {"I ", 3, {"I "}, false},
        {"abcdef ghijk lmnop qrstu vwxyza", 5, {"abcdef", "ghijk", "lmnop", "qrstu vwxyza"}, false},
        {"abcdef ghijk lmnop qrstu vwxyz", 4, {"abcdef", "ghijk lmnop", "qrstu vwxyz"}, false},
        {x9, 2, {x9.left(9), x9.mid(10)}, false}, {x8, 2, {x8.left(8), x8.mid(9)}, true}, {z, 2, {z}, true}};
    // clang-format on
    for (const auto &[line, k, expected, longWord] : cases) {
        bool met = false;
        EXPECT_EQ(cutHorizLine(line, k, met), expected) << line.toStdString() << " K " << k;
        EXPECT_EQ(met, longWord) << line.toStdString();
    }
    // Before the cut: a single leading space goes, a line without a space takes a pad that fits in 80, and 80
    // are kept.
    // clang-format off
    const std::pair<QString, QString> stored[] = {
        {" Hello there", "Hello there"}, {"   Hello there", "   Hello there"}, {"  Hello", " Hello"},
        {" ", ""}, {"Contents", "Contents **********"}, {QString(75, u'w'), QString(75, u'w') + " ****"},
        {QString(90, u'a') + u' ', QString(80, u'a')}};
    // clang-format on
    for (const auto &[in, out] : stored)
        EXPECT_EQ(normaliseHorizLine(in), out) << in.toStdString();
}

TEST(HorizLayout, BlankLinesAndCounts)
{
    const HorizText t = LayoutHorizontalText({QStringLiteral("Contents"), QString(7, u' '), QString(8, u' '),
                                              QString(), QStringLiteral("The quick brown fox jumps over")},
                                             2);
    EXPECT_EQ(std::make_pair(t.LineCount, t.TotalFixations), std::make_pair(5, 10));
    // Seven spaces are blank, eight are text.
    EXPECT_EQ((std::vector{t.isBlank(1), t.isBlank(2), t.isBlank(3), t.isBlank(4)}),
              (std::vector{false, true, false, true}));
    EXPECT_EQ((QStringList{t.cell(1, 1), t.cell(1, 2), t.cell(1, 3), t.cell(2, 1), t.cell(2, 5)}),
              (QStringList{"Contents", "**********", "", " ", " "}));
    // 19/5 + 7/5 + 8/5 + 0; the last line never counts.
    EXPECT_DOUBLE_EQ(t.WordCount, 3 + 1 + 1);

    const HorizText e = LayoutHorizontalText({}, 3);
    EXPECT_TRUE(e.LineCount == 0 && e.TotalFixations == 0 && e.WordCount == 0.0);
    EXPECT_TRUE(drawHorizontalPage(e, 2, monoMetrics()).empty());
}

TEST(HorizLayout, TablesAreCutToTheirCapacities)
{
    const HorizText t =
        LayoutHorizontalText(QStringList(1005, QStringLiteral("word ") + QString(100, u'q')), 2);
    EXPECT_EQ(t.LineCount, 1000);
    EXPECT_EQ(t.TextLines.at(0).size(), 80);
    EXPECT_LE(t.cell(1, 1).size(), 52);
    EXPECT_TRUE(t.longWords);
    EXPECT_EQ(drawHorizontalPage(t, 2, monoMetrics()).front().text, t.pieces[0].at(0)) << "drawn in full";

    // Characters outside the plane count as one and are never cut: 45 of them and the pad fit a line of 80;
    // 85 are cut to 80, and a cell to 52.
    const QString smile = QString::fromUcs4(U"\U0001F600");
    const HorizText s =
        LayoutHorizontalText({smile.repeated(45), smile.repeated(85), QStringLiteral("x")}, 2);
    EXPECT_EQ(s.TextLines.at(0), smile.repeated(45) + AsteriskPad);
    EXPECT_EQ(s.cell(1, 1), smile.repeated(45));
    EXPECT_EQ(s.TextLines.at(1), smile.repeated(80));
    EXPECT_EQ(s.cell(2, 1), smile.repeated(52));
    EXPECT_EQ(s.WordCount, 56 / 5 + 80 / 5);
}

TEST(HorizLayout, PageDrawsFixationsWithInvisibleGapsAndPad)
{
    const HorizText t = LayoutHorizontalText(
        {QStringLiteral("The quick brown fox"), QString(), QStringLiteral("Contents")}, 2);
    using K = HorizDraw::Kind;
    const auto C = HorizStyle::Covered, I = HorizStyle::Invisible;
    const auto F = HorizWeight::Font;
    const std::vector<HorizDraw> expected{
        {K::Text, "The quick", 8, 10, C, F, 0},       {K::Text, " ", 8 + 54, 10, I, F, 0},
        {K::Text, "brown fox", 8 + 60, 10, C, F, 0},  {K::TopEdge, "", 8, 10, I, F, 19 * 6},
        {K::Text, "Contents", 8, 30, C, F, 0},        {K::Text, " ", 8 + 48, 30, I, F, 0},
        {K::Text, "**********", 8 + 54, 30, I, F, 0}, {K::TopEdge, "", 8, 30, I, F, 19 * 6},
    };
    EXPECT_EQ(drawHorizontalPage(t, 3, monoMetrics()), expected);
}

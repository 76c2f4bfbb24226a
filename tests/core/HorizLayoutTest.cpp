#include "HorizLayout.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

QStringList cut(const QString &s, int k)
{
    bool longWord = false;
    return cutHorizLine(s, k, longWord);
}

struct CutCase
{
    const char *name;
    const char *line;
    int k;
    QStringList expected;
};

} // namespace

TEST(HorizLayout, CutsLinesWithTheirFallBacks)
{
    const CutCase cases[] = {
        {"quick brown fox", "The quick brown fox", 2, {"The quick", "brown fox"}},
        {"pad line", "Contents **********", 2, {"Contents", "**********"}},
        {"pad line falls back from 3", "Contents **********", 3, {"Contents", "**********"}},
        {"five fixations",
         "abcdef ghijk lmnop qrstu vwxyz abcde",
         5,
         {"abcdef", "ghijk", "lmnop", "qrstu", "vwxyz abcde"}},
        {"first of five too short",
         "abcde fghij klmno pqrst uvwxy zabcd",
         5,
         {"abcde", "fghij klmno", "pqrst", "uvwxy zabcd"}},
        {"exact hit leaves 4", "abcd efgh ijklmn", 3, {"abcd efgh", "ijklmn"}},
        {"searched 4 stays", "abcd efghij klmnop", 3, {"abcd", "efghij", "klmnop"}},
        // No split within reach of the target: the line is laid out whole rather than left undrawn.
        {"Chapter 1", "Chapter 1", 2, {"Chapter 1"}},
        {"target 0", "I ", 3, {"I "}},
        // Lines too short for their fixations fall back at once, not one probe at a time.
        {"31 characters fall from 5 to 4",
         "abcdef ghijk lmnop qrstu vwxyza",
         5,
         {"abcdef", "ghijk", "lmnop", "qrstu vwxyza"}},
        {"31 characters in 4",
         "abcdef ghijk lmnop qrstu vwxyza",
         4,
         {"abcdef", "ghijk", "lmnop", "qrstu vwxyza"}},
        {"30 characters fall from 4 to 3",
         "abcdef ghijk lmnop qrstu vwxyz",
         4,
         {"abcdef", "ghijk lmnop", "qrstu vwxyz"}},
        {"30 characters in 3", "abcdef ghijk lmnop qrstu vwxyz", 3, {"abcdef", "ghijk lmnop", "qrstu vwxyz"}},
        {"one fixation", "The quick brown fox", 1, {"The quick brown fox"}},
    };
    for (const CutCase &c : cases)
        EXPECT_EQ(cut(QString::fromLatin1(c.line), c.k), c.expected) << c.name;
}

TEST(HorizLayout, LongWordFlagFromTheEleventhProbe)
{
    const std::tuple<const char *, QString, bool> cases[] = {
        {"split at distance 10", QString(9, u'x') + u' ' + QString(30, u'y'), false},
        {"split at distance 11", QString(8, u'x') + u' ' + QString(31, u'y'), true},
        {"no split within 22", QStringLiteral("a ") + QString(60, u'z'), true},
        {"stopped by the line's ends", QStringLiteral("Chapter 1"), false},
    };
    for (const auto &[name, line, flagged] : cases) {
        bool longWord = false;
        cutHorizLine(line, 2, longWord);
        EXPECT_EQ(longWord, flagged) << name;
    }
    bool longWord = false;
    const auto split = SplitTarget(QString(9, u'x') + u' ' + QString(30, u'y'), 20, longWord);
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(split->position, 10);
    EXPECT_FALSE(split->exact);
}

TEST(HorizLayout, NormalisesLines)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral(" Hello there"), QStringLiteral("Hello there")},
        {QStringLiteral("   Hello there"), QStringLiteral("   Hello there")},
        {QStringLiteral("  Hello"), QStringLiteral(" Hello")},
        {QStringLiteral("Contents"), QStringLiteral("Contents **********")},
        {QString(75, u'w'), QString(75, u'w') + QStringLiteral(" ****")},
        {QString(90, u'a') + u' ', QString(80, u'a')},
        {QStringLiteral(" "), QString()},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(normaliseHorizLine(in), out) << in.toStdString();
}

TEST(HorizLayout, BlankLinesAndCounts)
{
    const QStringList file{QStringLiteral("Contents"), QString(7, u' '), QString(8, u' '), QString(),
                           QStringLiteral("The quick brown fox jumps over the lazy dog")};
    const HorizText t = LayoutHorizontalText(file, 2);
    EXPECT_EQ(t.LineCount, 5);
    EXPECT_EQ(t.TotalFixations, 10);
    EXPECT_FALSE(t.isBlank(1));
    EXPECT_TRUE(t.isBlank(2)) << "seven spaces are blank";
    EXPECT_FALSE(t.isBlank(3)) << "eight spaces are text";
    EXPECT_TRUE(t.isBlank(4));
    for (int j = 1; j <= 5; ++j)
        EXPECT_EQ(t.cell(2, j), QStringLiteral(" "));
    EXPECT_EQ(t.cell(1, 1), QStringLiteral("Contents"));
    EXPECT_EQ(t.cell(1, 2), QStringLiteral("**********"));
    EXPECT_EQ(t.cell(1, 3), QString());
    // 19/5 + 7/5 + 8/5 + 0; the last line never counts.
    EXPECT_DOUBLE_EQ(t.WordCount, 3 + 1 + 1);
}

TEST(HorizLayout, EmptyFile)
{
    const HorizText empty = LayoutHorizontalText({}, 3);
    EXPECT_EQ(empty.LineCount, 0);
    EXPECT_EQ(empty.TotalFixations, 0);
    EXPECT_DOUBLE_EQ(empty.WordCount, 0.0);
    EXPECT_TRUE(drawHorizontalPage(empty, 2, monoMetrics()).empty());
}

TEST(HorizLayout, TablesAreCutToTheirCapacities)
{
    QStringList file;
    for (int i = 0; i < 1005; ++i)
        file.append(QStringLiteral("word ") + QString(100, u'q'));
    const HorizText t = LayoutHorizontalText(file, 2);
    EXPECT_EQ(t.LineCount, 1000);
    EXPECT_EQ(t.TextLines.at(0).size(), 80);
    EXPECT_LE(t.cell(1, 1).size(), 52);
    EXPECT_TRUE(t.longWords);
    // The page draws the fixation in full.
    const auto page = drawHorizontalPage(t, 2, monoMetrics());
    EXPECT_EQ(page.front().text, t.pieces[0].at(0));
}

TEST(HorizLayout, PageDrawsFixationsWithInvisibleGapsAndPad)
{
    const HorizText t = LayoutHorizontalText(
        {QStringLiteral("The quick brown fox"), QString(), QStringLiteral("Contents")}, 2);
    const auto page = drawHorizontalPage(t, 3, monoMetrics());
    using K = HorizDraw::Kind;
    const std::vector<HorizDraw> expected{
        {K::Text, QStringLiteral("The quick"), 8, 10, HorizStyle::Covered, HorizWeight::Font, 0},
        {K::Text, QStringLiteral(" "), 8 + 54, 10, HorizStyle::Invisible, HorizWeight::Font, 0},
        {K::Text, QStringLiteral("brown fox"), 8 + 60, 10, HorizStyle::Covered, HorizWeight::Font, 0},
        {K::TopEdge, QString(), 8, 10, HorizStyle::Invisible, HorizWeight::Font, 19 * 6},
        {K::Text, QStringLiteral("Contents"), 8, 30, HorizStyle::Covered, HorizWeight::Font, 0},
        {K::Text, QStringLiteral(" "), 8 + 48, 30, HorizStyle::Invisible, HorizWeight::Font, 0},
        {K::Text, QStringLiteral("**********"), 8 + 54, 30, HorizStyle::Invisible, HorizWeight::Font, 0},
        {K::TopEdge, QString(), 8, 30, HorizStyle::Invisible, HorizWeight::Font, 19 * 6},
    };
    EXPECT_EQ(page, expected);
}

TEST(HorizLayout, ALongTextInALargeFontGrowsThePagePastTheOldFixedRange)
{
    EXPECT_EQ(horizPageHeight(1000, 30, 400), 1004 * 30 + 400);
}

TEST(HorizLayout, CharactersOutsideThePlaneCountAsOneAndAreNeverCut)
{
    // 45 of them and the pad fit a line of 80; 85 are cut to 80, and a cell to 52.
    const QString smile = QString::fromUcs4(U"\U0001F600");
    const HorizText t =
        LayoutHorizontalText({smile.repeated(45), smile.repeated(85), QStringLiteral("x")}, 2);
    EXPECT_EQ(t.TextLines.at(0), smile.repeated(45) + AsteriskPad);
    EXPECT_EQ(t.cell(1, 1), smile.repeated(45));
    EXPECT_EQ(t.TextLines.at(1), smile.repeated(80));
    EXPECT_EQ(t.cell(2, 1), smile.repeated(52));
    EXPECT_EQ(t.WordCount, 56 / 5 + 80 / 5);
}

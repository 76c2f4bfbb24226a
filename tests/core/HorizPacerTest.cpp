#include "HorizPacer.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

HorizPacer pacerFor(const QStringList &lines, int k)
{
    return HorizPacer(LayoutHorizontalText(lines, k), monoMetrics());
}

// Runs ticks until the end; returns each tick.
std::vector<HorizTick> runToEnd(HorizPacer &p, const HorizTickInput &in)
{
    std::vector<HorizTick> ticks;
    for (int guard = 0; guard < 10000; ++guard) {
        ticks.push_back(p.tick(in));
        if (ticks.back().finished)
            break;
    }
    return ticks;
}

const QString kText = QStringLiteral("The quick brown fox");

} // namespace

TEST(HorizPacer, IntervalsForTextBlankLinesAndTheScrollPause)
{
    // Client height 35 with lines of 10: the third line to start would end below the window.
    const std::tuple<int, std::vector<int>> cases[] = {
        {600, {600, 600, 7, 7, 900, 600, 600, 600, 600}},
        {25, {25, 25, 7, 7, 36, 25, 25, 25, 25}},
    };
    for (const auto &[interval, expected] : cases) {
        HorizPacer p = pacerFor({kText, QString(), kText, kText}, 2);
        const auto ticks = runToEnd(p, HorizTickInput{35, interval, 2});
        ASSERT_EQ(ticks.size(), expected.size() + 1);
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(ticks[i].interval, expected[i]) << "tick " << i + 1 << " at " << interval;
        EXPECT_EQ(ticks[4].scrollBy, 30);
        EXPECT_TRUE(ticks[4].draws.empty()) << "the scroll tick only pauses";
        EXPECT_TRUE(ticks.back().finished);
    }
}

TEST(HorizPacer, ScrollBringsTheLineToTheTopAndCountsFromThere)
{
    QStringList lines;
    for (int i = 0; i < 12; ++i)
        lines.append(kText);
    HorizPacer p = pacerFor(lines, 2);
    std::vector<int> scrolls;
    for (const HorizTick &t : runToEnd(p, HorizTickInput{55, 100, 2})) {
        if (t.scrollBy != 0 && !t.finished)
            scrolls.push_back(t.scrollBy);
    }
    // Lines 5 and 10 do not fit: the first scroll moves 5 lines (accumulated with line 5), then 5 again.
    EXPECT_EQ(scrolls, (std::vector<int>{50, 50}));
}

TEST(HorizPacer, RevealsFixationsOverTheirUnreadForm)
{
    HorizPacer p = pacerFor({kText, kText}, 2);
    const HorizMetrics m = monoMetrics();
    const auto page = drawHorizontalPage(p.text(), 2, m);
    const HorizTickInput in{1000, 300, 3};
    const HorizTick first = p.tick(in);
    ASSERT_EQ(first.draws.size(), 1u);
    EXPECT_EQ(first.draws[0].text, QStringLiteral("The quick"));
    EXPECT_EQ(first.draws[0].x, page[0].x);
    EXPECT_EQ(first.draws[0].style, HorizStyle::Visible);
    const HorizTick second = p.tick(in);
    ASSERT_EQ(second.draws.size(), 2u);
    EXPECT_EQ(second.draws[0].style, HorizStyle::Invisible);
    EXPECT_EQ(second.draws[1].text, QStringLiteral("brown fox"));
    EXPECT_EQ(second.draws[1].x, page[2].x);
    EXPECT_EQ(second.draws[1].y, 10);
    // The next line starts and the passed one takes the read look (See Through).
    const HorizTick third = p.tick(in);
    ASSERT_EQ(third.draws.size(), 2u);
    EXPECT_EQ(third.draws[1],
              (HorizDraw{HorizDraw::Kind::Text, kText, 8, 10, HorizStyle::SeeThrough, HorizWeight::Font, 0}));
}

TEST(HorizPacer, PadIsNeverShownAndAFallenBackLinePassesAt7)
{
    HorizPacer p = pacerFor({QStringLiteral("Contents"), kText}, 3);
    const HorizTickInput in{1000, 500, 2};
    std::vector<HorizTick> ticks = runToEnd(p, in);
    ASSERT_GE(ticks.size(), 4u);
    EXPECT_EQ(ticks[0].draws.at(0).text, QStringLiteral("Contents"));
    EXPECT_EQ(ticks[1].draws.at(1).text, QStringLiteral("**********"));
    EXPECT_EQ(ticks[1].draws.at(1).style, HorizStyle::Invisible);
    EXPECT_EQ(ticks[2].interval, 7) << "cell 3 of the fallen-back line is empty";
    EXPECT_TRUE(ticks[2].draws.empty());
    // The line moves down all the same: the next line starts at 20 and reads "Contents " above it.
    EXPECT_EQ(ticks[3].draws.at(0).y, 20);
    EXPECT_EQ(ticks[3].draws.at(1).text, QStringLiteral("Contents  "));
    for (const HorizTick &t : ticks) {
        for (const HorizDraw &d : t.draws) {
            if (d.style != HorizStyle::Invisible) {
                EXPECT_FALSE(d.text.contains(u'*')) << d.text.toStdString();
            }
        }
    }
}

TEST(HorizPacer, ProgressMovesOnEvenLinesOnly)
{
    const std::tuple<int, std::vector<int>> cases[] = {
        {3, {0, 67, 67}},
        {4, {0, 50, 50, 100, 100}},
    };
    for (const auto &[lineCount, expected] : cases) {
        HorizPacer p = pacerFor(QStringList(lineCount, kText), 2);
        std::vector<int> seen;
        for (const HorizTick &t : runToEnd(p, HorizTickInput{1000, 100, 2})) {
            if (t.progress)
                seen.push_back(*t.progress);
        }
        EXPECT_EQ(seen, expected) << lineCount << " lines";
    }
}

TEST(HorizPacer, EndScoresAndTexts)
{
    const std::tuple<double, int, double, const char *> cases[] = {
        {120, 60, 120.0, "120"}, {121, 59, 121.0 / (59.0 / 60.0), "123"},
        {5, 120, 2.5, "2"},      {7, 120, 3.5, "4"},
        {50, 0, 0.0, "0"},
    };
    for (const auto &[words, seconds, score, wpmText] : cases) {
        HorizText text = LayoutHorizontalText({kText}, 2);
        text.WordCount = words;
        HorizPacer p(text, monoMetrics());
        for (int s = 0; s < seconds; ++s)
            p.secondElapsed();
        const auto ticks = runToEnd(p, HorizTickInput{1000, 100, 2});
        const HorizTick &end = ticks.back();
        ASSERT_TRUE(end.finished);
        EXPECT_DOUBLE_EQ(p.state().WpmScore, score);
        ASSERT_EQ(end.draws.size(), 2u);
        EXPECT_EQ(end.draws[0].text, QStringLiteral("THE END!"));
        EXPECT_EQ(end.draws[0].weight, HorizWeight::Bold);
        EXPECT_EQ((std::pair{end.draws[0].x, end.draws[0].y}), (std::pair{80, 30}));
        EXPECT_EQ(end.draws[1].text, QString::fromLatin1(wpmText) + QStringLiteral(" words per minute!"));
        EXPECT_EQ((std::pair{end.draws[1].x, end.draws[1].y}), (std::pair{45, 40}));
        EXPECT_EQ(end.scrollBy, 30);
    }
}

TEST(HorizPacer, EmptyTextEndsOnTheFirstTick)
{
    HorizPacer p = pacerFor({}, 2);
    const HorizTick t = p.tick(HorizTickInput{100, 100, 2});
    EXPECT_TRUE(t.finished);
    EXPECT_FALSE(t.progress.has_value());
    EXPECT_EQ(p.state().WpmText, QStringLiteral("0"));
}

TEST(HorizPacer, OneFixationShowsWholeLinesAndReadsThePreviousOne)
{
    HorizPacer p = pacerFor({kText, QString(), kText, kText}, 1);
    const HorizTickInput in{1000, 200, 4};
    const auto ticks = runToEnd(p, in);
    ASSERT_EQ(ticks.size(), 5u);
    EXPECT_EQ(ticks[0].draws.size(), 1u);
    EXPECT_EQ(ticks[1].draws.at(0).text, QString()) << "a blank line is still drawn whole";
    EXPECT_EQ(ticks[2].draws.size(), 1u) << "an empty previous line is not redrawn";
    ASSERT_EQ(ticks[3].draws.size(), 2u);
    EXPECT_EQ(ticks[3].draws[1].style, HorizStyle::Covered);
    EXPECT_EQ(ticks[3].draws[1].y, 30);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ticks[static_cast<std::size_t>(i)].interval, 200);
}

TEST(HorizPacer, AWindowLowerThanALineStillReadsToTheEnd)
{
    HorizPacer p = pacerFor({kText, kText, kText}, 2);
    const std::vector<HorizTick> ticks = runToEnd(p, HorizTickInput{5, 100, 2});
    ASSERT_TRUE(ticks.back().finished);
    // Every line scrolls to the top and pauses once, then shows its two fixations.
    EXPECT_EQ(ticks.size(), 3u * 3u + 1u);
    EXPECT_EQ(ticks.at(0).scrollBy, 10);
    EXPECT_EQ(ticks.at(1).scrollBy, 0);
}

#include "ChartData.h"
#include "ComprehensionTest.h"
#include "Wpm.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>

namespace {

THistory historyOf(std::initializer_list<double> values)
{
    THistory h{};
    std::size_t i = 0;
    for (double v : values)
        h[i++] = v;
    return h;
}

} // namespace

TEST(ChartSeries, FiveScoresGiveFivePointsLabelledBySlotAndTheAxisEndsAtTheLargest)
{
    const THistory h = historyOf({250.4, 312.5, 180.0, 413.5, 299.9});
    const TChartSeries s = wpmChartSeries(h);
    const std::vector<TChartPoint> expected = {{250, 1}, {312, 2}, {180, 3}, {414, 4}, {300, 5}};
    EXPECT_EQ(s.points, expected);
    EXPECT_EQ(wpmAxisMaximum(h), 414);
    EXPECT_EQ(s.average, (250 + 312 + 180 + 414 + 300) / 5);
}

TEST(ChartSeries, RoundingAndAveraging)
{
    struct Case
    {
        const char *what;
        THistory history;
        bool percent;
        std::vector<TChartPoint> points;
        std::optional<int> average;
    };
    const Case cases[] = {
        {"a score below 0.5 is neither plotted nor averaged",
         historyOf({0.4, 200.0, 0.5, 300.0}),
         false,
         {{200, 2}, {300, 4}},
         250},
        {"the average drops the remainder",
         historyOf({100, 101, 101}),
         false,
         {{100, 1}, {101, 2}, {101, 3}},
         100},
        {"an empty history has no average", historyOf({}), false, {}, std::nullopt},
        {"0.875 plots as 88", historyOf({0.875, 0.625}), true, {{88, 1}, {62, 2}}, 75},
        {"a tiny fraction still counts as a test taken",
         historyOf({0.004, 1.0}),
         true,
         {{0, 1}, {100, 2}},
         50},
        {"values no reading can give are left out, not rounded",
         historyOf({1e300, 3e9, 250.0, -40.0, 150000.0, 100000.0}),
         false,
         {{250, 3}, {100000, 6}},
         50125},
        {"a comprehension above 1 is left out", historyOf({3e9, 0.5, 1.5}), true, {{50, 2}}, 50},
        {"empty comprehension slots leave no point",
         historyOf({0.5, 0.0, 0.7}),
         true,
         {{50, 1}, {70, 3}},
         60},
    };
    for (const Case &c : cases) {
        const TChartSeries s = c.percent ? comprehensionChartSeries(c.history) : wpmChartSeries(c.history);
        EXPECT_EQ(s.points, c.points) << c.what;
        EXPECT_EQ(s.average, c.average) << c.what;
    }
    EXPECT_EQ(wpmAxisMaximum(historyOf({0.4})), 0);
}

TEST(ChartSeries, AFullHistoryPlotsThirtyPoints)
{
    THistory h{};
    for (std::size_t i = 0; i < h.size(); ++i)
        h[i] = 100.0 + static_cast<double>(i);
    const TChartSeries s = wpmChartSeries(h);
    ASSERT_EQ(s.points.size(), 30u);
    EXPECT_EQ(s.points.back(), (TChartPoint{129, 30}));
    EXPECT_EQ(wpmAxisMaximum(h), 129);
}

TEST(ChartModes, ClearingTheComprehensionHistoryOfTheShownModeTouchesOnlyThatHistory)
{
    TSettings settings;
    for (const TChartMode &m : chartModes()) {
        historyAppend(m.history(settings, ChartKind::Wpm), 300);
        historyAppend(m.history(settings, ChartKind::Comprehension), 0.8);
    }
    TAppValues values;
    values.ChartShowsTachi = 1;
    const TChartMode *shown = shownChartMode(values);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->mode, Mode::Tachi);
    historyClear(shown->history(settings, ChartKind::Comprehension));

    EXPECT_EQ(historyCount(settings.TachiComprehensionHistory), 0);
    EXPECT_EQ(historyCount(settings.TachiWpmHistory), 1);
    for (const THistory *other : {&settings.HorizComprehensionHistory, &settings.VertComprehensionHistory,
                                  &settings.SpeedTestComprehensionHistory, &settings.HorizWpmHistory})
        EXPECT_EQ(historyCount(*other), 1);
}

TEST(ChartModes, FlagsAreTestedInModeOrderAndClearedTogether)
{
    TAppValues values;
    EXPECT_EQ(shownChartMode(values), nullptr);
    values.ChartShowsSpeedTest = 1;
    values.ChartShowsVert = 1;
    EXPECT_EQ(shownChartMode(values)->mode, Mode::Vert);
    EXPECT_STREQ(chartModeFor(Mode::SpeedTest)->caption, "Speed Test Reading Charts");
    EXPECT_EQ(chartModeFor(Mode::Exercise), nullptr);
    clearChartFlags(values);
    EXPECT_EQ(shownChartMode(values), nullptr);
}

TEST(ChartFileName, StemShortDateWithDashesAndExtension)
{
    const QDate date(2024, 3, 7);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(proposedChartFileName(ChartKind::Wpm, date, us), QStringLiteral("WPMchart3-7-24.bmp"));
    EXPECT_EQ(proposedChartFileName(ChartKind::Comprehension, date, us),
              QStringLiteral("PercentChart3-7-24.bmp"));
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(proposedChartFileName(ChartKind::Wpm, date, de), QStringLiteral("WPMchart07.03.24.bmp"));
}

TEST(ChartLayout, HalvesTheClientBetweenTheTwoChartsAboveTheirButtonRows)
{
    const TChartLayout l = chartLayout(QSize(600, 451), 36, 36);
    EXPECT_EQ(l.upperPart, QRect(0, 0, 600, 189)); // (451 - 72) / 2, rounded toward zero
    EXPECT_EQ(l.upperRow, QRect(0, 189, 600, 36));
    EXPECT_EQ(l.lowerPart, QRect(0, 225, 600, 451 - (189 + 72) - 1));
    EXPECT_EQ(l.lowerRow, QRect(0, 415, 600, 36));
    EXPECT_EQ(l.lowerRow.bottom(), 450);
    EXPECT_EQ(chartRectInPart(QSize(600, 189)), QRect(5, 5, 590, 179));
}

TEST(ChartViewerSlots, OpenOpenCloseFirstOpenFillsTheFreedSlotUnderTheOther)
{
    TChartViewerSlots slots;
    EXPECT_EQ(slots.open(300), 0);
    EXPECT_EQ(slots.top(0), 0);
    EXPECT_EQ(slots.open(250), 1);
    EXPECT_EQ(slots.top(1), 300);
    EXPECT_EQ(slots.open(200), std::nullopt);

    slots.close(0);
    EXPECT_FALSE(slots.isVisible(0));
    EXPECT_EQ(slots.top(1), 0);

    EXPECT_EQ(slots.open(200), 0);
    EXPECT_EQ(slots.top(0), 250);
    EXPECT_TRUE(slots.isVisible(1));

    slots.close(1);
    slots.close(0);
    EXPECT_EQ(slots.open(100), 0);
    EXPECT_EQ(slots.top(0), 0);
}

TEST(ChartAxis, TickIntervalIsARoundNumberGivingAboutFiveSteps)
{
    const std::pair<int, int> cases[] = {{0, 1},      {4, 1},       {5, 1},     {7, 2},
                                         {100, 20},   {412, 100},   {499, 100}, {501, 200},
                                         {1000, 200}, {2600, 1000}, {30, 10}};
    for (const auto &[maximum, interval] : cases)
        EXPECT_EQ(axisTickInterval(maximum), interval) << maximum;
}

TEST(ChartSeries, AComprehensionScoreOfNothingRightChartsAsZero)
{
    THistory h{};
    h[0] = 0.5;
    h[1] = comprehensionHistoryValue(0.0);
    const TChartSeries s = comprehensionChartSeries(h);
    ASSERT_EQ(s.points.size(), 2u);
    EXPECT_EQ(s.points[1].value, 0);
    EXPECT_EQ(s.points[1].slot, 2);
    EXPECT_EQ(s.average, 25);
}

TEST(Rounding, HalvesGoToEvenAndNoValueConvertsOutOfRange)
{
    const struct
    {
        double value;
        long long rounded;
    } cases[] = {
        {412.5, 412},
        {413.5, 414},
        {-2.5, -2},
        {1e300, std::numeric_limits<int>::max()},
        {-1e300, std::numeric_limits<int>::min()},
        {3e9, std::numeric_limits<int>::max()},
        {std::numeric_limits<double>::infinity(), std::numeric_limits<int>::max()},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(roundHalfEven(c.value), c.rounded) << c.value;
}

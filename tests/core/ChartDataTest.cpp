#include "ChartData.h"
#include "ComprehensionTest.h"
#include "Wpm.h"

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <initializer_list>
#include <limits>

namespace {

THistory historyOf(std::initializer_list<double> values)
{
    THistory h{};
    std::copy(values.begin(), values.end(), h.begin());
    return h;
}

} // namespace

TEST(ChartSeries, RoundingAndAveraging)
{
    THistory full{};
    std::vector<TChartPoint> fullPoints;
    for (std::size_t i = 0; i < full.size(); ++i) {
        full[i] = 100.0 + static_cast<double>(i);
        fullPoints.push_back({100 + static_cast<int>(i), static_cast<int>(i) + 1});
    }
    const std::tuple<const char *, THistory, bool, std::vector<TChartPoint>, std::optional<int>> cases[] = {
        {"halves round to even, labelled by slot",
         historyOf({250.4, 312.5, 180.0, 413.5, 299.9}),
         false,
         {{250, 1}, {312, 2}, {180, 3}, {414, 4}, {300, 5}},
         (250 + 312 + 180 + 414 + 300) / 5},
        {"a full history plots thirty points", full, false, fullPoints, 114},
        {"nothing right charts as zero",
         historyOf({0.5, comprehensionHistoryValue(0.0)}),
         true,
         {{50, 1}, {0, 2}},
         25},
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
    for (const auto &[what, history, percent, points, average] : cases) {
        const TChartSeries s = percent ? comprehensionChartSeries(history) : wpmChartSeries(history);
        EXPECT_EQ(s.points, points) << what;
        EXPECT_EQ(s.average, average) << what;
    }
    EXPECT_EQ(wpmAxisMaximum(historyOf({0.4})), 0);
    EXPECT_EQ(wpmAxisMaximum(historyOf({250.4, 413.5, 1e300, 0.4})), 414);
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

TEST(ChartAxis, TickIntervalIsARoundNumberGivingAboutFiveSteps)
{
    const std::pair<int, int> cases[] = {{0, 1},      {4, 1},       {5, 1},     {7, 2},
                                         {100, 20},   {412, 100},   {499, 100}, {501, 200},
                                         {1000, 200}, {2600, 1000}, {30, 10}};
    for (const auto &[maximum, interval] : cases)
        EXPECT_EQ(axisTickInterval(maximum), interval) << maximum;
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

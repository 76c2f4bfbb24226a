#include "ChartData.h"
#include "ComprehensionTest.h"
#include "QuestionBank.h"
#include "TestText.h"
#include "Wpm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <tuple>
#include <vector>

// Each case gives the history's first slots and the value plotted for each of them, -1 for no point.
TEST(ChartSeries, RoundingAndAveraging)
{
    const std::vector<double> full(kHistorySlots, 100.4);
    const std::vector<int> fullPoints(kHistorySlots, 100);
    const bool percent = true, wpm = false;
    using Case = std::tuple<const char *, std::vector<double>, bool, std::vector<int>, std::optional<int>>;
    const Case cases[] = {
        {"halves round to even", {250.4, 312.5, 180.0, 413.5, 299.9}, wpm, {250, 312, 180, 414, 300}, 291},
        {"a full history plots thirty points", full, wpm, fullPoints, 100},
        {"nothing right charts as zero", {0.5, comprehensionHistoryValue(0.0)}, percent, {50, 0}, 25},
        {"a wpm rounding to 0 is left out", {0.4, 200.0, 0.5, 300.0}, wpm, {-1, 200, -1, 300}, 250},
        {"the average drops the remainder", {100, 101, 101}, wpm, {100, 101, 101}, 100},
        {"an empty history has no average", {}, wpm, {}, std::nullopt},
        {"0.875 plots as 88", {0.875, 0.625}, percent, {88, 62}, 75},
        {"a tiny fraction still counts as a test taken", {0.004, 1.0}, percent, {0, 100}, 50},
        {"impossible", {1e300, 3e9, 250.0, -40.0, 1.5e5, 1e5}, wpm, {-1, -1, 250, -1, -1, 100000}, 50125},
        {"a comprehension above 1 is left out", {3e9, 0.5, 1.5}, percent, {-1, 50}, 50},
        {"empty comprehension slots leave no point", {0.5, 0.0, 0.7}, percent, {50, -1, 70}, 60},
    };
    for (const auto &[what, values, isPercent, plotted, average] : cases) {
        THistory history{};
        std::copy(values.begin(), values.end(), history.begin());
        std::vector<TChartPoint> points;
        for (std::size_t i = 0; i < plotted.size(); ++i) {
            if (plotted[i] >= 0)
                points.push_back({plotted[i], static_cast<int>(i) + 1});
        }
        const TChartSeries s = isPercent ? comprehensionChartSeries(history) : wpmChartSeries(history);
        EXPECT_EQ(s.points, points) << what;
        EXPECT_EQ(s.average, average) << what;
    }
    // Halves go to even, and no value converts out of range.
    constexpr long long max = std::numeric_limits<int>::max(), min = std::numeric_limits<int>::min();
    const double inf = std::numeric_limits<double>::infinity(),
                 nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, long long> rounding[] = {{412.5, 412},  {413.5, 414}, {-2.5, -2}, {1e300, max},
                                                     {-1e300, min}, {3e9, max},   {inf, max}, {nan, 0}};
    for (const auto &[value, rounded] : rounding)
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
}

TEST(ChartData, AxisFileNameAndLayout)
{
    EXPECT_EQ(wpmAxisMaximum({0.4}), 0);
    EXPECT_EQ(wpmAxisMaximum({250.4, 413.5, 1e300, 0.4}), 414);
    const QDate date(2024, 3, 7);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(proposedChartFileName(ChartKind::Wpm, date, us), QStringLiteral("WPMchart3-7-24.bmp"));
    EXPECT_EQ(proposedChartFileName(ChartKind::Comprehension, date, us),
              QStringLiteral("PercentChart3-7-24.bmp"));
    EXPECT_EQ(proposedChartFileName(ChartKind::Wpm, date, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("WPMchart07.03.24.bmp"));

    // The two charts halve what the button rows leave, rounded toward zero; the lower row ends at the bottom.
    const TChartLayout l = chartLayout(QSize(600, 451), 36, 36);
    EXPECT_EQ(l.upperPart, QRect(0, 0, 600, 189));
    EXPECT_EQ(l.upperRow, QRect(0, 189, 600, 36));
    EXPECT_EQ(l.lowerPart, QRect(0, 225, 600, 189));
    EXPECT_EQ(l.lowerRow, QRect(0, 415, 600, 36));
    EXPECT_EQ(chartRectInPart(QSize(600, 189)), QRect(5, 5, 590, 179));

    // A round tick interval giving about five steps.
    const int intervals[][2] = {{0, 1},     {4, 1},     {5, 1},     {7, 2},      {30, 10},    {100, 20},
                                {412, 100}, {499, 100}, {501, 200}, {1000, 200}, {2600, 1000}};
    for (const auto &[maximum, interval] : intervals)
        EXPECT_EQ(axisTickInterval(maximum), interval) << maximum;
}

TEST(ComprehensionScoring, CountsRightAndWrongAnswersAndScoresOnlyWholeTests)
{
    // -1: not scored, for an unanswered question, an answer of 0 within the story's questions, or an unknown
    // story. The messages are pinned by the test window's tests.
    const std::tuple<int, std::array<int, 5>, double> cases[] = {
        {1, {3, 1, 1, 2, 0}, 1.0}, {1, {3, 1, 2, 2, 0}, 0.75}, {2, {3, 1, 1, 1, 1}, 0.8},
        {2, {1, 2, 2, 2, 1}, 0.0}, {16, {2, 2, 1, 3, 3}, 1.0}, {2, {3, 1, 1, 1, 0}, -1},
        {1, {3, 0, 1, 2, 0}, -1},  {0, {1, 1, 1, 1, 1}, -1},   {17, {1, 1, 1, 1, 1}, -1},
    };
    for (const auto &[story, checked, expected] : cases) {
        const auto score = scoreTest(story, checked);
        EXPECT_EQ(score.has_value(), expected >= 0) << story;
        if (score) {
            EXPECT_DOUBLE_EQ(score->ComprehensionScore, expected) << story;
            EXPECT_EQ(score->RightCount + score->WrongCount, questionCountFor(story)) << story;
        }
    }
    EXPECT_EQ(questionCountFor(17), 0);
}

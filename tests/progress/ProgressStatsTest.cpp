#include "ProgressStats.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <cmath>

namespace {

// Answers drawn from a listener whose accuracy is a third by guessing and reaches 75 % at `t75` ms.
std::vector<AnswerCount> answers(double t75, double slope, int perFlashTime, quint32 seed)
{
    QRandomGenerator random(seed);
    const double s = (0.75 - 1.0 / 3) / (2.0 / 3);
    std::vector<AnswerCount> out;
    for (int flash = 10; flash <= 300; flash += 15) {
        const double p =
            1.0 / 3 + 2.0 / 3 / (1 + std::exp(-(std::log(s / (1 - s)) + slope * std::log(flash / t75))));
        AnswerCount c{flash, perFlashTime, 0};
        for (int i = 0; i < perFlashTime; ++i)
            c.right += random.generateDouble() < p ? 1 : 0;
        out.push_back(c);
    }
    return out;
}

} // namespace

TEST(ProgressStats, TheFittedCurveFindsThe75PercentFlashTimeOfSyntheticAnswers)
{
    for (const auto &[t75, slope] : {std::pair{30.0, 2.5}, std::pair{60.0, 3.0}, std::pair{120.0, 4.0}}) {
        for (quint32 seed = 1; seed <= 5; ++seed) {
            const auto estimate = flashTimeFor(answers(t75, slope, 80, seed));
            ASSERT_TRUE(estimate) << t75;
            EXPECT_EQ(estimate->method, FlashEstimate::Method::Fit);
            EXPECT_NEAR(estimate->flashMs, t75, t75 * 0.15) << "seed " << seed;
            const auto curve = fitFlashCurve(answers(t75, slope, 80, seed));
            EXPECT_NEAR(curve->at(estimate->flashMs), 0.75, 1e-6);
        }
    }
}

TEST(ProgressStats, FewFlashTimesAreInterpolatedAndAnUnreachedTargetGivesNone)
{
    struct Case
    {
        std::vector<AnswerCount> counts;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {{{40, 10, 6}, {80, 10, 9}}, 60.0},                      // two flash times: no fit
        {{{20, 10, 3}, {40, 10, 5}, {80, 10, 5}}, std::nullopt}, // never reaches 75 %
        {{{20, 10, 9}, {40, 10, 10}}, std::nullopt},             // above it everywhere: nothing to cross
        {{}, std::nullopt},
    };
    for (const Case &c : cases) {
        const auto estimate = flashTimeFor(c.counts);
        ASSERT_EQ(estimate.has_value(), c.expected.has_value());
        if (estimate) {
            EXPECT_EQ(estimate->method, FlashEstimate::Method::Interpolated);
            EXPECT_DOUBLE_EQ(estimate->flashMs, *c.expected);
        }
    }
}

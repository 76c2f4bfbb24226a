#include "PaceSchedule.h"

#include <gtest/gtest.h>

#include <tuple>

#include <random>
#include <vector>

TEST(PaceSchedule, SlackIsTenPercentButAtLeastOneMillisecond)
{
    // {interval, shortest wait}
    const int cases[][2] = {{0, 0}, {1, 0}, {7, 6}, {19, 18}, {20, 18}, {40, 36}, {100, 90}, {2000, 1800}};
    for (const auto &c : cases)
        EXPECT_EQ(PaceSchedule::shortestWait(c[0]), c[1]) << c[0];
}

TEST(PaceSchedule, ChangedIntervalAppliesFromTheDueTime)
{
    PaceSchedule s;
    s.start(0, 350);
    EXPECT_EQ(s.next(352, 7), 6);     // blank line: its place, 357, is only 5 ms away; the floor keeps 6
    EXPECT_EQ(s.next(359, 525), 523); // one and a half intervals after a scroll, back on the schedule
    EXPECT_EQ(s.due(), 882);
}

TEST(PaceSchedule, ALateTickIsCaughtUpASlackAtATimeAndAStallNotAtAll)
{
    const std::tuple<const char *, std::vector<std::int64_t>, std::vector<std::int64_t>> cases[] = {
        {"30 ms late: three waits of 90 ms", {100, 230, 320, 410, 500}, {100, 90, 90, 90, 100}},
        {"a 350 ms stall: no wait shortened, the schedule starts afresh",
         {100, 550, 650, 750},
         {100, 100, 100, 100}},
    };
    for (const auto &[what, ticks, waits] : cases) {
        PaceSchedule s;
        s.start(0, 100);
        for (std::size_t n = 0; n < ticks.size(); ++n)
            EXPECT_EQ(s.next(ticks[n], 100), waits[n]) << what << ", tick " << n;
    }
}

// A timer driven by hand over seeded random intervals and latencies: each tick fires `late` ms after the
// wait it was given, now and then after a stall.
TEST(PaceSchedule, NoWaitBelowTheFloorAndNoDriftWithinTheSlack)
{
    std::mt19937 rng(20261207);
    for (int run = 0; run < 200; ++run) {
        const bool stalls = run % 2 == 1;
        PaceSchedule s;
        std::int64_t now = 1000;
        int interval = 7 + static_cast<int>(rng() % 400);
        s.start(now, interval);
        std::int64_t ideal = now + interval;
        std::int64_t lastTick = now;
        bool everLate = false;
        for (int n = 0; n < 300; ++n) {
            // The interval the tick will ask for next bounds how late it may be without moving the schedule.
            const int nextInterval = rng() % 4 == 0 ? 7 : 7 + static_cast<int>(rng() % 400);
            std::int64_t late = rng() % (PaceSchedule::slack(nextInterval) + 1);
            if (stalls && rng() % 25 == 0) {
                late = PaceSchedule::slack(nextInterval) + 1 + rng() % 1500;
                everLate = true;
            }
            now = s.due() + late;
            ASSERT_GE(now - lastTick, PaceSchedule::shortestWait(interval)) << "run " << run << " tick " << n;
            lastTick = now;
            // Without a stall every tick stays on start + the sum of the intervals.
            if (!everLate) {
                ASSERT_EQ(s.due(), ideal) << "run " << run << " tick " << n;
            }
            interval = nextInterval;
            const std::int64_t wait = s.next(now, interval);
            ASSERT_GE(wait, PaceSchedule::shortestWait(interval));
            ASSERT_EQ(now + wait, s.due());
            ideal += interval;
        }
        if (stalls) {
            EXPECT_TRUE(everLate) << "run " << run;
        }
    }
}

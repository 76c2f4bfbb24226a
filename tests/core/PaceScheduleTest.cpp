#include "PaceSchedule.h"

#include <gtest/gtest.h>

#include <random>

TEST(PaceSchedule, SlackIsTenPercentButAtLeastOneMillisecond)
{
    struct Case
    {
        int interval;
        std::int64_t slack;
        std::int64_t shortest;
    };
    const Case cases[] = {{0, 1, 0}, {1, 1, 0}, {7, 1, 6}, {10, 1, 9}, {19, 1, 18},
                          {20, 2, 18}, {40, 4, 36}, {100, 10, 90}, {2000, 200, 1800}};
    for (const Case &c : cases) {
        EXPECT_EQ(PaceSchedule::slack(c.interval), c.slack) << c.interval;
        EXPECT_EQ(PaceSchedule::shortestWait(c.interval), c.shortest) << c.interval;
    }
}

TEST(PaceSchedule, ChangedIntervalAppliesFromTheDueTime)
{
    PaceSchedule s;
    s.start(0, 350);
    EXPECT_EQ(s.next(352, 7), 6);     // blank line: due 357 is only 5 ms away, the floor keeps 6
    EXPECT_EQ(s.next(359, 525), 524); // one and a half intervals after a scroll, from the moved due time
    EXPECT_EQ(s.due(), 883);
}

TEST(PaceSchedule, AStallIsNotWonBackByFlashingFaster)
{
    // Flash time 100 ms and a 350 ms stall before the third tick: one piece stays long, the next still
    // gets at least 90 ms, and the schedule then runs from the late tick.
    PaceSchedule s;
    s.start(0, 100);
    EXPECT_EQ(s.next(100, 100), 100);
    EXPECT_EQ(s.next(550, 100), 90);
    EXPECT_EQ(s.next(640, 100), 100);
    EXPECT_EQ(s.due(), 740);
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

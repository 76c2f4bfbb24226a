#include "PaceSchedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

TEST(PaceSchedule, ALateTickIsCaughtUpASlackAtATimeAndAStallNotAtAll)
{
    // {interval, shortest wait}: the slack is 10 % but at least 1 ms.
    const int floors[][2] = {{0, 0}, {1, 0}, {7, 6}, {19, 18}, {20, 18}, {40, 36}, {100, 90}, {2000, 1800}};
    for (const auto &[interval, shortest] : floors)
        EXPECT_EQ(PaceSchedule::shortestWait(interval), shortest) << interval;

    using Ticks = std::vector<std::int64_t>;
    // Below 50 ms a tick is a stall only when more than 50 ms late, not an interval late.
    const std::tuple<const char *, int, Ticks, Ticks> cases[] = {
        {"30 ms late: three waits of 90 ms", 100, {100, 230, 320, 410, 500}, {100, 90, 90, 90, 100}},
        {"a 350 ms stall: no wait shortened, a fresh start", 100, {100, 550, 650, 750}, {100, 100, 100, 100}},
        {"45 ms late at 20 ms: caught up", 20, {65}, {18}},
        {"55 ms late at 20 ms: a stall", 20, {75}, {20}},
    };
    for (const auto &[what, interval, ticks, waits] : cases) {
        PaceSchedule s;
        s.start(0, interval);
        for (std::size_t n = 0; n < ticks.size(); ++n)
            EXPECT_EQ(s.next(ticks[n], interval), waits[n]) << what << ", tick " << n;
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
            SCOPED_TRACE(testing::Message() << "run " << run << " tick " << n);
            ASSERT_GE(now - lastTick, PaceSchedule::shortestWait(interval));
            lastTick = now;
            // Without a stall every tick stays on start + the sum of the intervals.
            ASSERT_TRUE(everLate || s.due() == ideal);
            interval = nextInterval;
            const std::int64_t wait = s.next(now, interval);
            ASSERT_GE(wait, PaceSchedule::shortestWait(interval));
            ASSERT_EQ(now + wait, s.due());
            ideal += interval;
        }
        EXPECT_EQ(everLate, stalls) << "run " << run;
    }
}

#include "PaceSchedule.h"

#include <gtest/gtest.h>

TEST(PaceSchedule, TicksStayOnTheGridWhateverTheLatency)
{
    PaceSchedule s;
    s.start(1000, 100);
    // Each tick arrives late by a varying amount; the n-th tick stays due at start + n * interval.
    const int latencies[] = {3, 17, 0, 42, 9, 99, 1};
    std::int64_t due = 1100;
    for (int late : latencies) {
        const std::int64_t now = due + late;
        const std::int64_t wait = s.next(now, 100);
        due += 100;
        EXPECT_EQ(now + wait, due);
    }
}

TEST(PaceSchedule, ChangedIntervalAppliesFromTheDueTime)
{
    PaceSchedule s;
    s.start(0, 350);
    EXPECT_EQ(s.next(352, 7), 5);     // blank line: due 357
    EXPECT_EQ(s.next(358, 525), 524); // one and a half intervals after a scroll: due 882
    EXPECT_EQ(s.due(), 882);
}

TEST(PaceSchedule, WaitIsNeverNegativeAndAStallStartsAfresh)
{
    PaceSchedule s;
    s.start(0, 10);
    EXPECT_EQ(s.next(30, 10), 0); // behind by 20 ms: catch up at once
    EXPECT_EQ(s.due(), 20);
    EXPECT_EQ(s.next(5000, 10), 10); // stalled for seconds: no burst of ticks
    EXPECT_EQ(s.due(), 5010);
}

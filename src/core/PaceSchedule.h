#pragma once

#include <algorithm>
#include <cstdint>

// When the ticks of a pacing timer are due, shared by every timed reader. Each tick is due at the previous
// due time + its interval on a steady clock, so time spent handling a tick, and timer latency, do not add up
// over a long reading. But no wait is ever shortened below interval - slack (slack = max(1 ms, 10 % of the
// interval)): a tick later than the slack allows moves the schedule to itself instead of being caught up by
// flashing faster, so no piece is shown for less than that and time lost in a stall is not won back.
class PaceSchedule
{
public:
    // How much of a late tick's delay the next wait may absorb.
    static constexpr std::int64_t slack(int interval) { return std::max<std::int64_t>(1, interval / 10); }
    // The shortest wait `next` returns for `interval` (never negative).
    static constexpr std::int64_t shortestWait(int interval)
    {
        return std::max<std::int64_t>(0, interval - slack(interval));
    }

    // First tick due at now + interval.
    void start(std::int64_t now, int interval) { m_due = now + std::max(0, interval); }

    // Called at a tick with the interval to the next one; returns how long to wait. The next tick is due at
    // the previous due time + interval, or at now + shortestWait(interval) when that would come sooner.
    std::int64_t next(std::int64_t now, int interval)
    {
        m_due = std::max(m_due + interval, now + shortestWait(interval));
        return m_due - now;
    }

    std::int64_t due() const { return m_due; }

private:
    std::int64_t m_due = 0;
};

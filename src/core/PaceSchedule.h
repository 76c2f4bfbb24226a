#pragma once

#include <algorithm>
#include <cstdint>

// When the ticks of a pacing timer are due, shared by every timed reader. Each tick belongs at the previous
// one's place + its interval on a steady clock, so handler time and timer latency do not add up over a long
// reading. But no wait is ever shorter than interval - slack (slack = max(1 ms, 10 % of the interval)): a
// late tick is caught up at most a slack per tick, never by firing ticks back to back. A tick later than a
// stall (more than an interval and 50 ms) starts the schedule afresh from itself: time lost in a stall is not
// won back.
class PaceSchedule
{
public:
    // How much shorter than its interval a wait may be.
    static constexpr std::int64_t slack(int interval) { return std::max<std::int64_t>(1, interval / 10); }
    // The shortest wait `next` returns for `interval` (never negative).
    static constexpr std::int64_t shortestWait(int interval)
    {
        return std::max<std::int64_t>(0, interval - slack(interval));
    }
    // A tick later than this (in ms) after its place stalled: the schedule starts afresh.
    static constexpr std::int64_t stallLimit(int interval) { return std::max(interval, 50); }

    // First tick due at now + interval.
    void start(std::int64_t now, int interval)
    {
        m_place = now + std::max(0, interval);
        m_due = m_place;
    }

    // Called at a tick with the interval to the next one; returns how long to wait.
    std::int64_t next(std::int64_t now, int interval)
    {
        if (now - m_place > stallLimit(interval))
            m_place = now;
        m_place += interval;
        m_due = std::max(m_place, now + shortestWait(interval));
        return m_due - now;
    }

    // When the next tick is due, and where it belongs on the schedule (later than that while catching up).
    std::int64_t due() const { return m_due; }
    std::int64_t place() const { return m_place; }

private:
    std::int64_t m_place = 0;
    std::int64_t m_due = 0;
};

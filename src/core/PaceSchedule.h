#pragma once

#include <cstdint>

// When the ticks of a pacing timer are due. Each tick is due at the previous due time + its interval, so time
// spent handling a tick, and timer latency, do not add up over a long reading. After a stall of more than a
// second the schedule starts afresh instead of firing a burst of catch-up ticks.
class PaceSchedule
{
public:
    // First tick due at now + interval.
    void start(std::int64_t now, int interval) { m_due = now + interval; }

    // Called at a tick with the interval to the next one; returns how long to wait (never negative).
    std::int64_t next(std::int64_t now, int interval)
    {
        if (now - m_due > kStallMs)
            m_due = now;
        m_due += interval;
        return m_due > now ? m_due - now : 0;
    }

    std::int64_t due() const { return m_due; }

private:
    static constexpr std::int64_t kStallMs = 1000;
    std::int64_t m_due = 0;
};

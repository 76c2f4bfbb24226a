#include "PaceTimer.h"

#include <algorithm>

PaceTimer::PaceTimer(Clock &clock, QObject *parent) : QObject(parent), m_clock(clock)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PaceTimer::onTimer);
}

void PaceTimer::start()
{
    start(m_interval);
}

void PaceTimer::start(int intervalMs)
{
    m_interval = intervalMs;
    m_active = true;
    ++m_generation;
    m_schedule.start(m_clock.nowMs(), m_interval);
    m_timer.start(std::max(0, m_interval));
}

void PaceTimer::stop()
{
    m_active = false;
    m_timer.stop();
}

void PaceTimer::onTimer()
{
    if (!m_active)
        return;
    const int generation = m_generation;
    Q_EMIT timeout();
    // The handler may have stopped or restarted the timer.
    if (!m_active || generation != m_generation)
        return;
    m_timer.start(static_cast<int>(m_schedule.next(m_clock.nowMs(), m_interval)));
}

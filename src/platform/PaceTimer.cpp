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
    m_due = m_clock.nowMs() + m_interval;
    m_timer.start(std::max(0, m_interval));
}

void PaceTimer::stop()
{
    m_active = false;
    m_timer.stop();
}

qint64 PaceTimer::nextWait(qint64 lastDue, int interval, qint64 now)
{
    return std::max<qint64>(0, lastDue + interval - now);
}

void PaceTimer::onTimer()
{
    if (!m_active)
        return;
    const qint64 due = m_due;
    Q_EMIT timeout();
    // The handler may have stopped or restarted the timer.
    if (!m_active || m_due != due)
        return;
    const qint64 now = m_clock.nowMs();
    // Far behind (the machine stalled): start afresh rather than fire a burst of catch-up ticks.
    if (now - (m_due + m_interval) > 1000)
        m_due = now;
    const qint64 wait = nextWait(m_due, m_interval, now);
    m_due += m_interval;
    m_timer.start(static_cast<int>(wait));
}

#pragma once

#include "PaceSchedule.h"
#include "Services.h"

#include <QObject>
#include <QTimer>

// A timer whose ticks are due at start + the sum of the intervals, not "last tick + interval": the wait
// before each tick is measured from when the previous one was due, so handler time and timer latency
// do not add up over a long reading; yet no wait is shorter than interval - max(1 ms, 10 %), so after a
// stall no tick is fired early to catch up (PaceSchedule). Used the way a QTimer is: start, stop,
// setInterval, timeout.
class PaceTimer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaceTimer)

public:
    PaceTimer(Clock &clock, QObject *parent = nullptr);

    void start();
    void start(int intervalMs);
    void stop();
    bool isActive() const { return m_active; }
    void setInterval(int intervalMs) { m_interval = intervalMs; }
    int interval() const { return m_interval; }

Q_SIGNALS:
    void timeout();

private:
    void onTimer();

    Clock &m_clock;
    QTimer m_timer;
    int m_interval = 1000;
    PaceSchedule m_schedule;
    bool m_active = false;
    int m_generation = 0;
};

#pragma once

// What the reader benchmarks share: a real steady clock, a program instance with scripted services, texts,
// a load on the other core, and the pacing measures taken against a timer's ideal schedule.

#include "../common/Exposure.h"
#include "FakeServices.h"
#include "PaceTimer.h"
#include "Program.h"
#include "app/AppState.h"
#include "app/ModeRegistry.h"
#include "app/mainwindow.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace bench {

class SteadyClock final : public Clock
{
public:
    SteadyClock() { m_timer.start(); }
    qint64 nowMs() override { return m_timer.elapsed(); }
    double nowPreciseMs() const { return static_cast<double>(m_timer.nsecsElapsed()) / 1e6; }

private:
    QElapsedTimer m_timer;
};

// Deterministic prose-like lines of at most 80 columns; every `blankEvery`th line is blank (0: none),
// and with `allBlank` every line is.
inline QStringList makeText(int lines, bool allBlank = false, int blankEvery = 0)
{
    QStringList out;
    quint32 seed = 12345;
    for (int i = 0; i < lines; ++i) {
        if (allBlank || (blankEvery > 0 && i % blankEvery == blankEvery - 1)) {
            out.append(QString());
            continue;
        }
        QString line;
        for (;;) {
            seed = seed * 1664525u + 1013904223u;
            const int len = 2 + static_cast<int>((seed >> 16) % 8);
            if (line.size() + len + 1 > 80)
                break;
            if (!line.isEmpty())
                line += u' ';
            line += QString(len, QChar(u'a' + static_cast<char16_t>((seed >> 8) % 26)));
        }
        out.append(line);
    }
    return out;
}

// A program instance with scripted services and a real steady clock, its main window shown.
struct BenchProgram
{
    BenchProgram()
        : services{fakes.messages, fakes.dialogs,  fakes.sound,     fakes.shell,
                   fakes.screen,   fakes.platform, fakes.clipboard, clock},
          state(services, dir.path()), form(state, modes)
    {
        registerModes(modes);
        form.FormCreate();
        editSettings(state, [&](TSettings &s) { s.SoundOn = 0; });
        form.resize(1000, 800);
        form.show();
        form.createStartWindows();
    }
    // Writes `lines` to a file and names it as the next text.
    void writeText(const QStringList &lines)
    {
        QFile f(dir.filePath(QStringLiteral("bench.txt")));
        f.open(QIODevice::WriteOnly);
        f.write((lines.join(u'\n') + u'\n').toUtf8());
        f.close();
        setStoryFileName(state, QStringLiteral("bench.txt"));
    }

    QTemporaryDir dir;
    FakeServiceSet fakes;
    SteadyClock clock;
    Services services;
    AppState state;
    ModeRegistry modes;
    TForm1 form;
};

using ::OtherCoreBusy;

// Holds the user-interface thread, as a slow handler or a busy system would.
inline void stall(const SteadyClock &clock, double ms)
{
    const double until = clock.nowPreciseMs() + ms;
    while (clock.nowPreciseMs() < until) {
    }
}

// One tick as the reader's timer delivered it: when it came, when it was due, the wait it then asked for,
// and when its handling ended (the reader paints then, so the fixation shows from there).
struct TickRecord
{
    double at;
    double due;
    int nextInterval;
    double doneAt;
};

// Onset error (tick time against its due time on the ideal schedule), exposure (from the end of one
// tick's handling to the next tick, against the wait the first asked for; the floor is
// interval - max(1 ms, 10 %)) and the drift left at the end.
struct PacingStats
{
    double meanAbsOnsetMs = 0;
    double medianAbsOnsetMs = 0;
    double maxAbsOnsetMs = 0;
    double endDriftMs = 0;
    double worstExposureSlackMs = 0; // min over ticks of exposure - interval (negative: shortened)
    int exposuresBelowFloor = 0;

    static PacingStats of(const std::vector<TickRecord> &ticks)
    {
        PacingStats s;
        if (ticks.empty())
            return s;
        std::vector<double> onset;
        for (const TickRecord &t : ticks)
            onset.push_back(std::abs(t.at - t.due));
        double sum = 0;
        for (double e : onset)
            sum += e;
        s.meanAbsOnsetMs = sum / static_cast<double>(onset.size());
        s.endDriftMs = ticks.back().at - ticks.back().due;
        std::sort(onset.begin(), onset.end());
        s.medianAbsOnsetMs = onset[onset.size() / 2];
        s.maxAbsOnsetMs = onset.back();
        s.worstExposureSlackMs = 1e9;
        for (std::size_t i = 0; i + 1 < ticks.size(); ++i) {
            const double shown = ticks[i + 1].at - ticks[i].doneAt;
            const double asked = ticks[i].nextInterval;
            s.worstExposureSlackMs = std::min(s.worstExposureSlackMs, shown - asked);
            if (shown < asked - std::max(1.0, 0.1 * asked))
                ++s.exposuresBelowFloor;
        }
        return s;
    }
};

// Reports a paced run the same way in every reader's benchmark; with `traceVariable` set in the environment
// each tick's onset error and next wait also go to stderr.
inline void reportPacing(benchmark::State &state, const std::vector<TickRecord> &records,
                         const char *traceVariable)
{
    const PacingStats s = PacingStats::of(records);
    state.counters["ticks"] = static_cast<double>(records.size());
    state.counters["mean_abs_onset_ms"] = s.meanAbsOnsetMs;
    // The median shows the pacer's own error; the mean and max also carry the machine's scheduling stalls.
    state.counters["median_abs_onset_ms"] = s.medianAbsOnsetMs;
    state.counters["max_abs_onset_ms"] = s.maxAbsOnsetMs;
    state.counters["end_drift_ms"] = s.endDriftMs;
    state.counters["worst_exposure_slack_ms"] = s.worstExposureSlackMs;
    state.counters["exposures_below_floor"] = s.exposuresBelowFloor;
    if (qEnvironmentVariableIsSet(traceVariable)) {
        for (const TickRecord &t : records)
            std::fprintf(stderr, "%.2f/%d ", t.at - t.due, t.nextInterval);
        std::fprintf(stderr, "\n");
    }
}

// Runs a reading on its real timer for `ticks` ticks, each timed against start + the waits asked for, and
// reports it. `onTick(ticks so far, next wait)` runs within each tick's handling, right after the reader's
// own, and may stall there; `start` and `stop` run and end the reading.
template <typename Reader>
void measurePacing(benchmark::State &state, Reader &reader, const SteadyClock &clock, int ticks,
                   const std::function<void(int, int)> &onTick, const std::function<void()> &start,
                   const std::function<void()> &stop, const char *traceVariable)
{
    std::vector<TickRecord> records;
    double due = 0.0;
    QEventLoop loop;
    const auto conn = QObject::connect(&reader.Timer1(), &PaceTimer::timeout, &loop, [&] {
        const int next = reader.Timer1().interval();
        records.push_back(TickRecord{clock.nowPreciseMs(), due, next, 0.0});
        due += next;
        onTick(static_cast<int>(records.size()), next);
        records.back().doneAt = clock.nowPreciseMs();
        if (static_cast<int>(records.size()) == ticks) {
            stop();
            loop.quit();
        }
    });
    const double started = clock.nowPreciseMs();
    due = started + reader.Timer1().interval();
    start();
    loop.exec();
    QObject::disconnect(conn);
    state.SetIterationTime((clock.nowPreciseMs() - started) / 1000.0);
    reportPacing(state, records, traceVariable);
}

} // namespace bench

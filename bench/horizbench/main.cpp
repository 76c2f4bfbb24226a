// Run offscreen: QT_QPA_PLATFORM=offscreen ./horizbench
// Layout of a 1000-line, 80-column text at K = 5; one tick's work (engine and paint) through the real
// window; and the pacer's accuracy at 7 ms, 10 ms and 100 ms against its ideal schedule, with the other core
// busy, as it comes and with one 300 ms stall of the user-interface thread injected at the 50th tick. Each
// tick's exposure (time to the next tick) is compared with the interval that tick asked for.

#include "FakeServices.h"
#include "HorizPacer.h"
#include "Program.h"
#include "app/AppState.h"
#include "app/ModeRegistry.h"
#include "app/mainwindow.h"
#include "control/HorizControlPage.h"
#include "control/control.h"
#include "readers/HorizPageView.h"
#include "readers/longread.h"

#include "Exposure.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFontMetrics>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

class SteadyClock final : public Clock
{
public:
    SteadyClock() { m_timer.start(); }
    qint64 nowMs() override { return m_timer.elapsed(); }
    double nowPreciseMs() const { return static_cast<double>(m_timer.nsecsElapsed()) / 1e6; }

private:
    QElapsedTimer m_timer;
};

// Deterministic prose-like lines of at most 80 columns.
QStringList makeText(int lines, bool blank)
{
    QStringList out;
    quint32 seed = 12345;
    for (int i = 0; i < lines; ++i) {
        if (blank) {
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

// A program instance with scripted services and a real steady clock.
struct BenchApp
{
    BenchApp()
        : services{fakes.messages, fakes.dialogs,  fakes.sound,     fakes.shell,
                   fakes.screen,   fakes.platform, fakes.clipboard, clock},
          state(services, dir.path()), form(state, modes)
    {
        registerModes(modes);
        form.FormCreate();
        state.Settings.SoundOn = 0;
        form.resize(1000, 800);
        form.show();
        form.createStartWindows();
        reader()->setPlacedGeometry(QRect(0, 0, 640, 400));
    }
    THorizonForm *reader() const { return qobject_cast<THorizonForm *>(state.modeWindow.data()); }
    void load(const QStringList &lines, int k, int interval)
    {
        QFile f(dir.filePath(QStringLiteral("bench.txt")));
        f.open(QIODevice::WriteOnly);
        f.write((lines.join(u'\n') + u'\n').toUtf8());
        f.close();
        state.Settings.HorizFixations = static_cast<std::uint8_t>(k);
        state.Settings.HorizInterval = interval;
        setStoryFileName(state, QStringLiteral("bench.txt"));
        reader()->LoadHorizontalText();
        reader()->setPacingInterval(interval);
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    FakeServiceSet fakes;
    SteadyClock clock;
    Services services;
    AppState state;
    ModeRegistry modes;
    TForm1 form;
};

BenchApp *g_program = nullptr;

void BM_LayoutCore(benchmark::State &state)
{
    const QStringList text = makeText(1000, false);
    for (auto _ : state) {
        HorizText t = LayoutHorizontalText(text, 5);
        benchmark::DoNotOptimize(t.TotalFixations);
    }
}
BENCHMARK(BM_LayoutCore)->Unit(benchmark::kMillisecond);

// What a load costs the window: the tables, the page's draw list measured in the real font, and storing it.
void BM_LayoutWithPage(benchmark::State &state)
{
    const QStringList text = makeText(1000, false);
    HorizPageView view;
    view.setPageFont(QFont(QStringLiteral("Liberation Serif"), 12));
    for (auto _ : state) {
        view.clear();
        const HorizText t = LayoutHorizontalText(text, 5);
        view.draw(drawHorizontalPage(t, 2, view.metrics()));
        benchmark::DoNotOptimize(view.commandCount());
    }
}
BENCHMARK(BM_LayoutWithPage)->Unit(benchmark::kMillisecond);

// One pacer tick through the window: the engine, the draw list, and painting the exposed region.
void BM_TickWork(benchmark::State &state)
{
    BenchApp &p = *g_program;
    p.load(makeText(1000, false), 5, 100);
    THorizonForm *r = p.reader();
    double maxMs = 0.0;
    double sumMs = 0.0;
    std::int64_t n = 0;
    for (auto _ : state) {
        if (r->reading().state().FixationCounter >= r->reading().text().TotalFixations) {
            state.PauseTiming();
            p.load(makeText(1000, false), 5, 100);
            state.ResumeTiming();
        }
        QElapsedTimer t;
        t.start();
        r->Timer1Timer();
        QCoreApplication::processEvents();
        const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
        maxMs = std::max(maxMs, ms);
        sumMs += ms;
        ++n;
    }
    state.counters["mean_ms"] = sumMs / static_cast<double>(n);
    state.counters["max_ms"] = maxMs;
}
BENCHMARK(BM_TickWork)->Unit(benchmark::kMicrosecond)->Iterations(3000);

// Real timers: every tick's time against start + the sum of the intervals the engine asked for.
void pacingAccuracy(benchmark::State &state, bool blank, int interval, int ticks, bool stall = false)
{
    BenchApp &p = *g_program;
    const OtherCoreBusy load;
    for (auto _ : state) {
        p.load(makeText(1000, blank), 5, interval);
        THorizonForm *r = p.reader();
        std::vector<double> errors;
        std::vector<double> onsets;
        std::vector<double> asked;
        double ideal = 0.0;
        QEventLoop loop;
        const auto conn = QObject::connect(&r->Timer1(), &PaceTimer::timeout, &loop, [&] {
            // Runs right after the reader's own tick handler.
            const double now = p.clock.nowPreciseMs();
            errors.push_back(now - ideal);
            onsets.push_back(now);
            asked.push_back(r->Timer1().interval());
            ideal += r->Timer1().interval();
            if (stall && errors.size() == 50)
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (static_cast<int>(errors.size()) == ticks) {
                r->stopTimers();
                loop.quit();
            }
        });
        const double started = p.clock.nowPreciseMs();
        ideal = started + r->Timer1().interval();
        r->startTimers();
        loop.exec();
        QObject::disconnect(conn);
        double sum = 0.0;
        double maxAbs = 0.0;
        for (double e : errors) {
            sum += std::abs(e);
            maxAbs = std::max(maxAbs, std::abs(e));
        }
        state.SetIterationTime((p.clock.nowPreciseMs() - started) / 1000.0);
        state.counters["ticks"] = static_cast<double>(errors.size());
        state.counters["mean_abs_err_ms"] = sum / static_cast<double>(errors.size());
        state.counters["max_abs_err_ms"] = maxAbs;
        state.counters["end_drift_ms"] = errors.back();
        // The median shows the pacer's own error; the mean and max also carry the machine's scheduling
        // stalls.
        std::vector<double> sorted;
        for (double e : errors)
            sorted.push_back(std::abs(e));
        std::sort(sorted.begin(), sorted.end());
        state.counters["median_abs_err_ms"] = sorted[sorted.size() / 2];
        const ExposureStats x = exposureStats(onsets, asked);
        state.counters["exp_min_err_ms"] = x.minError;
        state.counters["exp_p1_err_ms"] = x.p1Error;
        state.counters["exp_mean_err_ms"] = x.meanError;
        state.counters["exp_below_floor"] = x.floorMisses;
        if (qEnvironmentVariableIsSet("HORIZBENCH_TRACE")) {
            for (double e : errors)
                fprintf(stderr, "%.2f ", e);
            fprintf(stderr, "\n");
        }
    }
}

void BM_Pacing7msBlankLines(benchmark::State &state)
{
    pacingAccuracy(state, true, 10, 400);
}
BENCHMARK(BM_Pacing7msBlankLines)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Pacing100ms(benchmark::State &state)
{
    pacingAccuracy(state, false, 100, 100);
}
BENCHMARK(BM_Pacing100ms)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Pacing10ms(benchmark::State &state)
{
    pacingAccuracy(state, false, 10, 1000);
}
BENCHMARK(BM_Pacing10ms)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Pacing10msStall(benchmark::State &state)
{
    pacingAccuracy(state, false, 10, 1000, true);
}
BENCHMARK(BM_Pacing10msStall)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Pacing100msStall(benchmark::State &state)
{
    pacingAccuracy(state, false, 100, 100, true);
}
BENCHMARK(BM_Pacing100msStall)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// For comparison under the same load: how late a plain precise single-shot timer wakes up.
void BM_TimerWakeBaseline(benchmark::State &state)
{
    const int interval = static_cast<int>(state.range(0));
    const std::size_t samples = interval < 50 ? 200 : 30;
    BenchApp &p = *g_program;
    const OtherCoreBusy load;
    for (auto _ : state) {
        std::vector<double> late;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QEventLoop loop;
        double asked = 0.0;
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            late.push_back(p.clock.nowPreciseMs() - asked);
            if (late.size() == samples) {
                loop.quit();
                return;
            }
            asked = p.clock.nowPreciseMs() + interval;
            timer.start(interval);
        });
        asked = p.clock.nowPreciseMs() + interval;
        timer.start(interval);
        loop.exec();
        std::sort(late.begin(), late.end());
        double sum = 0.0;
        for (double l : late)
            sum += l;
        state.SetIterationTime(static_cast<double>(samples) * interval / 1000.0);
        state.counters["mean_late_ms"] = sum / static_cast<double>(late.size());
        state.counters["median_late_ms"] = late[late.size() / 2];
        state.counters["max_late_ms"] = late.back();
    }
}
BENCHMARK(BM_TimerWakeBaseline)
    ->Arg(7)
    ->Arg(100)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    BenchApp program;
    g_program = &program;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_program = nullptr;
    return 0;
}

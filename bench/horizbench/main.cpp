// Run offscreen: QT_QPA_PLATFORM=offscreen ./horizbench
// Layout of a 1000-line, 80-column text at K = 5; one tick's work (engine and paint) through the real
// window; and the pacer's accuracy at 7 ms, 10 ms and 100 ms against its ideal schedule, with the other core
// busy, and at 100 ms with one 300 ms stall of the user-interface thread.

#include "BenchSupport.h"
#include "HorizPacer.h"
#include "readers/HorizPageView.h"
#include "readers/longread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>

namespace {

using bench::makeText;
using bench::OtherCoreBusy;

// The shared program, with the horizontal reader (open at start) placed and loaded as each benchmark asks.
struct BenchApp : bench::BenchProgram
{
    BenchApp() { reader()->setPlacedGeometry(QRect(0, 0, 640, 400)); }
    THorizonForm *reader() const { return qobject_cast<THorizonForm *>(state.modeWindow.data()); }
    void load(const QStringList &lines, int k, int interval)
    {
        writeText(lines);
        editSettings(state, [&](TSettings &s) { s.HorizFixations = static_cast<std::uint8_t>(k); });
        editSettings(state, [&](TSettings &s) { s.HorizInterval = interval; });
        reader()->LoadHorizontalText();
        reader()->setPacingInterval(interval);
        QCoreApplication::processEvents();
    }
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

// Real timers: every tick's time against start + the sum of the intervals the engine asked for. With
// `stallAtTick`, the user-interface thread is held 300 ms once, in that tick's handling.
void pacingAccuracy(benchmark::State &state, bool blank, int interval, int ticks, int stallAtTick = 0)
{
    BenchApp &p = *g_program;
    const OtherCoreBusy load;
    for (auto _ : state) {
        p.load(makeText(1000, blank), 5, interval);
        THorizonForm *r = p.reader();
        bench::measurePacing(
            state, *r, p.clock, ticks,
            [&](int tick, int) {
                if (tick == stallAtTick)
                    bench::stall(p.clock, 300.0);
            },
            [r] { r->startReading(); }, [r] { r->pauseReading(); }, "HORIZBENCH_TRACE");
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
    pacingAccuracy(state, false, 10, 400);
}
BENCHMARK(BM_Pacing10ms)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Pacing100msStall300(benchmark::State &state)
{
    pacingAccuracy(state, false, 100, 100, 50);
}
BENCHMARK(BM_Pacing100msStall300)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

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

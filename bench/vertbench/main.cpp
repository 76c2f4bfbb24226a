// Run offscreen: QT_QPA_PLATFORM=offscreen ./vertbench
// Layout of a 1000-line, 80-column text at F = 3 (tables alone, and with the page's draw list measured in the
// page's font as the reader measures it), one pacer tick's work over whole readings (mean and worst), and
// the pacing through the real window and timer at F = 3, D = 5, 600 ms and 150 ms, with the other core busy,
// without and with one 300 ms stall.
// Targets: layout 20 ms or less, a tick 1 ms or less; mean onset error 1 ms or less, no exposure below
// interval - max(1 ms, 10 %), drift 16.7 ms or less.

#include "BenchSupport.h"
#include "VertPacer.h"
#include "readers/HorizPageView.h"
#include "readers/vertical.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

using bench::OtherCoreBusy;

bench::BenchProgram *g_program = nullptr;

// Prose with a blank line now and then, as stories have.
QStringList makeText(int lines)
{
    return bench::makeText(lines, false, 23);
}

// The measures the reader's page gives for its font.
HorizMetrics fontMetrics()
{
    HorizPageView view;
    view.setPageFont(QFont(QStringLiteral("Liberation Serif"), 12));
    return view.metrics();
}

void BM_LayoutCore(benchmark::State &state)
{
    const QStringList text = makeText(1000);
    for (auto _ : state) {
        HorizText t = LayoutVerticalText(text, 3);
        benchmark::DoNotOptimize(t.TotalFixations);
    }
}
BENCHMARK(BM_LayoutCore)->Unit(benchmark::kMillisecond);

void BM_LayoutWithPage(benchmark::State &state)
{
    const QStringList text = makeText(1000);
    const HorizMetrics metrics = fontMetrics();
    for (auto _ : state) {
        const HorizText t = LayoutVerticalText(text, 3);
        const auto page = drawVerticalPage(t, 2, metrics);
        benchmark::DoNotOptimize(page.size());
    }
}
BENCHMARK(BM_LayoutWithPage)->Unit(benchmark::kMillisecond);

// Every tick of whole readings, F = 3 and D = 5, timed one by one; a finished reading is replaced untimed.
void BM_Tick(benchmark::State &state)
{
    const HorizMetrics metrics = fontMetrics();
    const HorizText text = LayoutVerticalText(makeText(1000), 3);
    auto fresh = [&] {
        auto p = std::make_unique<VertPacer>(text, 5, metrics);
        p->start();
        return p;
    };
    auto pacer = fresh();
    const VertTickInput in{400, 300, 100};
    double maxMs = 0.0;
    double sumMs = 0.0;
    std::int64_t n = 0;
    for (auto _ : state) {
        if (pacer->finished()) {
            state.PauseTiming();
            pacer = fresh();
            state.ResumeTiming();
        }
        QElapsedTimer t;
        t.start();
        const VertTick tick = pacer->tick(in);
        const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
        benchmark::DoNotOptimize(tick.draws.size());
        maxMs = std::max(maxMs, ms);
        sumMs += ms;
        ++n;
    }
    state.counters["mean_ms"] = sumMs / static_cast<double>(n);
    state.counters["max_ms"] = maxMs;
}
BENCHMARK(BM_Tick)->Unit(benchmark::kMicrosecond)->Iterations(20000);

// The vertical reader through its real timers: each tick's time against start + the waits the pacer asked
// for, at F = 3, D = 5, VertInterval 600 and VertSecondInterval 150, with the other core busy. With
// `stallAtTick`, the user-interface thread is held 300 ms once, at the first tick from there on that asks for
// the short wait.
void vertPacing(benchmark::State &state, int ticks, int stallAtTick)
{
    bench::BenchProgram &p = *g_program;
    editSettings(p.state, [&](TSettings &s) { s.VertFixations = 3; });
    editSettings(p.state, [&](TSettings &s) { s.VertDownSweep = 5; });
    editSettings(p.state, [&](TSettings &s) { s.VertInterval = 600; });
    editSettings(p.state, [&](TSettings &s) { s.VertSecondInterval = 150; });
    p.form.openMode(Mode::Vert);
    auto *r = qobject_cast<TVertForm *>(p.state.modeWindow.data());
    r->setPlacedGeometry(QRect(0, 0, 640, 400));
    const OtherCoreBusy load;
    for (auto _ : state) {
        p.writeText(makeText(1000));
        r->LoadVerticalText();
        r->setPacingInterval(p.state.Settings.VertInterval);
        QCoreApplication::processEvents();
        bool stalled = false;
        bench::measurePacing(
            state, *r, p.clock, ticks,
            [&](int tick, int next) {
                // The stall goes where it hurts: before a short wait, which a block's long pause would
                // otherwise absorb.
                if (!stalled && stallAtTick > 0 && tick >= stallAtTick &&
                    next == p.state.Settings.VertSecondInterval) {
                    stalled = true;
                    bench::stall(p.clock, 300.0);
                }
            },
            [r] { r->startReading(); }, [r] { r->pauseReading(); }, "VERTBENCH_TRACE");
    }
}

void BM_Pacing600And150(benchmark::State &state)
{
    vertPacing(state, 120, 0);
}
BENCHMARK(BM_Pacing600And150)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Pacing600And150Stall300(benchmark::State &state)
{
    vertPacing(state, 120, 30);
}
BENCHMARK(BM_Pacing600And150Stall300)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    bench::BenchProgram program;
    g_program = &program;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_program = nullptr;
    return 0;
}

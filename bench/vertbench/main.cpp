// Run offscreen: QT_QPA_PLATFORM=offscreen ./vertbench
// Layout of a 1000-line, 80-column text at F = 3 (tables alone, and with the page's draw list measured in the
// page's font as the reader measures it), and one pacer tick's work over whole readings (mean and worst).
// Targets: layout 20 ms or less, a tick 1 ms or less. Benchmarks that need the window (onset, exposure,
// drift through the real timer) are to be registered beside these.

#include "VertPacer.h"
#include "readers/HorizPageView.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

// Deterministic prose-like lines of at most 80 columns, with a blank line now and then.
QStringList makeText(int lines)
{
    QStringList out;
    quint32 seed = 12345;
    for (int i = 0; i < lines; ++i) {
        if (i % 23 == 22) {
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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

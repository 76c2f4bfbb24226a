// Run offscreen: QT_QPA_PLATFORM=offscreen ./createtextbench
// A book-length text (about 640 KB, 2500 paragraphs) in the create-text box of a 1000-pixel window: the
// narrowing to 80-character lines (every pass wraps the first 1000 displayed lines and repaints the box), the
// line count over the whole text, and Format Text.

#include "CreateText.h"
#include "FakeServices.h"
#include "Program.h"
#include "app/AppState.h"
#include "app/mainwindow.h"
#include "control/MakeText.h"

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QString book()
{
    static const QStringList words = {"the",    "harbour", "light", "was", "burning", "over",
                                      "a",      "quiet",   "sea",   "and", "keeper",  "walked",
                                      "slowly", "along",   "stone", "pier"};
    QRandomGenerator rng(2026);
    QStringList paragraphs;
    for (int p = 0; p < 2500; ++p) {
        QStringList paragraph;
        for (int w = 0; w < 40; ++w)
            paragraph.append(words.at(rng.bounded(static_cast<int>(words.size()))));
        paragraphs.append(paragraph.join(u' '));
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}

// The program with its create-text window open.
struct Session
{
    QTemporaryDir dir;
    FakeServiceSet fakes;
    std::unique_ptr<Program> program;
    TCreateTextForm *window = nullptr;

    Session()
    {
        program = std::make_unique<Program>(fakes.services(), dir.path());
        program->start();
        program->frame()->findChild<QAction *>(QStringLiteral("createTextAction"))->trigger();
        window = qobject_cast<TCreateTextForm *>(program->state.modeWindow.data());
        window->memo()->setPlainText(QStringLiteral("short"));
        window->setPlacedGeometry(QRect(0, 0, 1000, 400));
        window->memo()->setPlainText(book());
    }
};

Session &session()
{
    // Left to the end of the process: its windows must not outlive the application object.
    static Session *s = new Session;
    return *s;
}

void BM_NarrowToEightyColumns(benchmark::State &state)
{
    Session &s = session();
    int passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Widened with a short text, so that the resize itself finds nothing to narrow.
        s.window->memo()->setPlainText(QStringLiteral("short"));
        s.window->setPlacedGeometry(QRect(0, 0, 1000, 400));
        s.window->memo()->setPlainText(book());
        s.fakes.messages.expect(MessageKind::Information, autoResizeMessage());
        state.ResumeTiming();
        s.window->MeasureWidth();
        passes = 1000 - s.window->placedGeometry().width();
    }
    state.counters["pixels narrowed"] = passes;
    state.counters["longest line"] = s.window->longestLineLength();
}
BENCHMARK(BM_NarrowToEightyColumns)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CountLinesOfTheBook(benchmark::State &state)
{
    Session &s = session();
    for (auto _ : state)
        s.window->CountLines();
    state.counters["lines"] = s.window->lineCount();
}
BENCHMARK(BM_CountLinesOfTheBook)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

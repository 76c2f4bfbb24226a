// exercisebench [ITEMS] [MS...]
// Flashes ITEMS words (default 40) at each flash time (default 5, 20, 50, 100 ms) through the real exercise
// window, offscreen, on the steady clock, while a second thread keeps the other core busy. A flash lasts from
// the paint that shows the word to the paint that erases it. Prints, per flash time, the mean and worst
// error (duration - flash time) and the shortest flash, in milliseconds, and beside them the same figures for
// a bare precise timer of the same interval, which tell how much of the error is the machine's load. The
// countdown and answer delay are stepped by hand: only the flash itself runs on its timer.

#include "FakeServices.h"
#include "Program.h"
#include "QtServices.h"
#include "app/AppState.h"
#include "app/mainwindow.h"
#include "assess/exercise.h"
#include "control/control.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// Notes the time of each paint of a word label and whether it painted a word.
class PaintLog final : public QObject
{
public:
    struct Paint
    {
        double at;
        bool word;
        QObject *label;
    };
    std::vector<Paint> paints;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            paints.push_back({nowMs(), !static_cast<QLabel *>(watched)->text().isEmpty(), watched});
        return false;
    }
};

struct Result
{
    int flashes = 0;
    double mean = 0;
    double worstLonger = 0;
    double shortest = 0;
};

// Each duration's error against the flash time: the mean, the longest over and the shortest shown.
Result summarise(const std::vector<double> &durations, int flashTime)
{
    Result r;
    r.flashes = static_cast<int>(durations.size());
    if (durations.empty())
        return r;
    double sum = 0;
    r.worstLonger = durations.front() - flashTime;
    r.shortest = durations.front();
    for (double d : durations) {
        sum += d - flashTime;
        r.worstLonger = std::max(r.worstLonger, d - flashTime);
        r.shortest = std::min(r.shortest, d);
    }
    r.mean = sum / static_cast<double>(durations.size());
    return r;
}

Result measure(int items, int flashTime)
{
    QTemporaryDir dir;
    FakeServiceSet fakes;
    fakes.sound.devices = 0;
    SteadyClock clock;
    Services services{fakes.messages, fakes.dialogs,  fakes.sound,     fakes.shell,
                      fakes.screen,   fakes.platform, fakes.clipboard, clock};
    Program program(services, dir.path());
    AppState &state = program.state;
    editSettings(state, [&](TSettings &s) { s.SoundOn = 0; });
    program.start();
    program.frame()->openMode(Mode::Exercise);
    auto *form = qobject_cast<TExerciseForm *>(state.modeWindow.data());
    QWidget *panel = state.controlPanel.data();
    panel->findChild<QScrollBar *>(QStringLiteral("exerciseFlashTimeBar"))->setValue(flashTime);
    panel->findChild<QSpinBox *>(QStringLiteral("exercisePracticeMinutesSpin"))->setValue(4);
    PaintLog log;
    form->wordLabel(1)->installEventFilter(&log);
    form->wordLabel(2)->installEventFilter(&log);

    panel->findChild<QPushButton *>(QStringLiteral("exerciseStartButton"))->click();
    std::vector<double> durations;
    for (int item = 0; item < items; ++item) {
        for (int i = 0; i < 4; ++i)
            form->countdownTimer();
        log.paints.clear();
        while (form->engine().phase() != TExerciseEngine::Phase::Delay)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // The first paint of the word, then the first paint of that label without it.
        const auto shown = std::find_if(log.paints.begin(), log.paints.end(), [](auto &p) { return p.word; });
        const auto erased =
            shown == log.paints.end() ? shown : std::find_if(shown, log.paints.end(), [&](auto &p) {
                return p.label == shown->label && !p.word;
            });
        if (shown != log.paints.end() && erased != log.paints.end())
            durations.push_back(erased->at - shown->at);
        form->answerDelayTimer();
        form->findChild<QRadioButton *>(QStringLiteral("choiceBox1"))->click();
        form->findChild<QPushButton *>(QStringLiteral("enterButton"))->click();
        form->findChild<QPushButton *>(QStringLiteral("nextWordButton"))->click();
    }

    return summarise(durations, flashTime);
}

// The same waits on a bare precise timer, for comparison: what the machine's load alone adds.
Result bareTimer(int items, int flashTime)
{
    std::vector<double> durations;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    double startedAt = 0;
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        durations.push_back(nowMs() - startedAt);
        if (static_cast<int>(durations.size()) == items) {
            loop.quit();
            return;
        }
        startedAt = nowMs();
        timer.start(flashTime);
    });
    startedAt = nowMs();
    timer.start(flashTime);
    loop.exec();

    return summarise(durations, flashTime);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int items = 40;
    std::vector<int> times;
    for (int i = 1; i < argc; ++i) {
        const int value = QString::fromLocal8Bit(argv[i]).toInt();
        if (i == 1)
            items = std::max(1, value);
        else
            times.push_back(value);
    }
    if (times.empty())
        times = {5, 20, 50, 100};

    // The other core busy, as when a build or another program runs beside the exercise.
    std::atomic<bool> busy{true};
    std::thread load([&busy] {
        volatile unsigned long spin = 0;
        while (busy.load(std::memory_order_relaxed))
            spin = spin + 1;
    });

    std::printf("%-8s %6s %8s %10s %12s %10s\n", "", "ms", "flashes", "mean err", "worst longer", "shortest");
    for (int ms : times) {
        const Result r = measure(items, ms);
        std::printf("%-8s %6d %8d %10.3f %12.3f %10.3f\n", "window", ms, r.flashes, r.mean, r.worstLonger,
                    r.shortest);
        const Result bare = bareTimer(items, ms);
        std::printf("%-8s %6d %8d %10.3f %12.3f %10.3f\n", "timer", ms, bare.flashes, bare.mean,
                    bare.worstLonger, bare.shortest);
        std::fflush(stdout);
    }
    busy = false;
    load.join();
    return 0;
}

// tachi_timing [STORY.bwr] [MS...]
// Reads a shipped story through the real tachistoscope window (offscreen) at each flash time (default 40,
// 100, 250 ms), with the other core kept busy, twice: once as it comes and once with one 300 ms stall of the
// user-interface thread injected at the 100th flash. Prints, per run, the onset error of every display change
// against the ideal schedule start + n x flash time (mean and max |error|, drift of the last flash) and each
// flash's exposure (time to the next change): the shortest, the 1st percentile and mean error against the
// flash time, and how many fell below flash time - max(1 ms, 10 %). All in milliseconds.

#include "FakeServices.h"
#include "Program.h"
#include "QtServices.h"
#include "app/mainwindow.h"
#include "control/control.h"
#include "readers/tacky.h"

#include "Exposure.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

struct Result
{
    int flashes = 0;
    double meanAbs = 0;
    double maxAbs = 0;
    double drift = 0;
    double median = 0;
    double p95 = 0;
    ExposureStats exposure;
};

constexpr std::size_t kStallAtFlash = 100;
constexpr int kStallMs = 300;

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

Result measure(const QString &story, int flashTime, bool stall)
{
    const OtherCoreBusy load;
    QTemporaryDir dir;
    QFile::copy(QDir(QStringLiteral(BW_DATA_DIR)).filePath(story), dir.filePath(story));
    FakeServiceSet fakes;
    fakes.sound.devices = 0;
    SteadyClock clock;
    Services services{fakes.messages, fakes.dialogs,  fakes.sound,     fakes.shell,
                      fakes.screen,   fakes.platform, fakes.clipboard, clock};
    Program program(services, dir.path());
    AppState &state = program.state;
    program.start();
    program.frame()->openMode(Mode::Tachi);
    auto *reader = qobject_cast<TTachiForm *>(state.modeWindow.data());
    QWidget *panel = state.controlPanel.data();
    setStoryFileName(state, story);
    reader->loadStory();
    panel->findChild<QPushButton *>(QStringLiteral("formatTextButton"))->click();
    reader->findChild<QScrollBar *>(QStringLiteral("flashTimeBar"))->setValue(flashTime);
    fakes.messages.expect(MessageKind::Confirm,
                          QStringLiteral("Do you want to save this WPM score on chart?"), false);

    std::vector<double> changes;
    changes.reserve(4096);
    QObject::connect(reader, &TTachiForm::displayChanged, reader, [&changes, stall] {
        changes.push_back(nowMs());
        if (stall && changes.size() == kStallAtFlash + 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(kStallMs));
    });
    QEventLoop loop;
    QObject::connect(reader, &TTachiForm::readingEnded, &loop,
                     [&loop] { QTimer::singleShot(0, &loop, &QEventLoop::quit); });
    panel->findChild<QPushButton *>(QStringLiteral("startReadButton"))->click();
    loop.exec();

    // changes[0] is the display emptied at Start Read, just before the timer starts; change n is flash n.
    Result r;
    const double start = changes.front();
    double sum = 0;
    std::vector<double> errors;
    for (std::size_t n = 1; n < changes.size(); ++n) {
        const double error = changes[n] - (start + static_cast<double>(n) * flashTime);
        sum += std::abs(error);
        errors.push_back(std::abs(error));
        r.maxAbs = std::max(r.maxAbs, std::abs(error));
        r.drift = error;
    }
    r.flashes = static_cast<int>(changes.size()) - 1;
    r.meanAbs = r.flashes > 0 ? sum / r.flashes : 0;
    std::sort(errors.begin(), errors.end());
    if (!errors.empty()) {
        r.median = errors[errors.size() / 2];
        r.p95 = errors[errors.size() * 95 / 100];
    }
    const std::vector<double> onsets(changes.begin() + 1, changes.end());
    r.exposure = exposureStats(onsets, std::vector<double>(onsets.size(), flashTime));
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString story = QStringLiteral("Mitch.bwr");
    std::vector<int> times;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        bool number = false;
        const int ms = arg.toInt(&number);
        if (number)
            times.push_back(ms);
        else
            story = arg;
    }
    if (times.empty())
        times = {40, 100, 250};
    std::printf("story %s, other core busy\n%6s %6s %7s %8s %8s %8s %8s %8s | %8s %8s %8s %8s %6s\n",
                qPrintable(story), "ms", "run", "flashes", "mean|e|", "med|e|", "p95|e|", "max|e|", "drift",
                "minExp", "minErr", "p1Err", "meanErr", "<floor");
    for (int ms : times) {
        for (bool stall : {false, true}) {
            const Result r = measure(story, ms, stall);
            const ExposureStats &x = r.exposure;
            std::printf("%6d %6s %7d %8.3f %8.3f %8.3f %8.3f %8.3f | %8.3f %8.3f %8.3f %8.3f %6d\n", ms,
                        stall ? "stall" : "busy", r.flashes, r.meanAbs, r.median, r.p95, r.maxAbs, r.drift,
                        x.minExposure, x.minError, x.p1Error, x.meanError, x.floorMisses);
            std::fflush(stdout);
        }
    }
    return 0;
}

// tachi_timing [STORY.bwr] [MS...]
// Reads a shipped story through the real tachistoscope window (offscreen) at each flash time (default 40,
// 100, 250 ms) and compares every display change with the ideal schedule start + n x flash time. Prints, per
// flash time, the number of flashes, mean and max |error| and the drift of the last flash, in milliseconds.

#include "FakeServices.h"
#include "Program.h"
#include "QtServices.h"
#include "app/mainwindow.h"
#include "control/control.h"
#include "readers/tacky.h"

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
};

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

Result measure(const QString &story, int flashTime)
{
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
    QObject::connect(reader, &TTachiForm::displayChanged, reader, [&changes] { changes.push_back(nowMs()); });
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
    std::printf("story %s\n%8s %8s %10s %10s %10s %10s %10s\n", qPrintable(story), "ms", "flashes", "mean|e|",
                "median|e|", "p95|e|", "max|e|", "drift");
    for (int ms : times) {
        const Result r = measure(story, ms);
        std::printf("%8d %8d %10.3f %10.3f %10.3f %10.3f %10.3f\n", ms, r.flashes, r.meanAbs, r.median, r.p95,
                    r.maxAbs, r.drift);
        std::fflush(stdout);
    }
    return 0;
}

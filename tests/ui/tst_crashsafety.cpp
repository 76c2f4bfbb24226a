#include "TestSupport.h"

#include "AppValues.h"
#include "SettingsFile.h"
#include "app/AppState.h"
#include "control/ControlPage.h"
#include "control/control.h"
#include "readers/PacedReader.h"
#include "readers/SpeedTest.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// A kill (power cut, crash, the user ending the process) must never cost a score the user has seen, nor the
// settings file. The program is killed for real: a child process runs its start-up with scripted services in
// a folder of this test's, and the test is the next start.

namespace {

const char *const kReadToTheScore = "--read-to-the-score";

// The user who reads the score and never answers: prints what the reading scored and waits for the end.
class UserAtTheScore final : public MessageService
{
public:
    QString scoreMessage; // how the message showing the score begins
    std::function<double()> score;
    void error(const QString &text) override { stop(text); }
    void information(const QString &text) override { stop(text); }
    void plain(const QString &text) override { stop(text); }
    bool confirm(const QString &text) override { stop(text); }

private:
    [[noreturn]] void stop(const QString &text)
    {
        if (!text.startsWith(scoreMessage)) {
            std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
            std::_Exit(1);
        }
        std::printf("SCORE %.17g\n", score());
        std::fflush(stdout);
        for (;;)
            pause();
    }
};

// The child: the program in `dir`, a text read to its score in the horizontal reader or the speed test.
int readToTheScore(const QString &dir, Mode mode)
{
    FakeServiceSet fakes;
    fakes.sound.devices = 0; // no sound files to look for
    UserAtTheScore user;
    const Services s = fakes.services();
    Program program(Services{user, s.dialogs, s.sound, s.shell, s.screen, s.platform, s.clipboard, s.clock},
                    dir);
    QFile text(QDir(dir).filePath(QStringLiteral("a.txt")));
    if (!program.start() || !text.open(QIODevice::WriteOnly))
        return 2;
    text.write(QByteArray("twenty-five characters...\n").repeated(30));
    text.close();
    if (mode == Mode::SpeedTest) {
        QPushButton *stop = speedTestToTheEnd(program, fakes.dialogs, text.fileName(), 60);
        auto *reader = qobject_cast<TSpeedTestForm *>(program.state.modeWindow.data());
        user.scoreMessage = QStringLiteral("You were reading at ");
        user.score = [reader] { return reader->values().SpeedTestWpm; };
        stop->click();
        return 3;
    }
    user.scoreMessage = kSaveWpmQuestion;
    user.score = [&program] { return program.state.lastWpm(Mode::Horiz); };
    setStoryFileName(program.state, QStringLiteral("a.txt"));
    auto *reader = qobject_cast<PacedReader *>(program.state.modeWindow.data());
    reader->loadStory();
    pageOf(program.state, Mode::Horiz)->findChild<QPushButton *>("startReadButton")->click();
    paceToTheEnd(*reader);
    return 3; // the reading ended without a score
}

// Two records that differ in every WPM slot, spread over the file, so that any mix of them shows.
TSettings record(double base)
{
    TSettings s = defaultSettings(96);
    for (THistory *h : {&s.HorizWpmHistory, &s.TachiWpmHistory, &s.VertWpmHistory, &s.SpeedTestWpmHistory})
        for (std::size_t i = 0; i < h->size(); ++i)
            (*h)[i] = base + double(i);
    s.ExerciseLastPercent = QString::number(base);
    return s;
}

} // namespace

class CrashSafetyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aScoreShownSurvivesAKill_data();
    void aScoreShownSurvivesAKill();
    void aKillDuringASaveLeavesTheOldOrTheNewRecord();
};

void CrashSafetyTest::aScoreShownSurvivesAKill_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::newRow("horizontal, at the question") << Mode::Horiz;
    QTest::newRow("speed test, at the score") << Mode::SpeedTest;
}

void CrashSafetyTest::aScoreShownSurvivesAKill()
{
    QFETCH(Mode, mode);
    TestApp app;
    // Whichever folder the program keeps its user files in, it is one of this test's; the child inherits it.
    qputenv("HOME", QFile::encodeName(app.dir.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(app.path(QStringLiteral("data"))));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kReadToTheScore), QString::number(int(mode)), app.dir.path()});
    QVERIFY(child.waitForStarted());
    QByteArray out;
    while (!out.contains('\n') && child.waitForReadyRead(60000))
        out += child.readAllStandardOutput();
    child.kill();
    QVERIFY(child.waitForFinished());
    QVERIFY2(out.startsWith("SCORE "), QByteArray(out + child.readAllStandardError()).constData());
    const double score = out.mid(6).trimmed().toDouble();
    QVERIFY(score > 0);

    QVERIFY(app.start());
    QCOMPARE(historyCount(*app.state->history(mode, ChartKind::Wpm)), 1);
    QCOMPARE((*app.state->history(mode, ChartKind::Wpm))[0], score);
}

void CrashSafetyTest::aKillDuringASaveLeavesTheOldOrTheNewRecord()
{
    const int kills = 200;
    TestApp app;
    const QString path = app.path("settings2.dat");
    const TSettings a = record(100), b = record(900);
    const QByteArray imageA = encodeSettings(a), imageB = encodeSettings(b);
    QCOMPARE(saveSettingsFile(path, a), SettingsSaveResult::Saved);

    // Kills land anywhere in the first few saves, however long a save takes on this disk.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 20; ++i)
        saveSettingsFile(path, a);
    const auto window = unsigned(std::max<qint64>(clock.nsecsElapsed() / 20 / 1000 * 4, 1000));
    QRandomGenerator random(QRandomGenerator::global()->generate());
    int seen[2] = {0, 0};
    for (int kill = 0; kill < kills; ++kill) {
        const pid_t pid = fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            for (unsigned i = 0;; ++i) {
                if (saveSettingsFile(path, i % 2 == 0 ? b : a) != SettingsSaveResult::Saved)
                    _exit(2);
            }
        }
        usleep(random.bounded(window));
        ::kill(pid, SIGKILL);
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        QVERIFY2(WIFSIGNALED(status), "the saving child stopped by itself");
        const QByteArray bytes = app.readBytes(QStringLiteral("settings2.dat"));
        QVERIFY2(bytes == imageA || bytes == imageB,
                 qPrintable(QStringLiteral("kill %1: %2 bytes, torn").arg(kill).arg(bytes.size())));
        ++seen[bytes == imageB ? 1 : 0];
    }
    // Both records were found: the kills did land between and during saves.
    qInfo("%d kills: %d found the first record, %d the second, 0 torn", kills, seen[0], seen[1]);
    QVERIFY(seen[0] > 0 && seen[1] > 0);
}

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], kReadToTheScore) == 0)
        return readToTheScore(QString::fromLocal8Bit(argv[3]), Mode(std::atoi(argv[2])));
    application.setAttribute(Qt::AA_Use96Dpi, true);
    CrashSafetyTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"

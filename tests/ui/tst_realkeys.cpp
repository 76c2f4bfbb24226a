// The readers' keys as a user presses them: real X key and mouse events (xdotool) on a private Xvfb that the
// test starts itself, because focus and key delivery on a real X server differ from the offscreen platform.
// The program's state is checked in-process; every wait is on a condition with a deadline.
#include "TestSupport.h"

#include "ExerciseEngine.h"
#include "app/HelpWindow.h"
#include "assess/exercise.h"
#include "control/ControlPage.h"
#include "control/TachiPage.h"
#include "readers/PacedReader.h"
#include "readers/tacky.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QThread>
#include <QtTest>

namespace {

constexpr int kDeadlineMs = 8000;

// The Xvfb the test runs on, started before the application and stopped after it.
class PrivateDisplay
{
public:
    bool start()
    {
        for (int n = 140; n < 200 && m_name.isEmpty(); ++n) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
                QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                                                    QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            if (!m_server.waitForStarted(3000))
                return false;
            for (int waited = 0; waited < 5000; waited += 50) {
                if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) {
                    m_name = QStringLiteral(":%1").arg(n);
                    break;
                }
                QThread::msleep(50);
            }
        }
        return !m_name.isEmpty();
    }
    ~PrivateDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished(3000);
    }
    const QString &name() const { return m_name; }

private:
    QProcess m_server;
    QString m_name;
};

// Runs xdotool with `args` on the test's display.
bool xdotool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    return p.waitForFinished(5000) && p.exitCode() == 0;
}

bool pressKey(const char *key)
{
    return xdotool({QStringLiteral("key"), QString::fromLatin1(key)});
}

// A real left click in the middle of `w`.
bool clickOn(QWidget *w)
{
    const QPoint at = w->mapToGlobal(w->rect().center());
    return xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                    QStringLiteral("click"), QStringLiteral("1")});
}

} // namespace

class RealKeysTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty(), "xdotool is missing");
        app = std::make_unique<TestApp>();
        app->copyDataFile(QStringLiteral("Haircut.bwr"));
        QVERIFY(app->start());
        app->form()->show();
        QVERIFY(QTest::qWaitForWindowExposed(app->form()));
        // No window manager runs on the display: the program's window takes the keyboard itself.
        QVERIFY(xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                         QString::number(app->form()->winId())}));
        app->state->options.stepWhilePaused = true;
    }

    void cleanupTestCase() { app.reset(); }

    // In each paced reader: a story, Start Read clicked with the mouse (so a button has the focus), then
    // Space pauses, Right steps one fixation, Space resumes, Escape pauses; nothing resets a paused reading.
    void pacedReadersAnswerTheKeysAfterAMouseClick_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("horizontal") << Mode::Horiz;
        QTest::newRow("vertical") << Mode::Vert;
    }

    void pacedReadersAnswerTheKeysAfterAMouseClick()
    {
        QFETCH(Mode, mode);
        app->form()->openMode(mode);
        QVERIFY(triggerAction(app->form(), "story9Action"));
        auto *reader = qobject_cast<PacedReader *>(app->state->modeWindow.data());
        QVERIFY(reader != nullptr);
        auto *start = pageOf(*app->state, mode)->findChild<QPushButton *>(QStringLiteral("startReadButton"));
        QTRY_VERIFY_WITH_TIMEOUT(start->isVisible() && start->isEnabled(), kDeadlineMs);
        QVERIFY(clickOn(start));
        QTRY_VERIFY_WITH_TIMEOUT(reader->isPacing(), kDeadlineMs);
        QVERIFY(pressKey("space"));
        QTRY_VERIFY_WITH_TIMEOUT(!reader->isPacing(), kDeadlineMs);
        const QString paused = start->text();
        QVERIFY(pressKey("Right"));
        QVERIFY(pressKey("space"));
        QTRY_VERIFY_WITH_TIMEOUT(reader->isPacing(), kDeadlineMs);
        QVERIFY(pressKey("Escape"));
        QTRY_VERIFY_WITH_TIMEOUT(!reader->isPacing(), kDeadlineMs);
        QVERIFY(pressKey("Escape"));
        QCOMPARE(paused, QStringLiteral("Start Read"));
        QVERIFY2(start->isEnabled(), "a paused reading stays paused, ready to go on");
        // Up and Down step the speed from whatever has the focus, here the lessons window.
        const int before = app->state->Settings.HorizInterval + app->state->Settings.VertInterval;
        QVERIFY(clickOn(app->state->lessonWindow));
        QVERIFY(pressKey("Down"));
        QTRY_COMPARE_WITH_TIMEOUT(app->state->Settings.HorizInterval + app->state->Settings.VertInterval,
                                  before + 30, kDeadlineMs);
    }

    // The tachistoscope: Format Text and Start Read clicked with the mouse; Space pauses and resumes,
    // Escape cancels, and no key opens a dialog on the way.
    void theTachistoscopeAnswersTheKeysAfterAMouseClick()
    {
        app->form()->openMode(Mode::Tachi);
        QVERIFY(triggerAction(app->form(), "story9Action"));
        auto *reader = qobject_cast<TTachiForm *>(app->state->modeWindow.data());
        ControlPage *page = pageOf(*app->state, Mode::Tachi);
        auto button = [page](const char *name) {
            return page->findChild<QPushButton *>(QString::fromLatin1(name));
        };
        QTRY_VERIFY_WITH_TIMEOUT(button("formatTextButton")->isVisible(), kDeadlineMs);
        QVERIFY(clickOn(button("formatTextButton")));
        QTRY_VERIFY_WITH_TIMEOUT(button("startReadButton")->isEnabled(), kDeadlineMs);
        QVERIFY(clickOn(button("startReadButton")));
        QTRY_VERIFY_WITH_TIMEOUT(reader->isRunning(), kDeadlineMs);
        QVERIFY(pressKey("space"));
        QTRY_COMPARE_WITH_TIMEOUT(button("pauseReadButton")->text(), QStringLiteral("Resume Read"),
                                  kDeadlineMs);
        QVERIFY(pressKey("space"));
        QTRY_VERIFY_WITH_TIMEOUT(reader->isRunning(), kDeadlineMs);
        QVERIFY(pressKey("Escape"));
        QTRY_COMPARE_WITH_TIMEOUT(reader->flashDisplay(), QStringLiteral("Cancelled"), kDeadlineMs);
    }

    // The exercise: Start clicked, then each item answered with 1, 2 or 3 and moved on with Enter; the
    // practice time is never touched by the typed digits.
    void theExerciseIsAnsweredFromTheKeyboard()
    {
        app->form()->openMode(Mode::Exercise);
        auto *exercise = qobject_cast<TExerciseForm *>(app->state->modeWindow.data());
        ControlPage *page = pageOf(*app->state, Mode::Exercise);
        auto *start = page->findChild<QPushButton *>(QStringLiteral("exerciseStartButton"));
        QTRY_VERIFY_WITH_TIMEOUT(start->isVisible(), kDeadlineMs);
        const int minutes = app->state->Settings.ExercisePracticeMinutes;
        QVERIFY(clickOn(start));
        for (const char *key : {"1", "2", "3"}) {
            const int answered = exercise->engine().correctCount() + exercise->engine().wrongCount();
            // The countdown and the flash run on the test's clock, by hand.
            QTRY_VERIFY_WITH_TIMEOUT(exercise->engine().practising(), kDeadlineMs);
            exerciseToChoices(*app, *exercise);
            QVERIFY(exercise->engine().answerPanelVisible());
            QVERIFY(pressKey(key));
            QTRY_COMPARE_WITH_TIMEOUT(exercise->engine().correctCount() + exercise->engine().wrongCount(),
                                      answered + 1, kDeadlineMs);
            QVERIFY(pressKey("Return"));
            QTRY_VERIFY_WITH_TIMEOUT(!exercise->engine().nextWordEnabled(), kDeadlineMs);
        }
        QCOMPARE(app->state->Settings.ExercisePracticeMinutes, minutes);
    }

    // F1 after a click in a window opens the manual at that window's section in the program's help window;
    // Escape there puts it away, and the next F1 brings the same window back.
    void f1OpensTheSectionOfTheWindowClickedAndEscapePutsItAway()
    {
        const std::pair<QWidget *, QString> cases[] = {
            {app->state->lessonWindow, QStringLiteral("context-90")},
            {app->state->modeWindow, QStringLiteral("context-70")}};
        QPointer<HelpWindow> first;
        for (const auto &[window, anchor] : cases) {
            QVERIFY(clickOn(window));
            QVERIFY(pressKey("F1"));
            QTRY_VERIFY_WITH_TIMEOUT(app->state->helpWindow != nullptr && app->state->helpWindow->isVisible(),
                                     kDeadlineMs);
            HelpWindow *help = app->state->helpWindow;
            QCOMPARE(help->browser()->source().fragment(), anchor);
            QVERIFY(first == nullptr || first == help);
            first = help;
            QTRY_VERIFY_WITH_TIMEOUT(help->isActiveWindow(), kDeadlineMs);
            QVERIFY(pressKey("Escape"));
            QTRY_VERIFY_WITH_TIMEOUT(!help->isVisible(), kDeadlineMs);
            // What a window manager does when a window goes: the keyboard back to the program's window.
            QVERIFY(xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                             QString::number(app->form()->winId())}));
        }
    }

private:
    std::unique_ptr<TestApp> app;
};

int main(int argc, char **argv)
{
    PrivateDisplay display;
    if (!display.start()) {
        fprintf(stderr, "FAIL: could not start Xvfb\n");
        return 1;
    }
    qputenv("DISPLAY", display.name().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    RealKeysTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_realkeys.moc"

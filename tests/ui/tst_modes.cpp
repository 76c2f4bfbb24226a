#include "TestSupport.h"

#include "app/AppState.h"
#include "app/ModeWindow.h"
#include "app/mainwindow.h"
#include "control/ControlPage.h"
#include "control/control.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QtTest>

namespace {

// A stand-in for a mode's window: remembers that it left and which story it was asked to load.
class StandInWindow final : public ModeWindow
{
public:
    StandInWindow(AppState &state, Mode m, int *leftCount)
        : ModeWindow(state, &state.Settings.TachiDefaultPlacement, &state.Settings.TachiBounds), m_mode(m),
          m_leftCount(leftCount)
    {
        resize(300, 200);
    }
    Mode mode() const override { return m_mode; }
    void loadStory() override { loaded = m_state.StoryFileName; }
    QString loaded;

protected:
    void leaving() override { ++*m_leftCount; }

private:
    Mode m_mode;
    int *m_leftCount;
};

class StandInPage final : public ControlPage
{
public:
    StandInPage(AppState &state) : ControlPage(state) { addHelpButton(); }
    bool isResetTextEnabled() const override { return false; }
};

// A started program whose modes are all stand-ins; `left` counts the windows that left.
struct StandInApp
{
    StandInApp()
    {
        for (Mode m :
             {Mode::Tachi, Mode::Horiz, Mode::Vert, Mode::SpeedTest, Mode::Exercise, Mode::CreateText}) {
            app.modes.setEntry(m, ModeEntry{[m, this](AppState &s) { return new StandInWindow(s, m, &left); },
                                            [](AppState &s) { return new StandInPage(s); },
                                            {}});
        }
        app.start();
    }
    StandInWindow *window() const { return static_cast<StandInWindow *>(app.state->modeWindow.data()); }

    TestApp app;
    int left = 0;
};

} // namespace

class ModesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Which windows a switch replaces is the lessons test's (its mode buttons open the same way); here, what
    // the window that goes does on its way out.
    void theWindowThatGoesLeavesOnceAndKeepsItsPlace()
    {
        StandInApp t;
        t.app.state->modeWindow->frame()->move(40, 50);
        QVERIFY(triggerAction(t.app.form(), "vertAction"));
        QVERIFY(t.left == 1 && t.app.state->VertOpen == 1);
        // Every stand-in keeps its place in the tachistoscope's bounds.
        QCOMPARE(t.app.state->Settings.TachiBounds.Left, 40);
    }

    void storiesGoToReadersOnly()
    {
        StandInApp t;
        t.app.state->controlPanel->setFocus();
        QVERIFY(triggerAction(t.app.form(), "story1Action"));
        QCOMPARE(t.window()->loaded, QStringLiteral("The Boarded Window.bwr"));
        // The reader has the keyboard at once.
        QCOMPARE(t.app.form()->focusWidget(), t.window());

        QVERIFY(triggerAction(t.app.form(), "exerciseAction"));
        QVERIFY(triggerAction(t.app.form(), "story13Action"));
        QCOMPARE(t.window()->loaded, QString());
        QCOMPARE(t.app.state->StoryNumber, 13);
    }

    void pageHelpOpensTheManualAtTheModesSection()
    {
        StandInApp t;
        QVERIFY(triggerAction(t.app.form(), "speedTestAction"));
        QCOMPARE(t.app.state->HelpContext, 60);
        ControlPage *page = t.app.state->controlPanel->page(Mode::SpeedTest);
        // The page's Help button clicks, then opens the manual at the mode's section.
        t.app.fakes.sound.played.clear();
        page->findChild<QAction *>("helpAction")->trigger();
        QCOMPARE(t.app.fakes.sound.played, QStringList{t.app.path("click_1.wav")});
        QCOMPARE(t.app.fakes.shell.opened.last().fragment(), QStringLiteral("context-60"));
    }

    void savingIntoAMissingFolderIsReported()
    {
        FakeServiceSet fakes;
        fakes.sound.devices = 0; // no sound-file check in a folder that does not exist
        Program program(fakes.services(), QStringLiteral("/nonexistent/brindlewick"));
        QVERIFY(program.start());
        fakes.messages.expect(MessageKind::Error, "The file \"settings2.dat\" cannot be made.");
        program.frame()->close();
        QVERIFY2(fakes.verify(), qPrintable(fakes.report()));
    }
};

QTEST_MAIN(ModesTest)
#include "tst_modes.moc"

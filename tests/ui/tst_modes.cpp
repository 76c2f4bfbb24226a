#include "TestSupport.h"

#include "app/AppState.h"
#include "app/ModeWindow.h"
#include "app/VisibilityPanel.h"
#include "app/mainwindow.h"
#include "control/ControlPage.h"
#include "control/control.h"

#include <QAction>
#include <QGroupBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
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
    StandInPage(AppState &state) : ControlPage(state)
    {
        group = new QGroupBox(QStringLiteral("Run"), this);
        group->setGeometry(3, 40, 100, 80);
        addCentred(group);
        addHelpButton();
    }
    bool isResetTextEnabled() const override { return resetEnabled; }
    QGroupBox *group;
    bool resetEnabled = false;
};

void plugStandIns(TestApp &app, int *leftCount)
{
    for (Mode m : {Mode::Tachi, Mode::Horiz, Mode::Vert, Mode::SpeedTest, Mode::Exercise, Mode::CreateText}) {
        app.modes.setEntry(
            m, ModeEntry{[m, leftCount](AppState &s) { return new StandInWindow(s, m, leftCount); },
                         [](AppState &s) { return new StandInPage(s); },
                         {}});
    }
}

int setFlags(const AppState &s)
{
    return s.TachiOpen + s.HorizOpen + s.VertOpen + s.SpeedTestOpen + s.ExerciseOpen + s.CreateTextOpen;
}

} // namespace

class ModesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void switchingModesKeepsOneFlagAndRecreatesThePanel();
    void storiesGoToReadersOnly();
    void panelCentresItsGroupsAndTellsItsHelpContext();
    void savingIntoAMissingFolderIsReported();
};

void ModesTest::switchingModesKeepsOneFlagAndRecreatesThePanel()
{
    TestApp app;
    int left = 0;
    plugStandIns(app, &left);
    QVERIFY(app.start());
    QCOMPARE(app.state->HorizOpen, 1);
    QCOMPARE(setFlags(*app.state), 1);
    QPointer<TControlForm> firstPanel = app.state->controlPanel;
    QPointer<ModeWindow> firstWindow = app.state->modeWindow;
    QVERIFY(firstPanel && firstWindow);
    QCOMPARE(firstPanel->visiblePage(), Mode::Horiz);

    firstWindow->frame()->move(40, 50);
    QVERIFY(triggerAction(app.form(), "vertAction"));
    QCOMPARE(setFlags(*app.state), 1);
    QCOMPARE(app.state->VertOpen, 1);
    QVERIFY(firstPanel.isNull());
    QVERIFY(firstWindow.isNull());
    QCOMPARE(left, 1);
    // The old window stored its placement as it went.
    QCOMPARE(app.state->Settings.TachiDefaultPlacement, 0);
    QCOMPARE(app.state->Settings.TachiBounds.Left, 40);
    QCOMPARE(app.state->ControlPanelOpen, 1);
    QCOMPARE(app.state->controlPanel->visiblePage(), Mode::Vert);

    // The same mode again recreates both windows.
    QPointer<TControlForm> panel = app.state->controlPanel;
    QVERIFY(triggerAction(app.form(), "vertAction"));
    QVERIFY(panel.isNull());
    QCOMPARE(app.state->VertOpen, 1);
    QCOMPARE(setFlags(*app.state), 1);
    // Beside the lessons window, only the new panel and window are left.
    QCOMPARE(app.form()->mdiArea()->subWindowList().size(), 3);
}

void ModesTest::storiesGoToReadersOnly()
{
    TestApp app;
    int left = 0;
    plugStandIns(app, &left);
    QVERIFY(app.start());
    app.state->controlPanel->setFocus();
    QVERIFY(triggerAction(app.form(), "story1Action"));
    QCOMPARE(static_cast<StandInWindow *>(app.state->modeWindow.data())->loaded,
             QStringLiteral("The Boarded Window.bwr"));
    // The reader has the keyboard at once.
    QCOMPARE(app.form()->focusWidget(), app.state->modeWindow.data());

    QVERIFY(triggerAction(app.form(), "exerciseAction"));
    QVERIFY(triggerAction(app.form(), "story13Action"));
    QCOMPARE(static_cast<StandInWindow *>(app.state->modeWindow.data())->loaded, QString());
    QCOMPARE(app.state->StoryLoaded, 1);
    QCOMPARE(app.state->StoryNumber, 13);
}

void ModesTest::panelCentresItsGroupsAndTellsItsHelpContext()
{
    TestApp app;
    int left = 0;
    plugStandIns(app, &left);
    QVERIFY(app.start());
    QVERIFY(triggerAction(app.form(), "speedTestAction"));
    TControlForm *panel = app.state->controlPanel;
    QCOMPARE(app.state->HelpContext, 60);
    auto *page = static_cast<StandInPage *>(panel->page(Mode::SpeedTest));
    panel->frame()->resize(231, 400);
    QCOMPARE(page->group->x(), (panel->width() - page->group->width()) / 2);
    // The page's Help button clicks, then opens the manual at the mode's section.
    app.fakes.sound.played.clear();
    page->findChild<QAction *>("helpAction")->trigger();
    QCOMPARE(app.fakes.sound.played, QStringList{app.path("click_1.wav")});
    QCOMPARE(app.fakes.shell.opened.last().fragment(), QStringLiteral("context-60"));
}

void ModesTest::savingIntoAMissingFolderIsReported()
{
    FakeServiceSet fakes;
    fakes.sound.devices = 0; // no sound-file check in a folder that does not exist
    Program program(fakes.services(), QStringLiteral("/nonexistent/brindlewick"));
    QVERIFY(program.start());
    fakes.messages.expect(MessageKind::Error, "The file \"settings2.dat\" cannot be made.");
    program.frame()->close();
    QVERIFY2(fakes.verify(), qPrintable(fakes.report()));
}

QTEST_MAIN(ModesTest)
#include "tst_modes.moc"

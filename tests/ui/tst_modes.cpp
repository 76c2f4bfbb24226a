#include "TestSupport.h"

#include "app/AppState.h"
#include "app/HelpWindow.h"
#include "app/mainwindow.h"
#include "control/ControlPage.h"
#include "control/control.h"
#include "readers/PacedReader.h"

#include <QAction>
#include <QTextBrowser>
#include <QtTest>

// That each menu command and lessons button reaches its mode is the user walk's, and what a window does on
// its way out is its own reader's test; here, where a story goes, the page's help, and an exit with nowhere
// to save.
class ModesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storiesGoToReadersOnly()
    {
        TestApp app;
        app.writeLines(QStringLiteral("The Boarded Window.bwr"),
                       QStringList(8, QStringLiteral("The quick brown fox jumps over the lazy dog")));
        QVERIFY(app.start());
        app.state->controlPanel->setFocus();
        QVERIFY(triggerAction(app.form(), "story1Action"));
        // The reader has the keyboard at once: Space starts the story.
        QTest::keyClick(app.form()->focusWidget(), Qt::Key_Space);
        QVERIFY(qobject_cast<PacedReader *>(app.state->modeWindow.data())->isPacing());

        // The exercise takes no story: Ug.bwr is missing, and no message says so.
        QVERIFY(triggerAction(app.form(), "exerciseAction"));
        QVERIFY(triggerAction(app.form(), "story13Action"));
        QCOMPARE(app.state->StoryNumber, 13);
    }

    void pageHelpOpensTheManualAtTheModesSection()
    {
        TestApp app;
        QVERIFY(app.start() && triggerAction(app.form(), "speedTestAction"));
        QCOMPARE(app.state->HelpContext, 60);
        ControlPage *page = pageOf(*app.state, Mode::SpeedTest);
        // The page's Help button opens the manual at the mode's section, in the program.
        page->findChild<QAction *>("helpAction")->trigger();
        QVERIFY(app.state->helpWindow != nullptr && app.state->helpWindow->isVisible());
        QCOMPARE(app.state->helpWindow->browser()->source().fragment(), QStringLiteral("context-60"));
        QVERIFY(app.fakes.shell.opened.isEmpty());
    }

    void savingIntoAMissingFolderIsReported()
    {
        FakeServiceSet fakes;
        fakes.sound.devices = 0; // no sound-file check in a folder that does not exist
        Program program(fakes.services(), QStringLiteral("/nonexistent/brindlewick"));
        fakes.messages.expect(
            MessageKind::Error,
            "Your progress cannot be recorded in \"/nonexistent/brindlewick/progress.sqlite\". "
            "Your scores still go to the charts.");
        QVERIFY(program.start());
        fakes.messages.expect(MessageKind::Error, "The file \"settings2.dat\" cannot be made.");
        program.frame()->close();
        QVERIFY2(fakes.verify(), qPrintable(fakes.report()));
    }
};

QTEST_MAIN(ModesTest)
#include "tst_modes.moc"

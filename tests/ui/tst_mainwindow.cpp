#include "TestSupport.h"

#include "SettingsFile.h"
#include "app/AboutBox.h"
#include "app/AppState.h"
#include "app/HelpWindow.h"
#include "app/ModeWindow.h"
#include "app/VisibilityPanel.h"
#include "app/mainwindow.h"
#include "assess/Tests.h"
#include "charts/ChartViewer.h"
#include "charts/ProgressWindow.h"
#include "charts/chartsView.h"
#include "control/ControlPage.h"
#include "control/control.h"
#include "lessons/LessonsForm.h"
#include "readers/PacedReader.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

namespace {

// Where the manual's anchor `name` starts in its document; -1 when it has none.
int anchorPosition(const QTextDocument &document, const QString &name)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.charFormat().anchorNames().contains(name))
            return block.position();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(name))
                return it.fragment().position();
        }
    }
    return -1;
}

// The help window is up at `anchor` (empty: at the manual's top), and the anchor's text is in view.
bool showsSection(const HelpWindow *help, const QString &anchor)
{
    if (help == nullptr || !help->isVisible())
        return false;
    QTextBrowser *browser = help->browser();
    if (anchor.isEmpty())
        return browser->source().fragment().isEmpty() && browser->verticalScrollBar()->value() == 0;
    const int at = anchorPosition(*browser->document(), anchor);
    QTextCursor cursor(browser->document());
    cursor.setPosition(std::max(at, 0));
    return browser->source().fragment() == anchor && at >= 0 &&
           browser->viewport()->rect().contains(browser->cursorRect(cursor).topLeft());
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpChecksSoundAndPlatform_data();
    void startUpChecksSoundAndPlatform();
    void exitWritesTheRecordWithWhatTheUserChose();
    void restoreDefaultsDeletesTheFilesAtExit_data();
    void restoreDefaultsDeletesTheFilesAtExit();
    void anOptionsFileThatCannotBeWrittenIsReportedOnce();
    void theWindowMenuBringsBackEveryChild();
    void savedPlacementAndLooksComeBackWithinTheScreen();
    void shippedFilesAreReadWhereInstalledAndWritesGoToTheUserFolder();
    void everyHelpContextHasItsSectionInTheManual_data();
    void everyHelpContextHasItsSectionInTheManual();
    void f1OpensTheSectionOfTheWindowWithTheKeyboardInOneHelpWindow();
    void helpFollowsItsLinksAndSaysWhereTheManualIsMissing();
};

void MainWindowTest::startUpChecksSoundAndPlatform_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<bool>("unsupported");
    QTest::addColumn<QStringList>("messages");
    // Only tap4.wav is there: one message for each of the three files missing.
    QTest::newRow("sound files missing")
        << 1 << false
        << QStringList(3, "One or more of the sound files cannot be found. You "
                          "may need to restart or even reinstall Brindlewick "
                          "Speed Reader.");
    QTest::newRow("no sound device: no check") << 0 << false << QStringList();
    QTest::newRow("unsupported platform")
        << 1 << true
        << QStringList{
               "This program requires Windows NT/2000/XP and does Not work on Windows 95/98/ME systems."};
}

void MainWindowTest::startUpChecksSoundAndPlatform()
{
    QFETCH(int, devices);
    QFETCH(bool, unsupported);
    QFETCH(QStringList, messages);
    TestApp app(false);
    app.copyDataFile("tap4.wav");
    app.fakes.sound.devices = devices;
    app.fakes.platform.unsupported = unsupported;
    for (const QString &m : messages)
        app.fakes.messages.expect(unsupported ? MessageKind::Information : MessageKind::Error, m);
    QCOMPARE(app.start(), !unsupported);
    QCOMPARE(app.state->ControlPanelOpen, unsupported ? 0 : 1);
    if (unsupported)
        return;
    QVERIFY(app.state->SoundDevicePresent == devices && app.state->Settings.SoundOn == devices);
    // The toggle still works for the rest of the run.
    QVERIFY(triggerAction(app.form(), "soundAction"));
    QVERIFY(app.state->Settings.SoundOn == 1 - devices &&
            app.form()->findChild<QAction *>("soundAction")->isChecked() == (devices == 0));
}

void MainWindowTest::exitWritesTheRecordWithWhatTheUserChose()
{
    TestApp app;
    QVERIFY(app.start());
    // Clicks play only with the sound on.
    app.fakes.sound.played.clear();
    app.state->PlayClick(3);
    app.state->PlayClick(9);
    QVERIFY(triggerAction(app.form(), "soundAction"));
    app.state->PlayClick(1);
    QCOMPARE(app.fakes.sound.played, (QStringList{app.path("tap4.wav"), app.path("click_1.wav")}));
    app.fakes.dialogs.colors = {QColor(0x11, 0x22, 0x33), std::nullopt}; // chosen, then cancelled
    QVERIFY(triggerAction(app.form(), "backgroundColorAction") &&
            triggerAction(app.form(), "backgroundColorAction"));
    QCOMPARE(app.form()->mdiArea()->background().color(), QColor(0x11, 0x22, 0x33));

    QVERIFY(triggerAction(app.form(), "exitAction"));
    const TSettings saved = decodeSettings(app.readBytes("settings2.dat"), 96);
    QVERIFY(saved.MainColor == 0x332211 && saved.SoundOn == 0);
    // The control panel wrote its placement back before the record was saved.
    QVERIFY(saved.ControlDefaultPlacement == 0 && saved.ControlBounds.Width > 0);
    QCOMPARE(saved.MainBounds.Width, app.form()->width());
}

void MainWindowTest::restoreDefaultsDeletesTheFilesAtExit_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void MainWindowTest::restoreDefaultsDeletesTheFilesAtExit()
{
    QFETCH(bool, yes);
    TestApp app;
    QVERIFY(app.start());
    app.state->saveOptions();
    app.fakes.messages.expect(MessageKind::Confirm,
                              "Do you want to restore all default settings? Note: this will also delete your "
                              "scores from the charts.",
                              yes);
    if (yes)
        app.fakes.messages.expect(MessageKind::Information,
                                  "You will have to restart the program for this to take effect.");
    QVERIFY(triggerAction(app.form(), "restoreDefaultsAction"));
    QCOMPARE(app.state->RestoreDefaultsPending, yes ? 1 : 0);
    // A score recorded now must not bring the file back.
    app.state->historyAppend(Mode::Horiz, ChartKind::Wpm, 300);
    QCOMPARE(QFile::exists(app.path("settings2.dat")), !yes);
    QVERIFY(triggerAction(app.form(), "exitAction"));
    app.program.end();
    QCOMPARE(std::pair(QFile::exists(app.path("settings2.dat")), QFile::exists(app.path("options.ini"))),
             std::pair(!yes, !yes));
}

void MainWindowTest::anOptionsFileThatCannotBeWrittenIsReportedOnce()
{
    TestApp app;
    QVERIFY(QDir(app.path(QString())).mkdir(QStringLiteral("options.ini")));
    QVERIFY(app.start());
    app.fakes.messages.expect(MessageKind::Error,
                              QStringLiteral("Your reading options cannot be saved in \"") +
                                  QDir::toNativeSeparators(app.path("options.ini")) +
                                  QStringLiteral("\". They stay as they are until the "
                                                 "program ends."));
    QVERIFY(triggerAction(app.form(), "stepWhilePausedAction"));
    QVERIFY(triggerAction(app.form(), "pauseAtSentenceEndsAction"));
    QVERIFY(app.state->options.stepWhilePaused && app.state->options.pauseAtSentenceEnds);
}

void MainWindowTest::theWindowMenuBringsBackEveryChild()
{
    TestApp app;
    QVERIFY(app.start());
    QMdiArea *mdi = app.form()->mdiArea();
    QMenu *menu = app.form()->findChild<QMenu *>(QStringLiteral("windowMenu"));
    Q_EMIT menu->aboutToShow();
    // The lessons window, the control panel and the reader, each with its item.
    QCOMPARE(menu->actions().size(), 3 + mdi->subWindowList().size());
    app.state->modeWindow->frame()->showMaximized();
    QVERIFY(triggerAction(menu, "controlFormWindowAction"));
    QCOMPARE(mdi->activeSubWindow(), app.state->controlPanel->frame());
    QVERIFY(!app.state->modeWindow->frame()->isMaximized());
    // A frame made smaller keeps every child within reach.
    app.form()->resize(400, 300);
    QCoreApplication::processEvents();
    const QRect area = mdi->viewport()->rect();
    for (QMdiSubWindow *frame : mdi->subWindowList())
        QVERIFY2(frame->geometry().intersects(area) && frame->y() >= 0, qPrintable(frame->windowTitle()));
}

void MainWindowTest::savedPlacementAndLooksComeBackWithinTheScreen()
{
    TestApp app;
    TSettings s = defaultSettings(96);
    s.UseDefaultMainPlacement = 0;
    s.MainBounds = TBounds{300, 200, 2000, 700};
    s.HorizReadTextMode = 9; // out of range: nothing checked
    s.HorizUnreadTextMode = 3;
    s.VertUnreadTextMode = 2;
    QCOMPARE(saveSettingsFile(app.path("settings2.dat"), s), SettingsSaveResult::Saved);
    app.fakes.screen.screenSize = QSize(1024, 768);
    QVERIFY(app.start());
    QCOMPARE(std::pair(app.form()->x(), app.form()->size()), std::pair(1, QSize(1024, 700)));

    VisibilityPanel *panel = app.form()->Panel1();
    const auto radio = [&app](const char *name) { return app.form()->findChild<QRadioButton *>(name); };
    for (const char *name :
         {"readSeeThroughRadio", "readCoveredRadio", "readInvisibleRadio", "readVisibleRadio"})
        QVERIFY(!radio(name)->isChecked());
    QVERIFY(radio("unreadCoveredRadio")->isChecked() && radio("vertSeeThroughRadio")->isChecked());
    QVERIFY(!panel->isVisible());
    app.form()->toggleVisibilityPanel(Mode::Horiz);
    QVERIFY(panel->isVisible());
    for (const char *name : {"readCoveredRadio", "unreadInvisibleRadio", "vertCoveredRadio"})
        radio(name)->click();
    const TSettings &now = app.state->Settings;
    QVERIFY(now.HorizReadTextMode == 4 && now.HorizUnreadTextMode == 1 && now.VertUnreadTextMode == 3);
    // OK hides the panel; with no reader waiting for a reset there is nothing to tell.
    panel->findChild<QPushButton *>("okButton")->click();
    QVERIFY(!panel->isVisible());

    // Default placement on a narrow screen.
    TestApp small;
    small.fakes.screen.screenSize = QSize(700, 500);
    QVERIFY(small.start());
    QCOMPARE(small.form()->size(), QSize(640, 480));
}

// An installed copy: the sounds and the manual come from the shipped folder, which it may not write; the
// settings and options go to the user's folder, and the shipped folder ends as it began.
void MainWindowTest::shippedFilesAreReadWhereInstalledAndWritesGoToTheUserFolder()
{
    QTemporaryDir shippedTmp, userTmp;
    const QDir shipped(shippedTmp.path()), user(userTmp.path());
    const QStringList names = {"2.wav", "bwread.html", "click_1.wav", "click_2.wav", "tap4.wav"};
    for (const QString &name : names)
        QVERIFY(QFile::copy(QDir(QStringLiteral(BW_DATA_DIR)).filePath(name), shipped.filePath(name)));
    FakeServiceSet fakes;
    Program program(fakes.services(), shipped.path(), user.path());
    QVERIFY(program.start());
    program.state.PlayClick(2);
    program.state.showHelp(TForm1::kHelpContext);
    QCOMPARE(program.state.helpWindow->browser()->source().toLocalFile(), shipped.filePath("bwread.html"));
    program.state.saveOptions();
    QVERIFY(triggerAction(program.frame(), "exitAction"));
    program.end();

    QCOMPARE(fakes.sound.played, QStringList{shipped.filePath("click_2.wav")});
    QVERIFY(fakes.shell.opened.isEmpty());
    QCOMPARE(shipped.entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
    QCOMPARE(user.entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"options.ini", "progress.sqlite", "settings2.dat"}));
    QVERIFY2(fakes.verify(), qPrintable(fakes.report()));
}

// Every context a window can ask for, from the mode table and the windows' own constants.
void MainWindowTest::everyHelpContextHasItsSectionInTheManual_data()
{
    QTest::addColumn<int>("context");
    for (const ModeInfo &m : modeTable())
        QTest::newRow(m.actionName) << m.helpContext;
    for (const auto &[window, context] :
         {std::pair{"main window", TForm1::kHelpContext}, std::pair{"lessons", TLessonForm::kHelpContext},
          std::pair{"comprehension test", TCompTestForm::kHelpContext},
          std::pair{"charts", TForm10::kHelpContext}, std::pair{"chart viewer", TChartForm1::kHelpContext},
          std::pair{"progress", ProgressWindow::kHelpContext}})
        QTest::newRow(window) << context;
}

void MainWindowTest::everyHelpContextHasItsSectionInTheManual()
{
    QFETCH(int, context);
    FakeServiceSet fakes;
    HelpWindow help(fakes.services());
    QVERIFY(help.load(QDir(QStringLiteral(BW_DATA_DIR)).filePath(QStringLiteral("bwread.html"))));
    const QString anchor = HelpWindow::anchorFor(context);
    QVERIFY2(HelpWindow::anchors(*help.browser()->document()).contains(anchor), qPrintable(anchor));
    // From the top, and again after the user has scrolled elsewhere.
    for (const int scrolled : {0, help.browser()->verticalScrollBar()->maximum() / 2}) {
        help.browser()->verticalScrollBar()->setValue(scrolled);
        help.showContext(context);
        QVERIFY2(showsSection(&help, anchor), qPrintable(anchor));
    }
}

void MainWindowTest::f1OpensTheSectionOfTheWindowWithTheKeyboardInOneHelpWindow()
{
    TestApp app;
    app.writeLines(QStringLiteral("The Boarded Window.bwr"), QStringList(8, QStringLiteral("words to read")));
    QVERIFY(app.start());
    // A reading under way pauses as the help opens over it: no second is counted unread.
    QVERIFY(triggerAction(app.form(), "story1Action"));
    child<QPushButton>(pageOf(*app.state, Mode::Horiz), "startReadButton")->click();
    auto *reader = qobject_cast<PacedReader *>(app.state->modeWindow.data());
    QVERIFY(reader->isPacing());
    QTest::keyClick(reader, Qt::Key_F1);
    QVERIFY(!reader->isPacing());
    QCOMPARE(child<QPushButton>(pageOf(*app.state, Mode::Horiz), "startReadButton")->text(),
             QStringLiteral("Start Read"));
    QPointer<HelpWindow> help;
    // F1 as a user presses it, sent through the application to a widget inside a window.
    const auto f1 = [&](QWidget *widget, const QString &anchor) {
        if (widget == nullptr)
            return false;
        QTest::keyClick(widget, Qt::Key_F1);
        if (help == nullptr)
            help = app.state->helpWindow;
        return help == app.state->helpWindow && showsSection(help, anchor);
    };
    // A widget inside the window (its last), which would have the keyboard after a click there.
    const auto in = [](QObject *window) -> QWidget * {
        auto *w = qobject_cast<QWidget *>(window);
        const QList<QWidget *> inside = w != nullptr ? w->findChildren<QWidget *>() : QList<QWidget *>();
        return inside.isEmpty() ? w : inside.last();
    };
    struct Case
    {
        const char *command; // a menu command run first, or null
        std::function<QWidget *()> window;
        int context; // 0: the manual's top
    };
    const std::vector<Case> cases = {
        {nullptr, [&] { return in(app.state->modeWindow); }, 40},
        {nullptr, [&] { return in(app.state->controlPanel); }, 40},
        {nullptr, [&] { return app.form()->Panel1(); }, 40},
        {nullptr, [&] { return in(app.state->lessonWindow); }, TLessonForm::kHelpContext},
        {nullptr,
         [&] {
             app.form()->mdiArea()->setActiveSubWindow(nullptr);
             return app.form()->mdiArea()->viewport();
         },
         TForm1::kHelpContext},
        {"tachiAction", [&] { return in(app.state->modeWindow); }, 30},
        {"exerciseAction", [&] { return in(app.state->modeWindow); }, 70},
        {nullptr, [&] { return in(app.state->controlPanel); }, 70},
        // A click on the exercise's pane, which takes no focus, leaves the keys to the frame.
        {nullptr,
         [&] {
             app.state->modeWindow->frame()->mdiArea()->setActiveSubWindow(app.state->modeWindow->frame());
             app.form()->setFocus();
             return app.form();
         },
         70},
        {"createTextAction", [&] { return in(app.state->modeWindow); }, 80},
        {"vertAction", [&] { return app.form()->Panel5(); }, 50},
        {nullptr,
         [&] {
             app.state->StoryNumber = 6;
             app.form()->openComprehensionTest();
             return in(app.form()->findChild<TCompTestForm *>());
         },
         TCompTestForm::kHelpContext},
        {nullptr, [&] { return in(help); }, HelpWindow::kContents},
    };
    for (const Case &c : cases) {
        QVERIFY(c.command == nullptr || triggerAction(app.form(), c.command));
        const QString anchor =
            c.context == HelpWindow::kContents ? QString() : HelpWindow::anchorFor(c.context);
        QVERIFY2(f1(c.window(), anchor), qPrintable(anchor));
    }
    QCOMPARE(app.form()->findChildren<HelpWindow *>().size(), 1);
    // Contents opens the manual at its top; the page's Help, at the mode's section.
    help->browser()->verticalScrollBar()->setValue(500);
    QVERIFY(triggerAction(app.form(), "contentsAction") && showsSection(help, QString()));
    app.state->ShowModeHelp();
    QVERIFY(showsSection(help, HelpWindow::anchorFor(50)));
    QVERIFY(app.fakes.shell.opened.isEmpty());

    // About twice: one box, brought to the front.
    QVERIFY(triggerAction(app.form(), "aboutAction") && triggerAction(app.form(), "aboutAction"));
    const QList<TAboutBox *> boxes = app.form()->findChildren<TAboutBox *>();
    QVERIFY(boxes.size() == 1 && boxes.first()->isVisible());
    // It stands outside the children, whichever is active: F1 there is the main window's.
    QTest::keyClick(boxes.first(), Qt::Key_F1);
    QVERIFY(showsSection(help, HelpWindow::anchorFor(TForm1::kHelpContext)));
}

void MainWindowTest::helpFollowsItsLinksAndSaysWhereTheManualIsMissing()
{
    TestApp app;
    QVERIFY(app.start());
    app.state->showHelp(TForm1::kHelpContext);
    HelpWindow *help = app.state->helpWindow;
    QTextBrowser *browser = help->browser();
    // The first section starts the history. A section link stays in the window and Back returns from it;
    // a web link goes to the desktop.
    QVERIFY(!child<QAction>(help, "helpBackAction")->isEnabled());
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("#context-90")));
    QVERIFY(showsSection(help, QStringLiteral("context-90")));
    QVERIFY(triggerAction(help, "helpBackAction") && showsSection(help, QStringLiteral("context-10")));
    const QUrl web(QStringLiteral("https://brindlewick.example/speed-reader/"));
    Q_EMIT browser->anchorClicked(web);
    QCOMPARE(app.fakes.shell.opened, QList<QUrl>{web});
    app.fakes.shell.result = false;
    app.fakes.messages.expect(MessageKind::Error,
                              "The link \"https://brindlewick.example/speed-reader/\" cannot "
                              "be opened on this computer.");
    Q_EMIT browser->anchorClicked(web);
    QVERIFY(showsSection(help, QStringLiteral("context-10")));
    // Escape puts the window away; the next F1 brings the same one back.
    QTest::keyClick(browser, Qt::Key_Escape);
    QVERIFY(!help->isVisible());
    QTest::keyClick(app.state->lessonWindow, Qt::Key_F1);
    QVERIFY(app.state->helpWindow == help && showsSection(help, QStringLiteral("context-90")));

    // Without the manual, the message names where it should be, each time it is asked for.
    TestApp missing;
    QFile::remove(missing.path("bwread.html"));
    QVERIFY(missing.start());
    const QString message = QStringLiteral("The help file cannot be opened. It is missing or cannot be read: "
                                           "\"%1\". Installing Brindlewick Speed Reader again puts it back.")
                                .arg(missing.path("bwread.html"));
    missing.fakes.messages.expect(MessageKind::Error, message);
    missing.fakes.messages.expect(MessageKind::Error, message);
    QTest::keyClick(missing.form()->mdiArea()->viewport(), Qt::Key_F1);
    QVERIFY(triggerAction(missing.form(), "contentsAction"));
    QVERIFY(missing.state->helpWindow == nullptr && missing.fakes.shell.opened.isEmpty());
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

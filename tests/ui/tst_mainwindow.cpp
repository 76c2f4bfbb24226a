#include "TestSupport.h"

#include "SettingsFile.h"
#include "app/AppState.h"
#include "app/VisibilityPanel.h"
#include "app/mainwindow.h"
#include "control/control.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class MainWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitWritesOneRecordWithMainPlacementCleared();
    void restoreDefaultsDeletesTheFileAtExit_data();
    void restoreDefaultsDeletesTheFileAtExit();
    void missingSoundFilesGiveOneMessageEach();
    void noSoundDeviceUnchecksSoundAndSkipsTheCheck();
    void unsupportedPlatformEndsStartUp();
    void savedPlacementIsClampedToASmallerScreen();
    void visibilityPanelsFollowAndWriteTheSettings();
    void clickPlaysOnlyWithSoundOn();
    void helpOpensTheManualAtTheContextOrSaysItCannot();
    void backgroundColourIsStored();
};

void MainWindowTest::exitWritesOneRecordWithMainPlacementCleared()
{
    TestApp app;
    QVERIFY(!QFile::exists(app.path("settings2.dat")));
    QVERIFY(app.start());
    QCOMPARE(app.state->Settings.UseDefaultMainPlacement, 1);
    QCOMPARE(app.state->ControlPanelOpen, 1);
    QVERIFY(triggerAction(app.form(), "exitAction"));
    QFile f(app.path("settings2.dat"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes.size(), 2568);
    QCOMPARE(bytes[0], '\0');
    // The control panel wrote its placement back before the record was saved.
    const TSettings saved = decodeSettings(bytes, 96);
    QCOMPARE(saved.ControlDefaultPlacement, 0);
    QVERIFY(saved.ControlBounds.Width > 0);
    QCOMPARE(saved.MainBounds.Width, app.form()->width());
}

void MainWindowTest::restoreDefaultsDeletesTheFileAtExit_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void MainWindowTest::restoreDefaultsDeletesTheFileAtExit()
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
    app.state->historyAppend(app.state->Settings.HorizWpmHistory, 300);
    QCOMPARE(QFile::exists(app.path("settings2.dat")), !yes);
    QVERIFY(triggerAction(app.form(), "exitAction"));
    app.program.end();
    QCOMPARE(QFile::exists(app.path("settings2.dat")), !yes);
    QCOMPARE(QFile::exists(app.path("options.ini")), !yes);
}

void MainWindowTest::missingSoundFilesGiveOneMessageEach()
{
    TestApp app(false);
    app.copyDataFile("tap4.wav");
    const QString text =
        "One or more of the sound files cannot be found. You may need to restart or even reinstall "
        "Brindlewick Speed Reader.";
    for (int i = 0; i < 3; ++i)
        app.fakes.messages.expect(MessageKind::Error, text);
    QVERIFY(app.start());
    QCOMPARE(app.state->SoundDevicePresent, 1);
}

void MainWindowTest::noSoundDeviceUnchecksSoundAndSkipsTheCheck()
{
    TestApp app(false);
    app.fakes.sound.devices = 0;
    QVERIFY(app.start());
    QCOMPARE(app.state->SoundDevicePresent, 0);
    QCOMPARE(app.state->Settings.SoundOn, 0);
    QVERIFY(!app.form()->findChild<QAction *>("soundAction")->isChecked());
    // The toggle still works for the rest of the run.
    QVERIFY(triggerAction(app.form(), "soundAction"));
    QCOMPARE(app.state->Settings.SoundOn, 1);
    QVERIFY(app.form()->findChild<QAction *>("soundAction")->isChecked());
}

void MainWindowTest::unsupportedPlatformEndsStartUp()
{
    TestApp app;
    app.fakes.platform.unsupported = true;
    app.fakes.messages.expect(
        MessageKind::Information,
        "This program requires Windows NT/2000/XP and does Not work on Windows 95/98/ME systems.");
    QVERIFY(!app.start());
    QCOMPARE(app.state->ControlPanelOpen, 0);
}

void MainWindowTest::savedPlacementIsClampedToASmallerScreen()
{
    TestApp app;
    TSettings s = defaultSettings(96);
    s.UseDefaultMainPlacement = 0;
    s.MainBounds = TBounds{300, 200, 2000, 700};
    QCOMPARE(saveSettingsFile(app.path("settings2.dat"), s), SettingsSaveResult::Saved);
    app.fakes.screen.screenSize = QSize(1024, 768);
    QVERIFY(app.start());
    QCOMPARE(app.form()->width(), 1024);
    QCOMPARE(app.form()->x(), 1);
    QCOMPARE(app.form()->height(), 700);

    // Default placement on a narrow screen.
    TestApp small;
    small.fakes.screen.screenSize = QSize(700, 500);
    QVERIFY(small.start());
    QCOMPARE(small.form()->size(), QSize(640, 480));
}

void MainWindowTest::visibilityPanelsFollowAndWriteTheSettings()
{
    TestApp app;
    TSettings s = defaultSettings(96);
    s.HorizReadTextMode = 9; // out of range: nothing checked
    s.HorizUnreadTextMode = 3;
    s.VertUnreadTextMode = 2;
    QCOMPARE(saveSettingsFile(app.path("settings2.dat"), s), SettingsSaveResult::Saved);
    QVERIFY(app.start());
    VisibilityPanel *panel1 = app.form()->Panel1();
    for (const char *name :
         {"readSeeThroughRadio", "readCoveredRadio", "readInvisibleRadio", "readVisibleRadio"})
        QVERIFY(!panel1->findChild<QRadioButton *>(name)->isChecked());
    QVERIFY(panel1->findChild<QRadioButton *>("unreadCoveredRadio")->isChecked());
    QVERIFY(app.form()->Panel5()->findChild<QRadioButton *>("vertSeeThroughRadio")->isChecked());

    QVERIFY(!panel1->isVisible());
    app.form()->toggleVisibilityPanel(Mode::Horiz);
    QVERIFY(panel1->isVisible());
    panel1->findChild<QRadioButton *>("readCoveredRadio")->click();
    panel1->findChild<QRadioButton *>("unreadInvisibleRadio")->click();
    QCOMPARE(app.state->Settings.HorizReadTextMode, 4);
    QCOMPARE(app.state->Settings.HorizUnreadTextMode, 1);
    app.form()->Panel5()->findChild<QRadioButton *>("vertCoveredRadio")->click();
    QCOMPARE(app.state->Settings.VertUnreadTextMode, 3);
    // OK hides the panel; with no reader waiting for a reset there is nothing to tell.
    panel1->findChild<QPushButton *>("okButton")->click();
    QVERIFY(!panel1->isVisible());
}

void MainWindowTest::clickPlaysOnlyWithSoundOn()
{
    TestApp app;
    QVERIFY(app.start());
    app.fakes.sound.played.clear();
    app.state->PlayClick(3);
    app.state->PlayClick(9);
    QCOMPARE(app.fakes.sound.played, (QStringList{app.path("tap4.wav"), app.path("click_1.wav")}));
    app.state->Settings.SoundOn = 0;
    app.state->PlayClick(1);
    QCOMPARE(app.fakes.sound.played.size(), 2);
}

void MainWindowTest::helpOpensTheManualAtTheContextOrSaysItCannot()
{
    TestApp app;
    QVERIFY(app.start());
    QVERIFY(triggerAction(app.form(), "contentsAction"));
    QCOMPARE(app.fakes.shell.opened.size(), 1);
    QCOMPARE(app.fakes.shell.opened[0].fragment(), QStringLiteral("context-10"));
    app.state->ShowModeHelp();
    QCOMPARE(app.fakes.shell.opened.last().fragment(), QStringLiteral("context-40"));
    QCOMPARE(app.state->HelpContext, 40);

    app.fakes.shell.result = false;
    app.fakes.messages.expect(MessageKind::Error, "The help file cannot be opened.");
    app.state->ShowModeHelp();
    app.fakes.shell.result = true;
    QFile::remove(app.path("bwread.html"));
    app.fakes.messages.expect(MessageKind::Error, "The help file cannot be opened.");
    QVERIFY(triggerAction(app.form(), "contentsAction"));
}

void MainWindowTest::backgroundColourIsStored()
{
    TestApp app;
    QVERIFY(app.start());
    app.fakes.dialogs.colors.push_back(QColor(0x11, 0x22, 0x33));
    app.fakes.dialogs.colors.push_back(std::nullopt);
    QVERIFY(triggerAction(app.form(), "backgroundColorAction"));
    QCOMPARE(app.state->Settings.MainColor, 0x332211);
    QVERIFY(triggerAction(app.form(), "backgroundColorAction"));
    QCOMPARE(app.state->Settings.MainColor, 0x332211);
    QCOMPARE(app.form()->mdiArea()->background().color(), QColor(0x11, 0x22, 0x33));
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

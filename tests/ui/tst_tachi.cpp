#include "TestSupport.h"

#include "ParagraphFormat.h"
#include "ReadingOptions.h"
#include "app/AppState.h"
#include "app/mainwindow.h"
#include "control/TachiPage.h"
#include "control/control.h"
#include "readers/tacky.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>

// Named, so that the test class may hold its types when the test is built as part of a unity file.
namespace tachitest {

const QString kContinue = QStringLiteral("Continue where you stopped?");

QString paragraphs(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines << QStringLiteral("Paragraph %1 tells of the quick brown fox that jumps over the lazy dog.")
                     .arg(i)
              << QString();
    }
    return lines.join(QLatin1Char('\n'));
}

// The tachistoscope mode opened in a started program, with handles on its window and page.
struct Tachi : ModeApp<TTachiForm, TTachiPage>
{
    Tachi() : ModeApp("tachiAction") {}
    QPlainTextEdit *memo() { return child<QPlainTextEdit>(window, "tachiMemo"); }
    void paste(const QString &text)
    {
        app.fakes.clipboard.content = text;
        action("tachiPasteAction")->trigger();
    }
    // Pastes `count` paragraphs, formats them and starts the reading.
    void startOn(int count)
    {
        paste(paragraphs(count));
        button("formatTextButton")->click();
        button("startReadButton")->click();
    }
    void tick(int n)
    {
        for (int i = 0; i < n; ++i)
            window->Timer1Timer();
    }
    void openFile(const QString &path)
    {
        app.fakes.dialogs.openNames.push_back(path);
        action("tachiOpenFileAction")->trigger();
    }
};

// Start Read, pause button (caption, colour), Cancel Read, Format Text and Indent, as the page shows them.
QString pageState(Tachi &t)
{
    auto on = [](QPushButton *b) { return b->isEnabled() ? QStringLiteral("on") : QStringLiteral("off"); };
    QPushButton *pause = t.button("pauseReadButton");
    const QColor c = pause->palette().color(QPalette::Active, QPalette::ButtonText);
    const QString colour = c == ControlPage::captionColour(CaptionColour::Stop) ? QStringLiteral("red")
                           : c == ControlPage::captionColour(CaptionColour::Go) ? QStringLiteral("green")
                                                                                : QStringLiteral("plain");
    return QStringLiteral("start %1, %2 %3 %4, cancel %5, format %6/%7")
        .arg(on(t.button("startReadButton")), pause->text(), colour, on(pause),
             on(t.button("cancelReadButton")), on(t.button("formatTextButton")),
             on(t.button("indentButton")));
}

} // namespace tachitest

using namespace tachitest;

class TachiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageStatesThroughARun()
    {
        Tachi t;
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Timer plain off, cancel off, format on/on"));
        t.paste(paragraphs(6));
        t.button("formatTextButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start on, Pause Timer plain off, cancel off, format on/on"));

        t.button("startReadButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Read red on, cancel on, format off/off"));
        QVERIFY(t.window->isRunning() && !t.app.storiesEnabled());
        QVERIFY(!t.action("tachiOpenFileAction")->isEnabled() && !t.action("tachiPasteAction")->isEnabled());
        t.window->Timer1Timer();
        QVERIFY(t.window->flashDisplay().startsWith(QStringLiteral("Paragraph")));

        t.button("pauseReadButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start off, Resume Read green on, cancel on, format off/off"));
        QVERIFY(!t.window->isRunning() && !t.app.storiesEnabled());
        t.button("pauseReadButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Read red on, cancel on, format off/off"));
        QVERIFY(t.window->isRunning());

        t.button("cancelReadButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Read green off, cancel off, format on/on"));
        QCOMPARE(t.window->flashDisplay(), QStringLiteral("Cancelled"));
        QCOMPARE(t.window->progress(), 0);
        QVERIFY(t.app.storiesEnabled() && t.action("tachiOpenFileAction")->isEnabled());

        // Left while reading, it clears the story, frees the menus, keeps no score and keeps its place.
        t.button("formatTextButton")->click();
        t.button("startReadButton")->click();
        t.app.state->StoryLoaded = 1;
        t.window->frame()->setGeometry(10, 20, 400, 200);
        t.app.form()->openMode(Mode::Horiz);
        QVERIFY(t.app.state->StoryLoaded == 0 && t.app.storiesEnabled());
        QCOMPARE(t.app.state->Settings.TachiWpmHistory[0], 0.0);
        QVERIFY(triggerAction(t.app.form(), "tachiAction"));
        QCOMPARE(t.app.state->modeWindow->placedGeometry(), QRect(10, 20, 400, 200));
    }

    void startIsRefusedWithTheReason()
    {
        Tachi t;
        t.paste(QStringLiteral("one\ntwo\nthree\nfour"));
        t.app.fakes.messages.expect(MessageKind::Information,
                                    QStringLiteral("You need at least 5 lines of text to format. "));
        t.button("indentButton")->click();
        QCOMPARE(t.memo()->toPlainText(), QStringLiteral("one\ntwo\nthree\nfour"));
        QVERIFY(!t.button("startReadButton")->isEnabled());

        // An edit after Format Text asks for it again.
        t.paste(paragraphs(3));
        t.button("formatTextButton")->click();
        t.memo()->appendPlainText(QStringLiteral("more"));
        t.app.fakes.messages.expect(
            MessageKind::Plain,
            QStringLiteral("The text has changed. Click the \"Format Text\" button to prepare for reading."));
        t.button("startReadButton")->click();
        QVERIFY(!t.window->isRunning());

        // Short lines, each its own paragraph, stay one line each: 999 lines may start.
        QStringList text;
        for (int i = 0; i < 499; ++i)
            text << QStringLiteral("w") << QString();
        t.paste(text.join(QLatin1Char('\n')) + QStringLiteral("\nw"));
        t.button("formatTextButton")->click();
        QCOMPARE(child<QLineEdit>(t.page, "lineCountBox")->text().toInt(), 999);
        t.button("startReadButton")->click();
        QVERIFY(t.window->isRunning());
        t.button("cancelReadButton")->click();
        // One more makes 1000; that refusal comes before the one for an edited text.
        t.button("formatTextButton")->click();
        t.memo()->appendPlainText(QStringLiteral("w"));
        QCOMPARE(t.window->memoLineCount(), 1000);
        t.app.fakes.messages.expect(
            MessageKind::Plain,
            QStringLiteral("There are 1000 lines or more in the text formatting box. You need to reduce "
                           "the number to less than 1000. Sometimes you only need to widen the window."));
        t.button("startReadButton")->click();
        QVERIFY(!t.window->isRunning());
        // Format Text keeps 1000 lines and tells what it left out (worded as the create-text window's tests
        // pin).
        t.memo()->appendPlainText(QStringLiteral("x"));
        t.app.fakes.messages.expect(MessageKind::Information, formatLeftOutMessage({1, 1}, 999, 501));
        t.button("formatTextButton")->click();
    }

    void endOfReadingStoresTheScoreAndAsks_data()
    {
        // Yes keeping the score is the user walk's. No takes it back; without a counted second there is no
        // score: nothing stored, and no question about it.
        QTest::addColumn<int>("seconds");
        QTest::newRow("No takes it back") << 7;
        QTest::newRow("no second") << 0;
    }

    void endOfReadingStoresTheScoreAndAsks()
    {
        QFETCH(int, seconds);
        Tachi t;
        editSettings(*t.app.state, [&](TSettings &s) { s.TachiWpmHistory[0] = 111.0; });
        t.startOn(4);
        if (seconds > 0)
            t.app.fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, false);
        flashToTheEnd(*t.window, seconds);
        QCOMPARE(t.window->flashDisplay(), QStringLiteral("The End"));
        QCOMPARE(t.window->progress(), 100);
        const double wpm = t.window->lastWpm(); // its formula is the core's
        QCOMPARE(wpm > 0, seconds > 0);
        QCOMPARE(t.window->resultText(), QString::number(qRound(wpm)) + QStringLiteral(" words per minute!"));
        QVERIFY(t.app.state->Settings.TachiWpmHistory[0] == 111.0 &&
                t.app.state->Settings.TachiWpmHistory[1] == 0);
        QCOMPARE(t.app.fakes.sound.played.last(), t.app.path(QStringLiteral("2.wav")));
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Timer red off, cancel off, format on/on"));
        QVERIFY(t.app.storiesEnabled() && t.action("tachiPasteAction")->isEnabled());
        // The score survives a crash: it is in the file already.
        QCOMPARE(QFile::exists(t.app.path(QStringLiteral("settings2.dat"))), seconds > 0);
        // A new text clears what the last reading showed.
        t.openFile(t.app.writeBytes(QStringLiteral("next.txt"), "Another text\r\n"));
        QVERIFY(t.window->resultText().isEmpty() && t.window->progress() == 0);
        QVERIFY(child<QLineEdit>(t.page, "lineCountBox")->text().isEmpty());
    }

    void flashTimeAndWidthChangeDuringAReading()
    {
        Tachi t;
        t.startOn(3);
        QCOMPARE(t.window->flashTimer().interval(), 750);
        child<QScrollBar>(t.window, "flashTimeBar")->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(t.app.state->Settings.TachiFlashTime, 670);
        QCOMPARE(t.window->flashTimer().interval(), 670);
        QCOMPARE(child<QLineEdit>(t.window, "flashTimeBox")->text(), QStringLiteral("670"));
        QVERIFY(t.window->isRunning());
        // A fixation width changed mid-reading applies to the next piece.
        child<QSpinBox>(t.page, "fixationWidthSpin")->setValue(20);
        QCOMPARE(t.app.state->Settings.TachiFixationWidth, 20);
        t.window->Timer1Timer();
        QCOMPARE(t.window->flashDisplay(), QStringLiteral("Paragraph 0 tells of"));
    }

    void storiesAndOpenFilesFillTheMemo()
    {
        Tachi t;
        const QString before = t.memo()->toPlainText();
        t.app.fakes.messages.expect(MessageKind::Error, notFoundMessage(QStringLiteral("Ug.bwr")));
        QVERIFY(triggerAction(t.app.form(), "story13Action"));
        QCOMPARE(t.memo()->toPlainText(), before);

        const QString mine = t.app.writeBytes(QStringLiteral("mine.txt"), "My own text\r\nsecond line\r\n");
        t.openFile(mine);
        QCOMPARE(t.memo()->toPlainText(), QStringLiteral("My own text\nsecond line"));
        // A file that is not text keeps the memo.
        const QString binary = t.app.writeBytes(QStringLiteral("image.bwr"), QByteArray("\x89PNG\0\0", 6));
        t.app.fakes.messages.expect(MessageKind::Error, notFoundMessage(binary));
        t.openFile(binary);
        QCOMPARE(t.memo()->toPlainText(), QStringLiteral("My own text\nsecond line"));
    }

    void spaceAndEscapeDriveTheRun()
    {
        Tachi t;
        t.paste(paragraphs(3));
        t.button("formatTextButton")->click();
        // In the text box a space is typed while no reading runs.
        t.memo()->setFocus();
        QTest::keyClick(t.memo(), Qt::Key_Space);
        QVERIFY(!t.window->isRunning());
        QVERIFY(!t.window->isTextFormatted());
        t.button("formatTextButton")->click();

        // After a click on Indent the button has the focus; Space starts all the same, and during the run it
        // pauses and resumes whatever has the focus: a focused button never opens its dialog.
        child<QSpinBox>(t.page, "indentSpin")->setValue(3);
        t.button("indentButton")->setFocus();
        t.button("indentButton")->click();
        QVERIFY(t.memo()->toPlainText().startsWith(QStringLiteral("   ")));
        QTest::keyClick(t.button("indentButton"), Qt::Key_Space);
        QVERIFY(t.window->isRunning());
        t.button("backColorButton")->setFocus();
        QTest::keyClick(t.button("backColorButton"), Qt::Key_Space);
        QCOMPARE(t.button("pauseReadButton")->text(), QStringLiteral("Resume Read"));
        QTest::keyClick(t.memo(), Qt::Key_Space);
        QVERIFY(t.window->isRunning());
        QTest::keyClick(t.app.state->lessonWindow, Qt::Key_Up);
        QCOMPARE(t.app.state->Settings.TachiFlashTime, 725);
        QTest::keyClick(child<QScrollBar>(t.window, "flashTimeBar"), Qt::Key_Escape);
        QVERIFY(!t.window->isRunning());
        QCOMPARE(t.window->flashDisplay(), QStringLiteral("Cancelled"));
    }

    void steppingWhilePausedAndResuming()
    {
        Tachi t;
        QVERIFY(triggerAction(t.app.form(), "stepWhilePausedAction"));
        t.startOn(5);
        QTest::keyClick(t.memo(), Qt::Key_Left);
        QCOMPARE(t.window->flashDisplay(), QString()); // no stepping while the flashes run
        t.tick(3);
        t.button("pauseReadButton")->click();
        const double seconds = t.window->elapsedSeconds();
        // The keys reach the reader whichever window has the focus.
        QTest::keyClick(t.page, Qt::Key_Left);
        QCOMPARE(t.window->flashDisplay(), QStringLiteral(" tells of the"));
        QTest::keyClick(t.window, Qt::Key_Right);
        QCOMPARE(t.window->flashDisplay(), QStringLiteral(" quick brown"));
        QCOMPARE(t.window->elapsedSeconds(), seconds);
        t.button("pauseReadButton")->click();
        t.window->Timer1Timer();
        QCOMPARE(t.window->flashDisplay(),
                 QStringLiteral(" fox that jumps")); // resumed after the shown piece
        // A stepped reading has no speed: nothing recorded, nothing asked, and the line says why.
        const THistory before = t.app.state->Settings.TachiWpmHistory;
        flashToTheEnd(*t.window, 60);
        QCOMPARE(t.window->resultText(), QStringLiteral("Stepped through: no speed recorded."));
        QVERIFY(t.app.state->Settings.TachiWpmHistory == before);
    }

    void aFileContinuesWhereItsReadingStopped()
    {
        Tachi t;
        const QString file = t.app.writeBytes(QStringLiteral("long.txt"), paragraphs(8).toUtf8());
        auto open = [&] {
            t.openFile(file);
            t.button("formatTextButton")->click();
        };
        // Off: nothing is kept and nothing is asked.
        open();
        t.button("startReadButton")->click();
        t.tick(12);
        t.button("cancelReadButton")->click();
        QVERIFY(t.app.state->options.places().isEmpty());

        QVERIFY(triggerAction(t.app.form(), "rememberPlacesAction"));
        open();
        t.button("startReadButton")->click();
        const QString whole = t.window->engine().flashText();
        t.tick(12);
        const QString shown = t.window->flashDisplay();
        t.button("cancelReadButton")->click();
        const auto kept = ReadingOptions::load(t.app.path(QStringLiteral("options.ini")))
                              .placeFor(file, AppState::kTachiPlaces);
        QVERIFY(kept && *kept > 1);

        t.app.fakes.messages.expect(MessageKind::Confirm, kContinue, false);
        open();
        QCOMPARE(t.window->startLine(), 1);
        t.app.fakes.messages.expect(MessageKind::Confirm, kContinue, true);
        open();
        QCOMPARE(t.window->startLine(), *kept);
        t.button("startReadButton")->click();
        // The run starts at the line of the piece that was on display, and counts only what is left.
        const QString rest = t.window->engine().flashText();
        QVERIFY(rest.size() < whole.size() && whole.endsWith(rest));
        QVERIFY2(rest.left(80).contains(shown.trimmed()), qPrintable(shown + " / " + rest.left(80)));
        t.app.fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, true);
        flashToTheEnd(*t.window, 60);
        QVERIFY(t.window->lastWpm() > 0 && t.window->lastWpm() < t.window->textWords());
        QVERIFY2(!t.app.state->options.placeFor(file, AppState::kTachiPlaces), "read to the end");
    }
};

QTEST_MAIN(TachiTest)
#include "tst_tachi.moc"

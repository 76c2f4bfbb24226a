#include "TestSupport.h"

#include "ReadingOptions.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/mainwindow.h"
#include "control/TachiPage.h"
#include "control/control.h"
#include "readers/tacky.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>

namespace {

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
struct Tachi
{
    TestApp app;
    TTachiForm *reader = nullptr;
    TTachiPage *page = nullptr;

    Tachi()
    {
        if (!app.start() || !triggerAction(app.form(), "tachiAction"))
            return;
        reader = qobject_cast<TTachiForm *>(app.state->modeWindow.data());
        page = app.state->controlPanel->findChild<TTachiPage *>();
    }
    template <typename T> T *find(QObject *root, const char *name)
    {
        return root->findChild<T *>(QString::fromLatin1(name));
    }
    QPushButton *button(const char *name) { return find<QPushButton>(page, name); }
    QAction *action(const char *name) { return find<QAction>(page, name); }
    QPlainTextEdit *memo() { return find<QPlainTextEdit>(reader, "tachiMemo"); }
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
            reader->Timer1Timer();
    }
    // Runs flash events until the end of the reading, with `seconds` counted along the way.
    void runToEnd(int seconds)
    {
        for (int s = 0; s < seconds; ++s)
            reader->Timer2Timer();
        for (int events = 0; reader->isInRun() && events < 100000; ++events)
            reader->Timer1Timer();
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

} // namespace

class TachiTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageStatesThroughARun()
    {
        Tachi t;
        QCOMPARE(t.app.state->HelpContext, 30);
        QCOMPARE(t.reader->placedGeometry(), t.app.form()->readerDefaultGeometry());
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Timer plain off, cancel off, format on/on"));
        t.paste(paragraphs(6));
        t.button("formatTextButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start on, Pause Timer plain off, cancel off, format on/on"));

        t.button("startReadButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Read red on, cancel on, format off/off"));
        QVERIFY(t.reader->isRunning() && !t.app.storiesEnabled());
        QVERIFY(!t.action("tachiOpenFileAction")->isEnabled() && !t.action("tachiPasteAction")->isEnabled());
        t.reader->Timer1Timer();
        QVERIFY(t.reader->flashDisplay().startsWith(QStringLiteral("Paragraph")));

        t.button("pauseReadButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start off, Resume Read green on, cancel on, format off/off"));
        QVERIFY(!t.reader->isRunning() && !t.app.storiesEnabled());
        t.button("pauseReadButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Read red on, cancel on, format off/off"));
        QVERIFY(t.reader->isRunning());

        t.button("cancelReadButton")->click();
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Read green off, cancel off, format on/on"));
        QCOMPARE(t.reader->flashDisplay(), QStringLiteral("Cancelled"));
        QCOMPARE(t.reader->progress(), 0);
        QVERIFY(t.app.storiesEnabled() && t.action("tachiOpenFileAction")->isEnabled());

        // Left while reading, it clears the story, frees the menus, keeps no score and keeps its place.
        t.button("formatTextButton")->click();
        t.button("startReadButton")->click();
        t.app.state->StoryLoaded = 1;
        t.reader->frame()->setGeometry(10, 20, 400, 200);
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
        QVERIFY(!t.reader->isRunning());

        // Short lines, each its own paragraph, stay one line each: 999 lines may start.
        QStringList text;
        for (int i = 0; i < 499; ++i)
            text << QStringLiteral("w") << QString();
        t.paste(text.join(QLatin1Char('\n')) + QStringLiteral("\nw"));
        t.button("formatTextButton")->click();
        QCOMPARE(t.find<QLineEdit>(t.page, "lineCountBox")->text().toInt(), 999);
        t.button("startReadButton")->click();
        QVERIFY(t.reader->isRunning());
        t.button("cancelReadButton")->click();
        // One more makes 1000; that refusal comes before the one for an edited text.
        t.button("formatTextButton")->click();
        t.memo()->appendPlainText(QStringLiteral("w"));
        QCOMPARE(t.reader->memoLineCount(), 1000);
        t.app.fakes.messages.expect(
            MessageKind::Plain,
            QStringLiteral("There are 1000 lines or more in the text formatting box. You need to reduce "
                           "the number to less than 1000. Sometimes you only need to widen the window."));
        t.button("startReadButton")->click();
        QVERIFY(!t.reader->isRunning());
    }

    void formatCleansTheTextAndCountsItsWords()
    {
        Tachi t;
        t.app.state->Settings.TachiIndent = 3;
        t.paste(QStringLiteral("\n\nFirst  line\nof a ****\n\n\n   \n\nNext\nends.\n"));
        t.button("formatTextButton")->click();
        QCOMPARE(t.memo()->toPlainText(), QStringLiteral("   First line of a \n\n   Next ends. "));
        QCOMPARE(t.find<QLineEdit>(t.page, "lineCountBox")->text(), QStringLiteral("3"));
        // Lines after the first, five characters a word: "" and "   Next ends. ".
        QCOMPARE(t.reader->textWords(), 2.0);
    }

    void endOfReadingStoresTheScoreAndAsks_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::addColumn<int>("seconds");
        QTest::newRow("Yes keeps the score") << true << 7;
        QTest::newRow("No takes it back") << false << 7;
        // Without a counted second there is no score: nothing stored, nothing taken back.
        QTest::newRow("no second") << false << 0;
    }

    void endOfReadingStoresTheScoreAndAsks()
    {
        QFETCH(bool, keep);
        QFETCH(int, seconds);
        Tachi t;
        t.app.state->Settings.TachiWpmHistory[0] = 111.0;
        t.startOn(4);
        t.app.fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, keep);
        t.runToEnd(seconds);
        QCOMPARE(t.reader->flashDisplay(), QStringLiteral("The End"));
        QCOMPARE(t.reader->progress(), 100);
        const double wpm = seconds == 0 ? 0.0 : t.reader->textWords() / (seconds / 60.0);
        QCOMPARE(t.reader->lastWpm(), wpm);
        QCOMPARE(t.reader->resultText(), QString::number(qRound(wpm)) + QStringLiteral(" words per minute!"));
        QCOMPARE(t.app.state->Settings.TachiWpmHistory[0], 111.0);
        QCOMPARE(t.app.state->Settings.TachiWpmHistory[1], keep ? wpm : 0.0);
        QCOMPARE(t.app.fakes.sound.played.last(), t.app.path(QStringLiteral("2.wav")));
        QCOMPARE(pageState(t), QStringLiteral("start off, Pause Timer red off, cancel off, format on/on"));
        QVERIFY(t.app.storiesEnabled() && t.action("tachiPasteAction")->isEnabled());
        // The score survives a crash: it is in the file already.
        QVERIFY(QFile::exists(t.app.path(QStringLiteral("settings2.dat"))));
    }

    void endOfAStoryOffersTheTest()
    {
        Tachi t;
        t.app.copyDataFile(QStringLiteral("Ug.bwr"));
        QVERIFY(triggerAction(t.app.form(), "story13Action"));
        QCOMPARE(t.app.state->StoryLoaded, 1);
        t.button("formatTextButton")->click();
        t.button("startReadButton")->click();
        t.app.fakes.messages.expect(MessageKind::Confirm,
                                    QStringLiteral("Do you want to test for comprehension?"), false);
        t.app.fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, true);
        t.runToEnd(60);
        QCOMPARE(t.app.state->StoryLoaded, 0);
        QCOMPARE(t.app.state->Settings.TachiWpmHistory[0], t.reader->textWords());
    }

    void flashTimeAndWidthChangeDuringAReading()
    {
        Tachi t;
        t.startOn(3);
        QCOMPARE(t.reader->flashTimer().interval(), 750);
        t.find<QScrollBar>(t.reader, "flashTimeBar")->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(t.app.state->Settings.TachiFlashTime, 670);
        QCOMPARE(t.reader->flashTimer().interval(), 670);
        QCOMPARE(t.find<QLineEdit>(t.reader, "flashTimeBox")->text(), QStringLiteral("670"));
        QVERIFY(t.reader->isRunning());
        // A fixation width changed mid-reading applies to the next piece.
        t.find<QSpinBox>(t.page, "fixationWidthSpin")->setValue(20);
        QCOMPARE(t.app.state->Settings.TachiFixationWidth, 20);
        t.reader->Timer1Timer();
        QCOMPARE(t.reader->flashDisplay(), QStringLiteral("Paragraph 0 tells of"));
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

    // What the font dialog stores is the fonts test's; here, what the window shows of it.
    void dialogsSetTheLook()
    {
        Tachi t;
        auto *flash = t.find<QLabel>(t.reader, "flashLabel");
        t.app.fakes.dialogs.fonts.push_back(
            FontChoice{QFont(QStringLiteral("DejaVu Serif"), 14), QColor(0, 255, 0)});
        t.action("tachiChangeFontAction")->trigger();
        QCOMPARE(t.app.state->Settings.TachiFont.Size, 14);
        QCOMPARE(flash->font().pointSize(), 14);
        QCOMPARE(flash->palette().color(QPalette::WindowText), QColor(0, 255, 0));

        t.app.fakes.dialogs.colors.push_back(QColor(0, 0, 128));
        t.button("backColorButton")->click();
        QCOMPARE(t.app.state->Settings.TachiBackColor, toStoredColor(QColor(0, 0, 128)));
        QCOMPARE(flash->palette().color(QPalette::Window), QColor(0, 0, 128));

        // The preview font is the text box's alone.
        const QString stored = t.app.state->Settings.TachiFont.Name;
        t.app.fakes.dialogs.fonts.push_back(
            FontChoice{QFont(QStringLiteral("DejaVu Sans Mono"), 9), Qt::blue});
        t.button("previewFontButton")->click();
        QCOMPARE(t.memo()->font().pointSize(), 9);
        QCOMPARE(t.app.state->Settings.TachiFont.Name, stored);
    }

    void spaceAndEscapeDriveTheRun()
    {
        Tachi t;
        t.paste(paragraphs(3));
        t.button("formatTextButton")->click();
        // In the text box a space is typed while no reading runs.
        t.memo()->setFocus();
        QTest::keyClick(t.memo(), Qt::Key_Space);
        QVERIFY(!t.reader->isRunning());
        QVERIFY(!t.reader->isTextFormatted());
        t.button("formatTextButton")->click();

        // Space on a focused button presses that button, not the page's run key.
        t.find<QSpinBox>(t.page, "indentSpin")->setValue(3);
        t.button("indentButton")->setFocus();
        QTest::keyClick(t.button("indentButton"), Qt::Key_Space);
        QVERIFY(!t.reader->isRunning());
        QVERIFY(t.memo()->toPlainText().startsWith(QStringLiteral("   ")));
        QTest::keyClick(t.reader, Qt::Key_Space);
        QVERIFY(t.reader->isRunning());
        QTest::keyClick(t.memo(), Qt::Key_Space);
        QCOMPARE(t.button("pauseReadButton")->text(), QStringLiteral("Resume Read"));
        QTest::keyClick(t.reader, Qt::Key_Space);
        QVERIFY(t.reader->isRunning());
        QTest::keyClick(t.find<QScrollBar>(t.reader, "flashTimeBar"), Qt::Key_Escape);
        QVERIFY(!t.reader->isRunning());
        QCOMPARE(t.reader->flashDisplay(), QStringLiteral("Cancelled"));
    }

    void sentencePausesFollowTheOption()
    {
        for (const bool on : {false, true}) {
            Tachi t;
            if (on)
                QVERIFY(triggerAction(t.app.form(), "pauseAtSentenceEndsAction"));
            QCOMPARE(ReadingOptions::load(t.app.path(QStringLiteral("options.ini"))).pauseAtSentenceEnds, on);
            t.startOn(5);
            // The wait after each flash: the paragraph's end holds longer only with the option on.
            QList<int> waits;
            for (int i = 0; i < 8; ++i) {
                t.reader->Timer1Timer();
                waits << t.reader->flashTimer().interval();
            }
            QCOMPARE(t.reader->flashDisplay(), QStringLiteral("Paragraph 1"));
            QCOMPARE(waits, QList<int>({750, 750, 750, 750, 750, on ? 1500 : 750, 750, 750}));
        }
    }

    void steppingWhilePausedAndResuming()
    {
        Tachi t;
        QVERIFY(triggerAction(t.app.form(), "stepWhilePausedAction"));
        t.startOn(5);
        QVERIFY2(!t.page->runKey(Qt::Key_Left), "no stepping while the flashes run");
        t.tick(3);
        t.button("pauseReadButton")->click();
        const double seconds = t.reader->elapsedSeconds();
        // The keys reach the page and the reader alike.
        QVERIFY(t.page->runKey(Qt::Key_Left));
        QCOMPARE(t.reader->flashDisplay(), QStringLiteral(" tells of the"));
        QTest::keyClick(t.reader, Qt::Key_Right);
        QCOMPARE(t.reader->flashDisplay(), QStringLiteral(" quick brown"));
        QTest::keyClick(t.reader, Qt::Key_Right);
        QCOMPARE(t.reader->flashDisplay(), QStringLiteral(" fox that jumps"));
        QCOMPARE(t.reader->elapsedSeconds(), seconds);
        t.button("pauseReadButton")->click();
        t.reader->Timer1Timer();
        QCOMPARE(t.reader->flashDisplay(), QStringLiteral(" over the lazy")); // resumed after the shown piece
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
        const QString whole = t.reader->engine().flashText();
        t.tick(12);
        const QString shown = t.reader->flashDisplay();
        t.button("cancelReadButton")->click();
        const auto kept = ReadingOptions::load(t.app.path(QStringLiteral("options.ini")))
                              .placeFor(file, AppState::kTachiPlaces);
        QVERIFY(kept && *kept > 1);

        t.app.fakes.messages.expect(MessageKind::Confirm, kContinue, false);
        open();
        QCOMPARE(t.reader->startLine(), 1);
        t.app.fakes.messages.expect(MessageKind::Confirm, kContinue, true);
        open();
        QCOMPARE(t.reader->startLine(), *kept);
        t.button("startReadButton")->click();
        // The run starts at the line of the piece that was on display, and counts only what is left.
        const QString rest = t.reader->engine().flashText();
        QVERIFY(rest.size() < whole.size() && whole.endsWith(rest));
        QVERIFY2(rest.left(80).contains(shown.trimmed()), qPrintable(shown + " / " + rest.left(80)));
        t.app.fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, true);
        t.runToEnd(60);
        QVERIFY(t.reader->lastWpm() > 0 && t.reader->lastWpm() < t.reader->textWords());
        QVERIFY2(!t.app.state->options.placeFor(file, AppState::kTachiPlaces), "read to the end");
    }
};

QTEST_MAIN(TachiTest)
#include "tst_tachi.moc"

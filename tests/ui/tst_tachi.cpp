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
#include <QMenu>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

namespace {

const QString kNeedFive = QStringLiteral("You need at least 5 lines of text to format. ");
const QString kTooMany =
    QStringLiteral("There are 1000 lines or more in the text formatting box. You need to reduce "
                   "the number to less than 1000. Sometimes you only need to widen the window.");
const QString kChanged =
    QStringLiteral("The text has changed. Click the \"Format Text\" button to prepare for reading.");
const QString kSave = QStringLiteral("Do you want to save this WPM score on chart?");
const QString kTest = QStringLiteral("Do you want to test for comprehension?");

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
    // Runs flash events until the end of the reading, with `seconds` counted along the way.
    int runToEnd(int seconds)
    {
        for (int s = 0; s < seconds; ++s)
            reader->Timer2Timer();
        int events = 0;
        while (reader->isInRun() && events < 100000) {
            reader->Timer1Timer();
            ++events;
        }
        return events;
    }
    bool storiesEnabled() { return app.form()->shortStoriesMenu()->menuAction()->isEnabled(); }
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
    void opensWithItsPageAndSettings();
    void pageStatesThroughARun();
    void formatNeedsFiveLinesAndStartNeedsFewerThanAThousand();
    void formatFillsTheLineCountAndCountsWords();
    void editAfterFormatRefusesStart();
    void endOfReadingStoresTheScoreAndAsks_data();
    void endOfReadingStoresTheScoreAndAsks();
    void endOfAStoryOffersTheTest();
    void endBeforeASecondStoresNothing();
    void flashTimeChangesDuringAReading();
    void storiesOpenFilesAndTempFileFillTheMemo();
    void dialogsStoreTheLook();
    void spaceAndEscapeDriveTheRun();
    void closingClearsTheModeAndStoresBounds();
    void sentencePausesFollowTheOption();
    void steppingWhilePausedAndResuming();
    void aFileContinuesWhereItsReadingStopped();
};

void TachiTest::opensWithItsPageAndSettings()
{
    Tachi t;
    QVERIFY(t.reader != nullptr && t.page != nullptr);
    QCOMPARE(t.app.state->TachiOpen, 1);
    QVERIFY(t.page->isVisible());
    QCOMPARE(t.app.state->HelpContext, 30);
    QCOMPARE(t.reader->placedGeometry(), t.app.form()->readerDefaultGeometry());
    QVERIFY(!(t.reader->frame()->windowFlags() & Qt::WindowSystemMenuHint));
    QCOMPARE(t.find<QLineEdit>(t.reader, "flashTimeBox")->text(), QStringLiteral("750"));
    QCOMPARE(t.find<QSpinBox>(t.page, "fixationWidthSpin")->value(), 12);
    QCOMPARE(pageState(t), QStringLiteral("start off, Pause Timer plain off, cancel off, format on/on"));
}

void TachiTest::pageStatesThroughARun()
{
    Tachi t;
    t.paste(paragraphs(6));
    t.button("formatTextButton")->click();
    QCOMPARE(pageState(t), QStringLiteral("start on, Pause Timer plain off, cancel off, format on/on"));
    QCOMPARE(t.button("startReadButton")->palette().color(QPalette::ButtonText),
             ControlPage::captionColour(CaptionColour::Go));

    t.button("startReadButton")->click();
    QCOMPARE(pageState(t), QStringLiteral("start off, Pause Read red on, cancel on, format off/off"));
    QVERIFY(t.reader->isRunning());
    QVERIFY(!t.storiesEnabled());
    QVERIFY(!t.action("tachiOpenFileAction")->isEnabled());
    QVERIFY(!t.action("tachiPasteAction")->isEnabled());
    t.reader->Timer1Timer();
    QVERIFY(t.reader->flashDisplay().startsWith(QStringLiteral("Paragraph")));

    t.button("pauseReadButton")->click();
    QCOMPARE(pageState(t), QStringLiteral("start off, Resume Read green on, cancel on, format off/off"));
    QVERIFY(!t.reader->isRunning());
    QVERIFY(!t.storiesEnabled());

    t.button("pauseReadButton")->click();
    QCOMPARE(pageState(t), QStringLiteral("start off, Pause Read red on, cancel on, format off/off"));
    QVERIFY(t.reader->isRunning());

    t.button("cancelReadButton")->click();
    QCOMPARE(pageState(t), QStringLiteral("start off, Pause Read green off, cancel off, format on/on"));
    QVERIFY(!t.reader->isRunning());
    QCOMPARE(t.reader->flashDisplay(), QStringLiteral("Cancelled"));
    QCOMPARE(t.reader->progress(), 0);
    QVERIFY(t.storiesEnabled());
    QVERIFY(t.action("tachiOpenFileAction")->isEnabled());
    QCOMPARE(t.app.state->Settings.TachiWpmHistory[0], 0.0);
    // Every press clicked.
    QCOMPARE(t.app.fakes.sound.played.size(), 6);
}

void TachiTest::formatNeedsFiveLinesAndStartNeedsFewerThanAThousand()
{
    Tachi t;
    t.paste(QStringLiteral("one\ntwo\nthree\nfour"));
    t.app.fakes.messages.expect(MessageKind::Information, kNeedFive);
    t.button("indentButton")->click();
    QCOMPARE(t.memo()->toPlainText(), QStringLiteral("one\ntwo\nthree\nfour"));
    QVERIFY(!t.button("startReadButton")->isEnabled());

    t.paste(QStringLiteral("one\ntwo\nthree\nfour\nfive"));
    t.button("formatTextButton")->click();
    QVERIFY(t.button("startReadButton")->isEnabled());

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
    t.app.fakes.messages.expect(MessageKind::Plain, kTooMany);
    t.button("startReadButton")->click();
    QVERIFY(!t.reader->isRunning());
}

void TachiTest::formatFillsTheLineCountAndCountsWords()
{
    Tachi t;
    t.app.state->Settings.TachiIndent = 3;
    t.paste(QStringLiteral("\n\nFirst  line\nof a ****\n\n\n   \n\nNext\nends.\n"));
    t.button("formatTextButton")->click();
    QCOMPARE(t.memo()->toPlainText(), QStringLiteral("   First line of a \n\n   Next ends. "));
    QCOMPARE(t.find<QLineEdit>(t.page, "lineCountBox")->text().toInt(), 3);
    QCOMPARE(t.reader->memoLineCount(), 3);
    // Lines after the first, five characters a word: "" and "   Next ends. ".
    QCOMPARE(t.reader->textWords(), 2.0);
    // The display got the room it keeps while reading; the text box keeps the rest.
    const int panelWidth = t.reader->findChild<QWidget *>(QStringLiteral("tachiPanel"))->width();
    QVERIFY(qAbs(panelWidth - (t.reader->width() - 232)) <= 8);
}

void TachiTest::editAfterFormatRefusesStart()
{
    Tachi t;
    t.paste(paragraphs(3));
    t.button("formatTextButton")->click();
    QVERIFY(t.reader->isTextFormatted());
    t.memo()->appendPlainText(QStringLiteral("more"));
    QVERIFY(!t.reader->isTextFormatted());
    t.app.fakes.messages.expect(MessageKind::Plain, kChanged);
    t.button("startReadButton")->click();
    QVERIFY(!t.reader->isRunning());
    QVERIFY(t.button("startReadButton")->isEnabled());
}

void TachiTest::endOfReadingStoresTheScoreAndAsks_data()
{
    QTest::addColumn<bool>("keep");
    QTest::newRow("Yes keeps the score") << true;
    QTest::newRow("No takes it back") << false;
}

void TachiTest::endOfReadingStoresTheScoreAndAsks()
{
    QFETCH(bool, keep);
    Tachi t;
    t.app.state->Settings.TachiWpmHistory[0] = 111.0;
    t.paste(paragraphs(4));
    t.button("formatTextButton")->click();
    t.button("startReadButton")->click();
    const QStringList shown = [&] {
        QStringList out;
        connect(t.reader, &TTachiForm::displayChanged, t.reader, [&out](const QString &s) { out << s; });
        t.app.fakes.messages.expect(MessageKind::Confirm, kSave, keep);
        t.runToEnd(7);
        return out;
    }();
    QCOMPARE(shown.last(), QStringLiteral("The End"));
    // A blank flash after each of the first three paragraphs (the piece before the end may be empty too).
    QCOMPARE(shown.mid(0, shown.size() - 2).count(QString()), 3);
    QVERIFY(!shown.join(QString()).contains(QLatin1Char('^')));
    QVERIFY(!shown.join(QString()).contains(QLatin1Char('@')));
    QCOMPARE(t.reader->progress(), 100);
    const double wpm = t.reader->textWords() / (7.0 / 60.0);
    QCOMPARE(t.reader->lastWpm(), wpm);
    QCOMPARE(t.reader->resultText(), QString::number(qRound(wpm)) + QStringLiteral(" words per minute!"));
    QCOMPARE(t.app.state->Settings.TachiWpmHistory[0], 111.0);
    QCOMPARE(t.app.state->Settings.TachiWpmHistory[1], keep ? wpm : 0.0);
    QCOMPARE(t.app.fakes.sound.played.last(), t.app.path(QStringLiteral("2.wav")));
    QCOMPARE(pageState(t), QStringLiteral("start off, Pause Timer red off, cancel off, format on/on"));
    QVERIFY(t.storiesEnabled());
    QVERIFY(t.action("tachiPasteAction")->isEnabled());
    // The score survives a crash: it is in the file already.
    QVERIFY(QFile::exists(t.app.path(QStringLiteral("settings2.dat"))));
}

void TachiTest::endOfAStoryOffersTheTest()
{
    Tachi t;
    t.app.copyDataFile(QStringLiteral("Ug.bwr"));
    QVERIFY(triggerAction(t.app.form(), "story13Action"));
    QCOMPARE(t.app.state->StoryLoaded, 1);
    QVERIFY(t.memo()->toPlainText().size() > 1000);
    t.button("formatTextButton")->click();
    // The lines counted are the lines the text box shows.
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(t.memo()->document()->documentLayout());
    QVERIFY(layout != nullptr);
    int shownLines = 0;
    for (QTextBlock b = t.memo()->document()->begin(); b.isValid(); b = b.next()) {
        layout->ensureBlockLayout(b);
        shownLines += b.layout()->lineCount();
    }
    QCOMPARE(t.reader->memoLineCount(), shownLines);
    t.button("startReadButton")->click();
    t.app.fakes.messages.expect(MessageKind::Confirm, kTest, false);
    t.app.fakes.messages.expect(MessageKind::Confirm, kSave, true);
    t.runToEnd(60);
    QCOMPARE(t.app.state->StoryLoaded, 0);
    QCOMPARE(t.app.state->Settings.TachiWpmHistory[0], t.reader->textWords());
}

void TachiTest::endBeforeASecondStoresNothing()
{
    Tachi t;
    t.app.state->Settings.TachiWpmHistory[0] = 222.0;
    t.paste(paragraphs(3));
    t.button("formatTextButton")->click();
    t.button("startReadButton")->click();
    t.app.fakes.messages.expect(MessageKind::Confirm, kSave, false);
    t.runToEnd(0);
    QCOMPARE(t.reader->lastWpm(), 0.0);
    QCOMPARE(t.reader->resultText(), QStringLiteral("0 words per minute!"));
    QCOMPARE(t.app.state->Settings.TachiWpmHistory[0], 222.0);
    QCOMPARE(t.app.state->Settings.TachiWpmHistory[1], 0.0);
}

void TachiTest::flashTimeChangesDuringAReading()
{
    Tachi t;
    t.paste(paragraphs(3));
    t.button("formatTextButton")->click();
    t.button("startReadButton")->click();
    QCOMPARE(t.reader->flashTimer().interval(), 750);
    auto *bar = t.find<QScrollBar>(t.reader, "flashTimeBar");
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
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

void TachiTest::storiesOpenFilesAndTempFileFillTheMemo()
{
    Tachi t;
    const QString before = t.memo()->toPlainText();
    t.app.fakes.messages.expect(
        MessageKind::Error,
        QStringLiteral("The file \"Ug.bwr\" was not found, or else the file is not an ascii "
                       "text file. Be sure that the file exists, and was not deleted."));
    QVERIFY(triggerAction(t.app.form(), "story13Action"));
    QCOMPARE(t.memo()->toPlainText(), before);
    QCOMPARE(t.app.state->StoryNumber, 13);

    QFile file(t.app.path(QStringLiteral("mine.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("My own text\r\nsecond line\r\n");
    file.close();
    t.app.fakes.dialogs.openNames.push_back(file.fileName());
    t.action("tachiOpenFileAction")->trigger();
    QCOMPARE(t.memo()->toPlainText(), QStringLiteral("My own text\nsecond line"));
    QCOMPARE(t.app.fakes.dialogs.openFoldersSeen, QStringList{t.app.state->workingDir()});
    QCOMPARE(t.app.fakes.dialogs.openFiltersSeen, QStringList{"BWR text files (*.bwr);;Text files (*.txt)"});
    // A file that is not text keeps the memo.
    QFile binary(t.app.path(QStringLiteral("image.bwr")));
    QVERIFY(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("\x89PNG\0\0", 6));
    binary.close();
    t.app.fakes.dialogs.openNames.push_back(binary.fileName());
    t.app.fakes.messages.expect(MessageKind::Error,
                                QStringLiteral("The file \"") + binary.fileName() +
                                    QStringLiteral("\" was not found, or else the file is not an "
                                                   "ascii text file. Be sure that the file "
                                                   "exists, and was not deleted."));
    t.action("tachiOpenFileAction")->trigger();
    QCOMPARE(t.memo()->toPlainText(), QStringLiteral("My own text\nsecond line"));

    // The create-text window's transfer file is loaded when the next reader opens.
    QVERIFY(QFile::copy(file.fileName(), t.app.path(QStringLiteral("temp.txt"))));
    t.app.state->LoadTempFile = 1;
    QVERIFY(triggerAction(t.app.form(), "tachiAction"));
    auto *reader = qobject_cast<TTachiForm *>(t.app.state->modeWindow.data());
    QCOMPARE(t.app.state->LoadTempFile, 0);
    QCOMPARE(reader->findChild<QPlainTextEdit *>()->toPlainText(),
             QStringLiteral("My own text\nsecond line"));
}

void TachiTest::dialogsStoreTheLook()
{
    Tachi t;
    auto *flash = t.find<QLabel>(t.reader, "flashLabel");
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(14);
    chosen.setBold(true);
    t.app.fakes.dialogs.fonts.push_back(FontChoice{chosen, QColor(0, 255, 0)});
    t.action("tachiChangeFontAction")->trigger();
    QCOMPARE(t.app.fakes.dialogs.fontOptionsSeen.last().maxSize, 16);
    QCOMPARE(t.app.state->Settings.TachiFont.Name, QStringLiteral("DejaVu Serif"));
    QCOMPARE(t.app.state->Settings.TachiFont.Size, 14);
    QCOMPARE(t.app.state->Settings.TachiFont.Style, std::uint8_t(fsBold));
    QCOMPARE(t.app.state->Settings.TachiFont.Color, 0x00FF00);
    QCOMPARE(flash->font().pointSize(), 14);
    QCOMPARE(flash->palette().color(QPalette::WindowText), QColor(0, 255, 0));

    // Options > Fonts is the same dialog; a cancel changes nothing.
    t.app.fakes.dialogs.fonts.push_back(std::nullopt);
    QVERIFY(triggerAction(t.app.form(), "fontsAction"));
    QCOMPARE(t.app.state->Settings.TachiFont.Size, 14);

    t.app.fakes.dialogs.colors.push_back(QColor(0, 0, 128));
    t.button("backColorButton")->click();
    QCOMPARE(t.app.state->Settings.TachiBackColor, toStoredColor(QColor(0, 0, 128)));
    QCOMPARE(flash->palette().color(QPalette::Window), QColor(0, 0, 128));
    t.app.fakes.dialogs.colors.push_back(std::nullopt);
    t.button("backColorButton")->click();
    QCOMPARE(t.app.state->Settings.TachiBackColor, toStoredColor(QColor(0, 0, 128)));

    const TFontGroup stored = t.app.state->Settings.TachiFont;
    t.app.fakes.dialogs.fonts.push_back(FontChoice{QFont(QStringLiteral("DejaVu Sans Mono"), 9), Qt::blue});
    t.button("previewFontButton")->click();
    QCOMPARE(t.memo()->font().pointSize(), 9);
    QCOMPARE(t.app.state->Settings.TachiFont.Name, stored.Name);
}

void TachiTest::spaceAndEscapeDriveTheRun()
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

void TachiTest::closingClearsTheModeAndStoresBounds()
{
    Tachi t;
    t.app.copyDataFile(QStringLiteral("Ug.bwr"));
    QVERIFY(triggerAction(t.app.form(), "story13Action"));
    t.button("formatTextButton")->click();
    t.button("startReadButton")->click();
    QVERIFY(!t.storiesEnabled());
    t.reader->frame()->setGeometry(10, 20, 400, 200);
    t.app.form()->openMode(Mode::Horiz);
    QCOMPARE(t.app.state->StoryLoaded, 0);
    QVERIFY(t.storiesEnabled());
    QCOMPARE(t.app.state->Settings.TachiDefaultPlacement, 0);
    QCOMPARE(t.app.state->Settings.TachiBounds.Width, 400);
    QCOMPARE(t.app.state->Settings.TachiWpmHistory[0], 0.0);
    QCOMPARE(t.app.state->modeWindow->mode(), Mode::Horiz);
    // Opened again it comes back where it was left.
    QVERIFY(triggerAction(t.app.form(), "tachiAction"));
    QCOMPARE(t.app.state->modeWindow->placedGeometry(), QRect(10, 20, 400, 200));
}

QTEST_MAIN(TachiTest)
#include "tst_tachi.moc"

void TachiTest::sentencePausesFollowTheOption()
{
    for (const bool on : {false, true}) {
        Tachi t;
        QCOMPARE(t.app.form()->findChild<QAction *>(QStringLiteral("pauseAtSentenceEndsAction"))->isChecked(),
                 false);
        if (on)
            QVERIFY(triggerAction(t.app.form(), "pauseAtSentenceEndsAction"));
        QCOMPARE(ReadingOptions::load(t.app.path(QStringLiteral("options.ini"))).pauseAtSentenceEnds, on);
        t.paste(paragraphs(5));
        t.button("formatTextButton")->click();
        t.button("startReadButton")->click();
        // Each flash as "text@interval", the interval being the wait that follows it.
        QStringList seen;
        for (int i = 0; i < 9; ++i) {
            t.reader->Timer1Timer();
            seen << t.reader->flashDisplay() + QLatin1Char('@') +
                        QString::number(t.reader->flashTimer().interval());
        }
        const QString para = on ? QStringLiteral("1500") : QStringLiteral("750");
        const QStringList expected = {"Paragraph 0@750",
                                      " tells of the@750",
                                      " quick brown@750",
                                      " fox that jumps@750",
                                      " over the lazy@750",
                                      " dog. @" + para,
                                      "@750",
                                      "Paragraph 1@750",
                                      " tells of the@750"};
        QCOMPARE(seen, expected);
    }
}

void TachiTest::steppingWhilePausedAndResuming()
{
    Tachi t;
    QVERIFY(triggerAction(t.app.form(), "stepWhilePausedAction"));
    t.paste(paragraphs(5));
    t.button("formatTextButton")->click();
    t.button("startReadButton")->click();
    QVERIFY2(!t.page->runKey(Qt::Key_Left), "no stepping while the flashes run");
    for (int i = 0; i < 3; ++i)
        t.reader->Timer1Timer();
    t.button("pauseReadButton")->click();
    const double seconds = t.reader->elapsedSeconds();
    // The keys reach the page and the reader alike; the first piece stays the first.
    const std::pair<Qt::Key, const char *> steps[] = {
        {Qt::Key_Left, " tells of the"},  {Qt::Key_Left, "Paragraph 0"},   {Qt::Key_Left, "Paragraph 0"},
        {Qt::Key_Right, " tells of the"}, {Qt::Key_Right, " quick brown"}, {Qt::Key_Right, " fox that jumps"},
        {Qt::Key_Left, " quick brown"},
    };
    bool onPage = true;
    for (const auto &[key, shown] : steps) {
        if (onPage)
            QVERIFY(t.page->runKey(key));
        else
            QTest::keyClick(t.reader, key);
        onPage = !onPage;
        QCOMPARE(t.reader->flashDisplay(), QString::fromLatin1(shown));
    }
    QCOMPARE(t.reader->elapsedSeconds(), seconds);
    t.button("pauseReadButton")->click();
    t.reader->Timer1Timer();
    QCOMPARE(t.reader->flashDisplay(), QStringLiteral(" fox that jumps")); // resumed after the shown piece
}

void TachiTest::aFileContinuesWhereItsReadingStopped()
{
    Tachi t;
    QFile file(t.app.path(QStringLiteral("long.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(paragraphs(8).toUtf8());
    file.close();
    auto open = [&] {
        t.app.fakes.dialogs.openNames.push_back(file.fileName());
        t.action("tachiOpenFileAction")->trigger();
        t.button("formatTextButton")->click();
    };
    // Off: nothing is kept and nothing is asked.
    open();
    t.button("startReadButton")->click();
    for (int i = 0; i < 12; ++i)
        t.reader->Timer1Timer();
    t.button("cancelReadButton")->click();
    QVERIFY(t.app.state->options.places().isEmpty());

    QVERIFY(triggerAction(t.app.form(), "rememberPlacesAction"));
    open();
    t.button("startReadButton")->click();
    const QString whole = t.reader->engine().flashText();
    for (int i = 0; i < 12; ++i)
        t.reader->Timer1Timer();
    const QString shown = t.reader->flashDisplay();
    t.button("cancelReadButton")->click();
    const auto kept = ReadingOptions::load(t.app.path(QStringLiteral("options.ini")))
                          .placeFor(file.fileName(), AppState::kTachiPlaces);
    QVERIFY(kept && *kept > 1);

    t.app.fakes.messages.expect(MessageKind::Confirm, QStringLiteral("Continue where you stopped?"), false);
    open();
    QCOMPARE(t.reader->startLine(), 1);
    t.app.fakes.messages.expect(MessageKind::Confirm, QStringLiteral("Continue where you stopped?"), true);
    open();
    QCOMPARE(t.reader->startLine(), *kept);
    t.button("startReadButton")->click();
    // The run starts at the line of the piece that was on display, and counts only what is left.
    const QString rest = t.reader->engine().flashText();
    QVERIFY(rest.size() < whole.size() && whole.endsWith(rest));
    QVERIFY2(rest.left(80).contains(shown.trimmed()), qPrintable(shown + " / " + rest.left(80)));
    t.app.fakes.messages.expect(MessageKind::Confirm, kSave, true);
    t.runToEnd(60);
    QVERIFY(t.reader->lastWpm() > 0 && t.reader->lastWpm() < t.reader->textWords());
    QVERIFY2(!t.app.state->options.placeFor(file.fileName(), AppState::kTachiPlaces), "read to the end");
}

#include "TestSupport.h"

#include "ReadingOptions.h"
#include "SettingsFile.h"

#include "app/AppState.h"
#include "app/VisibilityPanel.h"
#include "app/mainwindow.h"
#include "control/HorizControlPage.h"
#include "control/control.h"
#include "readers/HorizPageView.h"
#include "readers/longread.h"

#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

namespace {

const QString kLine = QStringLiteral("The quick brown fox jumps over the lazy dog");

void writeLines(TestApp &app, const QString &name, const QStringList &lines)
{
    QFile f(app.path(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write((lines.join(u'\n') + u'\n').toUtf8());
}

struct Horiz
{
    THorizonForm *reader;
    HorizControlPage *page;

    template <typename T> T *find(const char *name) const
    {
        return page->findChild<T *>(QString::fromLatin1(name));
    }
    QPushButton *start() const { return find<QPushButton>("startReadButton"); }
    QPushButton *reset() const { return find<QPushButton>("resetTextButton"); }
    QSlider *speed() const { return find<QSlider>("speedBar"); }
    QSpinBox *fixations() const { return find<QSpinBox>("fixationsUpDown"); }
    QString lineCount() const { return find<QLineEdit>("lineCountBox")->text(); }
    int progress() const { return find<QProgressBar>("horizProgressBar")->value(); }
    // Runs pacer ticks by hand, one clock second every `ticksPerSecond` ticks, until the reading ends.
    int readToEnd(int ticksPerSecond = 1000000) const
    {
        int ticks = 0;
        while (reader->Timer1().isActive() && ticks < 100000) {
            reader->Timer1Timer();
            if (++ticks % ticksPerSecond == 0)
                reader->Timer2Timer();
        }
        return ticks;
    }
};

Horiz horizOf(TestApp &app)
{
    auto *reader = qobject_cast<THorizonForm *>(app.state->modeWindow.data());
    auto *page = qobject_cast<HorizControlPage *>(app.state->controlPanel->page(Mode::Horiz));
    return Horiz{reader, page};
}

bool drew(const Horiz &h, const QString &text)
{
    for (const HorizDraw &d : h.reader->pageView()->commands()) {
        if (d.text == text)
            return true;
    }
    return false;
}

} // namespace

class HorizReaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startOpensTheReaderFromTheSettings();
    void damagedSettingsAreKeptInRange();
    void storyIsReadToTheEndAndScored();
    void zeroSecondReadingStoresNothing();
    void startRefusesUntilResetText_data();
    void startRefusesUntilResetText();
    void arrowKeysStepTheSpeedWhileRunning_data();
    void arrowKeysStepTheSpeedWhileRunning();
    void panelArrowKeysActWhilePaused();
    void tempFileIsLoadedWhenNamed();
    void unreadableFileGivesTheErrorAndKeepsThePage();
    void longWordsAreReported();
    void fontsOptionPresetsAndStores();
    void visibilityOkAsksForResetOnlyWhenItIsEnabled();
    void widthChangeRestartsHeightDoesNot();
    void pageShowsTheLooks();
    void readLookCoversTheRevealedLine();
    void closingClearsTheModeAndStoresBounds();
    void stepsWhilePausedReplayTheSamePage();
    void aFileContinuesWhereItsReadingStopped();
};

void HorizReaderTest::startOpensTheReaderFromTheSettings()
{
    TestApp app;
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    QVERIFY(h.reader != nullptr);
    QCOMPARE(app.state->HorizOpen, 1);
    QVERIFY(h.page->isVisible());
    QCOMPARE(h.speed()->value(), app.state->Settings.HorizInterval);
    QCOMPARE(h.reader->Timer1().interval(), app.state->Settings.HorizInterval);
    QCOMPARE(h.fixations()->value(), int(app.state->Settings.HorizFixations));
    const QSize client = app.form()->clientSize();
    QCOMPARE(h.reader->placedGeometry(),
             QRect(0, 0, app.form()->lessonGeometry().width(), client.height() / 2));
}

void HorizReaderTest::damagedSettingsAreKeptInRange()
{
    TestApp app;
    TSettings s = defaultSettings(96);
    s.HorizFont.Size = 500;
    s.HorizInterval = 0;
    QCOMPARE(saveSettingsFile(app.path("settings2.dat"), s), SettingsSaveResult::Saved);
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    QCOMPARE(h.reader->pageFont().pointSize(), 14);
    QCOMPARE(h.reader->Timer1().interval(), 10);
    QCOMPARE(app.state->Settings.HorizInterval, 10);
}

void HorizReaderTest::storyIsReadToTheEndAndScored()
{
    TestApp app;
    // A short stand-in for the story file: three lines of 43 characters (8 words each), one blank line.
    writeLines(app, QStringLiteral("Ug.bwr"), {kLine, QString(), kLine, kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    QVERIFY(triggerAction(app.form(), "story13Action"));
    QCOMPARE(app.state->StoryLoaded, 1);
    QCOMPARE(h.lineCount(), QStringLiteral("4"));
    QVERIFY(h.start()->isEnabled());

    h.start()->click();
    QVERIFY(h.reader->isPacing());
    QCOMPARE(h.start()->text(), QStringLiteral("Pause Read"));
    QVERIFY(!app.form()->shortStoriesMenu()->menuAction()->isEnabled());

    app.fakes.messages.expect(MessageKind::Confirm, QStringLiteral("Do you want to test for comprehension?"),
                              false);
    app.fakes.messages.expect(MessageKind::Confirm,
                              QStringLiteral("Do you want to save this WPM score on chart?"), true);
    // 16 counted ticks, a second every 4: 4 seconds for 16 words (the last line does not count).
    h.readToEnd(4);
    QVERIFY(!h.reader->isPacing());
    QVERIFY(!h.reader->Timer2().isActive());
    QCOMPARE(h.reader->reading().state().WpmScore, 16.0 / (4.0 / 60.0));
    QCOMPARE(app.state->Settings.HorizWpmHistory[0], 240.0);
    QVERIFY(drew(h, QStringLiteral("THE END!")));
    QVERIFY(drew(h, QStringLiteral("240 words per minute!")));
    QCOMPARE(app.state->StoryLoaded, 0);
    QVERIFY(!h.start()->isEnabled());
    QCOMPARE(h.start()->text(), QStringLiteral("Start Read"));
    QVERIFY(h.reset()->isEnabled());
    QCOMPARE(h.reader->TextLoaded, 0);
    QVERIFY(app.form()->shortStoriesMenu()->menuAction()->isEnabled());
    QVERIFY(app.fakes.sound.played.last().endsWith(QStringLiteral("2.wav")));

    // Reset Text reads the same text afresh.
    h.reset()->click();
    QVERIFY(h.start()->isEnabled());
    QCOMPARE(h.reader->reading().state().FixationCounter, 0);
    QVERIFY(!drew(h, QStringLiteral("THE END!")));
}

void HorizReaderTest::zeroSecondReadingStoresNothing()
{
    TestApp app;
    writeLines(app, QStringLiteral("short.txt"), {kLine, kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    for (double &slot : app.state->Settings.HorizWpmHistory)
        slot = 100.0;
    setStoryFileName(*app.state, QStringLiteral("short.txt"));
    h.reader->LoadHorizontalText();
    h.start()->click();
    app.fakes.messages.expect(MessageKind::Confirm,
                              QStringLiteral("Do you want to save this WPM score on chart?"), false);
    h.readToEnd();
    QVERIFY(drew(h, QStringLiteral("0 words per minute!")));
    // A full history keeps all its scores: the 0 is neither stored nor taken back.
    for (double slot : app.state->Settings.HorizWpmHistory)
        QCOMPARE(slot, 100.0);
}

void HorizReaderTest::startRefusesUntilResetText_data()
{
    QTest::addColumn<bool>("fonts");
    QTest::addColumn<QString>("message");
    QTest::newRow("fixations") << false
                               << QStringLiteral(
                                      "After changing the number of Fixations, Click the \"Reset Text\" "
                                      "button before starting.");
    QTest::newRow("fonts") << true
                           << QStringLiteral(
                                  "After changing the Fonts, Click the \"Reset Text\" button before "
                                  "starting.");
}

void HorizReaderTest::startRefusesUntilResetText()
{
    QFETCH(bool, fonts);
    QFETCH(QString, message);
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine, kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.reader->LoadHorizontalText();
    if (fonts) {
        app.fakes.dialogs.fonts.push_back(FontChoice{QFont(QStringLiteral("DejaVu Sans"), 12), Qt::red});
        QVERIFY(triggerAction(h.page, "horizFontAction"));
    } else {
        h.find<QPushButton>("changeFixationsButton")->click();
        QVERIFY(h.fixations()->isEnabled());
        h.fixations()->stepUp();
        QCOMPARE(app.state->Settings.HorizFixations, 5);
    }
    app.fakes.sound.played.clear();
    app.fakes.messages.expect(MessageKind::Information, message);
    h.start()->click();
    QVERIFY(!h.reader->isPacing());
    QVERIFY(app.fakes.sound.played.last().endsWith(QStringLiteral("tap4.wav")));

    h.reset()->click();
    QCOMPARE(h.reader->FixationsChanged, 0);
    QCOMPARE(h.reader->FontsChanged, 0);
    QVERIFY(!h.fixations()->isEnabled());
    QCOMPARE(h.reader->reading().text().fixations, fonts ? 4 : 5);
    h.start()->click();
    QVERIFY(h.reader->isPacing());
}

void HorizReaderTest::arrowKeysStepTheSpeedWhileRunning_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("down at 1990") << 1990 << int(Qt::Key_Down) << 2000;
    QTest::newRow("down at 2000") << 2000 << int(Qt::Key_Down) << 2000;
    QTest::newRow("up at 41") << 41 << int(Qt::Key_Up) << 11;
    QTest::newRow("up at 40") << 40 << int(Qt::Key_Up) << 40;
}

void HorizReaderTest::arrowKeysStepTheSpeedWhileRunning()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.reader->LoadHorizontalText();
    h.speed()->setValue(from);
    h.start()->click();
    QTest::keyClick(h.reader, Qt::Key(key));
    QCOMPARE(h.speed()->value(), to);
    QCOMPARE(app.state->Settings.HorizInterval, to);
    QCOMPARE(h.reader->Timer1().interval(), to);

    // Paused, the reader's own keys do nothing.
    h.start()->click();
    QVERIFY(!h.reader->isPacing());
    h.speed()->setValue(from);
    QTest::keyClick(h.reader, Qt::Key(key));
    QCOMPARE(h.speed()->value(), from);
}

void HorizReaderTest::panelArrowKeysActWhilePaused()
{
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    h.speed()->setValue(100);
    QVERIFY(!h.page->previewKey(&up)); // no text loaded yet
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.reader->LoadHorizontalText();
    QVERIFY(h.page->previewKey(&up));
    QCOMPARE(h.speed()->value(), 70);
    h.speed()->setValue(35);
    QVERIFY(h.page->previewKey(&up));
    QCOMPARE(h.speed()->value(), 35);
}

void HorizReaderTest::tempFileIsLoadedWhenNamed()
{
    TestApp app;
    writeLines(app, QStringLiteral("temp.txt"), {kLine, kLine, QString(), kLine, kLine});
    QVERIFY(app.start());
    app.state->LoadTempFile = 2;
    QVERIFY(triggerAction(app.form(), "horizAction"));
    const Horiz h = horizOf(app);
    QCOMPARE(app.state->LoadTempFile, 0);
    QCOMPARE(app.state->StoryFileName, QStringLiteral("temp.txt"));
    QCOMPARE(h.lineCount(), QStringLiteral("5"));
    QVERIFY(h.start()->isEnabled());
    QCOMPARE(h.reader->reading().text().LineCount, 5);
}

void HorizReaderTest::unreadableFileGivesTheErrorAndKeepsThePage()
{
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine});
    QFile binary(app.path(QStringLiteral("b.txt")));
    QVERIFY(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("text\0more", 9));
    binary.close();
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.reader->LoadHorizontalText();
    const int drawn = h.reader->pageView()->commandCount();

    const QString longName = QString(120, u'n') + QStringLiteral(".txt");
    const QString tail =
        QStringLiteral(" was not found, or else the file is not an ascii text file. Be sure that "
                       "the file exists, and was not deleted.");
    app.fakes.messages.expect(MessageKind::Error,
                              QString(QStringLiteral("The file \"") + longName).left(110) + tail);
    app.fakes.messages.expect(MessageKind::Error, QStringLiteral("The file \"b.txt\"") + tail);
    app.state->StoryFileName = longName;
    h.reader->LoadHorizontalText();
    setStoryFileName(*app.state, QStringLiteral("b.txt"));
    h.reader->LoadHorizontalText();
    QCOMPARE(h.reader->pageView()->commandCount(), drawn);
    QCOMPARE(h.reader->reading().text().LineCount, 2);
    QCOMPARE(h.reader->TextLoaded, 1);
}

void HorizReaderTest::longWordsAreReported()
{
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"),
               {QStringLiteral("see http://") + QString(40, u'x') + QStringLiteral(" ok")});
    QVERIFY(app.start());
    app.fakes.messages.expect(
        MessageKind::Information,
        QStringLiteral("You have words or URLs with more than 20 characters. These may be "
                       "trimmed, but otherwise everything should work fine."));
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    horizOf(app).reader->LoadHorizontalText();
}

void HorizReaderTest::fontsOptionPresetsAndStores()
{
    TestApp app;
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    const TFontGroup before = app.state->Settings.HorizFont;
    app.fakes.dialogs.fonts.push_back(std::nullopt);
    QVERIFY(triggerAction(app.form(), "fontsAction"));
    QCOMPARE(app.state->Settings.HorizFont.Name, before.Name);
    QCOMPARE(h.reader->FontsChanged, 0);

    QFont chosen(QString(45, u'F'), 13);
    chosen.setItalic(true);
    app.fakes.dialogs.fonts.push_back(FontChoice{chosen, Qt::red});
    QVERIFY(triggerAction(app.form(), "fontsAction"));
    const TFontGroup &after = app.state->Settings.HorizFont;
    QCOMPARE(after.Name, QString(40, u'F'));
    QCOMPARE(after.Size, 13);
    QCOMPARE(after.Style, std::uint8_t(fsItalic));
    // No effects in this dialog: the colour stays.
    QCOMPARE(after.Color, before.Color);
    QCOMPARE(h.reader->FontsChanged, 1);
    QCOMPARE(app.fakes.dialogs.fontOptionsSeen[0].minSize, 8);
    QCOMPARE(app.fakes.dialogs.fontOptionsSeen[0].maxSize, 14);
    QVERIFY(!app.fakes.dialogs.fontOptionsSeen[0].effects);
    QCOMPARE(app.fakes.dialogs.fontPresetsSeen[0].font.family(), before.Name);
}

void HorizReaderTest::visibilityOkAsksForResetOnlyWhenItIsEnabled()
{
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    VisibilityPanel *panel = app.form()->Panel1();
    auto *ok = panel->findChild<QPushButton *>(QStringLiteral("okButton"));
    h.find<QPushButton>("textVisibilityButton")->click();
    QVERIFY(panel->isVisible());
    ok->click();
    QVERIFY(!panel->isVisible());

    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.reader->LoadHorizontalText();
    app.fakes.messages.expect(
        MessageKind::Information,
        QStringLiteral("You need to click the \"Reset Text\" button for this to take effect."));
    h.find<QPushButton>("textVisibilityButton")->click();
    ok->click();
}

void HorizReaderTest::widthChangeRestartsHeightDoesNot()
{
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine, kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.reader->LoadHorizontalText();
    h.start()->click();
    h.reader->Timer1Timer();
    h.reader->Timer1Timer();
    h.reader->Timer1Timer();
    h.start()->click();
    QCOMPARE(h.reader->reading().state().FixationCounter, 3);

    const QRect r = h.reader->placedGeometry();
    h.reader->setPlacedGeometry(r.adjusted(0, 0, 0, 40));
    QCoreApplication::processEvents();
    QCOMPARE(h.reader->reading().state().FixationCounter, 3);
    h.reader->setPlacedGeometry(r.adjusted(0, 0, 60, 40));
    QCoreApplication::processEvents();
    QCOMPARE(h.reader->reading().state().FixationCounter, 0);
    QCOMPARE(h.reader->SavedWidth, h.reader->width());
    QCOMPARE(h.start()->text(), QStringLiteral("Start Read"));
}

void HorizReaderTest::pageShowsTheLooks()
{
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    app.state->Settings.HorizUnreadTextMode = 3; // Covered: grey bars
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.reader->LoadHorizontalText();
    h.start()->click();
    h.reader->Timer1Timer();
    h.start()->click();
    const int lh = h.reader->pageView()->lineHeight();
    const QImage shot = h.reader->pageView()->grab(QRect(0, 0, 300, 3 * lh)).toImage();
    auto countIn = [&](int line, QRgb colour) {
        int n = 0;
        for (int y = line * lh + 1; y < (line + 1) * lh; ++y) {
            for (int x = 8; x < 120; ++x)
                n += shot.pixel(x, y) == colour ? 1 : 0;
        }
        return n;
    };
    QVERIFY(countIn(1, qRgb(0, 0, 0)) > 0);            // the first fixation revealed in black
    QCOMPARE(countIn(2, qRgb(0, 0, 0)), 0);            // the next line still covered
    QVERIFY(countIn(2, qRgb(0x80, 0x80, 0x80)) > 500); // by a grey bar
    QCOMPARE(countIn(0, qRgb(0x80, 0x80, 0x80)), 0);   // nothing above the first line
}

void HorizReaderTest::readLookCoversTheRevealedLine()
{
    // The read look redraws a line as one string over fixations drawn piece by piece: unless widths add
    // up (piece + space + piece == the joined line), the end of the last black fixation shows past it.
    TestApp app;
    const QStringList lines{
        QStringLiteral("That evening, after everyone had gone, Teresa climbed the ladder one"),
        QStringLiteral("more time with the ledger in its bread bag and put it back on the shelf"),
        QStringLiteral("of her pocket, opened the book to the first empty page, and wrote the"), kLine,
        kLine};
    writeLines(app, QStringLiteral("a.txt"), lines);
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    h.reader->setPlacedGeometry(QRect(0, 0, 700, 400));
    app.state->Settings.HorizFixations = 4;
    app.state->Settings.HorizUnreadTextMode = 1; // Invisible
    app.state->Settings.HorizReadTextMode = 1;   // Invisible: a read line vanishes
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    for (int size = 8; size <= 14; ++size) {
        app.state->Settings.HorizFont = TFontGroup{QStringLiteral("Times New Roman"), size, 0, 0};
        h.reader->LoadHorizontalText();
        h.start()->click();
        for (int tick = 0; tick < 4 * 4 + 1; ++tick)
            h.reader->Timer1Timer();
        h.start()->click();
        const int lh = h.reader->pageView()->lineHeight();
        const QImage shot = h.reader->pageView()->grab(QRect(0, lh, 650, 4 * lh)).toImage();
        int dark = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                dark += qGray(shot.pixel(x, y)) < 200 ? 1 : 0;
        }
        QVERIFY2(dark == 0, qPrintable(QStringLiteral("%1 dark pixels at size %2").arg(dark).arg(size)));
    }
}

void HorizReaderTest::closingClearsTheModeAndStoresBounds()
{
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.reader->LoadHorizontalText();
    app.state->StoryLoaded = 1;
    h.start()->click();
    const QRect placed = h.reader->placedGeometry();
    app.form()->destroyModeWindow();
    QCOMPARE(app.state->HorizOpen, 0);
    QCOMPARE(app.state->StoryLoaded, 0);
    QCOMPARE(app.state->Settings.HorizDefaultPlacement, 0);
    QCOMPARE(app.state->Settings.HorizBounds.Width, placed.width());
    QVERIFY(app.form()->shortStoriesMenu()->menuAction()->isEnabled());
}

QTEST_MAIN(HorizReaderTest)
#include "tst_horizreader.moc"

void HorizReaderTest::stepsWhilePausedReplayTheSamePage()
{
    TestApp app;
    writeLines(app, QStringLiteral("h.txt"), {kLine, QString(), QStringLiteral("Contents"), kLine, kLine});
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    QVERIFY(triggerAction(app.form(), "stepWhilePausedAction"));
    setStoryFileName(*app.state, QStringLiteral("h.txt"));
    h.reader->LoadHorizontalText();
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QVERIFY2(!h.page->previewKey(&right), "nothing to step before a reading");
    h.start()->click();
    QVERIFY2(!h.page->previewKey(&right), "nor while it runs");
    h.start()->click();
    // Every stop of a reading, paused after n ticks: one step back and one forward land on the last
    // fixation shown, with the page and counters the reading itself had there.
    const int total = h.reader->reading().text().TotalFixations;
    int same = 0;
    for (int n = 1; n < total; ++n) {
        h.reset()->click();
        h.start()->click();
        for (int i = 0; i < n; ++i)
            h.reader->Timer1Timer();
        h.start()->click();
        const auto page = h.reader->pageView()->commands();
        const HorizPacerState before = h.reader->reading().state();
        QVERIFY(h.page->previewKey(&left));
        if (n == 1)
            QVERIFY2(h.reader->pageView()->commands() == page, "nothing before the first fixation");
        QVERIFY(h.page->previewKey(&right));
        const HorizPacerState after = h.reader->reading().state();
        if (n > 1) {
            // Paused after a tick that showed nothing (a blank line, a pad), the steps land before it.
            QVERIFY2(after.FixationCounter <= before.FixationCounter, qPrintable(QString::number(n)));
            if (after.FixationCounter == before.FixationCounter) {
                QVERIFY2(h.reader->pageView()->commands() == page, qPrintable(QString::number(n)));
                QCOMPARE(after.PenY, before.PenY);
                ++same;
            }
        }
    }
    QVERIFY(same > total / 2);
    for (int i = 0; i < total; ++i)
        QVERIFY(h.page->previewKey(&right));
    QCOMPARE(h.reader->reading().state().FixationCounter, total);
    QVERIFY2(!drew(h, QStringLiteral("THE END!")), "stepping never ends the reading");
}

void HorizReaderTest::aFileContinuesWhereItsReadingStopped()
{
    TestApp app;
    QStringList lines;
    for (int i = 1; i <= 12; ++i)
        lines << QStringLiteral("Line %1 of the quick brown fox and the lazy dog").arg(i);
    writeLines(app, QStringLiteral("c.txt"), lines);
    QVERIFY(app.start());
    const Horiz h = horizOf(app);
    QVERIFY(triggerAction(app.form(), "rememberPlacesAction"));
    auto open = [&] {
        app.fakes.dialogs.openNames.push_back(app.path(QStringLiteral("c.txt")));
        h.page->findChild<QAction *>(QStringLiteral("horizOpenAction"))->trigger();
    };
    open();
    h.start()->click();
    for (int i = 0; i < 4 * 5; ++i)
        h.reader->Timer1Timer();
    const int line = h.reader->reading().state().CurrentLine;
    QVERIFY(line > 1);
    h.start()->click(); // Open File waits for a pause
    app.fakes.messages.expect(MessageKind::Confirm, QStringLiteral("Continue where you stopped?"), true);
    open();
    QCOMPARE(h.reader->startLine(), line);
    QCOMPARE(h.lineCount(), QString::number(12 - line + 1));
    QCOMPARE(h.reader->reading().text().TextLines.first(), lines.at(line - 1));
    // Leaving the mode keeps the place, counted in the file's own lines.
    h.start()->click();
    for (int i = 0; i < 4 * 2; ++i)
        h.reader->Timer1Timer();
    const int now = h.reader->reading().state().CurrentLine;
    QVERIFY(triggerAction(app.form(), "tachiAction"));
    QCOMPARE(ReadingOptions::load(app.path(QStringLiteral("options.ini")))
                 .placeFor(app.path(QStringLiteral("c.txt")), AppState::kHorizPlaces),
             line - 1 + now);
}

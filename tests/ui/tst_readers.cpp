#include "TestSupport.h"

#include "ReadingOptions.h"
#include "SettingsFile.h"

#include "app/AppState.h"
#include "app/VisibilityPanel.h"
#include "app/mainwindow.h"
#include "assess/Tests.h"
#include "control/ControlPage.h"
#include "control/HorizControlPage.h"
#include "control/control.h"
#include "readers/HorizPageView.h"
#include "readers/longread.h"
#include "readers/vertical.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <algorithm>
#include <array>

namespace {

const QString kLine = QStringLiteral("The quick brown fox jumps over the lazy dog"); // 8 words
const QString kSaveWpm = QStringLiteral("Do you want to save this WPM score on chart?");
const QString kTestFor = QStringLiteral("Do you want to test for comprehension?");

// One of the two paced readers in a started program, with its control page.
struct Reader
{
    PacedReader *window = nullptr;
    ControlPage *page = nullptr;

    THorizonForm *horiz() const { return qobject_cast<THorizonForm *>(window); }
    TVertForm *vert() const { return qobject_cast<TVertForm *>(window); }
    template <typename T> T *find(const QString &name) const { return page->findChild<T *>(name); }
    QPushButton *start() const { return find<QPushButton>(QStringLiteral("startReadButton")); }
    QPushButton *reset() const { return find<QPushButton>(QStringLiteral("resetTextButton")); }
    QSpinBox *spin(const char *name) const { return find<QSpinBox>(QString::fromLatin1(name)); }
    QSpinBox *fixations() const { return spin("fixationsUpDown"); }
    QSlider *speed() const { return find<QSlider>(QStringLiteral("speedBar")); }
    int progress() const
    {
        return find<QProgressBar>(horiz() ? QStringLiteral("horizProgressBar")
                                          : QStringLiteral("vertProgressBar"))
            ->value();
    }
    int lineCount() const
    {
        return horiz() ? horiz()->reading().text().LineCount : vert()->reading().text().LineCount;
    }
    double wpmScore() const
    {
        return horiz() ? horiz()->reading().state().WpmScore : vert()->reading().state().WpmScore;
    }
    double elapsed() const
    {
        return horiz() ? horiz()->reading().state().ElapsedSeconds : vert()->reading().state().ElapsedSeconds;
    }
    QString wpmText() const
    {
        return horiz() ? horiz()->reading().state().WpmText : vert()->reading().state().WpmText;
    }
    int changedFlags() const
    {
        return horiz() ? horiz()->FixationsChanged + horiz()->FontsChanged
                       : vert()->FixationsChanged + vert()->DownSweepChanged + vert()->FontsChanged;
    }
    // What the loaded text is laid out and paced with, per spin box of the page.
    int laidOut(const char *spinName) const
    {
        if (horiz())
            return horiz()->reading().text().fixations;
        return QLatin1String(spinName) == QLatin1String("fixationsUpDown") ? vert()->reading().fixations()
                                                                           : vert()->reading().downSweep();
    }
    // Runs pacer ticks by hand, one clock second every `ticksPerSecond` ticks, until the reading ends.
    void readToEnd(int ticksPerSecond = 1000000) const
    {
        for (int ticks = 0; window->Timer1().isActive() && ticks < 100000;) {
            window->Timer1Timer();
            if (++ticks % ticksPerSecond == 0)
                window->Timer2Timer();
        }
    }
    bool drew(const QString &text) const
    {
        const auto &drawn = window->pageView()->commands();
        return std::any_of(drawn.begin(), drawn.end(), [&](const HorizDraw &d) { return d.text == text; });
    }
};

// The reader of `mode` as the program holds it now.
Reader readerOf(TestApp &app, Mode mode)
{
    return Reader{qobject_cast<PacedReader *>(app.state->modeWindow.data()),
                  app.state->controlPanel->page(mode)};
}

// Opens the reader of `mode` from the Reading menu and loads `file` unless it is empty.
Reader openOn(TestApp &app, Mode mode, const QString &file = QString())
{
    if (!triggerAction(app.form(), mode == Mode::Horiz ? "horizAction" : "vertAction"))
        return {};
    const Reader r = readerOf(app, mode);
    if (!file.isEmpty()) {
        setStoryFileName(*app.state, file);
        r.window->loadStory();
    }
    return r;
}

THistory &wpmHistory(TestApp &app, Mode mode)
{
    return mode == Mode::Horiz ? app.state->Settings.HorizWpmHistory : app.state->Settings.VertWpmHistory;
}

} // namespace

class ReadersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void damagedSettingsAreKeptInRange();
    void storyIsReadToTheEnd_data();
    void storyIsReadToTheEnd();
    void keepingTheScore_data();
    void keepingTheScore();
    void startRefusesUntilResetText_data();
    void startRefusesUntilResetText();
    void tempFileIsLoadedWhenNamed_data();
    void tempFileIsLoadedWhenNamed();
    void closingClearsTheModeAndStoresBounds_data();
    void closingClearsTheModeAndStoresBounds();
    void arrowKeysStepTheSpeedWhileRunning_data();
    void arrowKeysStepTheSpeedWhileRunning();
    void panelArrowKeysActWhilePaused();
    void unreadableFileGivesTheErrorAndKeepsThePage();
    void longWordsAreReported();
    void visibilityOkAsksForResetOnlyWhenItIsEnabled();
    void widthChangeRestartsHeightDoesNot();
    void pauseIsNotCounted();
    void resetTextStartsTheTextAfresh();
    void horizontalUnreadLookCoversTheText();
    void verticalUnreadLooksCoverTheText_data();
    void verticalUnreadLooksCoverTheText();
    void readLookCoversTheRevealedLine();
    void verticalPageGrowsWithTheTextAndTheWindow();
    void stepsWhilePausedReplayTheSamePage();
    void aFileContinuesWhereItsReadingStopped();
};

void ReadersTest::damagedSettingsAreKeptInRange()
{
    TestApp app;
    TSettings s = defaultSettings(96);
    s.HorizFont.Size = 500;
    s.HorizInterval = 0;
    s.HorizFixations = 3;
    QCOMPARE(saveSettingsFile(app.path("settings2.dat"), s), SettingsSaveResult::Saved);
    QVERIFY(app.start());
    // The program starts in the horizontal reader, from the record.
    const Reader h = readerOf(app, Mode::Horiz);
    QVERIFY(h.horiz() != nullptr && h.page->isVisible());
    QCOMPARE(app.state->HorizOpen, 1);
    QCOMPARE(h.fixations()->value(), 3);
    QCOMPARE(h.horiz()->pageFont().pointSize(), 14);
    QCOMPARE(h.speed()->value(), 10);
    QCOMPARE(h.window->Timer1().interval(), 10);
    QCOMPARE(app.state->Settings.HorizInterval, 10);
}

void ReadersTest::storyIsReadToTheEnd_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<bool>("testWanted");
    QTest::newRow("horizontal, no test") << Mode::Horiz << false;
    QTest::newRow("vertical, test") << Mode::Vert << true;
}

void ReadersTest::storyIsReadToTheEnd()
{
    QFETCH(Mode, mode);
    QFETCH(bool, testWanted);
    TestApp app;
    // A stand-in for story 13: 7 lines of 8 words and a blank line; the last line is not counted.
    app.writeLines(QStringLiteral("Ug.bwr"), {kLine, kLine, kLine, QString(), kLine, kLine, kLine, kLine});
    QVERIFY(app.start());
    app.state->Settings.VertFixations = 3;
    app.state->Settings.VertDownSweep = 5;
    const Reader r = openOn(app, mode);
    QVERIFY(!r.start()->isEnabled());
    QVERIFY(triggerAction(app.form(), "story13Action"));
    QCOMPARE(app.state->StoryLoaded, 1);
    QVERIFY(r.start()->isEnabled());
    if (mode == Mode::Horiz)
        QCOMPARE(r.find<QLineEdit>(QStringLiteral("lineCountBox"))->text(), QStringLiteral("8"));
    // The story leaves the keyboard with the reader, where Space starts the reading.
    QTest::keyClick(app.form()->focusWidget(), Qt::Key_Space);
    QVERIFY(r.window->isPacing());
    QCOMPARE(r.start()->text(), QStringLiteral("Pause Read"));
    QVERIFY(!app.form()->shortStoriesMenu()->menuAction()->isEnabled());

    app.fakes.messages.expect(MessageKind::Confirm, kTestFor, testWanted);
    if (!testWanted)
        app.fakes.messages.expect(MessageKind::Confirm, kSaveWpm, true);
    r.readToEnd(4);
    QVERIFY(!r.window->isPacing());
    QVERIFY(!r.window->Timer2().isActive());
    const double seconds = r.elapsed();
    QVERIFY(seconds > 0);
    QCOMPARE(r.wpmScore(), 48.0 / (seconds / 60.0));
    QCOMPARE(wpmHistory(app, mode)[0], r.wpmScore());
    QCOMPARE(wpmHistory(app, mode)[1], 0.0);
    QVERIFY(r.drew(QStringLiteral("THE END!")));
    QVERIFY(r.drew(r.wpmText() + QStringLiteral(" words per minute!")));
    QCOMPARE(app.form()->findChild<TCompTestForm *>() != nullptr, testWanted);
    QCOMPARE(app.state->StoryLoaded, testWanted ? 1 : 0);
    QVERIFY(app.fakes.sound.played.last().endsWith(QStringLiteral("2.wav")));
    QVERIFY(!r.start()->isEnabled());
    QCOMPARE(r.start()->text(), QStringLiteral("Start Read"));
    QVERIFY(r.reset()->isEnabled());
    QVERIFY(r.find<QPushButton>(QStringLiteral("changeFixationsButton"))->isEnabled());
    QVERIFY(app.form()->shortStoriesMenu()->menuAction()->isEnabled());
    if (mode == Mode::Vert) {
        // Every line of the text was revealed in black, fixation by fixation.
        int revealed = 0;
        for (const HorizDraw &d : r.window->pageView()->commands())
            revealed += d.style == HorizStyle::Visible && d.weight == HorizWeight::Font ? 1 : 0;
        QCOMPARE(revealed, 7 * 3);
        return;
    }
    QCOMPARE(r.horiz()->TextLoaded, 0);
    // Reset Text reads the same text afresh.
    r.reset()->click();
    QVERIFY(r.start()->isEnabled());
    QCOMPARE(r.horiz()->reading().state().FixationCounter, 0);
    QVERIFY(!r.drew(QStringLiteral("THE END!")));
}

void ReadersTest::keepingTheScore_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<bool>("full");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("ticksPerSecond"); // 0: the reading ends before a second is counted
    QTest::newRow("vertical, empty, Yes") << Mode::Vert << false << true << 1 << 3;
    QTest::newRow("vertical, empty, No") << Mode::Vert << false << false << 0 << 3;
    QTest::newRow("vertical, full, Yes") << Mode::Vert << true << true << 30 << 3;
    // The oldest score was pushed out to make room, and No then clears slot 30.
    QTest::newRow("vertical, full, No") << Mode::Vert << true << false << 29 << 3;
    QTest::newRow("horizontal, full, No") << Mode::Horiz << true << false << 29 << 3;
    // A reading of no second scored nothing: a full history keeps all its scores, nothing taken back.
    QTest::newRow("horizontal, zero seconds") << Mode::Horiz << true << false << 30 << 0;
}

void ReadersTest::keepingTheScore()
{
    QFETCH(Mode, mode);
    QFETCH(bool, full);
    QFETCH(bool, keep);
    QFETCH(int, kept);
    QFETCH(int, ticksPerSecond);
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine, kLine, kLine, kLine});
    QVERIFY(app.start());
    const Reader r = openOn(app, mode, QStringLiteral("a.txt"));
    THistory &history = wpmHistory(app, mode);
    for (int i = 0; i < (full ? 30 : 0); ++i)
        history[static_cast<std::size_t>(i)] = 100.0 + i;
    r.start()->click();
    app.fakes.messages.expect(MessageKind::Confirm, kSaveWpm, keep);
    if (ticksPerSecond == 0) {
        r.readToEnd();
        QVERIFY(r.drew(QStringLiteral("0 words per minute!")));
        for (std::size_t i = 0; i < history.size(); ++i)
            QCOMPARE(history[i], 100.0 + double(i));
        return;
    }
    r.readToEnd(ticksPerSecond);
    const double score = r.wpmScore();
    QVERIFY(score > 0);
    QCOMPARE(int(std::count_if(history.begin(), history.end(), [](double s) { return s != 0.0; })), kept);
    if (full) {
        QCOMPARE(history[0], 101.0);
        QCOMPARE(history[28], 129.0);
    }
    QCOMPARE(history[static_cast<std::size_t>(kept == 0 ? 0 : kept - 1)] == score, keep);
}

void ReadersTest::startRefusesUntilResetText_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<QString>("spin"); // the spin box changed; empty: the fonts
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    const QString fixations =
        QStringLiteral("After changing the number of Fixations, Click the \"Reset Text\" "
                       "button before starting.");
    const QString fonts =
        QStringLiteral("After changing the Fonts, Click the \"Reset Text\" button before starting.");
    QTest::newRow("horizontal fixations") << Mode::Horiz << QStringLiteral("fixationsUpDown")
                                          << QStringLiteral("changeFixationsButton") << fixations;
    QTest::newRow("horizontal fonts")
        << Mode::Horiz << QString() << QStringLiteral("horizFontAction") << fonts;
    QTest::newRow("vertical fixations") << Mode::Vert << QStringLiteral("fixationsUpDown")
                                        << QStringLiteral("changeFixationsButton") << fixations;
    QTest::newRow("vertical down sweep")
        << Mode::Vert << QStringLiteral("downSweepUpDown") << QStringLiteral("changeDownSweepButton")
        << QStringLiteral("After changing the number of Down Sweep lines, Click the \"Reset Text\" button "
                          "before starting.");
    QTest::newRow("vertical fonts") << Mode::Vert << QString() << QStringLiteral("vertFontAction") << fonts;
}

void ReadersTest::startRefusesUntilResetText()
{
    QFETCH(Mode, mode);
    QFETCH(QString, spin);
    QFETCH(QString, button);
    QFETCH(QString, message);
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine, kLine, kLine});
    QVERIFY(app.start());
    const Reader r = openOn(app, mode, QStringLiteral("a.txt"));
    QVERIFY(r.window != nullptr);
    const QByteArray spinLatin = spin.toLatin1();
    const char *spinName = spinLatin.constData();
    const std::array spins{"fixationsUpDown", "downSweepUpDown"};
    if (spin.isEmpty()) {
        // A cancelled dialog asks for no reset.
        app.fakes.dialogs.fonts.push_back(std::nullopt);
        QVERIFY(triggerAction(r.page, qPrintable(button)));
        QCOMPARE(r.changedFlags(), 0);
        app.fakes.dialogs.fonts.push_back(FontChoice{QFont(QStringLiteral("DejaVu Sans"), 12), Qt::red});
        QVERIFY(triggerAction(r.page, qPrintable(button)));
    } else {
        r.find<QPushButton>(button)->click();
        QVERIFY(r.spin(spinName)->isEnabled());
        const int before = r.spin(spinName)->value();
        r.spin(spinName)->stepUp();
        const TSettings &s = app.state->Settings;
        const int stored = mode == Mode::Horiz     ? s.HorizFixations
                           : spin.startsWith(u'f') ? s.VertFixations
                                                   : s.VertDownSweep;
        QCOMPARE(stored, before + 1);
    }
    app.fakes.sound.played.clear();
    app.fakes.messages.expect(MessageKind::Information, message);
    r.start()->click();
    QVERIFY(!r.window->isPacing());
    QVERIFY(app.fakes.sound.played.last().endsWith(QStringLiteral("tap4.wav")));

    r.reset()->click();
    QCOMPARE(r.changedFlags(), 0);
    QVERIFY(!r.fixations()->isEnabled());
    // The values on the page are what the text is now laid out and paced with.
    for (const char *name : spins) {
        if (r.spin(name) != nullptr)
            QCOMPARE(r.laidOut(name), r.spin(name)->value());
    }
    r.start()->click();
    QVERIFY(r.window->isPacing());
    QCOMPARE(r.start()->text(), QStringLiteral("Pause Read"));
    // Nothing that needs a reset can be changed while reading.
    if (spin.isEmpty())
        QVERIFY(!r.page->findChild<QAction *>(button)->isEnabled());
    else
        QVERIFY(!r.find<QPushButton>(button)->isEnabled() && !r.spin(spinName)->isEnabled());
}

void ReadersTest::tempFileIsLoadedWhenNamed_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<int>("code");
    QTest::newRow("horizontal") << Mode::Horiz << 2;
    QTest::newRow("vertical") << Mode::Vert << 3;
}

void ReadersTest::tempFileIsLoadedWhenNamed()
{
    QFETCH(Mode, mode);
    QFETCH(int, code);
    TestApp app;
    app.writeLines(QStringLiteral("temp.txt"), {kLine, kLine, QString(), kLine, kLine});
    QVERIFY(app.start());
    app.form()->destroyModeWindow(); // its leaving would clear the story flag for the new reader
    app.state->StoryLoaded = 1;
    app.state->LoadTempFile = code;
    const Reader r = openOn(app, mode);
    QCOMPARE(app.state->LoadTempFile, 0);
    QCOMPARE(app.state->StoryLoaded, 0);
    QCOMPARE(app.state->StoryFileName, QStringLiteral("temp.txt"));
    QCOMPARE(r.lineCount(), 5);
    QVERIFY(r.start()->isEnabled());
    if (mode == Mode::Horiz)
        QCOMPARE(r.find<QLineEdit>(QStringLiteral("lineCountBox"))->text(), QStringLiteral("5"));
}

void ReadersTest::closingClearsTheModeAndStoresBounds_data()
{
    QTest::addColumn<Mode>("mode");
    QTest::newRow("horizontal") << Mode::Horiz;
    QTest::newRow("vertical") << Mode::Vert;
}

void ReadersTest::closingClearsTheModeAndStoresBounds()
{
    QFETCH(Mode, mode);
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine, kLine});
    QVERIFY(app.start());
    const Reader r = openOn(app, mode, QStringLiteral("a.txt"));
    app.state->StoryLoaded = 1;
    r.start()->click();
    const QRect placed = r.window->placedGeometry();
    app.form()->destroyModeWindow();
    const TSettings &s = app.state->Settings;
    QCOMPARE(app.state->HorizOpen + app.state->VertOpen, 0);
    QCOMPARE(app.state->StoryLoaded, 0);
    QCOMPARE(mode == Mode::Horiz ? s.HorizDefaultPlacement : s.VertDefaultPlacement, 0);
    QCOMPARE(mode == Mode::Horiz ? s.HorizBounds.Width : s.VertBounds.Width, placed.width());
    QVERIFY(app.form()->shortStoriesMenu()->menuAction()->isEnabled());
}

void ReadersTest::arrowKeysStepTheSpeedWhileRunning_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("down at 1990") << 1990 << int(Qt::Key_Down) << 2000;
    QTest::newRow("down at 2000") << 2000 << int(Qt::Key_Down) << 2000;
    QTest::newRow("up at 41") << 41 << int(Qt::Key_Up) << 11;
    QTest::newRow("up at 40") << 40 << int(Qt::Key_Up) << 40;
}

void ReadersTest::arrowKeysStepTheSpeedWhileRunning()
{
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, to);
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine, kLine});
    QVERIFY(app.start());
    const Reader h = openOn(app, Mode::Horiz, QStringLiteral("a.txt"));
    h.speed()->setValue(from);
    h.start()->click();
    QTest::keyClick(h.window, Qt::Key(key));
    QCOMPARE(h.speed()->value(), to);
    QCOMPARE(app.state->Settings.HorizInterval, to);
    QCOMPARE(h.window->Timer1().interval(), to);

    // Paused, the reader's own keys do nothing.
    h.start()->click();
    QVERIFY(!h.window->isPacing());
    h.speed()->setValue(from);
    QTest::keyClick(h.window, Qt::Key(key));
    QCOMPARE(h.speed()->value(), from);
}

void ReadersTest::panelArrowKeysActWhilePaused()
{
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine});
    QVERIFY(app.start());
    const Reader h = readerOf(app, Mode::Horiz);
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    h.speed()->setValue(100);
    QVERIFY(!h.page->previewKey(&up)); // no text loaded yet
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.window->loadStory();
    QVERIFY(h.page->previewKey(&up));
    QCOMPARE(h.speed()->value(), 70);
    h.speed()->setValue(35);
    QVERIFY(h.page->previewKey(&up));
    QCOMPARE(h.speed()->value(), 35);
}

void ReadersTest::unreadableFileGivesTheErrorAndKeepsThePage()
{
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine, kLine});
    QFile binary(app.path(QStringLiteral("b.txt")));
    QVERIFY(binary.open(QIODevice::WriteOnly));
    binary.write(QByteArray("text\0more", 9));
    binary.close();
    QVERIFY(app.start());
    const Reader h = openOn(app, Mode::Horiz, QStringLiteral("a.txt"));
    const int drawn = h.window->pageView()->commandCount();

    const QString longName = QString(120, u'n') + QStringLiteral(".txt");
    const QString tail =
        QStringLiteral(" was not found, or else the file is not an ascii text file. Be sure that "
                       "the file exists, and was not deleted.");
    app.fakes.messages.expect(MessageKind::Error,
                              QString(QStringLiteral("The file \"") + longName).left(110) + tail);
    app.fakes.messages.expect(MessageKind::Error, QStringLiteral("The file \"b.txt\"") + tail);
    app.state->StoryFileName = longName;
    h.window->loadStory();
    setStoryFileName(*app.state, QStringLiteral("b.txt"));
    h.window->loadStory();
    QCOMPARE(h.window->pageView()->commandCount(), drawn);
    QCOMPARE(h.lineCount(), 2);
    QCOMPARE(h.horiz()->TextLoaded, 1);
}

void ReadersTest::longWordsAreReported()
{
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"),
                   {QStringLiteral("see http://") + QString(40, u'x') + QStringLiteral(" ok")});
    QVERIFY(app.start());
    app.fakes.messages.expect(
        MessageKind::Information,
        QStringLiteral("You have words or URLs with more than 20 characters. These may be "
                       "trimmed, but otherwise everything should work fine."));
    openOn(app, Mode::Horiz, QStringLiteral("a.txt"));
}

void ReadersTest::visibilityOkAsksForResetOnlyWhenItIsEnabled()
{
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine});
    QVERIFY(app.start());
    const Reader h = readerOf(app, Mode::Horiz);
    VisibilityPanel *panel = app.form()->Panel1();
    auto *ok = panel->findChild<QPushButton *>(QStringLiteral("okButton"));
    h.find<QPushButton>(QStringLiteral("textVisibilityButton"))->click();
    QVERIFY(panel->isVisible());
    ok->click();
    QVERIFY(!panel->isVisible());

    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    h.window->loadStory();
    app.fakes.messages.expect(
        MessageKind::Information,
        QStringLiteral("You need to click the \"Reset Text\" button for this to take effect."));
    h.find<QPushButton>(QStringLiteral("textVisibilityButton"))->click();
    ok->click();
}

void ReadersTest::widthChangeRestartsHeightDoesNot()
{
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine, kLine, kLine});
    QVERIFY(app.start());
    const Reader h = openOn(app, Mode::Horiz, QStringLiteral("a.txt"));
    const auto counter = [&h] { return h.horiz()->reading().state().FixationCounter; };
    h.start()->click();
    for (int i = 0; i < 3; ++i)
        h.window->Timer1Timer();
    h.start()->click();
    QCOMPARE(counter(), 3);

    const QRect r = h.window->placedGeometry();
    h.window->setPlacedGeometry(r.adjusted(0, 0, 0, 40));
    QCoreApplication::processEvents();
    QCOMPARE(counter(), 3);
    h.window->setPlacedGeometry(r.adjusted(0, 0, 60, 40));
    QCoreApplication::processEvents();
    QCOMPARE(counter(), 0);
    QCOMPARE(h.horiz()->SavedWidth, h.window->width());
    QCOMPARE(h.start()->text(), QStringLiteral("Start Read"));
}

void ReadersTest::pauseIsNotCounted()
{
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine, kLine, kLine, kLine, kLine, kLine});
    QVERIFY(app.start());
    const Reader v = openOn(app, Mode::Vert, QStringLiteral("a.txt"));
    const auto state = [&v] { return v.vert()->reading().state(); };
    v.start()->click();
    for (int i = 0; i < 4; ++i)
        v.window->Timer1Timer();
    v.window->Timer2Timer();
    const auto before = state();
    v.start()->click();
    QCOMPARE(v.start()->text(), QStringLiteral("Start Read"));
    QVERIFY(!v.window->isPacing() && !v.window->Timer2().isActive());
    QVERIFY(v.reset()->isEnabled());
    // Events already queued when the user paused change nothing, not even the next wait.
    const int wait = v.window->Timer1().interval();
    v.window->Timer1Timer();
    v.window->Timer2Timer();
    QCOMPARE(state().ElapsedSeconds, 1.0);
    QCOMPARE(state().FixationCounter, before.FixationCounter);
    QCOMPARE(state().PacerState, before.PacerState);
    QCOMPARE(v.window->Timer1().interval(), wait);

    v.start()->click();
    app.fakes.messages.expect(MessageKind::Confirm, kSaveWpm, true);
    v.window->Timer2Timer();
    v.readToEnd();
    QCOMPARE(state().ElapsedSeconds, 2.0);
    QCOMPARE(v.wpmScore(), 40.0 / (2.0 / 60.0));
}

void ReadersTest::resetTextStartsTheTextAfresh()
{
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), QStringList(60, kLine));
    QVERIFY(app.start());
    const Reader v = openOn(app, Mode::Vert, QStringLiteral("a.txt"));
    const std::vector<HorizDraw> unread = v.window->pageView()->commands();
    v.start()->click();
    for (int i = 0; i < 80; ++i) {
        v.window->Timer1Timer();
        if (i % 10 == 0)
            v.window->Timer2Timer();
    }
    v.start()->click();
    QVERIFY(v.progress() > 0);
    QVERIFY(v.window->scrollArea()->verticalScrollBar()->value() > 0);

    v.reset()->click();
    const VertPacerState &st = v.vert()->reading().state();
    QCOMPARE(st.FixationCounter, 0);
    QCOMPARE(st.CurrentLine, 0);
    QCOMPARE(st.ElapsedSeconds, 0.0);
    QCOMPARE(v.progress(), 0);
    QCOMPARE(v.window->scrollArea()->verticalScrollBar()->value(), 0);
    QVERIFY(v.window->pageView()->commands() == unread);
    QVERIFY(v.start()->isEnabled());
    QVERIFY(!v.fixations()->isEnabled());
}

namespace {

// Counts the pixels of `colour` in rows [line * lh + 1, (line + 1) * lh) and columns [x0, x1) of `shot`.
int countIn(const QImage &shot, int lh, int line, int x0, int x1, QRgb colour)
{
    int n = 0;
    for (int y = line * lh + 1; y < (line + 1) * lh; ++y) {
        for (int x = x0; x < x1; ++x)
            n += shot.pixel(x, y) == colour ? 1 : 0;
    }
    return n;
}

} // namespace

void ReadersTest::horizontalUnreadLookCoversTheText()
{
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine, kLine});
    QVERIFY(app.start());
    app.state->Settings.HorizUnreadTextMode = 3; // Covered: grey bars
    const Reader h = openOn(app, Mode::Horiz, QStringLiteral("a.txt"));
    h.start()->click();
    h.window->Timer1Timer();
    h.start()->click();
    const int lh = h.window->pageView()->lineHeight();
    const QImage shot = h.window->pageView()->grab(QRect(0, 0, 300, 3 * lh)).toImage();
    QVERIFY(countIn(shot, lh, 1, 8, 120, qRgb(0, 0, 0)) > 0); // the first fixation revealed in black
    QCOMPARE(countIn(shot, lh, 2, 8, 120, qRgb(0, 0, 0)), 0); // the next line still covered
    QVERIFY(countIn(shot, lh, 2, 8, 120, qRgb(0x80, 0x80, 0x80)) > 500); // by a grey bar
    QCOMPARE(countIn(shot, lh, 0, 8, 120, qRgb(0x80, 0x80, 0x80)), 0);   // nothing above the first line
}

void ReadersTest::verticalUnreadLooksCoverTheText_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QRgb>("background");
    QTest::newRow("See Through") << 2 << qRgb(0xC0, 0xC0, 0xC0);
    QTest::newRow("Covered") << 3 << qRgb(0x80, 0x80, 0x80);
    QTest::newRow("Invisible") << 1 << qRgb(0xFF, 0xFF, 0xFF);
}

void ReadersTest::verticalUnreadLooksCoverTheText()
{
    QFETCH(int, mode);
    QFETCH(QRgb, background);
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), {kLine, kLine, kLine, kLine});
    QVERIFY(app.start());
    app.state->Settings.VertUnreadTextMode = static_cast<std::uint8_t>(mode);
    const Reader v = openOn(app, Mode::Vert, QStringLiteral("a.txt"));
    // Column 1 of the first block of three lines.
    v.start()->click();
    for (int i = 0; i < 3; ++i)
        v.window->Timer1Timer();
    v.start()->click();
    const int lh = v.window->pageView()->lineHeight();
    const int split = 8 + v.window->pageView()->metrics().width(v.vert()->reading().text().pieces[0].at(0));
    const QImage shot = v.window->pageView()->grab(QRect(0, 0, 400, 5 * lh)).toImage();
    for (int line = 1; line <= 3; ++line) {
        QVERIFY(countIn(shot, lh, line, 8, split, qRgb(0, 0, 0)) > 0); // the first fixation is revealed
        QCOMPARE(countIn(shot, lh, line, split, 400, qRgb(0, 0, 0)), 0);
        QVERIFY(countIn(shot, lh, line, split + 8, split + 40, background) >
                100); // the second is still unread
    }
    QCOMPARE(countIn(shot, lh, 4, 0, 400, qRgb(0, 0, 0)), 0);
}

void ReadersTest::readLookCoversTheRevealedLine()
{
    // The read look redraws a line as one string over fixations drawn piece by piece: unless widths add
    // up (piece + space + piece == the joined line), the end of the last black fixation shows past it.
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"),
                   {QStringLiteral("That evening, after everyone had gone, Teresa climbed the ladder one"),
                    QStringLiteral("more time with the ledger in its bread bag and put it back on the shelf"),
                    QStringLiteral("of her pocket, opened the book to the first empty page, and wrote the"),
                    kLine, kLine});
    QVERIFY(app.start());
    const Reader h = readerOf(app, Mode::Horiz);
    h.window->setPlacedGeometry(QRect(0, 0, 700, 400));
    app.state->Settings.HorizFixations = 4;
    app.state->Settings.HorizUnreadTextMode = 1; // Invisible
    app.state->Settings.HorizReadTextMode = 1;   // Invisible: a read line vanishes
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    for (int size = 8; size <= 14; ++size) {
        app.state->Settings.HorizFont = TFontGroup{QStringLiteral("Times New Roman"), size, 0, 0};
        h.window->loadStory();
        h.start()->click();
        for (int tick = 0; tick < 4 * 4 + 1; ++tick)
            h.window->Timer1Timer();
        h.start()->click();
        const int lh = h.window->pageView()->lineHeight();
        const QImage shot = h.window->pageView()->grab(QRect(0, lh, 650, 4 * lh)).toImage();
        int dark = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x)
                dark += qGray(shot.pixel(x, y)) < 200 ? 1 : 0;
        }
        QVERIFY2(dark == 0, qPrintable(QStringLiteral("%1 dark pixels at size %2").arg(dark).arg(size)));
    }
}

void ReadersTest::verticalPageGrowsWithTheTextAndTheWindow()
{
    TestApp app;
    app.writeLines(QStringLiteral("a.txt"), QStringList(1200, kLine));
    QVERIFY(app.start());
    app.state->Settings.VertFontSize = 14;
    app.state->Settings.VertDownSweep = 5;
    const Reader v = openOn(app, Mode::Vert, QStringLiteral("a.txt"));
    QCOMPARE(v.lineCount(), 1000);
    for (int extra : {0, 300}) {
        v.window->setPlacedGeometry(v.window->placedGeometry().adjusted(0, 0, 0, extra));
        QCoreApplication::processEvents();
        const int lh = v.window->pageView()->lineHeight();
        const int viewport = v.window->scrollArea()->viewport()->height();
        // The last line, a block past it, the end lines, and room to scroll them to the top of the window.
        QVERIFY(v.window->pageView()->height() >= (1000 + 5 + 3) * lh + viewport);
        QVERIFY(v.window->pageView()->height() >= 24500);
    }
}

void ReadersTest::stepsWhilePausedReplayTheSamePage()
{
    TestApp app;
    app.writeLines(QStringLiteral("h.txt"), {kLine, QString(), QStringLiteral("Contents"), kLine, kLine});
    QVERIFY(app.start());
    const Reader h = readerOf(app, Mode::Horiz);
    QVERIFY(triggerAction(app.form(), "stepWhilePausedAction"));
    setStoryFileName(*app.state, QStringLiteral("h.txt"));
    h.horiz()->LoadHorizontalText();
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QVERIFY2(!h.page->previewKey(&right), "nothing to step before a reading");
    h.start()->click();
    QVERIFY2(!h.page->previewKey(&right), "nor while it runs");
    h.start()->click();
    // Every stop of a reading, paused after n ticks: one step back and one forward land on the last
    // fixation shown, with the page and counters the reading itself had there.
    const int total = h.horiz()->reading().text().TotalFixations;
    int same = 0;
    for (int n = 1; n < total; ++n) {
        h.reset()->click();
        h.start()->click();
        for (int i = 0; i < n; ++i)
            h.horiz()->Timer1Timer();
        h.start()->click();
        const auto page = h.horiz()->pageView()->commands();
        const HorizPacerState before = h.horiz()->reading().state();
        QVERIFY(h.page->previewKey(&left));
        if (n == 1)
            QVERIFY2(h.horiz()->pageView()->commands() == page, "nothing before the first fixation");
        QVERIFY(h.page->previewKey(&right));
        const HorizPacerState after = h.horiz()->reading().state();
        if (n > 1) {
            // Paused after a tick that showed nothing (a blank line, a pad), the steps land before it.
            QVERIFY2(after.FixationCounter <= before.FixationCounter, qPrintable(QString::number(n)));
            if (after.FixationCounter == before.FixationCounter) {
                QVERIFY2(h.horiz()->pageView()->commands() == page, qPrintable(QString::number(n)));
                QCOMPARE(after.PenY, before.PenY);
                ++same;
            }
        }
    }
    QVERIFY(same > total / 2);
    for (int i = 0; i < total; ++i)
        QVERIFY(h.page->previewKey(&right));
    QCOMPARE(h.horiz()->reading().state().FixationCounter, total);
    QVERIFY2(!h.drew(QStringLiteral("THE END!")), "stepping never ends the reading");
}

void ReadersTest::aFileContinuesWhereItsReadingStopped()
{
    TestApp app;
    QStringList lines;
    for (int i = 1; i <= 12; ++i)
        lines << QStringLiteral("Line %1 of the quick brown fox and the lazy dog").arg(i);
    app.writeLines(QStringLiteral("c.txt"), lines);
    QVERIFY(app.start());
    const Reader h = readerOf(app, Mode::Horiz);
    QVERIFY(triggerAction(app.form(), "rememberPlacesAction"));
    auto open = [&] {
        app.fakes.dialogs.openNames.push_back(app.path(QStringLiteral("c.txt")));
        h.page->findChild<QAction *>(QStringLiteral("horizOpenAction"))->trigger();
    };
    open();
    h.start()->click();
    for (int i = 0; i < 4 * 5; ++i)
        h.horiz()->Timer1Timer();
    const int line = h.horiz()->reading().state().CurrentLine;
    QVERIFY(line > 1);
    h.start()->click(); // Open File waits for a pause
    app.fakes.messages.expect(MessageKind::Confirm, QStringLiteral("Continue where you stopped?"), true);
    open();
    QCOMPARE(h.horiz()->startLine(), line);
    QCOMPARE(h.find<QLineEdit>(QStringLiteral("lineCountBox"))->text(), QString::number(12 - line + 1));
    QCOMPARE(h.horiz()->reading().text().TextLines.first(), lines.at(line - 1));
    // Leaving the mode keeps the place, counted in the file's own lines.
    h.start()->click();
    for (int i = 0; i < 4 * 2; ++i)
        h.horiz()->Timer1Timer();
    const int now = h.horiz()->reading().state().CurrentLine;
    QVERIFY(triggerAction(app.form(), "tachiAction"));
    QCOMPARE(ReadingOptions::load(app.path(QStringLiteral("options.ini")))
                 .placeFor(app.path(QStringLiteral("c.txt")), AppState::kHorizPlaces),
             line - 1 + now);
}

QTEST_MAIN(ReadersTest)
#include "tst_readers.moc"

#include "TestSupport.h"

#include "ReadingOptions.h"
#include "SettingsFile.h"

#include "app/AppState.h"
#include "app/VisibilityPanel.h"
#include "app/mainwindow.h"
#include "control/ControlPage.h"
#include "control/control.h"
#include "readers/HorizPageView.h"
#include "readers/longread.h"
#include "readers/vertical.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <algorithm>
#include <functional>

// Named, so that the test class may hold its types when the test is built as part of a unity file.
namespace readerstest {

const QString kLine = QStringLiteral("The quick brown fox jumps over the lazy dog"); // 8 words

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
    QSpinBox *spin(const QString &name) const { return find<QSpinBox>(name); }
    QSlider *speed() const { return find<QSlider>(QStringLiteral("speedBar")); }
    // The run button's caption and whether it and Reset Text can be pressed.
    QString look() const
    {
        return QStringLiteral("%1 %2, reset %3")
            .arg(start()->text(), start()->isEnabled() ? "on" : "off", reset()->isEnabled() ? "on" : "off");
    }
    QString lineCountBox() const { return find<QLineEdit>(QStringLiteral("lineCountBox"))->text(); }
    const HorizText &text() const { return horiz() ? horiz()->reading().text() : vert()->reading().text(); }
    // The pacer's counters, whichever reader this is.
    struct Counts
    {
        int fixation;
        double elapsed, wpm;
        QString wpmText;
    };
    Counts counts() const
    {
        const auto of = [](const auto &s) {
            return Counts{s.FixationCounter, s.ElapsedSeconds, s.WpmScore, s.WpmText};
        };
        return horiz() ? of(horiz()->reading().state()) : of(vert()->reading().state());
    }
    // What the loaded text is laid out and paced with, per spin box of the page.
    int laidOut(const QString &spinName) const
    {
        if (horiz())
            return horiz()->reading().text().fixations;
        return spinName == QLatin1String("fixationsUpDown") ? vert()->reading().fixations()
                                                            : vert()->reading().downSweep();
    }
    void tick(int n) const
    {
        for (int i = 0; i < n; ++i)
            window->Timer1Timer();
    }
    // Start Read, `n` pacer ticks, Pause Read.
    void runFor(int n) const
    {
        start()->click();
        tick(n);
        start()->click();
    }
    // Runs pacer ticks by hand until the reading ends.
    void readToEnd() const
    {
        for (int ticks = 0; window->Timer1().isActive() && ticks < 100000; ++ticks)
            window->Timer1Timer();
    }
    bool drew(const QString &text) const
    {
        const auto &drawn = window->pageView()->commands();
        return std::any_of(drawn.begin(), drawn.end(), [&](const HorizDraw &d) { return d.text == text; });
    }
    // The pixels of `colour` in rows [line * lh + 1, (line + 1) * lh) and columns [x0, x1) of `shot`.
    int countIn(const QImage &shot, int line, int x0, int x1, QRgb colour) const
    {
        const int lh = window->pageView()->lineHeight();
        int n = 0;
        for (int y = line * lh + 1; y < (line + 1) * lh; ++y) {
            for (int x = x0; x < x1; ++x)
                n += shot.pixel(x, y) == colour ? 1 : 0;
        }
        return n;
    }
};

// The reader of `mode` as the program holds it now.
Reader readerOf(TestApp &app, Mode mode)
{
    return Reader{qobject_cast<PacedReader *>(app.state->modeWindow.data()), pageOf(*app.state, mode)};
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

// A started program with `lines` written to a.txt and the reader of `mode` open on them, after `setup`.
struct ReaderApp
{
    ReaderApp(Mode mode, const QStringList &lines, const std::function<void(AppState &)> &setup = {})
    {
        app.writeLines(QStringLiteral("a.txt"), lines);
        if (!app.start())
            return;
        if (setup)
            setup(*app.state);
        r = openOn(app, mode, QStringLiteral("a.txt"));
    }
    TestApp app;
    Reader r;
};

// How many of Short Stories and Options > Fonts are off: both while a reading runs, neither otherwise.
int heldMenus(const TestApp &app)
{
    return int(!app.storiesEnabled()) + int(!app.fontsEnabled());
}

} // namespace readerstest

using namespace readerstest;

class ReadersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void damagedSettingsAreKeptInRange()
    {
        TestApp app;
        TSettings s = defaultSettings(96);
        s.HorizFont.Size = 500;
        s.HorizInterval = 0;
        QCOMPARE(saveSettingsFile(app.path("settings2.dat"), s), SettingsSaveResult::Saved);
        QVERIFY(app.start());
        // The program starts in the horizontal reader, from the record.
        const Reader h = readerOf(app, Mode::Horiz);
        QCOMPARE(h.horiz()->pageFont().pointSize(), 14);
        QVERIFY(h.speed()->value() == 10 && h.window->Timer1().interval() == 10);
        QCOMPARE(app.state->Settings.HorizInterval, 10);
    }

    // A story's end and its comprehension test are the user walk's, and how a history makes room the core's;
    // here, the run itself and a score kept, declined or never made.
    void aReadingRunsToTheEnd_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<bool>("keep");   // the answer to "save this score"
        QTest::addColumn<int>("seconds"); // counted by the clock while the reading ran
        QTest::newRow("vertical, Yes") << Mode::Vert << true << 2;
        QTest::newRow("horizontal, No") << Mode::Horiz << false << 2;
        // A reading of no second scored nothing: nothing stored, nothing asked.
        QTest::newRow("horizontal, no second") << Mode::Horiz << false << 0;
    }

    void aReadingRunsToTheEnd()
    {
        QFETCH(Mode, mode);
        QFETCH(bool, keep);
        QFETCH(int, seconds);
        TestApp app;
        // 7 lines of 8 words and a blank line; the last line is not counted.
        app.writeLines(QStringLiteral("a.txt"), {kLine, kLine, kLine, QString(), kLine, kLine, kLine, kLine});
        QVERIFY(app.start());
        editSettings(*app.state, [&](TSettings &s) { s.VertFixations = 3; });
        app.state->historyAppend(mode, ChartKind::Wpm, 100.0); // an earlier score, which stays
        const THistory &history = *app.state->history(mode, ChartKind::Wpm);
        const Reader r = openOn(app, mode, QStringLiteral("a.txt"));
        QCOMPARE(r.look(), QStringLiteral("Start Read on, reset on"));
        QVERIFY(mode == Mode::Vert || r.lineCountBox() == QStringLiteral("8"));
        QTest::keyClick(r.window, Qt::Key_Space);
        QCOMPARE(r.look(), QStringLiteral("Pause Read on, reset off"));
        QCOMPARE(heldMenus(app), 2);
        r.tick(2);
        if (seconds > 0)
            r.window->Timer2Timer();
        // Paused, the menus are free (a new font waits for Reset Text) and the clock stops.
        r.start()->click();
        QCOMPARE(heldMenus(app), 0);
        QVERIFY(!r.window->isPacing() && !r.window->Timer2().isActive());
        if (mode == Mode::Vert) {
            // Its pacer ignores a tick already queued when the user paused, and keeps the next wait.
            const int fixation = r.counts().fixation, wait = r.window->Timer1().interval();
            r.window->Timer1Timer();
            QVERIFY(r.counts().fixation == fixation && r.window->Timer1().interval() == wait);
        }
        r.start()->click();
        QCOMPARE(heldMenus(app), 2);

        if (seconds > 0)
            app.fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, keep);
        for (int s = 1; s < seconds; ++s)
            r.window->Timer2Timer();
        r.readToEnd();
        QVERIFY(!r.window->isPacing() && !r.window->Timer2().isActive());
        QCOMPARE(r.counts().elapsed, double(seconds));
        // The formula is the core's; here, that the score shown is the one kept.
        const double wpm = r.counts().wpm;
        QCOMPARE(wpm > 0, seconds > 0);
        QVERIFY(history[0] == 100.0 && history[1] == (keep ? wpm : 0.0) && historyCount(history) == 1 + keep);
        QVERIFY(r.drew(QStringLiteral("THE END!")));
        QVERIFY(r.drew(r.counts().wpmText + QStringLiteral(" words per minute!")));
        QVERIFY(app.fakes.sound.played.last().endsWith(QStringLiteral("2.wav")));
        QCOMPARE(r.look(), QStringLiteral("Start Read off, reset on"));
        QVERIFY(r.find<QPushButton>(QStringLiteral("changeFixationsButton"))->isEnabled());
        QCOMPARE(heldMenus(app), 0);
        if (mode == Mode::Vert)
            return;
        // Reset Text reads the same text afresh.
        r.reset()->click();
        QCOMPARE(r.look(), QStringLiteral("Start Read on, reset on"));
        QVERIFY(r.counts().fixation == 0 && !r.drew(QStringLiteral("THE END!")));
    }

    void startRefusesUntilResetText_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QString>("spin"); // the spin box changed; empty: the fonts
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        const QString tail = QStringLiteral(", Click the \"Reset Text\" button before starting.");
        const QString fixations = QStringLiteral("After changing the number of Fixations") + tail;
        const QString fonts = QStringLiteral("After changing the Fonts") + tail;
        QTest::newRow("horizontal fixations") << Mode::Horiz << "fixationsUpDown"
                                              << "changeFixationsButton" << fixations;
        QTest::newRow("horizontal fonts") << Mode::Horiz << QString() << "horizFontAction" << fonts;
        QTest::newRow("vertical fixations") << Mode::Vert << "fixationsUpDown"
                                            << "changeFixationsButton" << fixations;
        QTest::newRow("vertical down sweep")
            << Mode::Vert << "downSweepUpDown"
            << "changeDownSweepButton"
            << QStringLiteral("After changing the number of Down Sweep lines") + tail;
        QTest::newRow("vertical fonts") << Mode::Vert << QString() << "vertFontAction" << fonts;
    }

    void startRefusesUntilResetText()
    {
        QFETCH(Mode, mode);
        QFETCH(QString, spin);
        QFETCH(QString, button);
        QFETCH(QString, message);
        ReaderApp t(mode, {kLine, kLine, kLine});
        const Reader &r = t.r;
        if (spin.isEmpty()) {
            // A cancelled dialog asks for no reset: Start runs without a word.
            t.app.fakes.dialogs.fonts.push_back(std::nullopt);
            QVERIFY(triggerAction(r.page, qPrintable(button)));
            r.runFor(0);
            t.app.fakes.dialogs.fonts.push_back(
                FontChoice{QFont(QStringLiteral("DejaVu Sans"), 12), Qt::red});
            QVERIFY(triggerAction(r.page, qPrintable(button)));
        } else {
            r.find<QPushButton>(button)->click();
            QVERIFY(r.spin(spin)->isEnabled());
            const int before = r.spin(spin)->value();
            r.spin(spin)->stepUp();
            // The new value is stored at once.
            const TSettings &s = t.app.state->Settings;
            QCOMPARE(mode == Mode::Horiz     ? s.HorizFixations
                     : spin.startsWith(u'f') ? s.VertFixations
                                             : s.VertDownSweep,
                     before + 1);
        }
        t.app.fakes.messages.expect(MessageKind::Information, message);
        r.start()->click();
        QVERIFY(!r.window->isPacing());

        r.reset()->click();
        QVERIFY(!r.spin(QStringLiteral("fixationsUpDown"))->isEnabled());
        // The value on the page is what the text is now laid out and paced with.
        QVERIFY(spin.isEmpty() || r.laidOut(spin) == r.spin(spin)->value());
        r.start()->click();
        QVERIFY(r.window->isPacing());
        // Nothing that needs a reset can be changed while reading.
        if (spin.isEmpty())
            QVERIFY(!r.page->findChild<QAction *>(button)->isEnabled());
        else
            QVERIFY(!r.find<QPushButton>(button)->isEnabled() && !r.spin(spin)->isEnabled());
    }

    // A created text reaching each reader is the user walk's; here, closing a reader while it reads.
    void closingWhileReadingClearsTheMode_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("horizontal") << Mode::Horiz;
        QTest::newRow("vertical") << Mode::Vert;
    }

    void closingWhileReadingClearsTheMode()
    {
        QFETCH(Mode, mode);
        ReaderApp t(mode, {kLine, kLine, QString(), kLine, kLine});
        // It clears the mode and the story, lifts the holds and stores where it was.
        t.app.state->StoryLoaded = 1;
        t.r.start()->click();
        const QRect placed = t.r.window->placedGeometry();
        t.app.form()->destroyModeWindow();
        const TSettings &s = t.app.state->Settings;
        QCOMPARE(t.app.state->HorizOpen() + t.app.state->VertOpen() + t.app.state->StoryLoaded, 0);
        QCOMPARE(mode == Mode::Horiz ? s.HorizDefaultPlacement : s.VertDefaultPlacement, 0);
        QCOMPARE(mode == Mode::Horiz ? s.HorizBounds.Width : s.VertBounds.Width, placed.width());
        QCOMPARE(heldMenus(t.app), 0);
    }

    void arrowKeysStepTheSpeed_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("down at 1990") << 1990 << int(Qt::Key_Down) << 2000;
        QTest::newRow("down at 2000") << 2000 << int(Qt::Key_Down) << 2000;
        QTest::newRow("up at 41") << 41 << int(Qt::Key_Up) << 11;
        QTest::newRow("up at 40") << 40 << int(Qt::Key_Up) << 40;
    }

    // Once a text is loaded the arrows step the speed whichever window has the focus, paused or running.
    void arrowKeysStepTheSpeed()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        TestApp app;
        app.writeLines(QStringLiteral("a.txt"), {kLine, kLine});
        QVERIFY(app.start());
        const Reader h = openOn(app, Mode::Horiz);
        h.speed()->setValue(from);
        QTest::keyClick(h.page, Qt::Key(key));
        QCOMPARE(h.speed()->value(), from);
        setStoryFileName(*app.state, QStringLiteral("a.txt"));
        h.window->loadStory();
        QTest::keyClick(app.state->lessonWindow, Qt::Key(key));
        QCOMPARE(h.speed()->value(), to);

        h.speed()->setValue(from);
        h.start()->click();
        QTest::keyClick(h.start(), Qt::Key(key));
        QCOMPARE(h.speed()->value(), to);
        QCOMPARE(app.state->Settings.HorizInterval, to);
        QCOMPARE(h.window->Timer1().interval(), to);
    }

    void loadingTellsWhatWentWrong()
    {
        TestApp app;
        app.writeLines(QStringLiteral("a.txt"), {kLine, kLine});
        app.writeLines(QStringLiteral("c.txt"), {QStringLiteral("see http://") + QString(40, u'x')});
        app.writeBytes(QStringLiteral("b.txt"), QByteArray("text\0more", 9));
        QVERIFY(app.start());
        const Reader h = readerOf(app, Mode::Horiz);
        setStoryFileName(*app.state, QStringLiteral("a.txt"));
        h.window->loadStory();
        const int drawn = h.window->pageView()->commandCount();
        // A long name is cut, with its opening, to 110 characters before the rest of the message.
        const QString longName = QString(120, u'n') + QStringLiteral(".txt");
        app.fakes.messages.expect(MessageKind::Error, notFoundMessage(longName));
        app.fakes.messages.expect(MessageKind::Error, notFoundMessage(QStringLiteral("b.txt")));
        app.state->StoryFileName = longName;
        h.window->loadStory();
        setStoryFileName(*app.state, QStringLiteral("b.txt"));
        h.window->loadStory();
        // The page and text before stay.
        QCOMPARE(h.window->pageView()->commandCount(), drawn);
        QCOMPARE(h.text().LineCount, 2);

        app.fakes.messages.expect(
            MessageKind::Information,
            QStringLiteral("You have words or URLs with more than 20 characters. These may be "
                           "trimmed, but otherwise everything should work fine."));
        setStoryFileName(*app.state, QStringLiteral("c.txt"));
        h.window->loadStory();
        // A text longer than the reader takes comes in parts: none over 1000 lines, nothing left out.
        app.writeLines(QStringLiteral("long.txt"), QStringList(1003, QStringLiteral("two words")));
        setStoryFileName(*app.state, QStringLiteral("long.txt"));
        h.window->loadStory();
        QCOMPARE(h.text().LineCount, 1000);
        QCOMPARE(h.find<QProgressBar>(QStringLiteral("horizProgressBar"))->text(),
                 QStringLiteral("Part 1 of 2"));
        // An opening the user cancels leaves the text before, and says nothing.
        app.fakes.dialogs.cancelNextWork = true;
        setStoryFileName(*app.state, QStringLiteral("c.txt"));
        h.window->loadStory();
        QCOMPARE(std::pair(h.text().LineCount, app.fakes.dialogs.worksSeen.last()),
                 std::pair(1000, QStringLiteral("Opening \"c.txt\"...")));
        // The look changed on the visibility panel takes effect with Reset Text, and the user is told so.
        app.fakes.messages.expect(
            MessageKind::Information,
            QStringLiteral("You need to click the \"Reset Text\" button for this to take effect."));
        h.find<QPushButton>(QStringLiteral("textVisibilityButton"))->click();
        app.form()->Panel1()->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
    }

    void widthChangeRestartsHeightDoesNot()
    {
        ReaderApp t(Mode::Horiz, {kLine, kLine, kLine});
        const Reader &h = t.r;
        h.runFor(3);
        const QRect r = h.window->placedGeometry();
        h.window->setPlacedGeometry(r.adjusted(0, 0, 0, 40));
        QCoreApplication::processEvents();
        QCOMPARE(h.counts().fixation, 3);
        h.window->setPlacedGeometry(r.adjusted(0, 0, 60, 40));
        QCoreApplication::processEvents();
        QCOMPARE(h.counts().fixation, 0);
        QCOMPARE(h.start()->text(), QStringLiteral("Start Read"));
    }

    void resetTextStartsTheTextAfresh()
    {
        ReaderApp t(Mode::Vert, QStringList(60, kLine));
        const Reader &v = t.r;
        const std::vector<HorizDraw> unread = v.window->pageView()->commands();
        const auto progress = [&v] {
            return v.find<QProgressBar>(QStringLiteral("vertProgressBar"))->value();
        };
        const QScrollBar *scroll = v.window->scrollArea()->verticalScrollBar();
        v.start()->click();
        for (int i = 1; i <= 80; ++i) {
            v.window->Timer1Timer();
            if (i % 10 == 0)
                v.window->Timer2Timer();
        }
        v.start()->click();
        QVERIFY(progress() > 0 && scroll->value() > 0);

        v.reset()->click();
        QCOMPARE(v.counts().fixation + v.vert()->reading().state().CurrentLine, 0);
        QCOMPARE(v.counts().elapsed, 0.0);
        QCOMPARE(progress() + scroll->value(), 0);
        QVERIFY(v.window->pageView()->commands() == unread);
        QVERIFY(v.start()->isEnabled() && !v.spin(QStringLiteral("fixationsUpDown"))->isEnabled());
    }

    void unreadLooksCoverTheText_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<int>("look");
        QTest::addColumn<QRgb>("background");
        QTest::addColumn<int>("lines"); // revealed by the first fixations
        QTest::newRow("horizontal Covered") << Mode::Horiz << 3 << qRgb(0x80, 0x80, 0x80) << 1;
        QTest::newRow("vertical See Through") << Mode::Vert << 2 << qRgb(0xC0, 0xC0, 0xC0) << 3;
        QTest::newRow("vertical Covered") << Mode::Vert << 3 << qRgb(0x80, 0x80, 0x80) << 3;
        QTest::newRow("vertical Invisible") << Mode::Vert << 1 << qRgb(0xFF, 0xFF, 0xFF) << 3;
    }

    void unreadLooksCoverTheText()
    {
        QFETCH(Mode, mode);
        QFETCH(int, look);
        QFETCH(QRgb, background);
        QFETCH(int, lines);
        const ReaderApp t(mode, {kLine, kLine, kLine, kLine}, [&](AppState &state) {
            state.setTextLook(
                mode == Mode::Horiz ? AppState::TextLook::HorizUnread : AppState::TextLook::VertUnread, look);
        });
        const Reader &r = t.r;
        // The first fixation of the first line, or column 1 of the first block of three lines.
        r.runFor(lines);
        const int lh = r.window->pageView()->lineHeight();
        const int split = 8 + r.window->pageView()->metrics().width(r.text().pieces[0].at(0));
        const QImage shot = r.window->pageView()->grab(QRect(0, 0, 400, 5 * lh)).toImage();
        for (int line = 1; line <= lines; ++line) {
            QVERIFY(r.countIn(shot, line, 8, split, qRgb(0, 0, 0)) > 0);
            QCOMPARE(r.countIn(shot, line, split, 400, qRgb(0, 0, 0)), 0);
            QVERIFY(r.countIn(shot, line, split + 8, split + 40, background) > 100);
        }
        QCOMPARE(r.countIn(shot, lines + 1, 0, 400, qRgb(0, 0, 0)), 0);
    }

    void readLookCoversTheRevealedLine()
    {
        // The read look redraws a line as one string over fixations drawn piece by piece: unless widths add
        // up (piece + space + piece == the joined line), the end of the last black fixation shows past it.
        TestApp app;
        app.writeLines(
            QStringLiteral("a.txt"),
            {QStringLiteral("That evening, after everyone had gone, Teresa climbed the ladder one"),
             QStringLiteral("more time with the ledger in its bread bag and put it back on the shelf"),
             QStringLiteral("of her pocket, opened the book to the first empty page, and wrote the"), kLine,
             kLine});
        QVERIFY(app.start());
        const Reader h = readerOf(app, Mode::Horiz);
        h.window->setPlacedGeometry(QRect(0, 0, 700, 400));
        editSettings(*app.state, [&](TSettings &s) { s.HorizFixations = 4; });
        editSettings(*app.state, [&](TSettings &s) { s.HorizUnreadTextMode = 1; }); // Invisible
        editSettings(*app.state,
                     [&](TSettings &s) { s.HorizReadTextMode = 1; }); // Invisible: a read line vanishes
        setStoryFileName(*app.state, QStringLiteral("a.txt"));
        for (int size = 8; size <= 14; ++size) {
            editSettings(*app.state, [&](TSettings &s) {
                s.HorizFont = TFontGroup{QStringLiteral("Times New Roman"), size, 0, 0};
            });
            h.window->loadStory();
            h.runFor(4 * 4 + 1);
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

    void stepsWhilePausedReplayTheSamePage()
    {
        const ReaderApp t(Mode::Horiz, {kLine, QString(), QStringLiteral("Contents"), kLine, kLine},
                          [](AppState &state) { state.options.stepWhilePaused = true; });
        const Reader &h = t.r;
        const auto step = [&h](Qt::Key key) { QTest::keyClick(h.speed(), key); };
        QTest::keyClick(h.window, Qt::Key_Right);
        QCOMPARE(h.counts().fixation, 0);
        h.start()->click();
        h.tick(1);
        step(Qt::Key_Right);
        QVERIFY2(h.counts().fixation == 1 && h.speed()->value() == 350, "no stepping while it runs");
        h.start()->click();
        // Every stop of a reading, paused after n ticks: one step back and one forward land on the last
        // fixation shown, with the page and counters the reading itself had there.
        const int total = h.horiz()->reading().text().TotalFixations;
        int same = 0;
        for (int n = 1; n < total; ++n) {
            h.reset()->click();
            h.runFor(n);
            const auto page = h.horiz()->pageView()->commands();
            const HorizPacerState before = h.horiz()->reading().state();
            step(Qt::Key_Left);
            QVERIFY2(n > 1 || h.horiz()->pageView()->commands() == page, "nothing before the first fixation");
            step(Qt::Key_Right);
            const HorizPacerState after = h.horiz()->reading().state();
            // Paused after a tick that showed nothing (a blank line, a pad), the steps land before it.
            QVERIFY2(n == 1 || after.FixationCounter <= before.FixationCounter,
                     qPrintable(QString::number(n)));
            if (n > 1 && after.FixationCounter == before.FixationCounter) {
                QVERIFY2(h.horiz()->pageView()->commands() == page, qPrintable(QString::number(n)));
                QCOMPARE(after.PenY, before.PenY);
                ++same;
            }
        }
        QVERIFY(same > total / 2);
        for (int i = 0; i < total; ++i)
            step(Qt::Key_Right);
        QCOMPARE(h.counts().fixation, total);
        QVERIFY2(!h.drew(QStringLiteral("THE END!")), "stepping never ends the reading");
        // Start Read ends it; a stepped reading has no speed, so nothing is recorded or asked.
        h.start()->click();
        h.window->Timer2Timer();
        h.readToEnd();
        QVERIFY(h.drew(QStringLiteral("Stepped through: no speed recorded.")));
        QCOMPARE(historyCount(t.app.state->Settings.HorizWpmHistory), 0);
    }

    void aFileContinuesWhereItsReadingStopped()
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
        h.runFor(4 * 5); // Open File waits for a pause
        const int line = h.horiz()->reading().state().CurrentLine;
        QVERIFY(line > 1);
        app.fakes.messages.expect(MessageKind::Confirm, QStringLiteral("Continue where you stopped?"), true);
        open();
        QCOMPARE(h.horiz()->startLine(), line);
        QCOMPARE(h.lineCountBox(), QString::number(12 - line + 1));
        QCOMPARE(h.text().TextLines.first(), lines.at(line - 1));
        // Leaving the mode keeps the place, counted in the file's own lines.
        h.start()->click();
        h.tick(4 * 2);
        const int now = h.horiz()->reading().state().CurrentLine;
        QVERIFY(triggerAction(app.form(), "tachiAction"));
        QCOMPARE(ReadingOptions::load(app.path(QStringLiteral("options.ini")))
                     .placeFor(app.path(QStringLiteral("c.txt")), AppState::kHorizPlaces),
                 line - 1 + now);
    }
};

QTEST_MAIN(ReadersTest)
#include "tst_readers.moc"

#include "TestSupport.h"

#include "app/AppState.h"
#include "app/mainwindow.h"
#include "assess/Tests.h"
#include "control/VertControlPage.h"
#include "control/control.h"
#include "readers/HorizPageView.h"
#include "readers/vertical.h"

#include <QFile>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

namespace {

const QString kLine = QStringLiteral("The quick brown fox jumps over the lazy dog"); // 8 words

void writeLines(TestApp &app, const QString &name, const QStringList &lines)
{
    QFile f(app.path(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write((lines.join(u'\n') + u'\n').toUtf8());
}

struct Vert
{
    TVertForm *reader;
    VertControlPage *page;

    template <typename T> T *find(const char *name) const
    {
        return page->findChild<T *>(QString::fromLatin1(name));
    }
    QPushButton *start() const { return find<QPushButton>("startReadButton"); }
    QPushButton *reset() const { return find<QPushButton>("resetTextButton"); }
    QSpinBox *fixations() const { return find<QSpinBox>("fixationsUpDown"); }
    QSpinBox *downSweep() const { return find<QSpinBox>("downSweepUpDown"); }
    int progress() const { return find<QProgressBar>("vertProgressBar")->value(); }
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
    bool drew(const QString &text) const
    {
        for (const HorizDraw &d : reader->pageView()->commands()) {
            if (d.text == text)
                return true;
        }
        return false;
    }
};

// Opens the vertical reader in the started program with F and D, and loads `file` unless it is empty.
Vert openOn(TestApp &app, const QString &file, int fixations = 2, int downSweep = 3)
{
    app.state->Settings.VertFixations = fixations;
    app.state->Settings.VertDownSweep = downSweep;
    if (!triggerAction(app.form(), "vertAction"))
        return {};
    Vert v{qobject_cast<TVertForm *>(app.state->modeWindow.data()),
           qobject_cast<VertControlPage *>(app.state->controlPanel->page(Mode::Vert))};
    if (!file.isEmpty()) {
        setStoryFileName(*app.state, file);
        v.reader->LoadVerticalText();
    }
    return v;
}

} // namespace

class VertReaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startRefusesUntilResetText_data();
    void startRefusesUntilResetText();
    void storyIsReadToTheEndAndOffersTheTest();
    void keepingTheScore_data();
    void keepingTheScore();
    void pauseIsNotCounted();
    void resetTextStartsTheTextAfresh();
    void unreadLooksCoverTheText_data();
    void unreadLooksCoverTheText();
    void pageGrowsWithTheTextAndTheWindow();
    void tempFileIsLoadedWhenNamed();
    void fontsOptionWritesTheVerticalFields();
};

void VertReaderTest::startRefusesUntilResetText_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("fixations") << QStringLiteral("fixations")
                               << QStringLiteral(
                                      "After changing the number of Fixations, Click the \"Reset Text\" "
                                      "button before starting.");
    QTest::newRow("down sweep") << QStringLiteral("sweep")
                                << QStringLiteral("After changing the number of Down Sweep lines, Click the "
                                                  "\"Reset Text\" button before starting.");
    QTest::newRow("fonts") << QStringLiteral("fonts")
                           << QStringLiteral(
                                  "After changing the Fonts, Click the \"Reset Text\" button before "
                                  "starting.");
}

void VertReaderTest::startRefusesUntilResetText()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine, kLine});
    QVERIFY(app.start());
    const Vert v = openOn(app, QStringLiteral("a.txt"));
    QVERIFY(v.reader != nullptr);
    if (change == QLatin1String("fonts")) {
        app.fakes.dialogs.fonts.push_back(FontChoice{QFont(QStringLiteral("DejaVu Sans"), 12), Qt::red});
        QVERIFY(triggerAction(v.page, "vertFontAction"));
    } else if (change == QLatin1String("sweep")) {
        v.find<QPushButton>("changeDownSweepButton")->click();
        v.downSweep()->stepUp();
        QCOMPARE(app.state->Settings.VertDownSweep, 4);
    } else {
        v.find<QPushButton>("changeFixationsButton")->click();
        v.fixations()->stepUp();
        QCOMPARE(app.state->Settings.VertFixations, 3);
    }
    app.fakes.sound.played.clear();
    app.fakes.messages.expect(MessageKind::Information, message);
    v.start()->click();
    QVERIFY(!v.reader->isPacing());
    QVERIFY(app.fakes.sound.played.last().endsWith(QStringLiteral("tap4.wav")));

    v.reset()->click();
    QCOMPARE(v.reader->FixationsChanged + v.reader->DownSweepChanged + v.reader->FontsChanged, 0);
    QVERIFY(!v.fixations()->isEnabled());
    // The new value is what the text is laid out and paced with.
    QCOMPARE(v.reader->reading().fixations(), change == QLatin1String("fixations") ? 3 : 2);
    QCOMPARE(v.reader->reading().downSweep(), change == QLatin1String("sweep") ? 4 : 3);
    v.start()->click();
    QVERIFY(v.reader->isPacing());
    QCOMPARE(v.start()->text(), QStringLiteral("Pause Read"));
    QVERIFY(!v.downSweep()->isEnabled());
    QVERIFY(!v.find<QPushButton>("changeDownSweepButton")->isEnabled());
}

void VertReaderTest::storyIsReadToTheEndAndOffersTheTest()
{
    TestApp app;
    // A stand-in for story 13: 7 lines of 8 words and a blank line; the last line is not counted.
    writeLines(app, QStringLiteral("Ug.bwr"), {kLine, kLine, kLine, QString(), kLine, kLine, kLine, kLine});
    QVERIFY(app.start());
    const Vert v = openOn(app, QString(), 3, 5);
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    app.fakes.messages.expect(MessageKind::Error,
                              QStringLiteral("The file \"a.txt\" was not found, or else the "
                                             "file is not an ascii text file. Be sure that "
                                             "the file exists, and was not deleted."));
    v.reader->LoadVerticalText();
    QVERIFY(!v.start()->isEnabled());
    QVERIFY(triggerAction(app.form(), "story13Action"));
    QCOMPARE(app.state->StoryLoaded, 1);
    QVERIFY(v.start()->isEnabled());
    // The story leaves the keyboard with the reader, where Space starts the reading.
    QTest::keyClick(app.form()->focusWidget(), Qt::Key_Space);
    QVERIFY(v.reader->isPacing());
    QVERIFY(!app.form()->shortStoriesMenu()->menuAction()->isEnabled());

    app.fakes.messages.expect(MessageKind::Confirm, QStringLiteral("Do you want to test for comprehension?"),
                              true);
    v.readToEnd(5);
    QVERIFY(!v.reader->isPacing());
    QVERIFY(!v.reader->Timer2().isActive());
    const double seconds = v.reader->reading().state().ElapsedSeconds;
    QVERIFY(seconds > 0);
    QCOMPARE(v.reader->reading().state().WpmScore, 48.0 / (seconds / 60.0));
    QCOMPARE(app.state->Settings.VertWpmHistory[0], 48.0 / (seconds / 60.0));
    QCOMPARE(app.state->Settings.VertWpmHistory[1], 0.0);
    QVERIFY(v.drew(QStringLiteral("THE END!")));
    QVERIFY(v.drew(v.reader->reading().state().WpmText + QStringLiteral(" words per minute!")));
    QVERIFY(app.form()->findChild<TCompTestForm *>() != nullptr);
    QVERIFY(app.fakes.sound.played.last().endsWith(QStringLiteral("2.wav")));
    QVERIFY(!v.start()->isEnabled());
    QCOMPARE(v.start()->text(), QStringLiteral("Start Read"));
    QVERIFY(v.reset()->isEnabled());
    QVERIFY(v.fixations()->isEnabled() && v.downSweep()->isEnabled());
    QVERIFY(app.form()->shortStoriesMenu()->menuAction()->isEnabled());
    // Every line of the text was revealed in black, fixation by fixation.
    int revealed = 0;
    for (const HorizDraw &d : v.reader->pageView()->commands())
        revealed += d.style == HorizStyle::Visible && d.weight == HorizWeight::Font ? 1 : 0;
    QCOMPARE(revealed, 7 * 3);
}

void VertReaderTest::keepingTheScore_data()
{
    QTest::addColumn<bool>("full");
    QTest::addColumn<bool>("keep");
    QTest::addColumn<int>("kept");
    QTest::newRow("empty, Yes") << false << true << 1;
    QTest::newRow("empty, No") << false << false << 0;
    QTest::newRow("full, Yes") << true << true << 30;
    // The oldest score was pushed out to make room, and No then clears slot 30.
    QTest::newRow("full, No") << true << false << 29;
}

void VertReaderTest::keepingTheScore()
{
    QFETCH(bool, full);
    QFETCH(bool, keep);
    QFETCH(int, kept);
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine, kLine, kLine});
    QVERIFY(app.start());
    const Vert v = openOn(app, QStringLiteral("a.txt"));
    THistory &history = app.state->Settings.VertWpmHistory;
    for (int i = 0; i < (full ? 30 : 0); ++i)
        history[static_cast<std::size_t>(i)] = 100.0 + i;
    v.start()->click();
    app.fakes.messages.expect(MessageKind::Confirm,
                              QStringLiteral("Do you want to save this WPM score on chart?"), keep);
    v.readToEnd(3);
    const double score = v.reader->reading().state().WpmScore;
    QVERIFY(score > 0);
    QCOMPARE(int(std::count_if(history.begin(), history.end(), [](double s) { return s != 0.0; })), kept);
    if (full) {
        QCOMPARE(history[0], 101.0);
        QCOMPARE(history[28], 129.0);
    }
    QCOMPARE(history[static_cast<std::size_t>(kept == 0 ? 0 : kept - 1)] == score, keep);
}

void VertReaderTest::pauseIsNotCounted()
{
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine, kLine, kLine, kLine, kLine});
    QVERIFY(app.start());
    const Vert v = openOn(app, QStringLiteral("a.txt"));
    v.start()->click();
    for (int i = 0; i < 4; ++i)
        v.reader->Timer1Timer();
    v.reader->Timer2Timer();
    const auto before = v.reader->reading().state();
    v.start()->click();
    QCOMPARE(v.start()->text(), QStringLiteral("Start Read"));
    QVERIFY(!v.reader->isPacing() && !v.reader->Timer2().isActive());
    QVERIFY(v.reset()->isEnabled());
    // Events already queued when the user paused change nothing, not even the next wait.
    const int wait = v.reader->Timer1().interval();
    v.reader->Timer1Timer();
    v.reader->Timer2Timer();
    QCOMPARE(v.reader->reading().state().ElapsedSeconds, 1.0);
    QCOMPARE(v.reader->reading().state().FixationCounter, before.FixationCounter);
    QCOMPARE(v.reader->reading().state().PacerState, before.PacerState);
    QCOMPARE(v.reader->Timer1().interval(), wait);

    v.start()->click();
    app.fakes.messages.expect(MessageKind::Confirm,
                              QStringLiteral("Do you want to save this WPM score on chart?"), true);
    v.reader->Timer2Timer();
    v.readToEnd();
    QCOMPARE(v.reader->reading().state().ElapsedSeconds, 2.0);
    QCOMPARE(v.reader->reading().state().WpmScore, 40.0 / (2.0 / 60.0));
}

void VertReaderTest::resetTextStartsTheTextAfresh()
{
    TestApp app;
    QStringList lines;
    for (int i = 0; i < 60; ++i)
        lines.append(kLine);
    writeLines(app, QStringLiteral("a.txt"), lines);
    QVERIFY(app.start());
    const Vert v = openOn(app, QStringLiteral("a.txt"));
    const std::vector<HorizDraw> unread = v.reader->pageView()->commands();
    v.start()->click();
    for (int i = 0; i < 80; ++i) {
        v.reader->Timer1Timer();
        if (i % 10 == 0)
            v.reader->Timer2Timer();
    }
    v.start()->click();
    QVERIFY(v.progress() > 0);
    QVERIFY(v.reader->scrollArea()->verticalScrollBar()->value() > 0);

    v.reset()->click();
    const VertPacerState &st = v.reader->reading().state();
    QCOMPARE(st.FixationCounter, 0);
    QCOMPARE(st.CurrentLine, 0);
    QCOMPARE(st.ElapsedSeconds, 0.0);
    QCOMPARE(v.progress(), 0);
    QCOMPARE(v.reader->scrollArea()->verticalScrollBar()->value(), 0);
    QVERIFY(v.reader->pageView()->commands() == unread);
    QVERIFY(v.start()->isEnabled());
    QVERIFY(!v.fixations()->isEnabled());
}

void VertReaderTest::unreadLooksCoverTheText_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QRgb>("background");
    QTest::newRow("See Through") << 2 << qRgb(0xC0, 0xC0, 0xC0);
    QTest::newRow("Covered") << 3 << qRgb(0x80, 0x80, 0x80);
    QTest::newRow("Invisible") << 1 << qRgb(0xFF, 0xFF, 0xFF);
}

void VertReaderTest::unreadLooksCoverTheText()
{
    QFETCH(int, mode);
    QFETCH(QRgb, background);
    TestApp app;
    writeLines(app, QStringLiteral("a.txt"), {kLine, kLine, kLine, kLine});
    QVERIFY(app.start());
    app.state->Settings.VertUnreadTextMode = static_cast<std::uint8_t>(mode);
    const Vert v = openOn(app, QStringLiteral("a.txt"));
    // Column 1 of the first block of three lines.
    v.start()->click();
    for (int i = 0; i < 3; ++i)
        v.reader->Timer1Timer();
    v.start()->click();
    const int lh = v.reader->pageView()->lineHeight();
    const int split = 8 + v.reader->pageView()->metrics().width(v.reader->reading().text().pieces[0].at(0));
    const QImage shot = v.reader->pageView()->grab(QRect(0, 0, 400, 5 * lh)).toImage();
    auto count = [&](int line, int x0, int x1, QRgb colour) {
        int n = 0;
        for (int y = line * lh + 1; y < (line + 1) * lh; ++y) {
            for (int x = x0; x < x1; ++x)
                n += shot.pixel(x, y) == colour ? 1 : 0;
        }
        return n;
    };
    for (int line = 1; line <= 3; ++line) {
        QVERIFY(count(line, 8, split, qRgb(0, 0, 0)) > 0); // the first fixation is revealed
        QCOMPARE(count(line, split, 400, qRgb(0, 0, 0)), 0);
        QVERIFY(count(line, split + 8, split + 40, background) > 100); // the second is still unread
    }
    QCOMPARE(count(4, 0, 400, qRgb(0, 0, 0)), 0);
}

void VertReaderTest::pageGrowsWithTheTextAndTheWindow()
{
    TestApp app;
    QStringList lines;
    for (int i = 0; i < 1200; ++i)
        lines.append(kLine);
    writeLines(app, QStringLiteral("a.txt"), lines);
    QVERIFY(app.start());
    app.state->Settings.VertFontSize = 14;
    const Vert v = openOn(app, QStringLiteral("a.txt"), 2, 5);
    QCOMPARE(v.reader->reading().text().LineCount, 1000);
    for (int extra : {0, 300}) {
        v.reader->setPlacedGeometry(v.reader->placedGeometry().adjusted(0, 0, 0, extra));
        QCoreApplication::processEvents();
        const int lh = v.reader->pageView()->lineHeight();
        const int viewport = v.reader->scrollArea()->viewport()->height();
        // The last line, a block past it, the end lines, and room to scroll them to the top of the window.
        QVERIFY(v.reader->pageView()->height() >= (1000 + 5 + 3) * lh + viewport);
        QVERIFY(v.reader->pageView()->height() >= 24500);
    }
}

void VertReaderTest::tempFileIsLoadedWhenNamed()
{
    TestApp app;
    writeLines(app, QStringLiteral("temp.txt"), {kLine, QString(), kLine});
    QVERIFY(app.start());
    app.state->StoryLoaded = 1;
    app.state->LoadTempFile = 3;
    const Vert v = openOn(app, QString());
    QCOMPARE(app.state->LoadTempFile, 0);
    QCOMPARE(app.state->StoryLoaded, 0);
    QCOMPARE(v.reader->reading().text().LineCount, 3);
    QVERIFY(v.start()->isEnabled());
}

void VertReaderTest::fontsOptionWritesTheVerticalFields()
{
    TestApp app;
    QVERIFY(app.start());
    QVERIFY(triggerAction(app.form(), "vertAction"));
    auto *reader = qobject_cast<TVertForm *>(app.state->modeWindow.data());
    const TSettings before = app.state->Settings;
    QFont chosen(QString(45, u'G'), 11);
    chosen.setBold(true);
    app.fakes.dialogs.fonts.push_back(FontChoice{chosen, Qt::red});
    QVERIFY(triggerAction(app.form(), "fontsAction"));
    const TSettings &after = app.state->Settings;
    QCOMPARE(after.VertFontName, QString(40, u'G'));
    QCOMPARE(after.VertFontSize, 11);
    QCOMPARE(after.VertFontStyle, std::uint8_t(fsBold));
    QCOMPARE(after.VertFontColor, before.VertFontColor); // no colour in this dialog
    QCOMPARE(after.HorizFont.Name, before.HorizFont.Name);
    QCOMPARE(reader->FontsChanged, 1);
    QCOMPARE(app.fakes.dialogs.fontPresetsSeen[0].font.family(), before.VertFontName);
}

QTEST_MAIN(VertReaderTest)
#include "tst_vertreader.moc"

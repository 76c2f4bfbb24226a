#include "TestSupport.h"

#include "Wpm.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/mainwindow.h"
#include "control/SpeedTestPage.h"
#include "control/control.h"
#include "readers/SpeedTest.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <malloc.h>

namespace {

const QString kSaveQuestion = QStringLiteral("Do you want to save this WPM score on chart?");

// A program with the speed test open and, when `lines` > 0, a text of that many 25-character lines loaded
// through the page's Open File.
struct SpeedTestApp
{
    explicit SpeedTestApp(int lines = 0)
    {
        app.start();
        triggerAction(app.form(), "speedTestAction");
        reader = app.form()->findChild<TSpeedTestForm *>();
        page = app.form()->findChild<SpeedTestPage *>();
        reader->setPlacedGeometry(QRect(0, 0, 400, 300));
        if (lines > 0)
            openFile(writeText(QStringLiteral("text.txt"), lines));
    }
    QString writeText(const QString &name, int lines)
    {
        QFile f(app.path(name));
        f.open(QIODevice::WriteOnly);
        for (int i = 0; i < lines; ++i)
            f.write("twenty-five characters...\n");
        return app.path(name);
    }
    void openFile(const QString &path)
    {
        app.fakes.dialogs.openNames.push_back(path);
        triggerAction(page, "openFileAction");
    }
    QPushButton *button(const char *name)
    {
        return page->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    QAction *action(const char *name) { return page->findChild<QAction *>(QString::fromLatin1(name)); }
    QString status() { return page->findChild<QLineEdit *>(QStringLiteral("timerStatusBox"))->text(); }
    QColor startColour() { return button("startReadButton")->palette().color(QPalette::ButtonText); }
    bool storiesEnabled() { return app.form()->shortStoriesMenu()->menuAction()->isEnabled(); }
    int step() { return speedTestPageStep(reader->lineHeight(), reader->view()->clientHeight()); }
    void tick(int n)
    {
        for (int i = 0; i < n; ++i)
            reader->Timer1Timer();
    }
    int endSounds()
    {
        return static_cast<int>(app.fakes.sound.played.count(app.path(QStringLiteral("2.wav"))));
    }

    TestApp app;
    TSpeedTestForm *reader = nullptr;
    SpeedTestPage *page = nullptr;
};

} // namespace

class SpeedTestTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openFileLoadsTheTextAndReadiesStart();
    void startReadTogglesTheClockAndThePage();
    void keysPageOnlyWhileTheClockRuns();
    void stopReadingComesWithTheEndZoneAndScores();
    void stoppingAwayFromTheEndPlaysNoEndSound();
    void missingStoryKeepsThePage();
    void widthChangeLoadsAgainAndHeightChangeDoesNot();
    void fontsAreChosenWithinTheirLimitsAndStored();
    void aDamagedFontSizeIsKeptWithinTheDialogLimits();
    void closingTheReaderLeavesThePageInert();
    void aLongTextAtTheLargestFontPaintsOnlyWhatIsInView();
};

void SpeedTestTest::openFileLoadsTheTextAndReadiesStart()
{
    SpeedTestApp t;
    QCOMPARE(t.app.state->SpeedTestOpen, 1);
    QVERIFY(!t.button("startReadButton")->isEnabled());
    t.app.state->StoryLoaded = 1;
    t.openFile(t.writeText(QStringLiteral("a.txt"), 10));
    QCOMPARE(t.app.fakes.dialogs.openFoldersSeen, QStringList{t.app.state->workingDir()});
    QCOMPARE(t.app.fakes.dialogs.openFiltersSeen,
             QStringList{QStringLiteral("BWR text files (*.bwr);;Text files (*.txt)")});
    QCOMPARE(t.app.state->StoryFileName, t.app.path(QStringLiteral("a.txt")));
    QCOMPARE(t.app.state->StoryLoaded, 0);
    QCOMPARE(t.reader->values().SpeedTestLines.size(), 10);
    QCOMPARE(t.reader->values().SpeedTestWordCount, 50.0);
    QCOMPARE(t.reader->values().SpeedTestPageEnd, 15 + 10 * t.reader->lineHeight() + 120);
    QVERIFY(t.button("startReadButton")->isEnabled());
    QCOMPARE(t.button("startReadButton")->text(), QStringLiteral("Start Read"));
    QCOMPARE(t.startColour(), toQColor(32768));
    // The page shows the text: dark pixels where the first line is, none above it.
    const QImage image = t.reader->view()->viewport()->grab().toImage();
    auto darkIn = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 200; ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    const int h = t.reader->lineHeight();
    QVERIFY(!darkIn(0, h));
    QVERIFY(darkIn(h, 2 * h));
}

void SpeedTestTest::startReadTogglesTheClockAndThePage()
{
    SpeedTestApp t(100);
    QPushButton *start = t.button("startReadButton");
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(start->text(), QStringLiteral("Pause Read"));
    QCOMPARE(t.startColour(), toQColor(255));
    QCOMPARE(t.status(), QStringLiteral("Timer ON"));
    QCOMPARE(t.reader->values().SpeedTestTimerOn, 1);
    QVERIFY(t.reader->clockRunning());
    QVERIFY(t.button("pgUpButton")->isEnabled() && t.button("pgDownButton")->isEnabled());
    QVERIFY(!t.page->findChild<QLabel *>(QStringLiteral("spacebarLabel"))->isHidden());
    QVERIFY(!t.storiesEnabled());
    QVERIFY(!t.action("openFileAction")->isEnabled() && !t.action("changeFontAction")->isEnabled());
    QAction *fonts = t.app.form()->findChild<QAction *>(QStringLiteral("fontsAction"));
    QVERIFY(!fonts->isEnabled());
    QCOMPARE(t.reader->window()->focusWidget(), t.reader);
    t.tick(65);
    QCOMPARE(t.page->findChild<QLabel *>(QStringLiteral("clockReadout"))->text(), QStringLiteral("1:05"));

    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(start->text(), QStringLiteral("Start Read"));
    QCOMPARE(t.startColour(), toQColor(32768));
    QCOMPARE(t.status(), QStringLiteral("Timer OFF"));
    QCOMPARE(t.reader->values().SpeedTestTimerOn, 0);
    QVERIFY(!t.reader->clockRunning());
    QVERIFY(!t.button("pgUpButton")->isEnabled() && !t.button("pgDownButton")->isEnabled());
    QVERIFY(t.page->findChild<QLabel *>(QStringLiteral("spacebarLabel"))->isHidden());
    QVERIFY(t.storiesEnabled());
    QVERIFY(t.action("openFileAction")->isEnabled() && t.action("changeFontAction")->isEnabled());
    QVERIFY(fonts->isEnabled());
    QCOMPARE(t.reader->window()->focusWidget(), t.reader);
    // Pausing keeps the seconds counted so far.
    QCOMPARE(t.reader->values().SpeedTestSeconds, 65.0);
    QCOMPARE(t.app.fakes.sound.played.count(t.app.path(QStringLiteral("click_1.wav"))), 3);
}

void SpeedTestTest::keysPageOnlyWhileTheClockRuns()
{
    SpeedTestApp t(200);
    SpeedTestView *view = t.reader->view();
    QTest::keyClick(t.reader, Qt::Key_PageDown);
    QCOMPARE(view->position(), 0);
    // Nor does the wheel move the page.
    QWheelEvent wheel(QPointF(50, 50), view->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &wheel);
    QCOMPARE(view->position(), 0);
    // Nor the mouse on the scroll bar, which only shows where the page is.
    QScrollBar *bar = view->verticalScrollBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 20));
    QCOMPARE(view->position(), 0);
    // Space with the clock stopped starts it and leaves the page where it is.
    QTest::keyClick(t.reader, Qt::Key_Space);
    QVERIFY(t.reader->clockRunning());
    QCOMPARE(view->position(), 0);

    const int step = t.step();
    const int h = t.reader->lineHeight();
    // The whole lines that fit the window: a line cut off at the bottom comes to the top.
    QVERIFY(step <= view->clientHeight() && step > view->clientHeight() - h && step % h == 0);
    QTest::keyClick(t.reader, Qt::Key_Space);
    QCOMPARE(view->position(), step);
    QTest::keyClick(t.reader, Qt::Key_PageDown);
    QCOMPARE(view->position(), 2 * step);
    QTest::mouseClick(t.button("pgUpButton"), Qt::LeftButton);
    QCOMPARE(view->position(), step);
    QTest::keyClick(t.reader, Qt::Key_PageUp);
    QTest::keyClick(t.reader, Qt::Key_PageUp);
    QCOMPARE(view->position(), 0);
    // Escape pauses, as "Pause Read" does.
    QTest::keyClick(t.reader, Qt::Key_Escape);
    QCOMPARE(t.button("startReadButton")->text(), QStringLiteral("Start Read"));
    QVERIFY(!t.reader->clockRunning());
    // Any move into the end zone while the clock runs offers Stop Reading, not paging alone.
    QTest::mouseClick(t.button("startReadButton"), Qt::LeftButton);
    view->setPosition(view->scrollMaximum());
    QVERIFY(t.button("stopReadingButton")->isEnabled());
}

void SpeedTestTest::stopReadingComesWithTheEndZoneAndScores()
{
    SpeedTestApp t(300);
    SpeedTestView *view = t.reader->view();
    QTest::mouseClick(t.button("startReadButton"), Qt::LeftButton);
    // The range follows the page: the view's bottom can just reach the page end.
    QCOMPARE(view->scrollMaximum(), t.reader->values().SpeedTestPageEnd - view->clientHeight());
    QPushButton *stop = t.button("stopReadingButton");
    int pages = 0;
    while (view->position() + t.step() <= view->scrollMaximum() - 600) {
        QTest::mouseClick(t.button("pgDownButton"), Qt::LeftButton);
        ++pages;
        QVERIFY(!stop->isEnabled());
        QCOMPARE(t.app.state->SpeedTestEndReached, 0);
    }
    QVERIFY(pages > 5);
    QTest::keyClick(t.reader, Qt::Key_Space);
    QVERIFY(view->position() > view->scrollMaximum() - 600);
    QVERIFY(stop->isEnabled());
    QCOMPARE(t.app.state->SpeedTestEndReached, 1);

    // 300 lines of 25 characters are 1500 words; in 300 seconds that is 300 per minute.
    t.tick(300);
    t.app.fakes.messages.expect(
        MessageKind::Information,
        QStringLiteral("You were reading at 300 words per minute. Make a note of this score "
                       "to track your progress. Load another file if you want to take "
                       "another test."));
    t.app.fakes.messages.expect(MessageKind::Confirm, kSaveQuestion, true);
    QTest::mouseClick(stop, Qt::LeftButton);
    QCOMPARE(t.endSounds(), 1);
    QCOMPARE(t.app.state->SpeedTestEndReached, 0);
    QCOMPARE(t.app.state->Settings.SpeedTestWpmHistory[0], 300.0);
    QCOMPARE(t.reader->values().SpeedTestWpmText, QStringLiteral("300"));
    QCOMPARE(t.status(), QStringLiteral("Timer OFF"));
    QVERIFY(!t.reader->clockRunning());
    for (const char *name : {"startReadButton", "stopReadingButton", "pgUpButton", "pgDownButton"})
        QVERIFY2(!t.button(name)->isEnabled(), name);
    QCOMPARE(t.button("startReadButton")->text(), QStringLiteral("Start Read"));
    QVERIFY(t.storiesEnabled());
    // A new font lays out the same text again: no new test until a text is loaded.
    t.app.fakes.dialogs.fonts.push_back(FontChoice{QFont(QStringLiteral("DejaVu Sans"), 12), Qt::black});
    triggerAction(t.page, "changeFontAction");
    QVERIFY(!t.button("startReadButton")->isEnabled());
    t.openFile(t.app.state->StoryFileName);
    QVERIFY(t.button("startReadButton")->isEnabled());
}

void SpeedTestTest::stoppingAwayFromTheEndPlaysNoEndSound()
{
    SpeedTestApp t(300);
    QTest::mouseClick(t.button("startReadButton"), Qt::LeftButton);
    QTest::keyClick(t.reader, Qt::Key_Space);
    // A resize away from the end zone while the clock runs neither arms the end sound nor offers Stop.
    t.reader->setPlacedGeometry(QRect(0, 0, 400, 360));
    QCOMPARE(t.app.state->SpeedTestEndReached, 0);
    QVERIFY(!t.button("stopReadingButton")->isEnabled());
    t.tick(10);
    t.app.fakes.messages.expect(
        MessageKind::Information,
        QStringLiteral("You were reading at 9000 words per minute. Make a note of this "
                       "score to track your progress. Load another file if you want to take "
                       "another test."));
    t.app.fakes.messages.expect(MessageKind::Confirm, kSaveQuestion, true);
    t.page->StopReadingClick();
    QCOMPARE(t.endSounds(), 0);
}

void SpeedTestTest::missingStoryKeepsThePage()
{
    SpeedTestApp t(20);
    t.app.fakes.messages.expect(
        MessageKind::Error,
        QStringLiteral("The file \"Ug.bwr\" was not found, or else the file is not an ascii "
                       "text file. Be sure that the file exists, and was not deleted."));
    QVERIFY(triggerAction(t.app.form(), "story13Action"));
    QCOMPARE(t.reader->values().SpeedTestLines.size(), 20);
    QVERIFY(t.button("startReadButton")->isEnabled());
    QCOMPARE(t.app.state->StoryNumber, 13);

    // A long name is cut, with its opening, to 110 characters before the rest of the message.
    const QString deep = QStringLiteral("/") + QString(150, QLatin1Char('d')) + QStringLiteral("/x.txt");
    t.app.fakes.messages.expect(
        MessageKind::Error,
        QString(QStringLiteral("The file \"") + deep).left(110) +
            QStringLiteral(" was not found, or else the file is not an ascii "
                           "text file. Be sure that the file exists, and was not deleted."));
    setStoryFileName(*t.app.state, deep);
    t.reader->loadStory();
}

void SpeedTestTest::widthChangeLoadsAgainAndHeightChangeDoesNot()
{
    SpeedTestApp t(300);
    SpeedTestView *view = t.reader->view();
    QTest::mouseClick(t.button("startReadButton"), Qt::LeftButton);
    t.tick(7);
    QTest::keyClick(t.reader, Qt::Key_Space);
    const int position = view->position();
    const int width = t.reader->width();

    t.reader->setPlacedGeometry(QRect(0, 0, 400, 340));
    QCOMPARE(t.reader->width(), width);
    QCOMPARE(t.reader->values().SpeedTestSeconds, 7.0);
    QCOMPARE(view->position(), position);
    QVERIFY(t.reader->clockRunning());
    QCOMPARE(view->scrollMaximum(), t.reader->values().SpeedTestPageEnd - view->clientHeight());

    t.reader->setPlacedGeometry(QRect(0, 0, 460, 340));
    QVERIFY(t.reader->width() != width);
    QCOMPARE(t.reader->values().SpeedTestSeconds, 0.0);
    QCOMPARE(view->position(), 0);
    QCOMPARE(t.reader->values().SpeedTestSavedWidth, t.reader->width());
    // The test starts over, so the clock stops with it.
    QVERIFY(!t.reader->clockRunning());
    QCOMPARE(t.status(), QStringLiteral("Timer OFF"));
    QCOMPARE(t.button("startReadButton")->text(), QStringLiteral("Start Read"));
    QVERIFY(t.button("startReadButton")->isEnabled());
    QVERIFY(t.storiesEnabled());
}

void SpeedTestTest::fontsAreChosenWithinTheirLimitsAndStored()
{
    // What the dialog stores is the fonts table's test; here, that the page's command lays the text out
    // again.
    SpeedTestApp t(10);
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setPointSize(14);
    t.app.fakes.dialogs.fonts.push_back(FontChoice{big, QColor(0, 0, 255)});
    const int endBefore = t.reader->values().SpeedTestPageEnd;
    QVERIFY(triggerAction(t.page, "changeFontAction"));
    QCOMPARE(t.app.state->Settings.SpeedTestFont.Size, 14);
    QVERIFY(t.reader->values().SpeedTestPageEnd > endBefore);
}

void SpeedTestTest::aDamagedFontSizeIsKeptWithinTheDialogLimits()
{
    SpeedTestApp t;
    TFontGroup &font = t.app.state->Settings.SpeedTestFont;
    struct Case
    {
        int stored, used;
    };
    for (const Case c : {Case{500, 14}, Case{0, 8}, Case{-3, 8}}) {
        font.Size = c.used;
        const int expected = t.reader->lineHeight();
        font.Size = c.stored;
        QCOMPARE(t.reader->lineHeight(), expected);
    }
    font.Size = 14;
    const int largest = t.reader->lineHeight();
    font.Size = 500;
    t.openFile(t.writeText(QStringLiteral("a.txt"), 1000));
    QCOMPARE(t.reader->values().SpeedTestPageEnd, 15 + 1000 * largest + 120);
}

void SpeedTestTest::closingTheReaderLeavesThePageInert()
{
    SpeedTestApp t(10);
    t.app.state->StoryLoaded = 1;
    t.reader->frame()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(t.app.state->modeWindow == nullptr);
    QCOMPARE(currentMode(*t.app.state), Mode::None);
    QCOMPARE(t.app.state->StoryLoaded, 0);
    QCOMPARE(t.app.state->Settings.SpeedTestDefaultPlacement, 0);
    QCOMPARE(t.app.state->Settings.SpeedTestBounds.Width, 400);
    QVERIFY(t.storiesEnabled());
    QVERIFY(!t.button("startReadButton")->isEnabled());
    QVERIFY(!t.action("openFileAction")->isEnabled());
}

void SpeedTestTest::aLongTextAtTheLargestFontPaintsOnlyWhatIsInView()
{
    SpeedTestApp t;
    t.app.state->Settings.SpeedTestFont.Size = 14;
    t.reader->setPlacedGeometry(QRect(0, 0, 1200, 500));
    const QString path = t.writeText(QStringLiteral("long.txt"), 1000);
    // A page image of this text would take width x page end x 4 bytes: about 100 MB.
    const auto heap = [] {
        const struct mallinfo2 m = mallinfo2();
        return static_cast<qint64>(m.uordblks + m.hblkhd);
    };
    const qint64 before = heap();
    t.openFile(path);
    SpeedTestView *view = t.reader->view();
    const qint64 pageBytes = qint64(t.reader->width()) * t.reader->values().SpeedTestPageEnd * 4;
    QVERIFY(pageBytes > 64 << 20);
    QVERIFY2(heap() - before < 8 << 20, qPrintable(QStringLiteral("%1 bytes").arg(heap() - before)));

    // Wherever the view is, it shows text; at the bottom it shows the end mark under the last line.
    const auto darkRows = [view] {
        const QImage image = view->viewport()->grab().toImage();
        int rows = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < 120; ++x) {
                if (qGray(image.pixel(x, y)) < 128) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    };
    for (int position : {0, view->scrollMaximum() / 3, view->scrollMaximum()}) {
        view->setPosition(position);
        QVERIFY2(darkRows() > view->clientHeight() / 8, qPrintable(QString::number(position)));
    }
    const int h = t.reader->lineHeight();
    const int endTop = t.reader->values().SpeedTestPageEnd - 90 - view->position();
    const QImage bottom = view->viewport()->grab().toImage().copy(0, endTop, 200, h);
    bool endMark = false;
    for (int y = 0; y < bottom.height() && !endMark; ++y)
        for (int x = 0; x < bottom.width() && !endMark; ++x)
            endMark = qGray(bottom.pixel(x, y)) < 128;
    QVERIFY(endMark);
    QVERIFY2(t.app.fakes.verify(), qPrintable(t.app.fakes.report()));
}

QTEST_MAIN(SpeedTestTest)
#include "tst_speedtest.moc"

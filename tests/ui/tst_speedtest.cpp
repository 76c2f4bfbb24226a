#include "TestSupport.h"

#include "Wpm.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/mainwindow.h"
#include "control/SpeedTestPage.h"
#include "control/control.h"
#include "readers/SpeedTest.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <malloc.h>

namespace {

QString scoreMessage(int wpm)
{
    return QStringLiteral("You were reading at %1 words per minute. Make a note of this score to track your "
                          "progress. Load another file if you want to take another test.")
        .arg(wpm);
}

// A program with the speed test open and, when `lines` > 0, a text of that many 25-character lines loaded
// through the page's Open File.
struct SpeedTestApp : ModeApp<TSpeedTestForm, SpeedTestPage>
{
    explicit SpeedTestApp(int lines = 0) : ModeApp("speedTestAction"), reader(window), view(window->view())
    {
        reader->setPlacedGeometry(QRect(0, 0, 400, 300));
        if (lines > 0)
            openFile(writeText(QStringLiteral("text.txt"), lines));
    }
    QString writeText(const QString &name, int lines)
    {
        return app.writeBytes(name, QByteArray("twenty-five characters...\n").repeated(lines));
    }
    void openFile(const QString &path)
    {
        app.fakes.dialogs.openNames.push_back(path);
        triggerAction(page, "openFileAction");
    }
    void tick(int n)
    {
        for (int i = 0; i < n; ++i)
            reader->Timer1Timer();
    }
    int endSounds() { return int(app.fakes.sound.played.count(app.path(QStringLiteral("2.wav")))); }
    // Whether any of the first 200 columns of rows [top, bottom) of the view is dark.
    bool darkIn(int top, int bottom)
    {
        const QImage image = view->viewport()->grab().toImage();
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < 200; ++x) {
                if (qGray(image.pixel(x, y)) < 128)
                    return true;
            }
        }
        return false;
    }
    // What the page and the menus offer with the clock running or stopped.
    void verifyTiming(bool timing)
    {
        QCOMPARE(button("startReadButton")->text(),
                 timing ? QStringLiteral("Pause Read") : QStringLiteral("Start Read"));
        QCOMPARE(button("startReadButton")->palette().color(QPalette::ButtonText),
                 toQColor(timing ? 255 : 32768));
        QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("timerStatusBox"))->text(),
                 timing ? QStringLiteral("Timer ON") : QStringLiteral("Timer OFF"));
        QCOMPARE(reader->clockRunning(), timing);
        QCOMPARE(button("pgUpButton")->isEnabled() && button("pgDownButton")->isEnabled(), timing);
        QCOMPARE(page->findChild<QLabel *>(QStringLiteral("spacebarLabel"))->isHidden(), !timing);
        QVERIFY(app.storiesEnabled() != timing && app.fontsEnabled() != timing);
        QCOMPARE(action("openFileAction")->isEnabled() && action("changeFontAction")->isEnabled(), !timing);
        QCOMPARE(reader->window()->focusWidget(), reader);
    }
    bool stopOffered() { return button("stopReadingButton")->isEnabled(); }

    TSpeedTestForm *const reader;
    SpeedTestView *const view;
};

} // namespace

class SpeedTestTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openFileReadiesStartWhichTogglesTheClock()
    {
        SpeedTestApp t;
        QVERIFY(!t.button("startReadButton")->isEnabled());
        t.app.state->StoryLoaded = 1;
        t.openFile(t.writeText(QStringLiteral("a.txt"), 10));
        // All readable files first; the first open starts in the user's folders, never among the program's
        // files, and the next in the folder last used, which options.ini keeps.
        const QStringList firstFolder = t.app.fakes.dialogs.openFoldersSeen;
        QVERIFY(firstFolder.size() == 1 && firstFolder[0] != t.app.state->dataDir());
        QCOMPARE(t.app.fakes.dialogs.openFiltersSeen,
                 QStringList{QStringLiteral("All readable files (*.txt *.bwr *.html *.htm *.xhtml *.epub "
                                            "*.pdf);;BWR text files (*.bwr);;Text files (*.txt)")});
        QCOMPARE(ReadingOptions::load(t.app.path(QStringLiteral("options.ini"))).lastFolder,
                 t.app.dir.path());
        QCOMPARE(t.app.state->StoryFileName, t.app.path(QStringLiteral("a.txt")));
        QCOMPARE(t.app.state->StoryLoaded, 0);
        QVERIFY(t.button("startReadButton")->isEnabled());
        t.verifyTiming(false);
        // The page shows the text: dark pixels where the first line is, none above it.
        const int h = t.reader->lineHeight();
        QVERIFY(!t.darkIn(0, h) && t.darkIn(h, 2 * h));

        QTest::mouseClick(t.button("startReadButton"), Qt::LeftButton);
        t.verifyTiming(true);
        t.tick(65);
        QCOMPARE(t.page->findChild<QLabel *>(QStringLiteral("clockReadout"))->text(), QStringLiteral("1:05"));
        QTest::mouseClick(t.button("startReadButton"), Qt::LeftButton);
        t.verifyTiming(false);
        // Pausing keeps the seconds counted so far.
        QCOMPARE(t.reader->values().SpeedTestSeconds, 65.0);
    }

    void keysPageOnlyWhileTheClockRuns()
    {
        SpeedTestApp t(200);
        SpeedTestView *view = t.view;
        // Stopped, neither a key, the wheel, nor the mouse on the scroll bar (which only shows where the page
        // is) moves the page.
        QTest::keyClick(t.reader, Qt::Key_PageDown);
        QWheelEvent wheel(QPointF(50, 50), view->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view->viewport(), &wheel);
        QScrollBar *bar = view->verticalScrollBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 20));
        QCOMPARE(view->position(), 0);
        // Space with the clock stopped starts it and leaves the page where it is.
        QTest::keyClick(t.reader, Qt::Key_Space);
        QVERIFY(t.reader->clockRunning());
        QCOMPARE(view->position(), 0);

        const int step = speedTestPageStep(t.reader->lineHeight(), view->clientHeight());
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
        QVERIFY(!t.reader->clockRunning());
        // Any move into the end zone while the clock runs offers Stop Reading, not paging alone.
        QTest::mouseClick(t.button("startReadButton"), Qt::LeftButton);
        view->setPosition(view->scrollMaximum());
        QVERIFY(t.stopOffered());
    }

    void stopReadingComesWithTheEndZoneAndScores()
    {
        SpeedTestApp t(300);
        SpeedTestView *view = t.view;
        QTest::mouseClick(t.button("startReadButton"), Qt::LeftButton);
        const int step = speedTestPageStep(t.reader->lineHeight(), view->clientHeight());
        int pages = 0;
        for (; view->position() + step <= view->scrollMaximum() - 600; ++pages) {
            QTest::mouseClick(t.button("pgDownButton"), Qt::LeftButton);
            QVERIFY(!t.stopOffered() && t.app.state->SpeedTestEndReached == 0);
        }
        QVERIFY(pages > 5);
        QTest::keyClick(t.reader, Qt::Key_Space);
        QVERIFY(t.stopOffered() && t.app.state->SpeedTestEndReached == 1);

        // 300 lines of 25 characters are 1500 words; in 300 seconds that is 300 per minute.
        t.tick(300);
        t.app.fakes.messages.expect(MessageKind::Information, scoreMessage(300));
        t.app.fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, true);
        QTest::mouseClick(t.button("stopReadingButton"), Qt::LeftButton);
        QCOMPARE(t.endSounds(), 1);
        QVERIFY(!t.reader->clockRunning() && t.app.storiesEnabled());
        for (const char *name : {"startReadButton", "stopReadingButton", "pgUpButton", "pgDownButton"})
            QVERIFY2(!t.button(name)->isEnabled(), name);
        // A new font lays out the same text again: no new test until a text is loaded.
        const int endBefore = t.reader->values().SpeedTestPageEnd;
        t.app.fakes.dialogs.fonts.push_back(FontChoice{QFont(QStringLiteral("DejaVu Sans"), 14), Qt::black});
        QVERIFY(triggerAction(t.page, "changeFontAction"));
        QVERIFY(t.reader->values().SpeedTestPageEnd > endBefore);
        QVERIFY(!t.button("startReadButton")->isEnabled());
        t.openFile(t.app.state->StoryFileName);
        QVERIFY(t.button("startReadButton")->isEnabled());
    }

    void missingFilesKeepThePage()
    {
        SpeedTestApp t(20);
        t.app.fakes.messages.expect(MessageKind::Error, notFoundMessage(QStringLiteral("Ug.bwr")));
        QVERIFY(triggerAction(t.app.form(), "story13Action"));
        // A long name is cut, with its opening, to 110 characters before the rest of the message.
        const QString deep = QStringLiteral("/") + QString(150, u'd') + QStringLiteral("/x.txt");
        t.app.fakes.messages.expect(MessageKind::Error, notFoundMessage(deep));
        setStoryFileName(*t.app.state, deep);
        t.reader->loadStory();
        QCOMPARE(t.reader->values().SpeedTestLines.size(), 20);
        QVERIFY(t.button("startReadButton")->isEnabled());
    }

    void widthChangeLoadsAgainAndHeightChangeDoesNot()
    {
        SpeedTestApp t(300);
        QTest::mouseClick(t.button("startReadButton"), Qt::LeftButton);
        t.tick(7);
        QTest::keyClick(t.reader, Qt::Key_Space);
        const int position = t.view->position();
        t.reader->setPlacedGeometry(QRect(0, 0, 400, 340));
        QCOMPARE(t.reader->values().SpeedTestSeconds, 7.0);
        // Away from the end zone it keeps the clock running and offers no Stop Reading.
        QCOMPARE(t.view->position(), position);
        QVERIFY(t.reader->clockRunning() && !t.stopOffered());
        // The range follows the taller view: its bottom can just reach the page end.
        QCOMPARE(t.view->scrollMaximum(), t.reader->values().SpeedTestPageEnd - t.view->clientHeight());

        // The test starts over, so the clock stops with it.
        t.reader->setPlacedGeometry(QRect(0, 0, 460, 340));
        QCOMPARE(t.reader->values().SpeedTestSeconds, 0.0);
        QCOMPARE(t.view->position(), 0);
        t.verifyTiming(false);
        QVERIFY(t.button("startReadButton")->isEnabled());
    }

    void aDamagedFontSizeIsKeptWithinTheDialogLimits()
    {
        SpeedTestApp t;
        for (const auto &[stored, used] : {std::pair{500, 14}, std::pair{0, 8}, std::pair{-3, 8}}) {
            editSettings(*t.app.state, [used = used](TSettings &s) { s.SpeedTestFont.Size = used; });
            const int expected = t.reader->lineHeight();
            editSettings(*t.app.state, [stored = stored](TSettings &s) { s.SpeedTestFont.Size = stored; });
            QCOMPARE(t.reader->lineHeight(), expected);
        }
    }

    void closingTheReaderLeavesThePageInert()
    {
        SpeedTestApp t(10);
        t.app.state->StoryLoaded = 1;
        t.reader->frame()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(currentMode(*t.app.state), Mode::None);
        QCOMPARE(t.app.state->StoryLoaded, 0);
        QCOMPARE(t.app.state->Settings.SpeedTestBounds.Width, 400);
        QVERIFY(t.app.storiesEnabled());
        QVERIFY(!t.button("startReadButton")->isEnabled() && !t.action("openFileAction")->isEnabled());
    }

    void aLongTextAtTheLargestFontPaintsOnlyWhatIsInView()
    {
        SpeedTestApp t;
        editSettings(*t.app.state, [&](TSettings &s) {
            s.SpeedTestFont.Size = 500;
        }); // damaged: laid out at the largest size on offer
        t.reader->setPlacedGeometry(QRect(0, 0, 1200, 500));
        const QString path = t.writeText(QStringLiteral("long.txt"), 1000);
        // A page image of this text would take width x page end x 4 bytes: about 100 MB.
        const auto heap = [] {
            const struct mallinfo2 m = mallinfo2();
            return static_cast<qint64>(m.uordblks + m.hblkhd);
        };
        const qint64 before = heap();
        t.openFile(path);
        QVERIFY(qint64(t.reader->width()) * t.reader->values().SpeedTestPageEnd * 4 > 64 << 20);
        QVERIFY2(heap() - before < 8 << 20, qPrintable(QStringLiteral("%1 bytes").arg(heap() - before)));

        // Wherever the view is, it shows text; at the bottom it shows the end mark under the last line.
        for (int position : {0, t.view->scrollMaximum() / 3, t.view->scrollMaximum()}) {
            t.view->setPosition(position);
            const int half = t.view->clientHeight() / 2;
            QVERIFY2(t.darkIn(0, half) && t.darkIn(half, 2 * half), qPrintable(QString::number(position)));
        }
        const int endTop = t.reader->values().SpeedTestPageEnd - 90 - t.view->position();
        QVERIFY(t.darkIn(endTop, endTop + t.reader->lineHeight()));
    }
};

QTEST_MAIN(SpeedTestTest)
#include "tst_speedtest.moc"

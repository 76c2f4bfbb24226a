#include "TestSupport.h"

#include "RtfReader.h"
#include "SettingsFile.h"
#include "app/AboutBox.h"
#include "app/AppState.h"
#include "app/ModeWindow.h"
#include "app/mainwindow.h"
#include "control/ControlPage.h"
#include "control/control.h"
#include "lessons/LessonDocument.h"
#include "lessons/LessonsForm.h"
#include "readers/longread.h"

#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

namespace {

TLessonForm *lessonsOf(TestApp &app)
{
    return qobject_cast<TLessonForm *>(app.state->lessonWindow.data());
}

} // namespace

class LessonsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lessonsShowTheirRunsOrNameTheMissingFile();
    void startUpPlacesLessonsThenPanelAndReader_data();
    void startUpPlacesLessonsThenPanelAndReader();
    void closingSetsTheWindowAsideAtItsPlace();
    void modeButtonsReplaceTheOpenMode_data();
    void modeButtonsReplaceTheOpenMode();
    void arrowKeysStepTheSpeedOnlyWhileThePacerRuns_data();
    void arrowKeysStepTheSpeedOnlyWhileThePacerRuns();
    void aboutAndContributors();
};

void LessonsTest::lessonsShowTheirRunsOrNameTheMissingFile()
{
    // -1: every lesson is there.
    for (int missing = -1; missing < 5; ++missing) {
        TestApp app;
        for (int i = 0; i < 5; ++i) {
            if (i != missing)
                app.copyDataFile(QString::fromLatin1(TLessonForm::kLessons[std::size_t(i)].fileName));
        }
        QVERIFY(app.start());
        for (int i = 0; i < 5; ++i) {
            const QString file = QString::fromLatin1(TLessonForm::kLessons[std::size_t(i)].fileName);
            const QTextDocument *doc = lessonsOf(app)->lessonView(i)->document();
            if (i == missing) {
                QCOMPARE(doc->toPlainText(), missingLessonNotice(file));
                QVERIFY(doc->toPlainText().contains(file) && doc->blockCount() == 1);
                continue;
            }
            // Every paragraph keeps its text and alignment, every run its format.
            const auto rtf = readRtfFile(app.path(file));
            QCOMPARE(doc->blockCount(), rtf->paragraphs.size());
            QTextBlock block = doc->begin();
            for (const RtfParagraph &p : rtf->paragraphs) {
                QCOMPARE(block.text(), p.text());
                const bool centred = p.alignment == RtfAlignment::Centre;
                QCOMPARE(bool(block.blockFormat().alignment() & Qt::AlignHCenter), centred);
                int at = block.position();
                for (const RtfRun &run : p.runs) {
                    QTextCursor c(block);
                    c.setPosition(at + 1);
                    const QTextCharFormat f = c.charFormat();
                    QCOMPARE(f.fontWeight() == QFont::Bold, run.format.bold);
                    QCOMPARE(f.fontItalic(), run.format.italic);
                    QCOMPARE(f.fontUnderline(), run.format.underline);
                    QCOMPARE(f.fontPointSize(), run.format.pointSize());
                    at += int(run.text.size());
                }
                block = block.next();
            }
        }
    }
}

void LessonsTest::startUpPlacesLessonsThenPanelAndReader_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("tabWidth");
    QTest::newRow("wide screen") << QSize(1280, 1024) << 96 << 88;
    QTest::newRow("narrow screen") << QSize(760, 560) << 96 << 88;
    QTest::newRow("fine screen") << QSize(1920, 1200) << 120 << 94;
}

void LessonsTest::startUpPlacesLessonsThenPanelAndReader()
{
    QFETCH(QSize, screen);
    QFETCH(int, dpi);
    QFETCH(int, tabWidth);
    TestApp app;
    app.fakes.screen.screenSize = screen;
    app.fakes.screen.screenDpi = dpi;
    QVERIFY(app.start());
    const QRect client(QPoint(0, 0), app.form()->clientSize());
    const QRect lessons = lessonsOf(app)->placedGeometry();
    const QRect panel = app.state->controlPanel->placedGeometry();
    const QRect reader = app.state->modeWindow->placedGeometry();
    // The reader on the top half, the lessons below it as wide, the panel beside both; all in view, none
    // over another.
    QCOMPARE(reader.topLeft(), QPoint(0, 0));
    QCOMPARE(lessons.left(), 0);
    QCOMPARE(reader.width(), lessons.width());
    QVERIFY(reader.bottom() < lessons.top() && lessons.top() <= client.height() / 2);
    QVERIFY(panel.left() > lessons.right() && panel.width() >= 120);
    for (const QRect &r : {lessons, panel, reader})
        QVERIFY(client.contains(r));
    QCOMPARE(app.form()->mdiArea()->subWindowList().value(0), lessonsOf(app)->frame());
    QVERIFY(lessonsOf(app)->tabs()->tabBar()->tabRect(4).width() >= tabWidth);
    QCOMPARE(lessonsOf(app)->lessonView(0)->textCursor().position(), 0);
}

void LessonsTest::closingSetsTheWindowAsideAtItsPlace()
{
    TestApp app;
    TSettings s = defaultSettings(96);
    s.LessonDefaultPlacement = 0;
    s.LessonBounds = TBounds{10, 200, 400, 180};
    QCOMPARE(saveSettingsFile(app.path(QStringLiteral("settings2.dat")), s), SettingsSaveResult::Saved);
    QVERIFY(app.start());
    TLessonForm *lessons = lessonsOf(app);
    const QRect placed(10, 200, 400, 180);
    QCOMPARE(lessons->placedGeometry(), placed);
    QCOMPARE(app.state->controlPanel->placedGeometry().left(), 411);

    // Closing minimises it; the panel still takes its place beside where the window comes back to.
    lessons->frame()->close();
    QVERIFY(lessonsOf(app) == lessons && lessons->frame()->isMinimized());
    app.state->Settings.ControlDefaultPlacement = 1;
    QVERIFY(triggerAction(app.form(), "speedTestAction"));
    QCOMPARE(app.state->controlPanel->placedGeometry().left(), 411);
    // Leaving the program while it is minimised stores that place.
    app.state->Settings.LessonBounds = TBounds{};
    QVERIFY(triggerAction(app.form(), "exitAction"));
    const TBounds &b = app.state->Settings.LessonBounds;
    QCOMPARE(QRect(b.Left, b.Top, b.Width, b.Height), placed);
}

void LessonsTest::modeButtonsReplaceTheOpenMode_data()
{
    QTest::addColumn<QString>("openCommand"); // empty: no mode and no panel open
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("mode");
    QTest::newRow("tachistoscope over horizontal")
        << QStringLiteral("horizAction") << "tachiButton" << int(Mode::Tachi);
    QTest::newRow("horizontal over speed test")
        << QStringLiteral("speedTestAction") << "horizButton" << int(Mode::Horiz);
    QTest::newRow("horizontal again") << QStringLiteral("horizAction") << "horizButton" << int(Mode::Horiz);
    QTest::newRow("tachistoscope over nothing") << QString() << "tachiButton" << int(Mode::Tachi);
}

void LessonsTest::modeButtonsReplaceTheOpenMode()
{
    QFETCH(QString, openCommand);
    QFETCH(QString, buttonName);
    QFETCH(int, mode);
    TestApp app;
    QVERIFY(app.start());
    // A button is on exactly when its mode has a window in this program, like its Reading command.
    for (const auto &[name, m] :
         {std::pair{"exerciseButton", Mode::Exercise}, std::pair{"vertButton", Mode::Vert},
          std::pair{"createTextButton", Mode::CreateText}})
        QCOMPARE(lessonsOf(app)->findChild<QPushButton *>(QString::fromLatin1(name))->isEnabled(),
                 app.modes.hasWindow(m));
    if (openCommand.isEmpty()) {
        app.form()->destroyModeWindow();
        app.form()->destroyControlPanel();
        QCOMPARE(app.state->ControlPanelOpen, 0);
    } else {
        QVERIFY(triggerAction(app.form(), qPrintable(openCommand)));
    }
    const QPointer<TControlForm> oldPanel = app.state->controlPanel.data();
    const QPointer<ModeWindow> oldWindow = app.state->modeWindow.data();

    lessonsOf(app)->findChild<QPushButton *>(buttonName)->click();
    QVERIFY(oldPanel.isNull() && oldWindow.isNull());
    QCOMPARE(int(currentMode(*app.state)), mode);
    QCOMPARE(app.state->TachiOpen + app.state->HorizOpen + app.state->VertOpen + app.state->SpeedTestOpen, 1);
    QCOMPARE(app.state->ControlPanelOpen, 1);
    QCOMPARE(int(app.state->controlPanel->visiblePage()), mode);
    QCOMPARE(int(app.state->modeWindow->mode()), mode);
    QCOMPARE(app.form()->mdiArea()->subWindowList().size(), 3);
}

void LessonsTest::arrowKeysStepTheSpeedOnlyWhileThePacerRuns_data()
{
    QTest::addColumn<bool>("pacing");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("down pacing") << true << int(Qt::Key_Down) << 300 << 330;
    QTest::newRow("up pacing near the bottom") << true << int(Qt::Key_Up) << 40 << 40;
    QTest::newRow("down paused") << false << int(Qt::Key_Down) << 300 << 300;
    QTest::newRow("up paused") << false << int(Qt::Key_Up) << 300 << 300;
}

void LessonsTest::arrowKeysStepTheSpeedOnlyWhileThePacerRuns()
{
    QFETCH(bool, pacing);
    QFETCH(int, key);
    QFETCH(int, from);
    QFETCH(int, to);
    TestApp app;
    QFile text(app.path(QStringLiteral("a.txt")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write(QByteArray("The quick brown fox jumps over the lazy dog\n").repeated(40));
    text.close();
    QVERIFY(app.start());
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    app.state->modeWindow->loadStory();
    auto *reader = qobject_cast<THorizonForm *>(app.state->modeWindow.data());
    ControlPage *page = app.state->controlPanel->page(Mode::Horiz);
    auto *speed = page->findChild<QSlider *>(QStringLiteral("speedBar"));
    auto *start = page->findChild<QPushButton *>(QStringLiteral("startReadButton"));
    speed->setValue(from);
    start->click();
    if (!pacing)
        start->click();
    QCOMPARE(reader->isPacing(), pacing);

    QTest::keyClick(lessonsOf(app)->lessonView(0), Qt::Key(key));
    QCOMPARE(speed->value(), to);
    QCOMPARE(reader->Timer1().interval(), to);
}

void LessonsTest::aboutAndContributors()
{
    TestApp app;
    QVERIFY(app.start());
    QVERIFY(triggerAction(app.form(), "aboutAction"));
    QCOMPARE(
        app.form()->findChild<TAboutBox *>()->findChild<QLabel *>(QStringLiteral("versionLabel"))->text(),
        QStringLiteral("Version " BW_VERSION));
    // The hidden List command opens the window, whose links open through the shell; closing it gives the
    // Contributors menu back.
    auto *menu = app.form()->findChild<QMenu *>(QStringLiteral("contributorsMenu"));
    QVERIFY(triggerAction(app.form(), "contributorsAction"));
    QVERIFY(!menu->isEnabled());
    auto *view = app.form()->findChild<QTextBrowser *>(QStringLiteral("contributorsView"));
    QVERIFY(view->toPlainText().contains(QStringLiteral("Brindlewick Speed Reader")));
    Q_EMIT view->anchorClicked(QUrl(QStringLiteral("https://www.qt.io/")));
    Q_EMIT view->anchorClicked(QUrl(QStringLiteral("bwread.html")));
    QCOMPARE(app.fakes.shell.opened,
             (QList<QUrl>{QUrl(QStringLiteral("https://www.qt.io/")),
                          QUrl::fromLocalFile(app.path(QStringLiteral("bwread.html")))}));
    qobject_cast<QMdiSubWindow *>(view->parentWidget()->parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(menu->isEnabled());
}

QTEST_MAIN(LessonsTest)
#include "tst_lessons.moc"

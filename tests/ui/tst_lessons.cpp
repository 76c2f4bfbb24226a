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

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

namespace {

const QString kLine = QStringLiteral("The quick brown fox jumps over the lazy dog");

void copyLessons(TestApp &app, int except = -1)
{
    for (int i = 0; i < 5; ++i) {
        if (i != except)
            app.copyDataFile(QString::fromLatin1(TLessonForm::kLessons[std::size_t(i)].fileName));
    }
}

TLessonForm *lessonsOf(TestApp &app)
{
    return qobject_cast<TLessonForm *>(app.state->lessonWindow.data());
}

QPushButton *button(TestApp &app, const char *name)
{
    return lessonsOf(app)->findChild<QPushButton *>(QString::fromLatin1(name));
}

// A vertical reader stand-in, so that leaving it from the lessons window can be watched.
class VertStandIn final : public ModeWindow
{
public:
    explicit VertStandIn(AppState &state)
        : ModeWindow(state, &state.Settings.VertDefaultPlacement, &state.Settings.VertBounds)
    {
        setCurrentMode(state, Mode::Vert);
    }
    Mode mode() const override { return Mode::Vert; }

protected:
    void leaving() override { setCurrentMode(m_state, Mode::None); }
};

void plugVertStandIn(TestApp &app)
{
    app.modes.setEntry(Mode::Vert, ModeEntry{[](AppState &s) { return new VertStandIn(s); },
                                             [](AppState &s) { return new ControlPage(s); },
                                             {}});
}

int setFlags(const AppState &s)
{
    return s.TachiOpen + s.HorizOpen + s.VertOpen + s.SpeedTestOpen + s.ExerciseOpen + s.CreateTextOpen;
}

} // namespace

class LessonsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyLessonShowsItsDocumentRunByRun();
    void aMissingLessonNamesItsFile();
    void startUpPlacesLessonsThenPanelAndReader_data();
    void startUpPlacesLessonsThenPanelAndReader();
    void storedBoundsAndClosingKeepTheNormalPlace();
    void modeButtonsReplaceTheOpenMode_data();
    void modeButtonsReplaceTheOpenMode();
    void aButtonWithNoOpenModeDestroysNothing();
    void arrowKeysStepTheSpeedOnlyWhileThePacerRuns_data();
    void arrowKeysStepTheSpeedOnlyWhileThePacerRuns();
    void aboutBoxNamesVersionAndLicences();
    void contributorsLinksOpenThroughTheShell();
};

void LessonsTest::everyLessonShowsItsDocumentRunByRun()
{
    TestApp app;
    copyLessons(app);
    QVERIFY(app.start());
    TLessonForm *lessons = lessonsOf(app);
    QVERIFY(lessons != nullptr);
    QCOMPARE(lessons->windowTitle(), QStringLiteral("Lessons & Instructions"));
    QCOMPARE(lessons->tabs()->count(), 5);
    for (int i = 0; i < 5; ++i) {
        const TLessonForm::Lesson &lesson = TLessonForm::kLessons[std::size_t(i)];
        QCOMPARE(lessons->tabs()->tabText(i), QString::fromLatin1(lesson.caption));
        const auto rtf = readRtfFile(app.path(QString::fromLatin1(lesson.fileName)));
        QVERIFY(rtf && rtf->complete);
        const QTextDocument *doc = lessons->lessonView(i)->document();
        QVERIFY(lessons->lessonView(i)->isReadOnly());
        QCOMPARE(doc->blockCount(), rtf->paragraphs.size());
        // Every run keeps its text and format, and every paragraph its alignment.
        QTextBlock block = doc->begin();
        for (const RtfParagraph &p : rtf->paragraphs) {
            QCOMPARE(block.text(), p.text());
            QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                     p.alignment == RtfAlignment::Centre    ? Qt::AlignHCenter
                     : p.alignment == RtfAlignment::Right   ? Qt::AlignRight
                     : p.alignment == RtfAlignment::Justify ? Qt::AlignJustify
                                                            : Qt::AlignLeft);
            int at = 0;
            for (const RtfRun &run : p.runs) {
                QTextCursor c(block);
                c.setPosition(block.position() + at + 1);
                const QTextCharFormat f = c.charFormat();
                QCOMPARE(f.fontWeight() == QFont::Bold, run.format.bold);
                QCOMPARE(f.fontItalic(), run.format.italic);
                QCOMPARE(f.fontUnderline(), run.format.underline);
                QCOMPARE(f.fontPointSize(), run.format.pointSize());
                if (run.format.color)
                    QCOMPARE(f.foreground().color(),
                             QColor(run.format.color->red, run.format.color->green, run.format.color->blue));
                at += int(run.text.size());
            }
            block = block.next();
        }
    }
}

void LessonsTest::aMissingLessonNamesItsFile()
{
    QVERIFY(!missingLessonNotice(QStringLiteral("Vertical.rtf")).contains(u'\n'));
    for (int missing = 0; missing < 5; ++missing) {
        TestApp app;
        copyLessons(app, missing);
        QVERIFY(app.start());
        for (int i = 0; i < 5; ++i) {
            const QString file = QString::fromLatin1(TLessonForm::kLessons[std::size_t(i)].fileName);
            const QString shown = lessonsOf(app)->lessonView(i)->toPlainText();
            QCOMPARE(shown == missingLessonNotice(file), i == missing);
            QCOMPARE(shown.contains(file), i == missing);
        }
    }
}

void LessonsTest::startUpPlacesLessonsThenPanelAndReader_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("rightMargin");
    QTest::addColumn<int>("tabWidth");
    QTest::newRow("wide screen") << QSize(1280, 1024) << 96 << 152 << 88;
    QTest::newRow("narrow screen") << QSize(760, 560) << 96 << 148 << 88;
    QTest::newRow("fine screen") << QSize(1920, 1200) << 120 << 152 << 94;
}

void LessonsTest::startUpPlacesLessonsThenPanelAndReader()
{
    QFETCH(QSize, screen);
    QFETCH(int, dpi);
    QFETCH(int, rightMargin);
    QFETCH(int, tabWidth);
    TestApp app;
    app.fakes.screen.screenSize = screen;
    app.fakes.screen.screenDpi = dpi;
    QVERIFY(app.start());
    const QSize client = app.form()->clientSize();
    const int h = client.height();
    const QRect lessons = lessonsOf(app)->placedGeometry();
    QCOMPARE(lessons, QRect(0, h / 2, client.width() - rightMargin, h / 2 - 6));
    QCOMPARE(app.form()->lessonGeometry(), lessons);
    // Tabs are all of one width: the width asked for, unless a caption needs more.
    const QTabBar *tabs = lessonsOf(app)->tabs()->tabBar();
    const int width = tabs->tabRect(0).width();
    QVERIFY(width >= tabWidth);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(tabs->tabRect(i).width(), width);
        QVERIFY(tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) < width);
    }
    QCOMPARE(lessonsOf(app)->lessonView(0)->textCursor().position(), 0);

    // Made first, so it sits under the control panel and the reader in the frame's window list.
    const QList<QMdiSubWindow *> order = app.form()->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(order.value(0), lessonsOf(app)->frame());

    const QRect panel = app.state->controlPanel->placedGeometry();
    const int lessonsRight = lessons.left() + lessons.width();
    QCOMPARE(panel.left(), lessonsRight + 1);
    QCOMPARE(panel.top(), 0);
    QCOMPARE(panel.width(), std::max(120, std::min(client.width() - lessonsRight - 8, 180)));
    QCOMPARE(panel.height(), std::min(h, 460));
    QCOMPARE(app.state->modeWindow->placedGeometry(), QRect(0, 0, lessons.width(), h / 2));
}

void LessonsTest::storedBoundsAndClosingKeepTheNormalPlace()
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

    // Closing sets the window aside, minimised, after storing its bounds; modes still place beside it.
    lessons->frame()->close();
    QVERIFY(lessonsOf(app) == lessons);
    QVERIFY(lessons->frame()->isMinimized());
    QCOMPARE(app.state->Settings.LessonDefaultPlacement, 0);
    QCOMPARE(app.state->Settings.LessonBounds.Width, 400);
    QCOMPARE(app.form()->lessonGeometry(), placed);
    app.state->Settings.ControlDefaultPlacement = 1;
    QVERIFY(triggerAction(app.form(), "speedTestAction"));
    QCOMPARE(app.state->controlPanel->placedGeometry().left(), 411);

    // Leaving the program while it is minimised keeps the place it comes back to.
    app.state->Settings.LessonBounds = TBounds{};
    QVERIFY(triggerAction(app.form(), "exitAction"));
    const TBounds &b = app.state->Settings.LessonBounds;
    QCOMPARE(QRect(b.Left, b.Top, b.Width, b.Height), placed);
}

void LessonsTest::modeButtonsReplaceTheOpenMode_data()
{
    QTest::addColumn<QString>("openCommand");
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("mode");
    QTest::newRow("horizontal over vertical") << "vertAction"
                                              << "horizButton" << int(Mode::Horiz);
    QTest::newRow("tachistoscope over horizontal") << "horizAction"
                                                   << "tachiButton" << int(Mode::Tachi);
    QTest::newRow("horizontal over speed test") << "speedTestAction"
                                                << "horizButton" << int(Mode::Horiz);
    QTest::newRow("horizontal again") << "horizAction"
                                      << "horizButton" << int(Mode::Horiz);
    QTest::newRow("vertical over tachistoscope") << "tachiAction"
                                                 << "vertButton" << int(Mode::Vert);
}

void LessonsTest::modeButtonsReplaceTheOpenMode()
{
    QFETCH(QString, openCommand);
    QFETCH(QString, buttonName);
    QFETCH(int, mode);
    TestApp app;
    plugVertStandIn(app);
    QVERIFY(app.start());
    QVERIFY(triggerAction(app.form(), qPrintable(openCommand)));
    const QPointer<TControlForm> oldPanel = app.state->controlPanel.data();
    const QPointer<ModeWindow> oldWindow = app.state->modeWindow.data();
    QVERIFY(oldPanel && oldWindow);

    QPushButton *b = button(app, qPrintable(buttonName));
    QVERIFY(b->isEnabled());
    b->click();
    QVERIFY(oldPanel.isNull() && oldWindow.isNull());
    QCOMPARE(int(currentMode(*app.state)), mode);
    QCOMPARE(setFlags(*app.state), 1);
    QCOMPARE(app.state->ControlPanelOpen, 1);
    QCOMPARE(int(app.state->controlPanel->visiblePage()), mode);
    QCOMPARE(int(app.state->modeWindow->mode()), mode);
    QVERIFY(app.state->controlPanel->page(Mode(mode))->isVisible());
    QCOMPARE(app.form()->mdiArea()->subWindowList().size(), 3);
}

void LessonsTest::aButtonWithNoOpenModeDestroysNothing()
{
    TestApp app;
    QVERIFY(app.start());
    // A button is on exactly when its mode has a window in this program, like its Reading command.
    for (const auto &[name, mode] :
         {std::pair{"exerciseButton", Mode::Exercise}, std::pair{"tachiButton", Mode::Tachi},
          std::pair{"horizButton", Mode::Horiz}, std::pair{"vertButton", Mode::Vert},
          std::pair{"createTextButton", Mode::CreateText}})
        QCOMPARE(button(app, name)->isEnabled(), app.modes.hasWindow(mode));

    app.form()->destroyModeWindow();
    app.form()->destroyControlPanel();
    QCOMPARE(setFlags(*app.state), 0);
    QCOMPARE(app.state->ControlPanelOpen, 0);
    const QPointer<TLessonForm> lessons = lessonsOf(app);
    button(app, "tachiButton")->click();
    QCOMPARE(app.state->TachiOpen, 1);
    QCOMPARE(setFlags(*app.state), 1);
    QVERIFY(app.state->controlPanel && app.state->modeWindow);
    QVERIFY(!lessons.isNull());
    QCOMPARE(app.form()->mdiArea()->subWindowList().size(), 3);
}

void LessonsTest::arrowKeysStepTheSpeedOnlyWhileThePacerRuns_data()
{
    QTest::addColumn<bool>("pacing");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("down pacing") << true << int(Qt::Key_Down) << 300 << 330;
    QTest::newRow("down pacing at the top") << true << int(Qt::Key_Down) << 1990 << 2000;
    QTest::newRow("up pacing") << true << int(Qt::Key_Up) << 300 << 270;
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
    copyLessons(app);
    QFile text(app.path(QStringLiteral("a.txt")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write((QStringList(40, kLine).join(u'\n') + u'\n').toUtf8());
    text.close();
    QVERIFY(app.start());
    auto *reader = qobject_cast<THorizonForm *>(app.state->modeWindow.data());
    ControlPage *page = app.state->controlPanel->page(Mode::Horiz);
    auto *speed = page->findChild<QSlider *>(QStringLiteral("speedBar"));
    setStoryFileName(*app.state, QStringLiteral("a.txt"));
    reader->LoadHorizontalText();
    speed->setValue(from);
    auto *start = page->findChild<QPushButton *>(QStringLiteral("startReadButton"));
    start->click();
    if (!pacing)
        start->click();
    QCOMPARE(reader->isPacing(), pacing);

    QTextBrowser *view = lessonsOf(app)->lessonView(0);
    QTest::keyClick(view, Qt::Key(key));
    QCOMPARE(speed->value(), to);
    QCOMPARE(reader->Timer1().interval(), to);
    QCOMPARE(app.state->Settings.HorizInterval, to);
    if (pacing)
        start->click();
}

void LessonsTest::aboutBoxNamesVersionAndLicences()
{
    TestApp app;
    QVERIFY(app.start());
    QVERIFY(triggerAction(app.form(), "aboutAction"));
    auto *about = app.form()->findChild<TAboutBox *>();
    QVERIFY(about != nullptr && about->isVisible());
    auto text = [about](const char *name) {
        return about->findChild<QLabel *>(QString::fromLatin1(name))->text();
    };
    QCOMPARE(text("productLabel"), QStringLiteral("Brindlewick Speed Reader"));
    QCOMPARE(text("versionLabel"), QStringLiteral("Version " BW_VERSION));
    QCOMPARE(text("descriptionLabel").count(u'\n'), 1);
    QVERIFY(text("licenceLabel").contains(QStringLiteral("GNU General Public License, version 3 or later")));
    QVERIFY(text("licenceLabel").contains(QStringLiteral("Qt")));
    QVERIFY(text("licenceLabel").contains(QStringLiteral("GNU Lesser General Public License")));
    const QPointer<TAboutBox> box = about;
    about->findChild<QPushButton *>(QStringLiteral("okButton"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(box.isNull());
}

void LessonsTest::contributorsLinksOpenThroughTheShell()
{
    TestApp app;
    QVERIFY(app.start());
    auto *list = app.form()->findChild<QAction *>(QStringLiteral("contributorsAction"));
    auto *menu = app.form()->findChild<QMenu *>(QStringLiteral("contributorsMenu"));
    QVERIFY(!list->isVisible());
    list->trigger();
    QVERIFY(!menu->isEnabled());
    auto *view = app.form()->findChild<QTextBrowser *>(QStringLiteral("contributorsView"));
    QVERIFY(view != nullptr);
    QVERIFY(view->toPlainText().contains(QStringLiteral("Brindlewick Speed Reader")));

    Q_EMIT view->anchorClicked(QUrl(QStringLiteral("https://www.qt.io/")));
    Q_EMIT view->anchorClicked(QUrl(QStringLiteral("bwread.html")));
    QCOMPARE(app.fakes.shell.opened.value(0), QUrl(QStringLiteral("https://www.qt.io/")));
    QCOMPARE(app.fakes.shell.opened.value(1), QUrl::fromLocalFile(app.path(QStringLiteral("bwread.html"))));

    auto *frame = qobject_cast<QMdiSubWindow *>(view->parentWidget()->parentWidget());
    QVERIFY(frame != nullptr);
    frame->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(menu->isEnabled());
}

QTEST_MAIN(LessonsTest)
#include "tst_lessons.moc"

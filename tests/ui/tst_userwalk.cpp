#include "TestSupport.h"

#include "ChartData.h"
#include "CreateText.h"
#include "SettingsFile.h"
#include "app/AppState.h"
#include "app/mainwindow.h"
#include "assess/Tests.h"
#include "assess/exercise.h"
#include "charts/ChartCommands.h"
#include "charts/ChartViewer.h"
#include "charts/chartsView.h"
#include "control/ControlPage.h"
#include "control/MakeText.h"
#include "control/control.h"
#include "readers/SpeedTest.h"
#include "readers/longread.h"
#include "readers/tacky.h"
#include "readers/vertical.h"

#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

// One user's afternoon with the whole program, composed as main() composes it: every mode opened both ways,
// a short story read to its end in each reader, the comprehension test, the charts, a saved chart reopened,
// a created text sent to each reader, and the exit. What counts is what the exit leaves in settings2.dat.

namespace {

const QString kLine = QStringLiteral("The quick brown fox jumps over the lazy dog");
const QString kTestFor = QStringLiteral("Do you want to test for comprehension?");

struct Walk
{
    TestApp app;
    AppState &state = *app.state;

    template <typename T> T *window() const { return qobject_cast<T *>(state.modeWindow.data()); }
    void click(const QObject *root, const char *name) { child<QPushButton>(root, name)->click(); }
    void press(Mode mode, const char *name) { click(pageOf(state, mode), name); }
    void pressInLessons(const char *name) { click(state.lessonWindow.data(), name); }
    bool open(const char *command) { return triggerAction(app.form(), command); }
    bool inMode(Mode mode) const
    {
        return state.modeWindow->mode() == mode && state.controlPanel->visiblePage() == mode &&
               currentMode(state) == mode;
    }
    // Story 1 from the Short Stories menu (or the text open), started, paced by hand to its end; a second
    // every third tick.
    void readStory(Mode mode, bool story = true)
    {
        if (story)
            QVERIFY(open("story1Action"));
        auto *reader = window<PacedReader>();
        press(mode, "startReadButton");
        paceToTheEnd(*reader);
        QVERIFY(!reader->isPacing());
    }
};

} // namespace

class UserWalkTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyModeReadChartedAndKept();
    void aBookReadPartByPartAndTakenUpAgain();
};

void UserWalkTest::everyModeReadChartedAndKept()
{
    Walk w;
    AppState &s = w.state;
    FakeServiceSet &fakes = w.app.fakes;
    auto onFile = [&w] { return w.app.readBytes(QStringLiteral("settings2.dat")); };
    // A short stand-in for story 1, whose comprehension test is 4 questions.
    w.app.writeLines(QStringLiteral("The Boarded Window.bwr"), QStringList(8, kLine));
    QVERIFY(w.app.start());
    QVERIFY(w.inMode(Mode::Horiz));

    // Every mode from the Reading menu, and from the lessons window's button where it has one, with no mode
    // open: the button makes the mode's window and page, and no other.
    for (const auto &[command, button, mode] :
         {std::tuple{"createTextAction", "createTextButton", Mode::CreateText},
          {"tachiAction", "tachiButton", Mode::Tachi},
          {"horizAction", "horizButton", Mode::Horiz},
          {"vertAction", "vertButton", Mode::Vert},
          {"speedTestAction", "", Mode::SpeedTest},
          {"exerciseAction", "exerciseButton", Mode::Exercise}}) {
        QVERIFY2(w.open(command) && w.inMode(mode), command);
        if (*button != 0) {
            w.app.form()->destroyModeWindow();
            w.app.form()->destroyControlPanel();
            w.pressInLessons(button);
            QVERIFY2(w.inMode(mode) && w.app.form()->mdiArea()->subWindowList().size() == 3, button);
        }
    }

    // Horizontal: the story, then its test, all four answers right; both scores kept.
    QVERIFY(w.open("horizAction"));
    fakes.messages.expect(MessageKind::Confirm, kTestFor, true);
    w.readStory(Mode::Horiz);
    const double horizWpm = s.lastWpm(Mode::Horiz);
    auto *test = w.app.form()->findChild<TCompTestForm *>(QStringLiteral("compTestForm"));
    submitTest(w.app, test, {3, 1, 1, 2}, 100);
    w.click(test, "BitBtn1");

    // Vertical, from the lessons window: no test, the score kept.
    w.pressInLessons("vertButton");
    fakes.messages.expect(MessageKind::Confirm, kTestFor, false);
    fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, true);
    w.readStory(Mode::Vert);
    const double vertWpm = s.lastWpm(Mode::Vert);

    // Tachistoscope: the story formatted and flashed to its end over one counted minute.
    w.pressInLessons("tachiButton");
    QVERIFY(w.open("story1Action"));
    auto *tachi = w.window<TTachiForm>();
    w.press(Mode::Tachi, "formatTextButton");
    w.press(Mode::Tachi, "startReadButton");
    fakes.messages.expect(MessageKind::Confirm, kTestFor, false);
    fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, true);
    flashToTheEnd(*tachi, 60);
    QVERIFY(!tachi->isInRun() && s.StoryLoaded == 0);
    const double tachiWpm = tachi->textWords();

    // Speed test: 30 lines of five words, paged to the end zone in a counted minute: 150 words per minute.
    w.app.writeLines(QStringLiteral("speed.txt"),
                     QStringList(30, QStringLiteral("twenty-five characters...")));
    QPushButton *stop =
        speedTestToTheEnd(w.app.program, fakes.dialogs, w.app.path(QStringLiteral("speed.txt")), 60);
    fakes.messages.expect(MessageKind::Information,
                          "You were reading at 150 words per minute. Make a note of this score to track your "
                          "progress. Load another file if you want to take another test.");
    fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, true);
    stop->click();

    // Exercise: one word flashed, the right box chosen; the percent shown is on file at once.
    QVERIFY(w.open("exerciseAction"));
    auto *exercise = w.window<TExerciseForm>();
    w.press(Mode::Exercise, "exerciseStartButton");
    exerciseToChoices(w.app, *exercise);
    answerExercise(*exercise, true);
    QCOMPARE(decodeSettings(onFile(), 96).ExerciseLastPercent, QStringLiteral("100%")); // before the exit

    // A created text goes to each reader, which takes it as its text.
    const QString prose =
        QStringList(12, QStringList(4, kLine + u'.').join(u' ')).join(QStringLiteral("\n\n"));
    for (const auto &[send, mode] : {std::pair{"sendTachiButton", Mode::Tachi},
                                     {"sendHorizButton", Mode::Horiz},
                                     {"sendVertButton", Mode::Vert}}) {
        QVERIFY(w.open("createTextAction") && !w.app.storiesEnabled()); // no story over a text being made
        auto *create = w.window<TCreateTextForm>();
        create->setPlacedGeometry(QRect(0, 0, 360, 300));
        create->memo()->setPlainText(prose);
        w.press(Mode::CreateText, "formatTextButton");
        const QStringList shown = fileLines(create->memoLines().lines());
        w.press(Mode::CreateText, send);
        QVERIFY2(w.inMode(mode) && s.LoadTempFile == 0 && w.app.storiesEnabled(), send);
        if (auto *t = w.window<TTachiForm>())
            QCOMPARE(t->findChild<QPlainTextEdit *>(QStringLiteral("tachiMemo"))->toPlainText(),
                     shown.join(u'\n'));
        else if (auto *h = w.window<THorizonForm>())
            QCOMPARE(h->reading().text().LineCount, int(shown.size()));
        else
            QCOMPARE(w.window<TVertForm>()->reading().text().LineCount, int(shown.size()));
    }

    // Every chart shows its one score; the horizontal one is saved as a bitmap and reopened in the viewer.
    const QString bitmap = w.app.path(QStringLiteral("week one.bmp"));
    QSize savedSize;
    for (const auto &[command, wpm] : {std::pair{"chartTachiAction", tachiWpm},
                                       {"chartHorizAction", horizWpm},
                                       {"chartVertAction", vertWpm},
                                       {"chartSpeedTestAction", 150.0}}) {
        QVERIFY(w.open(command));
        auto *charts = w.app.form()->findChild<TForm10 *>(QStringLiteral("chartsWindow"));
        const auto points =
            qobject_cast<QLineSeries *>(charts->chartView(ChartKind::Wpm)->chart()->series().constFirst())
                ->points();
        QCOMPARE(points, QList<QPointF>{QPointF(1, std::round(wpm))});
        if (qstrcmp(command, "chartHorizAction") == 0) {
            fakes.dialogs.saveNames.push_back(bitmap);
            w.click(charts, "wpmSaveButton");
            savedSize = charts->chartView(ChartKind::Wpm)->size();
        }
        w.click(charts, "wpmCloseButton");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QVERIFY(w.open("chartViewerAction"));
    TChartForm1 *viewer = w.app.form()->findChild<ChartCommands *>()->viewer();
    fakes.dialogs.openNames.push_back(bitmap);
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QCOMPARE(viewer->findChild<QLabel *>(QStringLiteral("chartSlot1Image"))->pixmap().size(), savedSize);

    // The exit leaves one whole record holding every score the walk kept.
    QVERIFY(w.open("exitAction"));
    const QByteArray bytes = onFile();
    QCOMPARE(int(bytes.size()), kSettingsRecordSize);
    const TSettings saved = decodeSettings(bytes, 96);
    QCOMPARE(encodeSettings(saved), bytes);
    for (const auto &[history, score] : {std::pair{&saved.HorizWpmHistory, horizWpm},
                                         {&saved.VertWpmHistory, vertWpm},
                                         {&saved.TachiWpmHistory, tachiWpm},
                                         {&saved.SpeedTestWpmHistory, 150.0},
                                         {&saved.HorizComprehensionHistory, 1.0}}) {
        QCOMPARE(historyCount(*history), 1);
        QCOMPARE((*history)[0], score);
    }
    for (const THistory *none : {&saved.VertComprehensionHistory, &saved.TachiComprehensionHistory,
                                 &saved.SpeedTestComprehensionHistory})
        QCOMPARE(historyCount(*none), 0);
    QCOMPARE(saved.ExerciseLastPercent, QStringLiteral("100%"));
}

// A book of 2400 lines read in the horizontal reader: part 1 to its end, part 2 begun and left for another
// mode, then taken up again from Reading > Recent Books at the line where it stopped.
void UserWalkTest::aBookReadPartByPartAndTakenUpAgain()
{
    Walk w;
    FakeServiceSet &fakes = w.app.fakes;
    QStringList book;
    for (int i = 1; i <= 2400; ++i)
        book.append(QStringLiteral("Line %1 of the long book").arg(i));
    w.app.writeLines(QStringLiteral("Long Book.txt"), book);
    QVERIFY(w.app.start());
    auto *horiz = w.window<THorizonForm>();
    const auto shown = [&w] {
        return std::pair{w.window<THorizonForm>()->reading().text().TextLines.first(),
                         pageOf(w.state, Mode::Horiz)
                             ->findChild<QProgressBar *>(QStringLiteral("horizProgressBar"))
                             ->text()};
    };
    fakes.dialogs.openNames.push_back(w.app.path(QStringLiteral("Long Book.txt")));
    QVERIFY(triggerAction(w.app.form(), "horizOpenAction"));
    QCOMPARE(shown(), std::pair(book.at(0), QStringLiteral("Part 1 of 3")));
    QCOMPARE(horiz->reading().text().LineCount, 1000);

    // Part 1 read to its end is one scored reading; the next part follows on a yes.
    fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, true);
    fakes.messages.expect(MessageKind::Confirm, QStringLiteral("Go on to part 2 of 3?"), true);
    w.readStory(Mode::Horiz, false);
    QCOMPARE(historyCount(w.state.Settings.HorizWpmHistory), 1);
    QCOMPARE(shown(), std::pair(book.at(1000), QStringLiteral("Part 2 of 3")));

    // Part 2 begun, paused, and left for the exercise: the place is kept.
    w.press(Mode::Horiz, "startReadButton");
    for (int tick = 0; tick < 60; ++tick)
        horiz->Timer1Timer();
    w.press(Mode::Horiz, "startReadButton");
    const int line = horiz->reading().state().CurrentLine;
    QVERIFY(line > 1);
    QVERIFY(w.open("exerciseAction"));

    // Recent Books lists it first and opens it where it stopped, without asking.
    auto *recent = w.app.form()->findChild<QMenu *>(QStringLiteral("recentBooksMenu"));
    Q_EMIT recent->aboutToShow();
    QCOMPARE(recent->actions().constFirst()->text(), QStringLiteral("&1 Long Book"));
    // A book whose title is not its file's name shows both, an '&' as itself.
    w.state.options.rememberBook(
        {QStringLiteral("c0de"), QStringLiteral("/books/ft.epub"), QStringLiteral("Fox & Tern"), 1, {}}, 1, 1,
        2);
    Q_EMIT recent->aboutToShow();
    QCOMPARE(recent->actions().constFirst()->text(), QStringLiteral("&1 Fox && Tern (ft.epub)"));
    QCOMPARE(recent->actions().at(1)->text(), QStringLiteral("&2 Long Book"));
    QVERIFY(w.open("recentBook2Action") && w.inMode(Mode::Horiz));
    QCOMPARE(shown(), std::pair(book.at(1000 + line - 1), QStringLiteral("Part 2 of 3")));
}

QTEST_MAIN(UserWalkTest)
#include "tst_userwalk.moc"

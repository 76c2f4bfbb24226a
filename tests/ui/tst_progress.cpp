#include "TestSupport.h"

#include "ProgressDb.h"
#include "ProgressStats.h"
#include "QuestionBank.h"
#include "UserFolder.h"
#include "assess/exercise.h"
#include "charts/ProgressPages.h"
#include "charts/ProgressWindow.h"

#include <QChartView>
#include <QLabel>
#include <QTableWidget>
#include <QtTest>

namespace {

const QString kSecondCopy = QStringLiteral(
    "Another copy of Brindlewick Speed Reader is recording your progress. This copy shows it but records "
    "nothing; your scores still go to the charts.");

// A file reading of the horizontal reader, its score kept.
void readAFile(TestApp &app, double wpm)
{
    app.state->StoryLoaded = 0;
    setStoryFileName(*app.state, app.path(QStringLiteral("a.txt")));
    app.state->recordReading(Mode::Horiz, ReadingResult{wpm, 60});
    app.fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, true);
    app.state->askAfterReading(Mode::Horiz);
}

int sumColumn(const QTableWidget *table, int column)
{
    int sum = 0;
    for (int row = 0; row < table->rowCount(); ++row)
        sum += table->item(row, column)->data(Qt::DisplayRole).toInt();
    return sum;
}

} // namespace

class ProgressTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readingsTestsAndExerciseAnswersAreRecordedWithWhatTheUserKept();
    void aFaultIsToldOnceAndTheScoresStillReachTheSettings_data();
    void aFaultIsToldOnceAndTheScoresStillReachTheSettings();
    void theWindowShowsNoneOneOrManyRecords_data();
    void theWindowShowsNoneOneOrManyRecords();
};

void ProgressTest::readingsTestsAndExerciseAnswersAreRecordedWithWhatTheUserKept()
{
    TestApp app;
    QVERIFY(app.start() && triggerAction(app.form(), "tachiAction"));
    app.state->StoryLoaded = 0;
    setStoryFileName(*app.state, app.path(QStringLiteral("a.txt")));
    app.state->recordReading(Mode::Tachi, ReadingResult{500, 60});
    app.fakes.messages.expect(MessageKind::Confirm, kSaveWpmQuestion, false);
    app.state->askAfterReading(Mode::Tachi);

    // A story, its test all right, neither score kept.
    app.state->StoryLoaded = 1;
    app.state->StoryNumber = 3;
    app.state->recordReading(Mode::Tachi, ReadingResult{400, 60});
    app.fakes.messages.expect(MessageKind::Confirm, QStringLiteral("Do you want to test for comprehension?"));
    app.state->askAfterReading(Mode::Tachi);
    QWidget *test = app.form()->findChild<QWidget *>(QStringLiteral("compTestForm"));
    QVERIFY(test);
    const auto &key = AnswerKey[2];
    submitTest(app, test, {key[0], key[1], key[2], key[3], key[4]}, 100, false);

    QVERIFY(triggerAction(app.form(), "exerciseAction"));
    auto *exercise = qobject_cast<TExerciseForm *>(app.state->modeWindow.data());
    exercise->start();
    exerciseToChoices(app, *exercise);
    app.fakes.clock.now += 700;
    answerExercise(*exercise, false);

    const ProgressData data = app.state->progress()->load();
    QCOMPARE(data.readings.size(), std::size_t(2));
    QVERIFY(!data.readings[0].kept && data.readings[0].wpm == 500);
    QVERIFY(!data.readings[1].kept && !data.readings[1].hasComprehension());
    QCOMPARE(data.text(data.readings[1].textId)->title,
             app.state->StoryTitle.isEmpty() ? "3" : app.state->StoryTitle);
    QCOMPARE(data.byFlashTime.size(), std::size_t(1));
    QCOMPARE(data.byFlashTime[0].right, 0);
    QVERIFY(app.state->progress()->exportCsv(app.path("x")));
    const QList<QByteArray> rows = app.readBytes("x-exercise_items.csv").split('\n');
    // Wrong, answered in 700 ms, 400 ms being 24 frames at the fake screen's 60 Hz, no staircase.
    QVERIFY2(rows.value(1).endsWith(",0,700,24,"), rows.value(1).constData());
    QCOMPARE(app.readBytes("x-answers.csv").count(",1\n"), 5); // five answers, each right
}

void ProgressTest::aFaultIsToldOnceAndTheScoresStillReachTheSettings_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("a second copy") << 0 << kSecondCopy;
    QTest::newRow("a damaged file")
        << 1
        << QStringLiteral(
               "Your progress file was damaged. It was set aside, with \"damaged\" and the date added to "
               "its name, and a new one started; the scores on your charts are kept.");
    QTest::newRow("a folder in its place") << 2 << QString();
}

void ProgressTest::aFaultIsToldOnceAndTheScoresStillReachTheSettings()
{
    QFETCH(int, fault);
    QFETCH(QString, message);
    TestApp app;
    const QString path = app.path(QString::fromLatin1(kProgressFileName));
    ProgressDb other(path);
    if (fault == 0)
        QCOMPARE(other.open(), ProgressDb::Opened::Recording);
    else if (fault == 1)
        app.writeBytes(QString::fromLatin1(kProgressFileName), QByteArray(5000, 'x'));
    else
        QVERIFY(QDir().mkpath(path));
    if (fault == 2)
        app.fakes.messages.expect(MessageKind::Error,
                                  QStringLiteral("Your progress cannot be recorded in \"%1\". "
                                                 "Your scores still go to the charts.")
                                      .arg(path));
    else
        app.fakes.messages.expect(MessageKind::Information, message);
    QVERIFY(app.start());
    readAFile(app, 300);
    readAFile(app, 320);
    const TSettings saved = loadSettingsFile(app.path("settings2.dat"), 96);
    QCOMPARE(historyCount(saved.HorizWpmHistory), 2);
    QCOMPARE(app.state->progress()->load().readings.size(), std::size_t(fault == 1 ? 2 : 0));
}

void ProgressTest::theWindowShowsNoneOneOrManyRecords_data()
{
    QTest::addColumn<int>("readings");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("many") << 5000;
}

void ProgressTest::theWindowShowsNoneOneOrManyRecords()
{
    QFETCH(int, readings);
    TestApp app;
    QVERIFY(app.start());
    ProgressDb &db = *app.state->progress();
    const QDateTime start = QDateTime::currentDateTime().addDays(-60);
    for (int i = 0; i < readings; ++i) {
        ReadingRecord r;
        r.at = start.addSecs(i * 900);
        r.mode = Mode(i % 4);
        r.text = TextRef{TextKind::Story, QString::number(i % 7 + 1), {}, {}, 1, 1};
        r.seconds = 60;
        r.wpm = 200 + i % 300;
        QVERIFY(db.recordReading(r));
        QVERIFY(db.recordExerciseItem({r.at, 20 + 10 * (i % 9), i % 26 + 1, "w", "w", i % 9 > i % 4, 800}));
    }
    // With one story reading, a book too: shown where its reader takes it up again, not where its last
    // recorded reading began.
    const int books = readings == 1 ? 1 : 0;
    if (books == 1) {
        ReadingRecord book;
        book.at = start;
        book.mode = Mode::Vert;
        book.text =
            TextRef{TextKind::Book, QStringLiteral("b00k"), QStringLiteral("A Book"), "/b.epub", 2, 9};
        book.seconds = 60;
        book.wpm = 250;
        QVERIFY(db.recordReading(book));
        app.state->options.rememberBook({QStringLiteral("b00k"), "/b.epub", QStringLiteral("A Book"), 0, {}},
                                        int(Mode::Vert), 4, 17);
    }
    QVERIFY(triggerAction(app.form(), "progressAction"));
    auto *window = app.form()->findChild<ProgressWindow *>();
    QVERIFY(window);
    window->finishLoading();
    QCOMPARE(window->findChild<QLabel *>("progressStatus")->text(),
             QStringLiteral("%1 readings recorded.").arg(readings + books));
    ModeProgressPage *horiz = window->modePage(Mode::Horiz);
    const int horizReadings = (readings + 2) / 4;
    QCOMPARE(sumColumn(horiz->weeks(), 1), horizReadings);
    QCOMPARE(horiz->pointsShown(), horizReadings);
    for (const auto zoom :
         {ModeProgressPage::Zoom::Day, ModeProgressPage::Zoom::Week, ModeProgressPage::Zoom::Month}) {
        horiz->setZoom(zoom);
        horiz->step(-1);
        QVERIFY(horiz->pointsShown() <= horizReadings);
    }
    QTableWidget *texts = window->textsPage()->table();
    QCOMPARE(texts->rowCount(), std::min(readings, 7) + books);
    QCOMPARE(sumColumn(texts, 2), readings + books);
    if (books == 1) {
        const QList<QTableWidgetItem *> found = texts->findItems(QStringLiteral("A Book"), Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QCOMPARE(texts->item(found.first()->row(), 6)->text(),
                 QStringLiteral("part 4 of 9, line 17 (vertical)"));
    }
    QVERIFY(window->exercisePage()->estimate()->text().startsWith(readings == 0 ? "No exercise"
                                                                                : QString::number(readings)));
    for (QChartView *view : window->findChildren<QChartView *>())
        QVERIFY(!view->grab().isNull());

    app.fakes.dialogs.saveNames.push_back(app.path("mine.csv"));
    app.fakes.messages.expect(
        MessageKind::Information,
        "Your progress was exported, one file per table: mine-readings.csv, mine-texts.csv, "
        "mine-tests.csv, mine-answers.csv, mine-exercise_items.csv.");
    window->exportCsv();
    QCOMPARE(app.readBytes("mine-readings.csv").count('\n'), readings + books + 1);
}

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"

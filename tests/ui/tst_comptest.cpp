#include "TestSupport.h"

#include "Settings.h"
#include "app/AppState.h"
#include "app/mainwindow.h"
#include "assess/Tests.h"

#include <QFrame>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

const QString kSaveBoth = QStringLiteral("Do you want to save this test score and WPM score on chart?");

QRadioButton *radio(QWidget *form, int k)
{
    return form->findChild<QRadioButton *>(QStringLiteral("RadioButton%1").arg(k));
}

TCompTestForm *openTest(TestApp &app, int story)
{
    app.state->StoryNumber = story;
    app.state->StoryLoaded = 1;
    app.form()->openComprehensionTest();
    return app.form()->findChild<TCompTestForm *>();
}

} // namespace

class CompTestTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unansweredQuestionsAreRefusedAndCloseEndsTheStory();
    void scoresTheStoryItWasFilledForAndMarksTheRightAnswers();
    void declinedScoresAreBothTakenBack();
    void zeroScoreIsKeptAndTakenBack();
};

void CompTestTest::unansweredQuestionsAreRefusedAndCloseEndsTheStory()
{
    TestApp app;
    QVERIFY(app.start());
    TCompTestForm *test = openTest(app, 1);
    QCOMPARE(radio(test, 4)->text(), QStringLiteral("Murlock."));
    // A four-question story: no fifth panel, and the refusal counts four.
    QVERIFY(!test->findChild<QFrame *>("Panel5")->isVisibleTo(test));
    app.fakes.messages.expect(MessageKind::Error, "You did not select an answer for all questions. Please "
                                                  "check a radio button for all 4 questions.");
    submitTest(app, test, {3, 1});
    QCOMPARE(historyCount(app.state->Settings.HorizComprehensionHistory), 0);
    QVERIFY(test->findChild<QPushButton *>("BitBtn2")->isEnabled() && app.state->StoryLoaded == 1);
    test->findChild<QPushButton *>("BitBtn1")->click();
    QCOMPARE(app.state->StoryLoaded, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // A story with no questions leaves the test empty rather than failing.
    QCOMPARE(openTest(app, 0)->QuestionCount, 0);
}

void CompTestTest::scoresTheStoryItWasFilledForAndMarksTheRightAnswers()
{
    TestApp app;
    app.copyDataFile(QStringLiteral("The Boarded Window.bwr"));
    QVERIFY(app.start());
    TCompTestForm *test = openTest(app, 2);
    // Another story is chosen while the test is open; story 2's right answers must still score as right.
    QVERIFY(triggerAction(app.form(), "story1Action"));
    QCOMPARE(app.state->StoryNumber, 1);
    submitTest(app, test, {3, 1, 2, 1, 3}, 80); // the third is wrong: 1 is right
    QCOMPARE(app.state->Settings.HorizComprehensionHistory[0], 0.8);
    QVERIFY(!test->findChild<QPushButton *>("BitBtn2")->isEnabled() && app.state->StoryLoaded == 0);
    // The user's wrong choice stays checked; the right ones turn green.
    const QColor green(0, 0x80, 0);
    QVERIFY(radio(test, 8)->isChecked() && radio(test, 8)->palette().color(QPalette::WindowText) != green);
    for (const int right : {7, 15})
        QCOMPARE(radio(test, right)->palette().color(QPalette::WindowText), green);
}

void CompTestTest::declinedScoresAreBothTakenBack()
{
    TestApp app;
    QVERIFY(app.start());
    const THistory &wpm = app.state->Settings.HorizWpmHistory;
    app.state->historyAppend(Mode::Horiz, ChartKind::Wpm, 280.0);
    app.state->StoryLoaded = 1;
    app.state->StoryNumber = 4;
    // The reading's end: the test is wanted.
    app.fakes.messages.expect(MessageKind::Confirm, "Do you want to test for comprehension?", true);
    app.state->recordReading(Mode::Horiz, ReadingResult{1562, 300});
    app.state->askAfterReading(Mode::Horiz);
    submitTest(app, app.form()->findChild<TCompTestForm *>(), {1, 1, 1, 1}, 25, false);
    QCOMPARE(historyCount(app.state->Settings.HorizComprehensionHistory), 0);
    QCOMPARE(std::pair(wpm[0], historyCount(wpm)), std::pair(280.0, 1));
}

void CompTestTest::zeroScoreIsKeptAndTakenBack()
{
    for (const bool save : {true, false}) {
        TestApp app;
        QVERIFY(app.start());
        const THistory &comp = app.state->Settings.HorizComprehensionHistory;
        const THistory &wpm = app.state->Settings.HorizWpmHistory;
        editSettings(*app.state, [](TSettings &s) {
            s.HorizComprehensionHistory[0] = 0.6;
            s.HorizWpmHistory[0] = 250;
        });
        // The last reading scored nothing (stepped, or too short to time): no WPM score of its own to keep
        // or take back, so no question about one.
        app.state->recordReading(Mode::Horiz, ReadingResult{100, 0});
        app.state->askAfterReading(Mode::Horiz);
        submitTest(app, openTest(app, 10), {2, 1, 1, 1}, 0, save); // none right
        // A score of nothing right is a real score: kept in a slot of its own, and No takes it back.
        QCOMPARE(std::pair(comp[0], historyCount(comp)), std::pair(0.6, save ? 2 : 1));
        QVERIFY(!save || (comp[1] > 0.0 && comp[1] < 1e-300));
        QCOMPARE(std::pair(wpm[0], historyCount(wpm)), std::pair(250.0, 1));
    }
}

QTEST_MAIN(CompTestTest)
#include "tst_comptest.moc"

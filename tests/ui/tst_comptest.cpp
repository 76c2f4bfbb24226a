#include "TestSupport.h"

#include "app/AppState.h"
#include "app/mainwindow.h"
#include "assess/Tests.h"

#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

namespace {

const QString kSaveBoth = QStringLiteral("Do you want to save this test score and WPM score on chart?");

QRadioButton *radio(QWidget *form, int k)
{
    return form->findChild<QRadioButton *>(QStringLiteral("RadioButton%1").arg(k));
}

// Answers question q (1-based) with choice c (1..3).
void answer(QWidget *form, int q, int c)
{
    radio(form, 3 * (q - 1) + c)->click();
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
    void fourQuestionStoryHidesTheFifthPanel();
    void unansweredQuestionsAreRefused();
    void scoresRecordsAndMarksTheRightAnswers();
    void declinedScoresAreBothTakenBack();
    void twoOpenModesRecordHorizontalFirst();
    void zeroScoreIsKeptAndTakenBack();
    void scoresTheStoryItWasFilledFor();
    void closeClearsStoryLoaded();
    void unknownStoryLeavesTheTestEmpty();
    void everyChoiceFitsWithoutSideScrolling();
};

void CompTestTest::fourQuestionStoryHidesTheFifthPanel()
{
    TestApp app;
    QVERIFY(app.start());
    TCompTestForm *test = openTest(app, 1);
    QVERIFY(test != nullptr);
    QCOMPARE(test->QuestionCount, 4);
    QVERIFY(!test->findChild<QFrame *>("Panel5")->isVisibleTo(test));
    QCOMPARE(test->findChild<QLabel *>("Label2")->text(), QStringLiteral("The character's name was?"));
    QCOMPARE(radio(test, 4)->text(), QStringLiteral("Murlock."));
    QCOMPARE(radio(test, 13)->text(), QString());
}

void CompTestTest::unansweredQuestionsAreRefused()
{
    TestApp app;
    QVERIFY(app.start());
    TCompTestForm *test = openTest(app, 2);
    answer(test, 1, 3);
    answer(test, 2, 1);
    app.fakes.messages.expect(MessageKind::Error,
                              "You did not select an answer for all questions. Please check a "
                              "radio button for all 5 questions.");
    test->findChild<QPushButton *>("BitBtn2")->click();
    QCOMPARE(app.state->Settings.HorizComprehensionHistory[0], 0.0);
    QVERIFY(test->findChild<QPushButton *>("BitBtn2")->isEnabled());
    QCOMPARE(app.state->StoryLoaded, 1);
}

void CompTestTest::scoresRecordsAndMarksTheRightAnswers()
{
    TestApp app;
    QVERIFY(app.start());
    TCompTestForm *test = openTest(app, 1);
    answer(test, 1, 3);
    answer(test, 2, 1);
    answer(test, 3, 2); // wrong: 1 is right
    answer(test, 4, 2);
    app.fakes.messages.expect(MessageKind::Information, "Your comprehension was 75%.");
    app.fakes.messages.expect(MessageKind::Confirm, kSaveBoth, true);
    test->findChild<QPushButton *>("BitBtn2")->click();
    QCOMPARE(app.state->Settings.HorizComprehensionHistory[0], 0.75);
    QVERIFY(!test->findChild<QPushButton *>("BitBtn2")->isEnabled());
    QCOMPARE(app.state->StoryLoaded, 0);
    // The user's wrong choice stays checked; the right one turns green.
    QVERIFY(radio(test, 8)->isChecked());
    QCOMPARE(radio(test, 7)->palette().color(QPalette::WindowText), QColor(0, 0x80, 0));
    QVERIFY(radio(test, 8)->palette().color(QPalette::WindowText) != QColor(0, 0x80, 0));
}

void CompTestTest::declinedScoresAreBothTakenBack()
{
    TestApp app;
    QVERIFY(app.start());
    THistory &wpm = app.state->Settings.HorizWpmHistory;
    app.state->historyAppend(wpm, 280.0);
    app.state->historyAppend(wpm, 312.4);
    app.state->StoryLoaded = 1;
    app.state->StoryNumber = 4;
    // The reading's end: the test is wanted.
    app.fakes.messages.expect(MessageKind::Confirm, "Do you want to test for comprehension?", true);
    app.state->askAfterReading(wpm, 312.4);
    auto *test = app.form()->findChild<TCompTestForm *>();
    QVERIFY(test != nullptr);
    for (int q = 1; q <= 4; ++q)
        answer(test, q, 1);
    app.fakes.messages.expect(MessageKind::Information, "Your comprehension was 25%.");
    app.fakes.messages.expect(MessageKind::Confirm, kSaveBoth, false);
    test->findChild<QPushButton *>("BitBtn2")->click();
    QCOMPARE(app.state->Settings.HorizComprehensionHistory[0], 0.0);
    QCOMPARE(wpm[0], 280.0);
    QCOMPARE(wpm[1], 0.0);
}

void CompTestTest::twoOpenModesRecordHorizontalFirst()
{
    TestApp app;
    QVERIFY(app.start());
    app.state->TachiOpen = 1; // the horizontal reader is open too, from start
    TCompTestForm *test = openTest(app, 2);
    for (const auto &[q, c] : {std::pair{1, 3}, {2, 1}, {3, 1}, {4, 1}, {5, 1}})
        answer(test, q, c);
    // Asked once per mode: the first answer belongs to the horizontal reader, the second to the
    // tachistoscope.
    app.fakes.messages.expect(MessageKind::Information, "Your comprehension was 80%.");
    app.fakes.messages.expect(MessageKind::Confirm, kSaveBoth, true);
    app.fakes.messages.expect(MessageKind::Information, "Your comprehension was 80%.");
    app.fakes.messages.expect(MessageKind::Confirm, kSaveBoth, false);
    test->findChild<QPushButton *>("BitBtn2")->click();
    QCOMPARE(app.state->Settings.HorizComprehensionHistory[0], 0.8);
    QCOMPARE(app.state->Settings.TachiComprehensionHistory[0], 0.0);
}

void CompTestTest::zeroScoreIsKeptAndTakenBack()
{
    for (const bool save : {true, false}) {
        TestApp app;
        QVERIFY(app.start());
        THistory &comp = app.state->Settings.HorizComprehensionHistory;
        THistory &wpm = app.state->Settings.HorizWpmHistory;
        comp[0] = 0.6;
        wpm[0] = 250;
        // The last reading scored nothing, so there is no WPM score of its own to take back.
        app.fakes.messages.expect(MessageKind::Confirm, "Do you want to save this WPM score on chart?", true);
        app.state->askAfterReading(wpm, 0.0);
        TCompTestForm *test = openTest(app, 10);
        for (int q = 1; q <= 4; ++q)
            answer(test, q, q == 1 ? 2 : 1); // none right
        app.fakes.messages.expect(MessageKind::Information, "Your comprehension was 0%.");
        app.fakes.messages.expect(MessageKind::Confirm, kSaveBoth, save);
        test->findChild<QPushButton *>("BitBtn2")->click();
        QCOMPARE(comp[0], 0.6);
        // A score of nothing right is a real score: kept in a slot of its own, and No takes it back.
        QCOMPARE(historyCount(comp), save ? 2 : 1);
        if (save)
            QVERIFY(comp[1] > 0.0 && comp[1] < 1e-300);
        QCOMPARE(wpm[0], 250.0);
        QCOMPARE(historyCount(wpm), 1);
    }
}

void CompTestTest::scoresTheStoryItWasFilledFor()
{
    TestApp app;
    app.copyDataFile(QStringLiteral("The Boarded Window.bwr"));
    QVERIFY(app.start());
    TCompTestForm *test = openTest(app, 2);
    // Another story is chosen while the test is open; story 2's right answers must still score as right.
    QVERIFY(triggerAction(app.form(), "story1Action"));
    QCOMPARE(app.state->StoryNumber, 1);
    for (const auto &[q, c] : {std::pair{1, 3}, {2, 1}, {3, 1}, {4, 1}, {5, 3}})
        answer(test, q, c);
    app.fakes.messages.expect(MessageKind::Information, "Your comprehension was 100%.");
    app.fakes.messages.expect(MessageKind::Confirm, kSaveBoth, true);
    test->findChild<QPushButton *>("BitBtn2")->click();
    QCOMPARE(app.state->Settings.HorizComprehensionHistory[0], 1.0);
    QCOMPARE(radio(test, 15)->palette().color(QPalette::WindowText), QColor(0, 0x80, 0));
}

void CompTestTest::closeClearsStoryLoaded()
{
    TestApp app;
    QVERIFY(app.start());
    TCompTestForm *test = openTest(app, 5);
    QPointer<QMdiSubWindow> frame = test->frame();
    test->findChild<QPushButton *>("BitBtn1")->click();
    QCOMPARE(app.state->StoryLoaded, 0);
    QTRY_VERIFY(frame.isNull());
}

void CompTestTest::unknownStoryLeavesTheTestEmpty()
{
    TestApp app;
    QVERIFY(app.start());
    TCompTestForm *test = openTest(app, 0);
    QCOMPARE(test->QuestionCount, 0);
    QCOMPARE(test->findChild<QLabel *>("Label1")->text(), QString());
}

void CompTestTest::everyChoiceFitsWithoutSideScrolling()
{
    for (int story = 1; story <= 16; ++story) {
        TestApp app;
        QVERIFY(app.start());
        TCompTestForm *test = openTest(app, story);
        QVERIFY(QTest::qWaitForWindowExposed(app.form()));
        QCoreApplication::processEvents();
        auto *box = test->findChild<QScrollArea *>("ScrollBox1");
        QVERIFY2(!box->horizontalScrollBar()->isVisible(), qPrintable(QStringLiteral("story %1").arg(story)));
    }
}

QTEST_MAIN(CompTestTest)
#include "tst_comptest.moc"

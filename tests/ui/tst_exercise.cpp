#include "TestSupport.h"

#include "ReadingOptions.h"
#include "app/AppState.h"
#include "app/mainwindow.h"
#include "assess/exercise.h"
#include "control/ExercisePage.h"
#include "control/control.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>

namespace {

// Counts the paints a widget receives, to tell a paint done at once from one left to the event loop.
class PaintCounter final : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// The exercise mode opened in a started program, with handles on its window and page.
struct Exercise : ModeApp<TExerciseForm, ExercisePage>
{
    Exercise() : ModeApp("exerciseAction") {}
    TExerciseForm *const form = window;
    // A control of the page or the window.
    template <typename T = QWidget> T *find(const QString &name)
    {
        auto *w = page->findChild<T *>(name);
        return w != nullptr ? w : form->findChild<T *>(name);
    }
    QPushButton *button(const char *name) { return find<QPushButton>(name); }
    QString text(const char *name) { return find<QLabel>(name)->text(); }
    QRadioButton *box(int n) { return find<QRadioButton>(QStringLiteral("choiceBox%1").arg(n)); }
    bool shows(const char *panel) { return find(panel)->isVisible(); }
    int progress() { return find<QProgressBar>("exercisePracticeProgress")->value(); }
    // Stopped, every timer is off and only Start can be pressed.
    void verifyIdle()
    {
        for (auto t : {ExerciseTimer::Countdown, ExerciseTimer::Flash, ExerciseTimer::AnswerDelay,
                       ExerciseTimer::PracticeClock})
            QVERIFY(!form->timerActive(t));
        QVERIFY(button("exerciseStartButton")->isEnabled() && !button("exerciseStopButton")->isEnabled());
        QVERIFY(shows("exerciseResultPanel") && !shows("exerciseAnswerPanel") &&
                !button("nextWordButton")->isEnabled());
        QCOMPARE(text("exerciseCentreLabel"), QString());
    }
};

} // namespace

class ExerciseTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensWithItsSettingsAndClosesMidPractice();
    void countdownFlashAndChoices();
    void answersAreCountedAcrossStopAndANewStart();
    void practiceClockEndsAtItsTime();
    void extrasFromTheOptionsMenu();
};

void ExerciseTest::opensWithItsSettingsAndClosesMidPractice()
{
    TestApp app;
    QVERIFY(app.start());
    editSettings(*app.state,
                 [&](TSettings &s) { s.ExerciseFlashTime = 2; }); // a damaged record: below the bar's range
    editSettings(*app.state, [&](TSettings &s) { s.ExercisePracticeMinutes = 9; });
    QVERIFY(triggerAction(app.form(), "exerciseAction"));
    auto *form = qobject_cast<TExerciseForm *>(app.state->modeWindow.data());
    // The controls bring the record into their range, and the window times by the same values.
    QCOMPARE(std::pair(app.state->Settings.ExerciseFlashTime, app.state->Settings.ExercisePracticeMinutes),
             std::pair(5, 4));
    QCOMPARE(std::pair(form->engine().flashTime(), form->engine().progressMaximum()), std::pair(5, 240));
    // Closed in mid-practice: the mode ends and the page has nothing left to stop.
    TControlForm *panel = panelOf(*app.state);
    auto *start = panel->findChild<QPushButton *>(QStringLiteral("exerciseStartButton"));
    start->click();
    form->frame()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(app.state->ExerciseOpen(), 0);
    QVERIFY(start->isEnabled() &&
            !panel->findChild<QPushButton *>(QStringLiteral("exerciseStopButton"))->isEnabled());
}

void ExerciseTest::countdownFlashAndChoices()
{
    Exercise e;
    QVERIFY(QTest::qWaitForWindowExposed(e.app.form())); // painting needs a window on the screen
    e.page->findChild<QScrollBar *>(QStringLiteral("exerciseFlashTimeBar"))->setValue(20);
    e.button("exerciseStartButton")->click();
    QVERIFY(!e.button("exerciseStartButton")->isEnabled() && e.button("exerciseStopButton")->isEnabled());
    for (const QString &shown : {QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1"), QString()}) {
        QVERIFY(!e.form->timerActive(ExerciseTimer::Flash));
        e.form->countdownTimer();
        QCOMPARE(e.text("exerciseCentreLabel"), shown);
    }
    QVERIFY(!e.form->timerActive(ExerciseTimer::Countdown) && e.form->timerActive(ExerciseTimer::Flash));
    PaintCounter paints[2];
    e.form->wordLabel(1)->installEventFilter(&paints[0]);
    e.form->wordLabel(2)->installEventFilter(&paints[1]);
    // The word shows on its side only; a tick that comes before it has been up for its time leaves it up.
    for (const qint64 at : {1000, 1000, 1010, 1019, 1020}) {
        e.app.fakes.clock.now = at;
        e.form->flashTimer();
        const int side = e.form->engine().flashSide();
        QCOMPARE(e.form->wordLabel(side)->text(), at < 1020 ? e.form->engine().targetWordText() : QString());
        QCOMPARE(e.form->wordLabel(3 - side)->text(), QString());
        // Painted within the first tick and the last, not on a later update.
        QCOMPARE(paints[side - 1].paints, at < 1020 ? 1 : 2);
    }
    e.form->answerDelayTimer();
    QVERIFY(e.shows("exerciseAnswerPanel") && !e.shows("exerciseResultPanel"));
    // The boxes show the engine's choices (their make-up is the engine's own test), none checked.
    for (int n = 1; n <= 3; ++n)
        QVERIFY(!e.box(n)->isChecked() && e.box(n)->text() == e.form->engine().choiceCaption(n));
}

void ExerciseTest::answersAreCountedAcrossStopAndANewStart()
{
    Exercise e;
    e.page->findChild<QScrollBar *>(QStringLiteral("exerciseFlashTimeBar"))->setValue(35);
    e.button("exerciseStartButton")->click();
    exerciseToChoices(e.app, *e.form);
    e.app.fakes.messages.expect(MessageKind::Error, QStringLiteral("You need to check one of the boxes. "));
    e.button("enterButton")->click();
    QCOMPARE(e.app.state->Settings.ExerciseLastPercent, QStringLiteral("N/A"));
    // The percentages themselves are the engine's own test; here, that each answer reaches the window.
    for (const auto &[right, percent] : {std::pair{true, "100%"}, {false, "50%"}}) {
        const QString target = e.form->engine().targetWordText();
        answerExercise(*e.form, right);
        QVERIFY(e.shows("exerciseResultPanel") && !e.shows("exerciseAnswerPanel"));
        QCOMPARE(e.text("verdictLabel"), right ? QStringLiteral("You chose the correct word!")
                                               : QStringLiteral("You chose the wrong word!"));
        QCOMPARE(e.text("correctWordLabel"), QStringLiteral("The correct word is:  ") + target);
        QCOMPARE(e.app.state->Settings.ExerciseLastPercent, QString::fromLatin1(percent));
        e.button("nextWordButton")->click();
        exerciseToChoices(e.app, *e.form);
    }
    e.form->practiceTimer();
    e.button("exerciseStopButton")->click();
    e.verifyIdle();
    QCOMPARE(e.progress(), 0);
    e.button("exerciseStartButton")->click();
    exerciseToChoices(e.app, *e.form);
    answerExercise(*e.form, true);
    QCOMPARE(e.text("correctCountBox") + e.text("wrongCountBox") + e.text("percentBox"),
             QStringLiteral("Correct = 2Incorrect = 1Percent = 67%"));
    // The last session's best tells that percentage and the flash time.
    e.app.fakes.messages.expect(MessageKind::Information,
                                QStringLiteral("Your last session's correct percentage was: 67%. "
                                               "Your flash time was: 35 milliseconds."));
    e.button("lastSessionsBestButton")->click();
}

void ExerciseTest::practiceClockEndsAtItsTime()
{
    Exercise e;
    e.page->findChild<QSpinBox *>(QStringLiteral("exercisePracticeMinutesSpin"))->setValue(1);
    QVERIFY(e.find<QProgressBar>("exercisePracticeProgress")->maximum() == 60 &&
            e.form->engine().progressMaximum() == 60);
    e.button("exerciseStartButton")->click();
    e.form->countdownTimer();
    for (int s = 1; s < 60; ++s)
        e.form->practiceTimer();
    QCOMPARE(e.progress(), 55);
    e.app.fakes.sound.played.clear();
    e.app.fakes.messages.expect(
        MessageKind::Information,
        QStringLiteral("Your time is up. Click the \"Start\" button to the right if you want to continue."));
    e.form->practiceTimer();
    QCOMPARE(e.app.fakes.sound.played, QStringList{e.app.path(QStringLiteral("2.wav"))});
    e.verifyIdle();
    QCOMPARE(e.text("verdictLabel"), QStringLiteral("Click the \"Start\" button to do more."));
}

void ExerciseTest::extrasFromTheOptionsMenu()
{
    Exercise e;
    for (const char *name :
         {"exerciseStaircaseAction", "exerciseFastRhythmAction", "exerciseBackwardMaskAction",
          "exerciseFixationMarkAction", "exerciseForeperiodAction"})
        QVERIFY(triggerAction(e.app.form(), name));
    QVERIFY(ReadingOptions::load(e.app.path(QStringLiteral("options.ini"))).exerciseForeperiod);
    e.app.fakes.screen.refresh = 0; // not known: steps of 5 ms
    e.page->findChild<QScrollBar *>(QStringLiteral("exerciseFlashTimeBar"))->setValue(50);
    e.button("exerciseStartButton")->click();
    // Two items, answered wrong then right: the mark, the random wait, the word, its mask, the choices.
    for (const auto &[flash, right, info] :
         {std::tuple{50, false, "Flash time: 50 ms    Threshold: not yet known"},
          {70, true, "Flash time: 70 ms    Threshold: not yet known"}}) {
        QCOMPARE(e.text("exerciseFlashInfoLabel"), QString::fromLatin1(info));
        QCOMPARE(e.text("exerciseCentreLabel"), QStringLiteral("+"));
        e.form->countdownTimer();
        QVERIFY(e.form->timerActive(ExerciseTimer::Foreperiod) && !e.form->timerActive(ExerciseTimer::Flash));
        QCOMPARE(e.text("exerciseCentreLabel"), QStringLiteral("+"));
        e.form->foreperiodTimer();
        const int side = e.form->engine().flashSide();
        const QString word = e.form->engine().targetWordText();
        QVERIFY(e.text("exerciseCentreLabel").isEmpty() && e.form->wordLabel(side)->text() == word);
        e.app.fakes.clock.now += flash;
        e.form->flashTimer();
        const QString mask = e.form->wordLabel(side)->text();
        QVERIFY(mask != word && mask.size() == word.size() && e.form->timerActive(ExerciseTimer::Mask));
        e.form->maskTimer();
        QVERIFY(e.form->wordLabel(side)->text().isEmpty() && e.form->timerActive(ExerciseTimer::AnswerDelay));
        e.form->answerDelayTimer();
        answerExercise(*e.form, right);
        QVERIFY(e.form->timerActive(ExerciseTimer::Countdown) && !e.button("nextWordButton")->isEnabled());
    }
    QCOMPARE(e.text("exerciseFlashInfoLabel"), QStringLiteral("Flash time: 65 ms    Threshold: 70 ms"));
    // The bar takes where the staircase stood; the message names what was practised and reached.
    e.button("exerciseStopButton")->click();
    QCOMPARE(e.page->findChild<QScrollBar *>(QStringLiteral("exerciseFlashTimeBar"))->value(), 65);
    QCOMPARE(e.app.state->Settings.ExerciseFlashTime, 65);
    e.app.fakes.messages.expect(MessageKind::Information,
                                QStringLiteral("Your last session's correct percentage was: 50%. Your flash "
                                               "time was: 50 to 70 milliseconds. The threshold you reached "
                                               "was: 70 milliseconds."));
    e.button("lastSessionsBestButton")->click();
}

QTEST_MAIN(ExerciseTest)
#include "tst_exercise.moc"

#include "TestSupport.h"

#include "app/AppState.h"
#include "app/Convert.h"
#include "app/mainwindow.h"
#include "assess/exercise.h"
#include "control/ExercisePage.h"
#include "control/control.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>

namespace {

const QString kNothingChecked = QStringLiteral("You need to check one of the boxes. ");
const QString kTimeUp =
    QStringLiteral("Your time is up. Click the \"Start\" button to the right if you want to continue.");

// Counts the paints a widget receives, to tell a paint done at once from one left to the event loop.
class PaintCounter final : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The exercise mode opened in a started program, with handles on its window and page.
struct Exercise
{
    TestApp app;
    TExerciseForm *form = nullptr;
    ExercisePage *page = nullptr;

    Exercise()
    {
        if (!app.start() || !triggerAction(app.form(), "exerciseAction"))
            return;
        form = qobject_cast<TExerciseForm *>(app.state->modeWindow.data());
        page = app.state->controlPanel->findChild<ExercisePage *>();
    }
    template <typename T> T *find(QObject *root, const char *name)
    {
        return root->findChild<T *>(QString::fromLatin1(name));
    }
    QPushButton *button(const char *name)
    {
        if (auto *b = find<QPushButton>(page, name))
            return b;
        return find<QPushButton>(form, name);
    }
    QRadioButton *box(int n) { return form->findChild<QRadioButton *>(QStringLiteral("choiceBox%1").arg(n)); }
    QLabel *label(const char *name) { return find<QLabel>(form, name); }
    QProgressBar *progress() { return find<QProgressBar>(page, "exercisePracticeProgress"); }
    bool panelVisible(const char *name) { return find<QWidget>(form, name)->isVisible(); }
    // The word up after the flash's first tick, and its time passed.
    void flashWord()
    {
        form->flashTimer();
        app.fakes.clock.now += form->engine().flashTime();
    }
    // From a countdown just begun to the three choices.
    void runToChoices()
    {
        for (int i = 0; i < 4; ++i)
            form->countdownTimer();
        flashWord();
        form->flashTimer();
        form->answerDelayTimer();
    }
    int boxWith(const QString &word)
    {
        for (int n = 1; n <= 3; ++n)
            if (box(n)->text() == word)
                return n;
        return 0;
    }
    // Checks the right box or a wrong one and presses Enter.
    void answer(bool right)
    {
        const int target = boxWith(form->engine().targetWordText());
        box(right ? target : target % 3 + 1)->click();
        button("enterButton")->click();
    }
    bool anyTimerActive()
    {
        const auto timers = {ExerciseTimer::Countdown, ExerciseTimer::Flash, ExerciseTimer::AnswerDelay,
                             ExerciseTimer::PracticeClock};
        return std::any_of(timers.begin(), timers.end(), [this](auto t) { return form->timerActive(t); });
    }
    QString counts()
    {
        return label("correctCountBox")->text() + QStringLiteral(", ") + label("wrongCountBox")->text() +
               QStringLiteral(", ") + label("percentBox")->text();
    }
};

} // namespace

class ExerciseTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensFromTheMenuWithItsSettings();
    void countdownFlashAndChoices();
    void theFlashIsPaintedAtOnceAndLastsItsTime();
    void enterWithNothingCheckedAsksForABox();
    void answersAreCountedAndTheLastPercentKept();
    void practiceClockEndsAtItsTime();
    void countsSurviveStopAndANewStart();
    void fontsAndColourChangeTheWords();
    void lastSessionsBestTellsPercentAndFlashTime();
};

void ExerciseTest::opensFromTheMenuWithItsSettings()
{
    TestApp app;
    QVERIFY(app.start());
    app.state->Settings.ExerciseFlashTime = 2; // a damaged record: below the bar's range
    app.state->Settings.ExercisePracticeMinutes = 9;
    QVERIFY(triggerAction(app.form(), "exerciseAction"));
    auto *form = qobject_cast<TExerciseForm *>(app.state->modeWindow.data());
    QVERIFY(form != nullptr);
    QCOMPARE(app.state->ExerciseOpen, 1);
    QCOMPARE(app.state->HelpContext, 70);
    // The controls bring the record into their range, and the window times by the same values.
    QCOMPARE(app.state->Settings.ExerciseFlashTime, 5);
    QCOMPARE(app.state->Settings.ExercisePracticeMinutes, 4);
    QCOMPARE(form->engine().flashTime(), 5);
    QCOMPARE(form->engine().progressMaximum(), 240);
    auto *panel = app.state->controlPanel.data();
    QCOMPARE(panel->findChild<QLineEdit *>(QStringLiteral("exerciseFlashTimeBox"))->text(),
             QStringLiteral("5"));
    QVERIFY(!form->findChild<QWidget *>(QStringLiteral("exerciseAnswerPanel"))->isVisible());
    QVERIFY(!form->findChild<QWidget *>(QStringLiteral("exerciseResultPanel"))->isVisible());

    // Closed in mid-practice: the mode ends and the page has nothing left to stop.
    auto *start = panel->findChild<QPushButton *>(QStringLiteral("exerciseStartButton"));
    start->click();
    QPointer<TExerciseForm> closing = form;
    form->frame()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(closing.isNull());
    QCOMPARE(app.state->ExerciseOpen, 0);
    QCOMPARE(app.state->Settings.ExerciseDefaultPlacement, 0);
    QVERIFY(start->isEnabled());
    QVERIFY(!panel->findChild<QPushButton *>(QStringLiteral("exerciseStopButton"))->isEnabled());
}

void ExerciseTest::countdownFlashAndChoices()
{
    Exercise e;
    QVERIFY(e.form != nullptr && e.page != nullptr);
    e.button("exerciseStartButton")->click();
    QVERIFY(!e.button("exerciseStartButton")->isEnabled());
    QVERIFY(e.button("exerciseStopButton")->isEnabled());
    QVERIFY(e.form->timerActive(ExerciseTimer::Countdown) &&
            e.form->timerActive(ExerciseTimer::PracticeClock));

    const QStringList countdown{QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1"), QString()};
    for (const QString &shown : countdown) {
        QVERIFY(!e.form->timerActive(ExerciseTimer::Flash));
        e.form->countdownTimer();
        QCOMPARE(e.label("exerciseCentreLabel")->text(), shown);
    }
    QVERIFY(!e.form->timerActive(ExerciseTimer::Countdown) && e.form->timerActive(ExerciseTimer::Flash));

    e.flashWord();
    const QString target = e.form->engine().targetWordText();
    const int side = e.form->engine().flashSide();
    QCOMPARE(e.form->wordLabel(side)->text(), target);
    QCOMPARE(e.form->wordLabel(3 - side)->text(), QString());
    e.form->flashTimer();
    QCOMPARE(e.form->wordLabel(side)->text(), QString());
    QVERIFY(e.form->timerActive(ExerciseTimer::AnswerDelay) && !e.form->timerActive(ExerciseTimer::Flash));

    e.form->answerDelayTimer();
    QVERIFY(e.panelVisible("exerciseAnswerPanel"));
    QVERIFY(!e.panelVisible("exerciseResultPanel"));
    QVERIFY(!e.form->timerActive(ExerciseTimer::AnswerDelay));
    // The boxes show the engine's choices (their make-up is the engine's own test), none checked.
    QVERIFY(e.boxWith(target) != 0);
    for (int n = 1; n <= 3; ++n)
        QVERIFY(!e.box(n)->isChecked() && e.box(n)->text() == e.form->engine().choiceCaption(n));
}

void ExerciseTest::theFlashIsPaintedAtOnceAndLastsItsTime()
{
    Exercise e;
    // Painting needs a window on the screen.
    QVERIFY(QTest::qWaitForWindowExposed(e.app.form()));
    e.page->findChild<QScrollBar *>(QStringLiteral("exerciseFlashTimeBar"))->setValue(20);
    QCOMPARE(e.app.state->Settings.ExerciseFlashTime, 20);
    e.button("exerciseStartButton")->click();
    for (int i = 0; i < 4; ++i)
        e.form->countdownTimer();
    PaintCounter left;
    PaintCounter right;
    e.form->wordLabel(1)->installEventFilter(&left);
    e.form->wordLabel(2)->installEventFilter(&right);

    e.app.fakes.clock.now = 1000;
    e.form->flashTimer();
    const int side = e.form->engine().flashSide();
    PaintCounter &shown = side == 1 ? left : right;
    QCOMPARE(shown.paints, 1); // within the tick, not on a later update

    // A tick that comes before the word has been up for its time leaves it up and waits for the rest.
    for (const qint64 at : {1000, 1010, 1019}) {
        e.app.fakes.clock.now = at;
        e.form->flashTimer();
        QCOMPARE(e.form->wordLabel(side)->text(), e.form->engine().targetWordText());
        QVERIFY(e.form->timerActive(ExerciseTimer::Flash));
    }
    e.app.fakes.clock.now = 1020;
    e.form->flashTimer();
    QCOMPARE(e.form->wordLabel(side)->text(), QString());
    QCOMPARE(shown.paints, 2);
}

void ExerciseTest::enterWithNothingCheckedAsksForABox()
{
    Exercise e;
    e.button("exerciseStartButton")->click();
    e.runToChoices();
    e.app.fakes.messages.expect(MessageKind::Error, kNothingChecked);
    e.button("enterButton")->click();
    QVERIFY(e.panelVisible("exerciseAnswerPanel") && !e.panelVisible("exerciseResultPanel"));
    QCOMPARE(e.form->engine().phase(), TExerciseEngine::Phase::Answering);
    QCOMPARE(e.app.state->Settings.ExerciseLastPercent, QStringLiteral("N/A"));
}

void ExerciseTest::answersAreCountedAndTheLastPercentKept()
{
    Exercise e;
    e.button("exerciseStartButton")->click();
    // The percentages themselves are the engine's own test; here, that each answer reaches the window.
    const QList<bool> answers{true, false};
    const QStringList percents{QStringLiteral("100%"), QStringLiteral("50%")};
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const bool isRight = answers[i];
        e.runToChoices();
        const QString target = e.form->engine().targetWordText();
        e.answer(isRight);
        QVERIFY(e.panelVisible("exerciseResultPanel") && !e.panelVisible("exerciseAnswerPanel"));
        QVERIFY(e.button("nextWordButton")->isEnabled());
        QCOMPARE(e.label("verdictLabel")->text(), isRight ? QStringLiteral("You chose the correct word!")
                                                          : QStringLiteral("You chose the wrong word!"));
        QCOMPARE(e.label("verdictLabel")->palette().color(QPalette::WindowText),
                 isRight ? QColor(0, 128, 0) : QColor(255, 0, 0));
        QCOMPARE(e.label("correctWordLabel")->text(), QStringLiteral("The correct word is:  ") + target);
        QCOMPARE(e.app.state->Settings.ExerciseLastPercent, percents[i]);
        QCOMPARE(e.label("percentBox")->text(), QStringLiteral("Percent = ") + percents[i]);
        e.button("nextWordButton")->click();
        QVERIFY(!e.button("nextWordButton")->isEnabled());
    }
    QCOMPARE(e.counts(), QStringLiteral("Correct = 1, Incorrect = 1, Percent = 50%"));
}

void ExerciseTest::practiceClockEndsAtItsTime()
{
    Exercise e;
    auto *minutes = e.page->findChild<QSpinBox *>(QStringLiteral("exercisePracticeMinutesSpin"));
    for (const int m : {4, 1}) {
        minutes->setValue(m);
        QCOMPARE(e.progress()->maximum(), m * 60);
        QCOMPARE(e.app.state->Settings.ExercisePracticeMinutes, m);
        QCOMPARE(e.form->engine().progressMaximum(), m * 60);
    }
    e.button("exerciseStartButton")->click();
    e.form->countdownTimer();
    for (int s = 1; s < 60; ++s) {
        e.form->practiceTimer();
        QCOMPARE(e.progress()->value(), s - s % 5);
    }
    QVERIFY(e.form->timerActive(ExerciseTimer::PracticeClock));
    e.app.fakes.sound.played.clear();
    e.app.fakes.messages.expect(MessageKind::Information, kTimeUp);
    e.form->practiceTimer();
    QCOMPARE(e.app.fakes.sound.played, QStringList{e.app.path(QStringLiteral("2.wav"))});
    QVERIFY(!e.anyTimerActive());
    QVERIFY(e.button("exerciseStartButton")->isEnabled());
    QVERIFY(!e.button("exerciseStopButton")->isEnabled());
    QCOMPARE(e.page->practice(), ExercisePage::Practice::Idle);
    QVERIFY(e.panelVisible("exerciseResultPanel"));
    QCOMPARE(e.label("verdictLabel")->text(), QStringLiteral("Click the \"Start\" button to do more."));
    QVERIFY(!e.button("nextWordButton")->isEnabled());
    QCOMPARE(e.label("exerciseCentreLabel")->text(), QString());
}

void ExerciseTest::countsSurviveStopAndANewStart()
{
    Exercise e;
    e.button("exerciseStartButton")->click();
    e.runToChoices();
    e.answer(true);
    e.button("nextWordButton")->click();
    e.runToChoices();
    e.answer(false);
    e.button("nextWordButton")->click();
    e.form->countdownTimer();
    e.form->practiceTimer();

    e.button("exerciseStopButton")->click();
    QVERIFY(!e.anyTimerActive());
    QCOMPARE(e.label("exerciseCentreLabel")->text(), QString());
    QVERIFY(e.panelVisible("exerciseResultPanel") && !e.panelVisible("exerciseAnswerPanel"));
    QVERIFY(!e.button("enterButton")->isEnabled() && !e.button("nextWordButton")->isEnabled());
    QVERIFY(e.button("exerciseStartButton")->isEnabled());
    QCOMPARE(e.progress()->value(), 0);

    e.button("exerciseStartButton")->click();
    e.runToChoices();
    e.answer(true);
    QCOMPARE(e.counts(), QStringLiteral("Correct = 2, Incorrect = 1, Percent = 67%"));
    QCOMPARE(e.app.state->Settings.ExerciseLastPercent, QStringLiteral("67%"));
}

void ExerciseTest::fontsAndColourChangeTheWords()
{
    Exercise e;
    TSettings &s = e.app.state->Settings;
    const std::int32_t backBefore = s.ExerciseBackColor;

    // What the font dialog stores is the fonts table's test; here, that the page's command reaches the words.
    e.app.fakes.dialogs.colors.push_back(std::nullopt);
    QVERIFY(triggerAction(e.page, "exerciseBackColorAction"));
    QCOMPARE(s.ExerciseBackColor, backBefore);
    QCOMPARE(e.form->wordLabel(1)->palette().color(QPalette::Window), toQColor(backBefore));

    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSize(18);
    chosen.setBold(true);
    e.app.fakes.dialogs.fonts.push_back(FontChoice{chosen, QColor(0, 0, 255)});
    QVERIFY(triggerAction(e.page, "exerciseChangeFontAction"));
    QCOMPARE(s.ExerciseFont.Size, 18);
    for (int side = 0; side <= 2; ++side) {
        QCOMPARE(e.form->wordLabel(side)->font().pointSize(), 18);
        QVERIFY(e.form->wordLabel(side)->font().bold());
        QCOMPARE(e.form->wordLabel(side)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }

    e.app.fakes.dialogs.colors.push_back(QColor(10, 60, 20));
    QVERIFY(triggerAction(e.page, "exerciseBackColorAction"));
    QCOMPARE(s.ExerciseBackColor, toStoredColor(QColor(10, 60, 20)));
    for (int side = 0; side <= 2; ++side)
        QCOMPARE(e.form->wordLabel(side)->palette().color(QPalette::Window), QColor(10, 60, 20));
}

void ExerciseTest::lastSessionsBestTellsPercentAndFlashTime()
{
    Exercise e;
    e.page->findChild<QScrollBar *>(QStringLiteral("exerciseFlashTimeBar"))->setValue(35);
    e.app.state->Settings.ExerciseLastPercent = QStringLiteral("75%");
    e.app.fakes.messages.expect(MessageKind::Information,
                                QStringLiteral("Your last session's correct percentage was: 75%. "
                                               "Your flash time was: 35 milliseconds."));
    e.button("lastSessionsBestButton")->click();
}

QTEST_MAIN(ExerciseTest)
#include "tst_exercise.moc"

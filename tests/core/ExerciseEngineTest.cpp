#include "ExerciseEngine.h"
#include "ExerciseWords.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

using Phase = TExerciseEngine::Phase;
using Timer = ExerciseTimer;

// Ticks a timer only while the engine has it on, as a window's QTimer would.
bool tickIfOn(TExerciseEngine &e, Timer t)
{
    if (!e.timerOn(t))
        return false;
    e.tick(t);
    return true;
}

// From Countdown to Answering: four countdown ticks, the two flash ticks, the answer delay.
void runToChoices(TExerciseEngine &e)
{
    for (Timer t : {Timer::Countdown, Timer::Countdown, Timer::Countdown, Timer::Countdown, Timer::Flash,
                    Timer::Flash, Timer::AnswerDelay})
        ASSERT_TRUE(tickIfOn(e, t));
    ASSERT_EQ(e.phase(), Phase::Answering);
}

int boxOfTarget(const TExerciseEngine &e)
{
    for (int box = 1; box <= 3; ++box)
        if (e.choiceCaption(box) == e.targetWordText())
            return box;
    return 0;
}

void answer(TExerciseEngine &e, bool right)
{
    runToChoices(e);
    const int target = boxOfTarget(e);
    e.chooseBox(right ? target : target % 3 + 1);
    ASSERT_EQ(e.enter(), ExerciseNotice::None);
    e.nextWord();
}

} // namespace

TEST(ExerciseEngine, CountdownFlashAndDelayLeadToTheChoices)
{
    TExerciseEngine e(seededExerciseRandom(7));
    e.setFlashTime(40);
    e.start();
    struct Step
    {
        Timer timer;
        QString centre;
        Phase phase;
        bool countdownOn, flashOn, delayOn;
    };
    const Step steps[] = {
        {Timer::Countdown, QStringLiteral("3"), Phase::Countdown, true, false, false},
        {Timer::Countdown, QStringLiteral("2"), Phase::Countdown, true, false, false},
        {Timer::Countdown, QStringLiteral("1"), Phase::Countdown, true, false, false},
        {Timer::Countdown, QString(), Phase::Flash, false, true, false},
        {Timer::Flash, QString(), Phase::Flash, false, true, false},
        {Timer::Flash, QString(), Phase::Delay, false, false, true},
        {Timer::AnswerDelay, QString(), Phase::Answering, false, false, false},
    };
    int i = 0;
    for (const Step &s : steps) {
        SCOPED_TRACE(i++);
        e.tick(s.timer);
        EXPECT_EQ(e.centreText(), s.centre);
        EXPECT_EQ(e.phase(), s.phase);
        EXPECT_EQ(e.timerOn(Timer::Countdown), s.countdownOn);
        EXPECT_EQ(e.timerOn(Timer::Flash), s.flashOn);
        EXPECT_EQ(e.timerOn(Timer::AnswerDelay), s.delayOn);
        EXPECT_TRUE(e.timerOn(Timer::PracticeClock));
    }
    EXPECT_TRUE(e.answerPanelVisible());
    EXPECT_FALSE(e.resultPanelVisible());
    EXPECT_EQ(e.timerInterval(Timer::Countdown), 800);
    EXPECT_EQ(e.timerInterval(Timer::Flash), 40);
    EXPECT_EQ(e.timerInterval(Timer::AnswerDelay), 500);
    EXPECT_EQ(e.timerInterval(Timer::PracticeClock), 1000);
}

TEST(ExerciseEngine, OverSeededItemsTheWordFlashesOnItsSideAndTheChoicesAreThreeWordsOfItsGroup)
{
    std::set<int> positions;
    std::set<int> sides;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        TExerciseEngine e(seededExerciseRandom(seed));
        e.setPracticeMinutes(5);
        e.start();
        for (int item = 0; item < 10; ++item) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " item " << item);
            for (int k = 0; k < 4; ++k)
                e.countdownTick();
            e.flashTick();
            const QString target = e.targetWordText();
            EXPECT_EQ(e.flashSide() == 1 ? e.leftText() : e.rightText(), target);
            EXPECT_TRUE((e.flashSide() == 1 ? e.rightText() : e.leftText()).isEmpty());
            sides.insert(e.flashSide());
            e.flashTick();
            EXPECT_TRUE(e.leftText().isEmpty() && e.rightText().isEmpty());
            e.answerDelayTick();

            std::set<QString> offered;
            for (int box = 1; box <= 3; ++box)
                offered.insert(e.choiceCaption(box));
            std::set<QString> group;
            for (int w = 1; w <= kExerciseGroupSize; ++w)
                group.insert(exerciseWord(e.wordGroup(), w));
            EXPECT_EQ(offered.size(), 3u);
            for (const QString &word : offered)
                EXPECT_TRUE(group.count(word)) << word.toStdString();
            EXPECT_EQ(e.choiceCaption(e.correctBox()), target);
            EXPECT_EQ(boxOfTarget(e), e.correctBox());
            positions.insert(e.correctBox());

            e.chooseBox(1 + (item % 3));
            ASSERT_EQ(e.enter(), ExerciseNotice::None);
            e.nextWord();
        }
    }
    EXPECT_EQ(positions, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(sides, (std::set<int>{1, 2}));
}

TEST(ExerciseEngine, PicksEveryOrderedPairAndNeverRepeatsAWordWithinAnItem)
{
    TExerciseEngine e(seededExerciseRandom(2024));
    std::set<std::pair<int, int>> pairs;
    std::set<int> groups;
    for (int i = 0; i < 5000; ++i) {
        e.PickExerciseWord();
        const std::set<int> words{e.targetWord(), e.secondWord(), e.thirdWord()};
        ASSERT_EQ(words.size(), 3u);
        ASSERT_GE(*words.begin(), 1);
        ASSERT_LE(*words.rbegin(), 10);
        pairs.insert({e.targetWord(), e.secondWord()});
        groups.insert(e.wordGroup());
    }
    EXPECT_EQ(pairs.size(), 90u);
    EXPECT_EQ(groups.size(), 26u);
}

TEST(ExerciseEngine, PicksEndEvenWithASourceThatAlwaysGivesTheSameEnd)
{
    struct Case
    {
        bool high;
        int group, target, second, third;
    };
    const Case cases[] = {{false, 1, 1, 2, 3}, {true, 26, 10, 9, 8}};
    for (const Case &c : cases) {
        TExerciseEngine e([&c](int low, int high) { return c.high ? high : low; });
        e.PickExerciseWord();
        EXPECT_EQ(e.wordGroup(), c.group);
        EXPECT_EQ(e.targetWord(), c.target);
        EXPECT_EQ(e.secondWord(), c.second);
        EXPECT_EQ(e.thirdWord(), c.third);
    }
}

TEST(ExerciseEngine, ChoicesPutTheOtherWordsInBoxOrder)
{
    for (int correct = 1; correct <= 3; ++correct) {
        std::vector<int> draws{4, 5, 2, 6, correct}; // group, target, second (raw), third (raw), box
        std::size_t next = 0;
        TExerciseEngine e([&](int, int) { return draws[next++]; });
        e.PickExerciseWord();
        ASSERT_EQ(e.secondWord(), 2);
        ASSERT_EQ(e.thirdWord(), 8); // 6 skips over 2 and 5
        e.ShowExerciseChoices();
        QStringList shown;
        for (int box = 1; box <= 3; ++box)
            shown.append(e.choiceCaption(box));
        QStringList expected{exerciseWord(4, 2), exerciseWord(4, 8)};
        expected.insert(correct - 1, exerciseWord(4, 5));
        EXPECT_EQ(shown, expected) << "correct box " << correct;
    }
}

TEST(ExerciseEngine, OneRandomSourceGivesVariedWordsAndTheSameSeedTheSameWords)
{
    TExerciseEngine a(seededExerciseRandom(99));
    TExerciseEngine b(seededExerciseRandom(99));
    std::set<std::pair<int, int>> distinct;
    for (int i = 0; i < 50; ++i) {
        a.PickExerciseWord();
        b.PickExerciseWord();
        EXPECT_EQ(std::make_pair(a.wordGroup(), a.targetWord()),
                  std::make_pair(b.wordGroup(), b.targetWord()));
        distinct.insert({a.wordGroup(), a.targetWord()});
    }
    EXPECT_GT(distinct.size(), 30u);
}

TEST(ExerciseEngine, PercentageRoundsHalvesToEven)
{
    struct Case
    {
        int correct, wrong;
        std::optional<long long> percent;
    };
    const Case cases[] = {
        {1, 7, 12}, {3, 5, 38}, {5, 3, 62},  {7, 1, 88},  {1, 1, 50},  {1, 2, 33},
        {2, 1, 67}, {0, 4, 0},  {4, 0, 100}, {1, 199, 0}, {3, 197, 2}, {0, 0, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TExerciseEngine::percentage(c.correct, c.wrong), c.percent) << c.correct << "/" << c.wrong;
}

TEST(ExerciseEngine, OneRightAndSevenWrongShowTwelvePercent)
{
    TExerciseEngine e(seededExerciseRandom(3));
    e.setPracticeMinutes(5);
    e.start();
    EXPECT_EQ(e.percentText(), QStringLiteral("Percent = N/A"));
    answer(e, true);
    EXPECT_EQ(e.verdictText(), QStringLiteral("You chose the correct word!"));
    EXPECT_EQ(e.verdictColor(), kExerciseGreen);
    for (int i = 0; i < 7; ++i)
        answer(e, false);
    EXPECT_EQ(e.verdictText(), QStringLiteral("You chose the wrong word!"));
    EXPECT_EQ(e.verdictColor(), kExerciseRed);
    EXPECT_EQ(e.correctCountText(), QStringLiteral("Correct = 1"));
    EXPECT_EQ(e.wrongCountText(), QStringLiteral("Incorrect = 7"));
    EXPECT_EQ(e.percentText(), QStringLiteral("Percent = 12%"));
    EXPECT_EQ(e.lastPercent(), QStringLiteral("12%"));
}

TEST(ExerciseEngine, EnterJudgesTheCheckedBoxAndNamesTheTarget)
{
    TExerciseEngine e(seededExerciseRandom(11));
    e.start();
    runToChoices(e);
    const QString target = e.targetWordText();
    const int wrongBox = e.correctBox() % 3 + 1;
    e.chooseBox(e.correctBox());
    e.chooseBox(wrongBox); // the later click wins
    EXPECT_EQ(e.checkedBox(), wrongBox);
    EXPECT_EQ(e.enter(), ExerciseNotice::None);
    EXPECT_EQ(e.wrongCount(), 1);
    EXPECT_EQ(e.correctCount(), 0);
    EXPECT_EQ(e.correctWordText(), QStringLiteral("The correct word is:  ") + target);
    EXPECT_EQ(e.checkedBox(), 0);
    EXPECT_EQ(e.phase(), Phase::Result);
    EXPECT_TRUE(e.resultPanelVisible());
    EXPECT_FALSE(e.answerPanelVisible());
    EXPECT_TRUE(e.nextWordEnabled());
    EXPECT_EQ(e.enter(), ExerciseNotice::None);
    EXPECT_EQ(e.wrongCount(), 1) << "a second Enter must not count the answer again";

    e.nextWord();
    EXPECT_FALSE(e.nextWordEnabled());
    EXPECT_TRUE(e.answerPanelVisible() && e.resultPanelVisible()) << "result panel stays over the choices";
    EXPECT_EQ(e.phase(), Phase::Countdown);
    EXPECT_TRUE(e.timerOn(Timer::Countdown));
}

TEST(ExerciseEngine, EnterWithNothingCheckedAsksAgainAndChangesNothing)
{
    TExerciseEngine e(seededExerciseRandom(5));
    e.start();
    runToChoices(e);
    EXPECT_EQ(e.enter(), ExerciseNotice::NothingChecked);
    EXPECT_EQ(TExerciseEngine::nothingCheckedMessage(),
              QStringLiteral("You need to check one of the boxes. "));
    EXPECT_EQ(e.phase(), Phase::Answering);
    EXPECT_TRUE(e.answerPanelVisible());
    EXPECT_FALSE(e.nextWordEnabled());
    EXPECT_EQ(e.correctCount() + e.wrongCount(), 0);
    EXPECT_TRUE(e.lastPercent().isEmpty());

    e.chooseBox(e.correctBox());
    EXPECT_EQ(e.enter(), ExerciseNotice::None);
    EXPECT_EQ(e.correctCount(), 1);
}

TEST(ExerciseEngine, BoxesCannotBeCheckedOutsideTheChoices)
{
    TExerciseEngine e(seededExerciseRandom(5));
    e.start();
    e.chooseBox(2);
    EXPECT_EQ(e.checkedBox(), 0);
    runToChoices(e);
    for (int bad : {0, 4, -1})
        e.chooseBox(bad);
    EXPECT_EQ(e.checkedBox(), 0);
}

TEST(ExerciseEngine, OneMinutePracticeMovesTheBarEveryFiveSecondsAndEndsAtSixty)
{
    TExerciseEngine e(seededExerciseRandom(8));
    e.setPracticeMinutes(1);
    e.start();
    EXPECT_EQ(e.progressMaximum(), 60);
    std::vector<int> barChanges;
    int lastBar = e.progressValue();
    for (int second = 1; second <= 60; ++second) {
        const ExerciseNotice notice = e.tick(Timer::PracticeClock);
        if (e.progressValue() != lastBar)
            barChanges.push_back(second);
        lastBar = e.progressValue();
        EXPECT_EQ(notice == ExerciseNotice::TimeUp, second == 60) << second;
        e.countdownTick(); // the item runs on beside the clock
    }
    EXPECT_EQ(barChanges, (std::vector<int>{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60}));
    EXPECT_EQ(e.progressValue(), 60);
    EXPECT_EQ(e.practiceSeconds(), 0);
    EXPECT_FALSE(e.practising());
    for (Timer t : {Timer::Countdown, Timer::Flash, Timer::AnswerDelay, Timer::PracticeClock})
        EXPECT_FALSE(e.timerOn(t));
    EXPECT_EQ(e.verdictText(), QStringLiteral("Click the \"Start\" button to do more."));
    EXPECT_TRUE(e.resultPanelVisible());
    EXPECT_FALSE(e.answerPanelVisible());
    EXPECT_FALSE(e.nextWordEnabled());
    EXPECT_TRUE(e.leftText().isEmpty() && e.rightText().isEmpty() && e.centreText().isEmpty());
    EXPECT_EQ(e.tick(Timer::PracticeClock), ExerciseNotice::None) << "a queued tick after the end";
}

TEST(ExerciseEngine, ShorteningThePracticeBelowTheCountedSecondsEndsIt)
{
    TExerciseEngine e(seededExerciseRandom(8));
    e.setPracticeMinutes(3);
    e.start();
    for (int s = 0; s < 90; ++s)
        ASSERT_EQ(e.practiceTick(), ExerciseNotice::None);
    e.setPracticeMinutes(1);
    EXPECT_EQ(e.practiceTick(), ExerciseNotice::TimeUp);
}

TEST(ExerciseEngine, CountsSurviveStopAndResetAndANewStart)
{
    TExerciseEngine e(seededExerciseRandom(21));
    e.setPracticeMinutes(5);
    e.start();
    answer(e, true);
    answer(e, false);
    for (int k = 0; k < 4; ++k)
        e.countdownTick();
    e.flashTick(); // the word is up when the user stops
    e.stopAndReset();
    EXPECT_EQ(e.correctCount(), 1);
    EXPECT_EQ(e.wrongCount(), 1);
    EXPECT_TRUE(e.leftText().isEmpty() && e.rightText().isEmpty());
    EXPECT_FALSE(e.enterEnabled());
    EXPECT_FALSE(e.nextWordEnabled());
    EXPECT_TRUE(e.resultPanelVisible());
    EXPECT_FALSE(e.answerPanelVisible());
    EXPECT_EQ(e.practiceSeconds(), 0);
    EXPECT_EQ(e.progressValue(), 0);
    for (Timer t : {Timer::Countdown, Timer::Flash, Timer::AnswerDelay, Timer::PracticeClock}) {
        EXPECT_FALSE(e.timerOn(t));
        e.tick(t);
    }
    EXPECT_EQ(e.phase(), Phase::Idle) << "ticks of stopped timers do nothing";

    e.start();
    EXPECT_TRUE(e.enterEnabled());
    EXPECT_EQ(e.countdownTicks(), 0);
    EXPECT_EQ(e.flashTicks(), 0);
    answer(e, true);
    EXPECT_EQ(e.correctCountText(), QStringLiteral("Correct = 2"));
    EXPECT_EQ(e.wrongCountText(), QStringLiteral("Incorrect = 1"));
    EXPECT_EQ(e.percentText(), QStringLiteral("Percent = 67%"));
}

TEST(ExerciseEngine, SettingsAreBroughtIntoRange)
{
    TExerciseEngine e(seededExerciseRandom(1));
    EXPECT_EQ(e.timerInterval(Timer::Flash), 200);
    const std::pair<int, int> flash[] = {{0, 5}, {-40, 5}, {5, 5}, {400, 400}, {1000, 1000}, {99999, 1000}};
    for (const auto &[given, used] : flash) {
        e.setFlashTime(given);
        EXPECT_EQ(e.timerInterval(Timer::Flash), used) << given;
    }
    const std::pair<int, int> minutes[] = {{0, 60}, {1, 60}, {4, 240}, {5, 300}, {-7, 60}, {1000000, 300}};
    for (const auto &[given, maximum] : minutes) {
        e.setPracticeMinutes(given);
        EXPECT_EQ(e.progressMaximum(), maximum) << given;
    }
}

TEST(ExerciseEngine, LastSessionMessage)
{
    EXPECT_EQ(TExerciseEngine::lastSessionMessage(QStringLiteral("12%"), 400),
              QStringLiteral("Your last session's correct percentage was: 12%. Your flash time was: 400 "
                             "milliseconds."));
}

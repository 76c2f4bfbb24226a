#include "ExerciseEngine.h"
#include "ExerciseWords.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

namespace {

using Phase = TExerciseEngine::Phase;
using Timer = ExerciseTimer;
const Timer kAllTimers[] = {Timer::Countdown, Timer::Flash, Timer::AnswerDelay, Timer::PracticeClock};

// Countdown to the choices: four countdown ticks, two flash ticks, the answer delay.
void runToChoices(TExerciseEngine &e)
{
    for (Timer t : {Timer::Countdown, Timer::Countdown, Timer::Countdown, Timer::Countdown, Timer::Flash,
                    Timer::Flash, Timer::AnswerDelay}) {
        ASSERT_TRUE(e.timerOn(t));
        e.tick(t);
    }
    ASSERT_EQ(e.phase(), Phase::Answering);
}

void answer(TExerciseEngine &e, bool right)
{
    runToChoices(e);
    e.chooseBox(right ? e.correctBox() : e.correctBox() % 3 + 1);
    ASSERT_EQ(e.enter(), ExerciseNotice::None);
    e.nextWord();
}

} // namespace

TEST(ExerciseEngine, OverSeededItemsTheWordFlashesOnItsSideAndTheChoicesAreThreeWordsOfItsGroup)
{
    std::set<int> positions, sides;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        TExerciseEngine e(seededExerciseRandom(seed));
        e.setPracticeMinutes(5);
        e.start();
        std::set<std::pair<int, int>> picks; // seeded once, so the picks of one run vary
        for (int item = 0; item < 10; ++item) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " item " << item);
            QStringList centre;
            for (int k = 0; k < 4; ++k)
                centre.append((e.tick(Timer::Countdown), e.centreText()));
            EXPECT_EQ(centre, QStringList({"3", "2", "1", ""}));
            e.tick(Timer::Flash);
            picks.insert({e.wordGroup(), e.targetWord()});
            const QString target = e.targetWordText();
            EXPECT_EQ(QStringList({e.leftText(), e.rightText()}),
                      e.flashSide() == 1 ? QStringList({target, ""}) : QStringList({"", target}));
            sides.insert(e.flashSide());
            e.tick(Timer::Flash);
            e.tick(Timer::AnswerDelay);
            std::set<QString> offered, group;
            for (int box = 1; box <= 3; ++box)
                offered.insert(e.choiceCaption(box));
            for (int w = 1; w <= kExerciseGroupSize; ++w)
                group.insert(exerciseWord(e.wordGroup(), w));
            EXPECT_EQ(offered.size(), 3u);
            EXPECT_TRUE(std::includes(group.begin(), group.end(), offered.begin(), offered.end()));
            EXPECT_EQ(e.choiceCaption(e.correctBox()), target);
            positions.insert(e.correctBox());
            e.chooseBox(1 + item % 3);
            ASSERT_EQ(e.enter(), ExerciseNotice::None);
            EXPECT_EQ(e.correctCount() + e.wrongCount(), item + 1);
            e.nextWord();
        }
        EXPECT_GT(picks.size(), 5u);
    }
    EXPECT_EQ(positions, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(sides, (std::set<int>{1, 2}));
}

TEST(ExerciseEngine, ScriptedDrawsSkipTakenWordsAndFillTheBoxesInOrder)
{
    const std::tuple<std::vector<int>, int, int, QStringList> cases[] = {
        {{4, 5, 2, 6, 1}, 2, 8, {"warfare", "warden", "warmth"}},
        {{4, 5, 2, 6, 3}, 2, 8, {"warden", "warmth", "warfare"}},
        {{26, 10, 9, 8, 2}, 9, 8, {"absorb", "abstract", "abroad"}}, // always the highest: still ends
    };
    for (const auto &[draws, second, third, boxes] : cases) {
        std::size_t next = 0;
        TExerciseEngine e([&](int low, int high) {
            const int v = draws[next++];
            EXPECT_TRUE(v >= low && v <= high);
            return v;
        });
        e.PickExerciseWord();
        e.ShowExerciseChoices();
        EXPECT_EQ(e.secondWord(), second);
        EXPECT_EQ(e.thirdWord(), third);
        EXPECT_EQ(QStringList({e.choiceCaption(1), e.choiceCaption(2), e.choiceCaption(3)}), boxes);
    }
}

TEST(ExerciseEngine, PercentageRoundsHalvesToEven)
{
    const std::tuple<int, int, std::optional<long long>> cases[] = {
        {1, 7, 12}, {3, 5, 38}, {5, 3, 62}, {1, 2, 33}, {3, 197, 2}, {0, 0, std::nullopt}};
    for (const auto &[right, wrong, percent] : cases)
        EXPECT_EQ(TExerciseEngine::percentage(right, wrong), percent) << right << "/" << wrong;
}

TEST(ExerciseEngine, EnterWithNothingCheckedAsksAgainAndCountsNothing)
{
    TExerciseEngine e(seededExerciseRandom(5));
    e.start();
    runToChoices(e);
    EXPECT_EQ(e.enter(), ExerciseNotice::NothingChecked);
    EXPECT_EQ(e.phase(), Phase::Answering);
    EXPECT_FALSE(e.nextWordEnabled());
    EXPECT_EQ(e.correctCount() + e.wrongCount(), 0);

    const QString target = e.targetWordText();
    e.chooseBox(e.correctBox());
    EXPECT_EQ(e.enter(), ExerciseNotice::None);
    EXPECT_EQ(e.enter(), ExerciseNotice::None); // Enter again on the result: counted once
    EXPECT_EQ(e.correctCount(), 1);
    EXPECT_EQ(e.correctWordText(), QStringLiteral("The correct word is:  ") + target);
    EXPECT_EQ(e.checkedBox(), 0);
    EXPECT_TRUE(e.resultPanelVisible() && e.nextWordEnabled());
}

TEST(ExerciseEngine, OneMinutePracticeMovesTheBarEveryFiveSecondsAndEndsAtSixty)
{
    TExerciseEngine e(seededExerciseRandom(8));
    e.setPracticeMinutes(1);
    e.start();
    std::vector<int> barMoves, timeUps;
    for (int second = 1; second <= 61; ++second) {
        const int before = e.progressValue();
        if (e.tick(Timer::PracticeClock) == ExerciseNotice::TimeUp)
            timeUps.push_back(second);
        if (e.progressValue() != before)
            barMoves.push_back(second);
        e.tick(Timer::Countdown); // the item runs on beside the clock
    }
    EXPECT_EQ(barMoves, (std::vector<int>{5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60}));
    EXPECT_EQ(timeUps, std::vector<int>{60});
    for (Timer t : kAllTimers)
        EXPECT_FALSE(e.timerOn(t));
    EXPECT_EQ(e.verdictText(), QStringLiteral("Click the \"Start\" button to do more."));
    EXPECT_TRUE(e.resultPanelVisible() && !e.answerPanelVisible() && !e.nextWordEnabled());

    e.setPracticeMinutes(3); // shortening below the seconds counted still ends the practice
    e.start();
    for (int s = 0; s < 90; ++s)
        e.tick(Timer::PracticeClock);
    e.setPracticeMinutes(1);
    EXPECT_EQ(e.tick(Timer::PracticeClock), ExerciseNotice::TimeUp);
}

TEST(ExerciseEngine, CountsSurviveStopAndResetAndANewStart)
{
    TExerciseEngine e(seededExerciseRandom(21));
    e.setPracticeMinutes(5);
    e.start();
    EXPECT_EQ(e.percentText(), QStringLiteral("Percent = N/A"));
    answer(e, true);
    EXPECT_EQ(e.verdictColor(), kExerciseGreen);
    answer(e, false);
    EXPECT_EQ(e.verdictText(), QStringLiteral("You chose the wrong word!"));
    EXPECT_EQ(e.verdictColor(), kExerciseRed);
    for (int k = 0; k < 5; ++k)
        e.tick(k < 4 ? Timer::Countdown : Timer::Flash);
    e.stopAndReset(); // while the word is up
    EXPECT_TRUE(e.leftText().isEmpty() && e.rightText().isEmpty());
    EXPECT_FALSE(e.enterEnabled() || e.nextWordEnabled() || e.answerPanelVisible());
    for (Timer t : kAllTimers) {
        EXPECT_FALSE(e.timerOn(t));
        e.tick(t); // a tick already queued does nothing
    }
    EXPECT_EQ(e.phase(), Phase::Idle);

    e.start();
    answer(e, true);
    EXPECT_EQ(QStringList({e.correctCountText(), e.wrongCountText(), e.percentText(), e.lastPercent()}),
              QStringList({"Correct = 2", "Incorrect = 1", "Percent = 67%", "67%"}));
}

TEST(ExerciseEngine, TimerSettingsAreBroughtIntoRange)
{
    TExerciseEngine e(seededExerciseRandom(1));
    EXPECT_EQ(e.timerInterval(Timer::Flash), 200);
    for (const auto &[given, used] : {std::pair{0, 5}, {400, 400}, {99999, 1000}}) {
        e.setFlashTime(given);
        EXPECT_EQ(e.timerInterval(Timer::Flash), used);
    }
    for (const auto &[given, maximum] : {std::pair{0, 60}, {4, 240}, {1000000, 300}}) {
        e.setPracticeMinutes(given);
        EXPECT_EQ(e.progressMaximum(), maximum);
    }
}

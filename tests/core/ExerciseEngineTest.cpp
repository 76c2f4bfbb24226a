#include "ExerciseEngine.h"
#include "ExerciseWords.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <tuple>

namespace {

using Phase = TExerciseEngine::Phase;
using Timer = ExerciseTimer;
const Timer kAllTimers[] = {Timer::Countdown, Timer::Flash, Timer::AnswerDelay, Timer::PracticeClock};

// Runs an item's timers up to the choices; returns what the centre, left and right labels show after each.
QStringList runToChoices(TExerciseEngine &e)
{
    QStringList shown;
    for (Timer t : {Timer::Countdown, Timer::Countdown, Timer::Countdown, Timer::Countdown, Timer::Flash,
                    Timer::Flash, Timer::AnswerDelay}) {
        EXPECT_TRUE(e.timerOn(t));
        e.tick(t);
        shown << QStringList{e.centreText(), e.leftText(), e.rightText()}.join(u'|');
    }
    EXPECT_EQ(e.phase(), Phase::Answering);
    return shown;
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
            const QStringList shown = runToChoices(e);
            const QString target = e.targetWordText();
            const QString flash = QString(e.flashSide() == 1 ? "|%1|" : "||%1").arg(target);
            EXPECT_EQ(shown, QStringList({"3||", "2||", "1||", "||", flash, "||", "||"}));
            picks.insert({e.wordGroup(), e.targetWord()});
            sides.insert(e.flashSide());
            positions.insert(e.correctBox());
            QStringList group, offered{e.choiceCaption(1), e.choiceCaption(2), e.choiceCaption(3)};
            for (int w = 1; w <= kExerciseGroupSize; ++w)
                group << exerciseWord(e.wordGroup(), w);
            EXPECT_EQ(offered.removeDuplicates(), 0);
            EXPECT_TRUE(
                std::all_of(offered.begin(), offered.end(), [&](auto &w) { return group.contains(w); }));
            EXPECT_EQ(e.choiceCaption(e.correctBox()), target);
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

TEST(ExerciseEngine, PercentageRoundsHalvesToEven)
{
    const std::tuple<int, int, std::optional<long long>> cases[] = {
        {1, 7, 12}, {3, 5, 38}, {5, 3, 62}, {1, 2, 33}, {3, 197, 2}, {0, 0, std::nullopt}};
    for (const auto &[right, wrong, percent] : cases)
        EXPECT_EQ(TExerciseEngine::percentage(right, wrong), percent) << right << "/" << wrong;
}

// What the window tests cannot reach: Enter pressed again on the result counts nothing more; Stop & Reset
// while the word is up clears it; a tick already queued when its timer stopped does nothing; a practice
// shortened below the seconds counted still ends; settings from a damaged file are brought into range.
TEST(ExerciseEngine, RepeatedEnterQueuedTicksAndDamagedSettingsDoNoHarm)
{
    TExerciseEngine e(seededExerciseRandom(21));
    e.setPracticeMinutes(3);
    e.start();
    runToChoices(e);
    e.chooseBox(e.correctBox());
    EXPECT_EQ(e.enter(), ExerciseNotice::None);
    EXPECT_EQ(e.enter(), ExerciseNotice::None);
    EXPECT_EQ(std::make_pair(e.correctCount(), e.wrongCount()), std::make_pair(1, 0));
    e.nextWord();
    for (Timer t : {Timer::Countdown, Timer::Countdown, Timer::Countdown, Timer::Countdown, Timer::Flash})
        e.tick(t);
    ASSERT_FALSE(e.leftText().isEmpty() && e.rightText().isEmpty());
    e.stopAndReset();
    EXPECT_TRUE(e.leftText().isEmpty() && e.rightText().isEmpty());
    for (Timer t : kAllTimers) {
        EXPECT_FALSE(e.timerOn(t));
        e.tick(t);
    }
    EXPECT_EQ(e.phase(), Phase::Idle);

    e.start();
    for (int s = 0; s < 90; ++s)
        e.tick(Timer::PracticeClock);
    e.setPracticeMinutes(1);
    EXPECT_EQ(e.tick(Timer::PracticeClock), ExerciseNotice::TimeUp);
    // {given, flash interval, practice seconds}
    for (const auto &[given, flash, seconds] :
         {std::tuple{0, 5, 60}, {4, 5, 240}, {400, 400, 300}, {99999, 1000, 300}}) {
        e.setFlashTime(given);
        e.setPracticeMinutes(given);
        EXPECT_EQ(std::make_pair(e.timerInterval(Timer::Flash), e.progressMaximum()),
                  std::make_pair(flash, seconds));
    }
}

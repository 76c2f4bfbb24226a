#include "ExerciseEngine.h"
#include "ExerciseWords.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <tuple>
#include <utility>

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

namespace {

// A simulated observer: three choices, so a guess is right one time in three; 2 % of answers are lapses
// (a guess whatever the flash time); between, a logistic psychometric function that is right 80 % of the
// time at the threshold and rises there by 0.1 (ten percentage points) per ms.
struct Observer
{
    double thresholdMs;
    std::mt19937_64 random;

    double pRight(double flashMs) const
    {
        constexpr double guess = 1.0 / 3, lapse = 0.02, slopePerMs = 0.1;
        const double atThreshold = (0.8 - guess) / ((1 - lapse) * (1 - guess)); // the logistic's value there
        const double rate = slopePerMs / ((1 - lapse) * (1 - guess) * atThreshold * (1 - atThreshold));
        const double logistic =
            1 / (1 + std::exp(-rate * (flashMs - thresholdMs) - std::log(atThreshold / (1 - atThreshold))));
        return (1 - lapse) * (guess + (1 - guess) * logistic) + lapse * guess;
    }
    bool answers(double flashMs) { return std::uniform_real_distribution<>(0, 1)(random) < pRight(flashMs); }
};

// The engine on a fake clock: a timer switched on is due its interval later and, while it stays on, every
// interval after; the user answers `responseMs` after the choices appear (box and Enter at once) and, without
// the fast rhythm, presses Next Word then too. Records each change of the centre label and the flashed side
// as "ms since the last change:centre|side", with the word written W and a mask M.
struct FakeClockRun
{
    TExerciseEngine &e;
    std::function<bool(int flashMs)> rightAnswer = [](int) { return true; };
    int responseMs = 1000;
    bool stopAtChoices = false;
    qint64 now = 0, changedAt = 0;
    int answers = 0, foreperiodMs = 0;
    QStringList changes{}, masks{};

    void run()
    {
        std::array<qint64, 6> due{};
        std::array<bool, 6> on{};
        qint64 answerAt = -1;
        QString shown = QStringLiteral("|");
        const auto sync = [&] {
            for (std::size_t i = 0; i < on.size(); ++i) {
                const auto t = static_cast<Timer>(i);
                if (e.timerOn(t) && !on[i])
                    due[i] = now + e.timerInterval(t);
                if (t == Timer::Foreperiod && e.timerOn(t))
                    foreperiodMs = e.timerInterval(t);
                on[i] = e.timerOn(t);
            }
            if (e.phase() == Phase::Answering && answerAt < 0)
                answerAt = now + responseMs;
            const QString side = e.leftText() + e.rightText();
            EXPECT_TRUE(e.leftText().isEmpty() || e.rightText().isEmpty());
            const QString l = e.centreText() + u'|' +
                              (side.size() < 4 ? side : QString(side == e.targetWordText() ? u'W' : u'M'));
            if (l != shown) {
                changes << QStringLiteral("%1:%2").arg(now - changedAt).arg(shown = l);
                changedAt = now;
                if (l.endsWith(u'M'))
                    masks << side;
            }
        };
        sync();
        while (e.practising() && !(stopAtChoices && e.phase() == Phase::Answering)) {
            std::size_t next = on.size();
            now = answerAt >= 0 ? answerAt : std::numeric_limits<qint64>::max();
            for (std::size_t i = 0; i < on.size(); ++i)
                if (on[i] && due[i] < now)
                    now = due[i], next = i;
            if (next == on.size()) {
                answerAt = -1;
                const bool right = rightAnswer(e.itemFlashTime());
                e.chooseBox(right ? e.correctBox() : e.correctBox() % 3 + 1);
                EXPECT_EQ(e.enter(), ExerciseNotice::None);
                ++answers;
                e.nextWord();
            } else {
                e.tick(static_cast<Timer>(next));
                on[next] = e.timerOn(static_cast<Timer>(next));
                due[next] += e.timerInterval(static_cast<Timer>(next));
            }
            sync();
        }
    }
};

ExerciseOptions allExtras()
{
    return ExerciseOptions{true, true, true, true, true, false};
}

} // namespace

// One item's label changes with each extra: the fixation mark stays up until the word appears, the random
// wait replaces the blank flash interval before the word, the mask follows the word in its place, and the
// choices come 500 ms after the last change. P stands for the fixation mark's 500 ms plus the random wait.
TEST(ExerciseEngine, EachOptionShowsTheMarkWordAndMaskInOrderOnAFakeClock)
{
    const std::pair<ExerciseOptions, const char *> rows[] = {
        {ExerciseOptions{}, "800:3| 800:2| 800:1| 800:| 45:|W 45:|"},
        {ExerciseOptions{.fixationMark = true}, "800:3| 800:2| 800:1| 800:+| 45:|W 45:|"},
        {ExerciseOptions{.backwardMask = true}, "800:3| 800:2| 800:1| 800:| 45:|W 45:|M 100:|"},
        {ExerciseOptions{.fastRhythm = true}, "0:+| 500:| 45:|W 45:|"},
        {allExtras(), "0:+| P:|W 45:|M 100:|"},
    };
    std::set<int> foreperiods;
    for (std::uint64_t seed = 1; seed <= 20; ++seed)
        for (const auto &[options, expected] : rows) {
            TExerciseEngine e(seededExerciseRandom(seed));
            e.setFlashTime(45);
            e.setOptions(options);
            e.start();
            FakeClockRun r{e};
            r.stopAtChoices = true;
            r.run();
            EXPECT_EQ(r.changes.join(u' '),
                      QString::fromLatin1(expected).replace(u'P', QString::number(500 + r.foreperiodMs)));
            EXPECT_EQ(r.now - r.changedAt, 500);
            if (options.foreperiod) {
                foreperiods.insert(r.foreperiodMs);
                EXPECT_TRUE(r.foreperiodMs >= 300 && r.foreperiodMs <= 700) << r.foreperiodMs;
            }
            // A mask: random letters, as many as the word has.
            EXPECT_EQ(r.masks.size(), options.backwardMask ? 1 : 0);
            for (const QString &mask : std::as_const(r.masks))
                EXPECT_TRUE(
                    mask.size() == e.targetWordText().size() &&
                    std::all_of(mask.begin(), mask.end(), [](QChar c) { return c >= u'a' && c <= u'z'; }));
        }
    EXPECT_GT(foreperiods.size(), 5u) << "the wait before the word varies";
}

// A 3-minute practice with the fast rhythm, every extra on and a user who answers a second after the
// choices appear; without the extras the same practice holds about half as many.
TEST(ExerciseEngine, FastRhythmHoldsSixtyItemsInThreeMinutes)
{
    for (const auto &[options, atLeast, atMost] :
         {std::tuple{allExtras(), 60, 1000}, {ExerciseOptions{}, 25, 40}}) {
        TExerciseEngine e(seededExerciseRandom(5));
        e.setFlashTime(60);
        e.setPracticeMinutes(3);
        e.setOptions(options);
        e.start();
        Observer observer{60, std::mt19937_64(5)};
        FakeClockRun r{e, [&](int ms) { return observer.answers(ms); }};
        r.run();
        EXPECT_EQ(r.now, 180'000) << "the practice clock ends it";
        EXPECT_GE(r.answers, atLeast);
        EXPECT_LE(r.answers, atMost);
        std::cout << (options.fastRhythm ? "fast rhythm: " : "classic: ") << r.answers
                  << " items in 3 minutes\n";
    }
}

// The staircase over 3-minute practices with a simulated observer: its flash times are whole steps inside
// the bar, it moves one step down after a right answer and four up after a wrong one, and its threshold
// estimate lands within 10 ms of the observer's in at least 90 % of the runs.
TEST(ExerciseEngine, StaircaseFindsTheThresholdOfASimulatedObserver)
{
    for (const auto &[threshold, runs] : {std::pair{60, 200}, {20, 40}, {100, 40}, {150, 40}, {300, 40}}) {
        int within = 0;
        double sum = 0, sumSquares = 0;
        for (int seed = 1; seed <= runs; ++seed) {
            TExerciseEngine e(seededExerciseRandom(static_cast<std::uint64_t>(seed)));
            e.setFlashTime(100);
            e.setPracticeMinutes(3);
            e.setOptions(allExtras());
            e.start();
            Observer observer{double(threshold), std::mt19937_64(static_cast<std::uint64_t>(seed) * 7919)};
            int last = 0;
            bool lastRight = true;
            FakeClockRun r{e, [&](int ms) {
                               if (last != 0) {
                                   EXPECT_EQ(ms, std::clamp(last + (lastRight ? -5 : 20), 5, 1000));
                               }
                               EXPECT_EQ(ms % 5, 0);
                               last = ms;
                               return lastRight = observer.answers(ms);
                           }};
            r.run();
            ASSERT_TRUE(e.threshold());
            const double estimate = *e.threshold();
            within += std::abs(estimate - threshold) <= 10;
            sum += estimate;
            sumSquares += estimate * estimate;
            EXPECT_EQ(e.settledFlashTime(), std::clamp(last + (lastRight ? -5 : 20), 5, 1000))
                << "the bar takes where the staircase stood";
        }
        const double mean = sum / runs;
        std::cout << "threshold " << threshold << " ms: estimate " << mean << " +- "
                  << std::sqrt(sumSquares / runs - mean * mean) << " ms, " << within << "/" << runs
                  << " within 10 ms\n";
        EXPECT_GE(within, runs * 9 / 10) << threshold;
    }
}

// With the refresh rate known, a step is one frame and every flash time a whole number of frames; with
// frame-locked times the bar's setting snaps to the nearest frame; an implausible rate is no rate.
TEST(ExerciseEngine, FramesSetTheStepAndSnapFlashTimes)
{
    for (const auto &[hz, bar, frameLocked, flash, frames] : {std::tuple{60.0, 40, true, 33, 2.0},
                                                              {60.0, 5, true, 17, 1.0},
                                                              {60.0, 40, false, 40, 2.4},
                                                              {144.0, 40, true, 42, 6.0},
                                                              {0.0, 40, true, 40, -1.0},
                                                              {5000.0, 40, true, 40, -1.0}}) {
        TExerciseEngine e(seededExerciseRandom(1));
        e.setRefreshRate(hz);
        e.setOptions(ExerciseOptions{.frameLocked = frameLocked});
        e.setFlashTime(bar);
        EXPECT_EQ(e.flashTime(), flash) << hz << " Hz, " << bar << " ms";
        EXPECT_NEAR(e.flashFrames().value_or(-1), frames, 1e-9);
    }
    ExerciseStaircase frames(1000.0 / 60, 100);
    std::mt19937_64 random(3);
    for (int i = 0; i < 500; ++i) {
        frames.answer(random() % 5 != 0);
        const double n = frames.flashMs() * 60 / 1000;
        EXPECT_NEAR(n, std::round(n), 1e-9);
        EXPECT_TRUE(frames.flashMs() >= 5 && frames.flashMs() <= 1000);
    }
}

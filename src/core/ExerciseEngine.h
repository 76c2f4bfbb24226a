#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

// A source of whole numbers drawn evenly from low..high, both included.
using ExerciseRandom = std::function<int(int low, int high)>;

// A Mersenne twister seeded once. Seeding again before each draw would repeat the same "random" word
// whenever two draws fell within one tick of the clock.
ExerciseRandom seededExerciseRandom(std::uint64_t seed);
// A seed from the system clock, for the one seeding when an exercise window opens.
std::uint64_t exerciseSeedFromClock();

// The exercise's timers, each switched on and off by the engine.
enum class ExerciseTimer
{
    Countdown,
    Flash,
    AnswerDelay,
    PracticeClock,
    Foreperiod, // the random wait before the word, when that option is on
    Mask,       // the backward mask that replaces the word
};

inline constexpr int kExerciseCountdownMs = 800;
inline constexpr int kExerciseAnswerDelayMs = 500;
inline constexpr int kExercisePracticeClockMs = 1000;
inline constexpr int kExerciseFlashMsBeforeSettings = 200;
inline constexpr int kExerciseFlashMsMin = 5;
inline constexpr int kExerciseFlashMsMax = 1000;
inline constexpr int kExercisePracticeMinutesMin = 1;
inline constexpr int kExercisePracticeMinutesMax = 5;
inline constexpr int kExerciseLastPercentCapacity = 10;
inline constexpr int kExerciseFixationMs = 500;
inline constexpr int kExerciseMaskMs = 100;
inline constexpr int kExerciseForeperiodMinMs = 300;
inline constexpr int kExerciseForeperiodMaxMs = 700;
inline constexpr int kExerciseStaircaseStepMs = 5;
// A wrong answer moves the flash time this many steps up, a right one one step down: the track settles
// where four right answers come for every wrong one, 80 % correct.
inline constexpr int kExerciseStaircaseUpSteps = 4;
inline constexpr int kExerciseStaircaseReversals = 6;
inline constexpr char kExerciseFixationMark[] = "+";

// The exercise's opt-in extras; all off gives the classic exercise.
struct ExerciseOptions
{
    bool staircase = false;    // the flash time follows the answers
    bool fastRhythm = false;   // a 500 ms fixation mark instead of 3-2-1, and the next word without a click
    bool backwardMask = false; // a letter pattern replaces the word for 100 ms
    bool fixationMark = false; // a central mark during the wait before the word
    bool foreperiod = false;   // a random 300..700 ms wait before the word
    bool frameLocked = false;  // flash times in whole frames of the screen
};

// A weighted up/down staircase over flash times: one step down after a right answer, four up after a wrong
// one, between the bar's bounds. Flash times are whole steps, so with a step of one frame every flash time
// is a whole number of frames. Deterministic: the answers are its only input.
class ExerciseStaircase
{
public:
    ExerciseStaircase(double stepMs, double startMs);

    // The flash time of the next item.
    double flashMs() const { return m_level * m_stepMs; }
    double stepMs() const { return m_stepMs; }
    void answer(bool right);
    // The mean of the flash times at the last six reversals (fewer while fewer were seen); none before the
    // first reversal.
    std::optional<double> threshold() const;
    int reversalCount() const { return m_reversalCount; }

private:
    double m_stepMs;
    int m_minLevel;
    int m_maxLevel;
    int m_level;
    int m_direction = 0; // -1 down, +1 up, 0 before the first answer
    std::array<double, kExerciseStaircaseReversals> m_reversals{};
    int m_reversalCount = 0;
};

inline constexpr std::int32_t kExerciseRed = 255;
inline constexpr std::int32_t kExerciseGreen = 32768;

// What an event asks the window to do beyond repainting from the engine's state.
enum class ExerciseNotice
{
    None,
    NothingChecked, // error message nothingCheckedMessage()
    TimeUp,         // sound 4, then information message timeUpMessage()
};

// The word-flash exercise: one item runs Countdown -> Flash -> Delay -> Answering -> Result, and "Next Word"
// begins the next countdown; the practice clock runs beside it from Start until Stop & Reset or the end of
// the practice time. The window forwards its timers' ticks and its buttons here, then repaints from the
// getters and switches each timer to timerOn()/timerInterval(). A tick for a timer that is off is ignored,
// so a tick already queued when a timer stops does no harm. Numbers are 1-based as the window shows them.
// The extras (ExerciseOptions) fit into the same phases: the fixation mark and the random wait belong to
// the wait before the word (Countdown, Flash), the mask to Delay.
class TExerciseEngine
{
public:
    enum class Phase
    {
        Idle,
        Countdown,
        Flash,
        Delay,
        Answering,
        Result,
    };

    explicit TExerciseEngine(ExerciseRandom random);

    // Settings the control page changes at any time. Out-of-range values are brought into range, so a
    // damaged settings file cannot give a timer a zero or negative interval or a practice without end.
    void setFlashTime(int ms);
    void setPracticeMinutes(int minutes);
    // Taken at the next Start; Stop & Reset keeps them.
    void setOptions(const ExerciseOptions &options);
    const ExerciseOptions &options() const { return m_options; }
    // The screen's refresh rate in hertz; anything outside 20..1000 means it is not known.
    void setRefreshRate(double hz);
    std::optional<double> frameMs() const;

    void start();
    void stopAndReset();
    void countdownTick();
    void flashTick();
    void answerDelayTick();
    void foreperiodTick();
    void maskTick();
    ExerciseNotice practiceTick();
    // The box clicked, 1..3; the other two are unchecked. Only while the choices are up.
    void chooseBox(int box);
    ExerciseNotice enter();
    void nextWord();
    // Calls the tick of `timer`, for windows that route all the timers through one slot.
    ExerciseNotice tick(ExerciseTimer timer);

    bool timerOn(ExerciseTimer timer) const;
    int timerInterval(ExerciseTimer timer) const;

    Phase phase() const { return m_phase; }
    bool practising() const { return m_practising; }
    // The flash time the next word is shown for: the bar's, snapped to whole frames when that option is on,
    // or the staircase's during a practice with the staircase.
    int flashTime() const;
    // The same in frames, when the refresh rate is known.
    std::optional<double> flashFrames() const;
    // The bar's setting as given.
    int flashSetting() const { return m_flashTime; }
    // The flash time the current (or last) word was shown for, fixed when it appeared.
    int itemFlashTime() const { return m_itemFlashMs; }
    const ExerciseStaircase *staircase() const { return m_staircase ? &*m_staircase : nullptr; }
    // The lowest and highest flash time of the answers counted so far; 0 before the first answer.
    int answeredMinMs() const { return m_answeredMinMs; }
    int answeredMaxMs() const { return m_answeredMaxMs; }
    // "Flash time: 33 ms = 2.0 frames at 60 Hz    Threshold: 48 ms": frames when the refresh rate is known,
    // the threshold with the staircase.
    QString flashInfoText() const;
    // Flash times as the last-session message names them: "35", or "20 to 35" when they differed.
    static QString flashRangeText(int minMs, int maxMs);
    // Where the staircase stood when the last practice with it ended: the bar takes this flash time.
    const std::optional<int> &settledFlashTime() const { return m_settledFlashMs; }
    // The threshold estimate: the running staircase's, or the one the last practice ended with.
    std::optional<double> threshold() const
    {
        return m_staircase ? m_staircase->threshold() : m_lastThreshold;
    }
    int practiceMinutes() const { return m_practiceMinutes; }

    // The three word labels.
    const QString &centreText() const { return m_centreText; }
    const QString &leftText() const { return m_leftText; }
    const QString &rightText() const { return m_rightText; }

    // The bottom panel: the result panel lies over the answer panel when both are visible.
    bool answerPanelVisible() const { return m_answerPanelVisible; }
    bool resultPanelVisible() const { return m_resultPanelVisible; }
    bool enterEnabled() const { return m_enterEnabled; }
    bool nextWordEnabled() const { return m_nextWordEnabled; }
    QString choiceCaption(int box) const;
    int checkedBox() const { return m_checkedBox; } // 0: none

    const QString &verdictText() const { return m_verdictText; }
    std::int32_t verdictColor() const { return m_verdictColor; }
    const QString &correctWordText() const { return m_correctWordText; }
    QString correctCountText() const;
    QString wrongCountText() const;
    QString percentText() const;
    // "12%" after an answer, the value ExerciseLastPercent takes; empty before the first answer.
    const QString &lastPercent() const { return m_lastPercent; }

    int progressValue() const { return m_progressValue; }
    int progressMaximum() const { return m_practiceMinutes * 60; }

    int wordGroup() const { return WordGroup; }
    int targetWord() const { return TargetWord; }
    int correctBox() const { return CorrectBox; }
    int flashSide() const { return FlashSide; } // 1 left, 2 right
    int correctCount() const { return CorrectCount; }
    int wrongCount() const { return WrongCount; }
    int flashTicks() const { return FlashTicks; }
    QString targetWordText() const;

    void PickExerciseWord();
    void ShowExerciseChoices();
    void ClearExerciseChoices() { m_checkedBox = 0; }

    static QString nothingCheckedMessage();
    static QString timeUpMessage();
    static QString lastSessionMessage(const QString &lastPercent, const QString &flashTime);
    // With the staircase, the message also names the threshold reached.
    static QString lastSessionMessage(const QString &lastPercent, const QString &flashTime,
                                      double thresholdMs);
    // Correct answers as a whole percentage of all answers, halves to even; nothing before any answer.
    static std::optional<long long> percentage(int correct, int wrong);

private:
    void stopItemTimers();
    void emptyLabels();
    void beginItem();
    void showWord();
    void setTimer(ExerciseTimer timer, bool on) { m_timerOn[static_cast<std::size_t>(timer)] = on; }
    double exactFlashMs() const;
    void endStaircase();
    // A random letter pattern as long as `word`, so the mask covers the word's place.
    QString maskFor(const QString &word);

    ExerciseRandom m_random;
    Phase m_phase = Phase::Idle;
    bool m_practising = false;
    std::array<bool, 6> m_timerOn{};
    int m_flashTime = kExerciseFlashMsBeforeSettings;
    ExerciseOptions m_options;
    ExerciseOptions m_pendingOptions;
    double m_refreshHz = 0;
    std::optional<ExerciseStaircase> m_staircase;
    std::optional<int> m_settledFlashMs;
    std::optional<double> m_lastThreshold;
    int m_foreperiodMs = kExerciseForeperiodMinMs;
    int m_itemFlashMs = 0;
    int m_answeredMinMs = 0; // 0: no answer yet
    int m_answeredMaxMs = 0;
    int m_practiceMinutes = 3;

    QString m_centreText;
    QString m_leftText;
    QString m_rightText;
    bool m_answerPanelVisible = false;
    bool m_resultPanelVisible = false;
    bool m_enterEnabled = false;
    bool m_nextWordEnabled = false;
    std::array<int, 3> m_boxWord{}; // word number shown in each box, 0 before any choices
    int m_checkedBox = 0;
    QString m_verdictText;
    std::int32_t m_verdictColor = 0;
    QString m_correctWordText;
    QString m_lastPercent;
    int m_progressValue = 0;

    int WordGroup = 1;
    int TargetWord = 1;
    int SecondWord = 2;
    int ThirdWord = 3;
    int CorrectBox = 1;
    int FlashSide = 1;
    // Only a new engine starts the counts at 0: Start, Stop & Reset and the end of a practice keep them.
    int CorrectCount = 0;
    int WrongCount = 0;
    int CountdownTicks = 0;
    int FlashTicks = 0;
    int PracticeSeconds = 0;
};

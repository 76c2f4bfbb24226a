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

// The exercise's four timers, each switched on and off by the engine.
enum class ExerciseTimer
{
    Countdown,
    Flash,
    AnswerDelay,
    PracticeClock,
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

    void start();
    void stopAndReset();
    void countdownTick();
    void flashTick();
    void answerDelayTick();
    ExerciseNotice practiceTick();
    // The box clicked, 1..3; the other two are unchecked. Only while the choices are up.
    void chooseBox(int box);
    ExerciseNotice enter();
    void nextWord();
    // Calls the tick of `timer`, for windows that route all four timers through one slot.
    ExerciseNotice tick(ExerciseTimer timer);

    bool timerOn(ExerciseTimer timer) const;
    int timerInterval(ExerciseTimer timer) const;

    Phase phase() const { return m_phase; }
    bool practising() const { return m_practising; }
    int flashTime() const { return m_flashTime; }
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
    static QString lastSessionMessage(const QString &lastPercent, int flashTime);
    // Correct answers as a whole percentage of all answers, halves to even; nothing before any answer.
    static std::optional<long long> percentage(int correct, int wrong);

private:
    void stopItemTimers();
    void emptyLabels();

    ExerciseRandom m_random;
    Phase m_phase = Phase::Idle;
    bool m_practising = false;
    std::array<bool, 4> m_timerOn{};
    int m_flashTime = kExerciseFlashMsBeforeSettings;
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

#include "ExerciseEngine.h"

#include "ExerciseWords.h"
#include "Wpm.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <utility>

ExerciseRandom seededExerciseRandom(std::uint64_t seed)
{
    auto engine = std::make_shared<std::mt19937_64>(seed);
    return [engine](int low, int high) { return std::uniform_int_distribution<int>(low, high)(*engine); };
}

std::uint64_t exerciseSeedFromClock()
{
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

namespace {

std::size_t timerIndex(ExerciseTimer timer)
{
    return static_cast<std::size_t>(timer);
}

} // namespace

TExerciseEngine::TExerciseEngine(ExerciseRandom random) : m_random(std::move(random)) {}

void TExerciseEngine::setFlashTime(int ms)
{
    m_flashTime = std::clamp(ms, kExerciseFlashMsMin, kExerciseFlashMsMax);
}

void TExerciseEngine::setPracticeMinutes(int minutes)
{
    m_practiceMinutes = std::clamp(minutes, kExercisePracticeMinutesMin, kExercisePracticeMinutesMax);
}

void TExerciseEngine::start()
{
    ClearExerciseChoices();
    PickExerciseWord();
    FlashTicks = 0;
    CountdownTicks = 0;
    PracticeSeconds = 0;
    stopItemTimers();
    m_timerOn[timerIndex(ExerciseTimer::Countdown)] = true;
    m_timerOn[timerIndex(ExerciseTimer::PracticeClock)] = true;
    m_practising = true;
    m_progressValue = 0;
    m_enterEnabled = true;
    emptyLabels();
    m_phase = Phase::Countdown;
}

void TExerciseEngine::stopAndReset()
{
    m_timerOn[timerIndex(ExerciseTimer::PracticeClock)] = false;
    m_practising = false;
    PracticeSeconds = 0;
    stopItemTimers();
    m_answerPanelVisible = false;
    m_resultPanelVisible = true;
    m_progressValue = 0;
    m_enterEnabled = false;
    m_nextWordEnabled = false;
    // A word or countdown digit caught on screen by the stop would otherwise stay there.
    emptyLabels();
    m_phase = Phase::Idle;
}

void TExerciseEngine::countdownTick()
{
    if (!timerOn(ExerciseTimer::Countdown))
        return;
    ++CountdownTicks;
    if (CountdownTicks <= 3) {
        m_centreText = QString::number(4 - CountdownTicks);
        return;
    }
    m_centreText.clear();
    CountdownTicks = 0;
    m_timerOn[timerIndex(ExerciseTimer::Countdown)] = false;
    m_timerOn[timerIndex(ExerciseTimer::Flash)] = true;
    m_phase = Phase::Flash;
}

void TExerciseEngine::flashTick()
{
    if (!timerOn(ExerciseTimer::Flash))
        return;
    if (FlashTicks == 0) {
        FlashTicks = 1;
        FlashSide = m_random(1, 2);
        (FlashSide == 1 ? m_leftText : m_rightText) = targetWordText();
        return;
    }
    FlashTicks = 0;
    m_timerOn[timerIndex(ExerciseTimer::Flash)] = false;
    emptyLabels();
    m_timerOn[timerIndex(ExerciseTimer::AnswerDelay)] = true;
    m_phase = Phase::Delay;
}

void TExerciseEngine::answerDelayTick()
{
    if (!timerOn(ExerciseTimer::AnswerDelay))
        return;
    m_resultPanelVisible = false;
    m_answerPanelVisible = true;
    ShowExerciseChoices();
    m_timerOn[timerIndex(ExerciseTimer::AnswerDelay)] = false;
    m_phase = Phase::Answering;
}

ExerciseNotice TExerciseEngine::practiceTick()
{
    if (!timerOn(ExerciseTimer::PracticeClock))
        return ExerciseNotice::None;
    ++PracticeSeconds;
    if (PracticeSeconds % 5 == 0)
        m_progressValue = PracticeSeconds;
    // "At least" rather than "exactly": shortening the practice time below the seconds already counted
    // must still end the practice.
    if (PracticeSeconds < progressMaximum())
        return ExerciseNotice::None;
    // Everything stops before the window shows its message, so no tick runs on behind the message box.
    m_timerOn[timerIndex(ExerciseTimer::PracticeClock)] = false;
    m_practising = false;
    PracticeSeconds = 0;
    stopItemTimers();
    emptyLabels();
    m_answerPanelVisible = false;
    m_resultPanelVisible = true;
    m_verdictText = QStringLiteral("Click the \"Start\" button to do more.");
    m_nextWordEnabled = false;
    m_phase = Phase::Idle;
    return ExerciseNotice::TimeUp;
}

void TExerciseEngine::chooseBox(int box)
{
    if (m_phase != Phase::Answering || box < 1 || box > 3)
        return;
    m_checkedBox = box;
}

ExerciseNotice TExerciseEngine::enter()
{
    if (m_phase != Phase::Answering || !m_enterEnabled)
        return ExerciseNotice::None;
    if (m_checkedBox == 0)
        return ExerciseNotice::NothingChecked;
    m_resultPanelVisible = true;
    m_answerPanelVisible = false;
    const QString target = targetWordText();
    if (choiceCaption(m_checkedBox) != target) {
        m_verdictText = QStringLiteral("You chose the wrong word!");
        m_verdictColor = kExerciseRed;
        ++WrongCount;
    } else {
        m_verdictText = QStringLiteral("You chose the correct word!");
        m_verdictColor = kExerciseGreen;
        ++CorrectCount;
    }
    m_correctWordText = QStringLiteral("The correct word is:  ") + target;
    ClearExerciseChoices();
    if (const auto p = percentage(CorrectCount, WrongCount))
        m_lastPercent = QString(QString::number(*p) + QLatin1Char('%')).left(kExerciseLastPercentCapacity);
    m_nextWordEnabled = true;
    m_phase = Phase::Result;
    return ExerciseNotice::None;
}

void TExerciseEngine::nextWord()
{
    if (!m_nextWordEnabled)
        return;
    ClearExerciseChoices();
    // The result panel stays over the answer panel until the answer delay hides it.
    m_answerPanelVisible = true;
    PickExerciseWord();
    FlashTicks = 0;
    CountdownTicks = 0;
    m_timerOn[timerIndex(ExerciseTimer::Countdown)] = true;
    m_nextWordEnabled = false;
    m_phase = Phase::Countdown;
}

ExerciseNotice TExerciseEngine::tick(ExerciseTimer timer)
{
    switch (timer) {
    case ExerciseTimer::Countdown:
        countdownTick();
        break;
    case ExerciseTimer::Flash:
        flashTick();
        break;
    case ExerciseTimer::AnswerDelay:
        answerDelayTick();
        break;
    case ExerciseTimer::PracticeClock:
        return practiceTick();
    }
    return ExerciseNotice::None;
}

bool TExerciseEngine::timerOn(ExerciseTimer timer) const
{
    return m_timerOn[timerIndex(timer)];
}

int TExerciseEngine::timerInterval(ExerciseTimer timer) const
{
    switch (timer) {
    case ExerciseTimer::Countdown:
        return kExerciseCountdownMs;
    case ExerciseTimer::Flash:
        return m_flashTime;
    case ExerciseTimer::AnswerDelay:
        return kExerciseAnswerDelayMs;
    case ExerciseTimer::PracticeClock:
        return kExercisePracticeClockMs;
    }
    return kExercisePracticeClockMs;
}

QString TExerciseEngine::choiceCaption(int box) const
{
    if (box < 1 || box > 3)
        return {};
    return exerciseWord(WordGroup, m_boxWord[static_cast<std::size_t>(box - 1)]);
}

QString TExerciseEngine::correctCountText() const
{
    return QStringLiteral("Correct = ") + QString::number(CorrectCount);
}

QString TExerciseEngine::wrongCountText() const
{
    return QStringLiteral("Incorrect = ") + QString::number(WrongCount);
}

QString TExerciseEngine::percentText() const
{
    const auto p = percentage(CorrectCount, WrongCount);
    const QString value = p ? QString(QString::number(*p) + QLatin1Char('%')) : QStringLiteral("N/A");
    return QStringLiteral("Percent = ") + value;
}

QString TExerciseEngine::targetWordText() const
{
    return exerciseWord(WordGroup, TargetWord);
}

void TExerciseEngine::PickExerciseWord()
{
    WordGroup = m_random(1, kExerciseGroupCount);
    TargetWord = m_random(1, kExerciseGroupSize);
    // Drawing among the words not yet taken and skipping over those gives each remaining word the same
    // chance as drawing again until different, and always ends, whatever the random source returns.
    SecondWord = m_random(1, kExerciseGroupSize - 1);
    if (SecondWord >= TargetWord)
        ++SecondWord;
    ThirdWord = m_random(1, kExerciseGroupSize - 2);
    for (const int taken : {std::min(TargetWord, SecondWord), std::max(TargetWord, SecondWord)})
        if (ThirdWord >= taken)
            ++ThirdWord;
}

void TExerciseEngine::ShowExerciseChoices()
{
    CorrectBox = m_random(1, 3);
    std::array<int, 2> others{SecondWord, ThirdWord};
    std::size_t next = 0;
    for (std::size_t box = 0; box < 3; ++box)
        m_boxWord[box] = static_cast<int>(box) + 1 == CorrectBox ? TargetWord : others[next++];
}

QString TExerciseEngine::nothingCheckedMessage()
{
    return QStringLiteral("You need to check one of the boxes. ");
}

QString TExerciseEngine::timeUpMessage()
{
    return QStringLiteral(
        "Your time is up. Click the \"Start\" button to the right if you want to continue.");
}

QString TExerciseEngine::lastSessionMessage(const QString &lastPercent, int flashTime)
{
    return QStringLiteral("Your last session's correct percentage was: ") + lastPercent +
           QStringLiteral(". Your flash time was: ") + QString::number(flashTime) +
           QStringLiteral(" milliseconds.");
}

std::optional<long long> TExerciseEngine::percentage(int correct, int wrong)
{
    const int total = correct + wrong;
    if (total <= 0)
        return std::nullopt;
    // correct * 100 / total is exact whenever the true value ends in .5, so halves are always seen as halves.
    return roundHalfEven(correct * 100.0 / static_cast<double>(total));
}

void TExerciseEngine::stopItemTimers()
{
    m_timerOn[timerIndex(ExerciseTimer::Countdown)] = false;
    m_timerOn[timerIndex(ExerciseTimer::Flash)] = false;
    m_timerOn[timerIndex(ExerciseTimer::AnswerDelay)] = false;
}

void TExerciseEngine::emptyLabels()
{
    m_centreText.clear();
    m_leftText.clear();
    m_rightText.clear();
}

#include "ExerciseEngine.h"

#include "ExerciseWords.h"
#include "Wpm.h"

#include <algorithm>
#include <chrono>
#include <cmath>
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

ExerciseStaircase::ExerciseStaircase(double stepMs, double startMs)
    : m_stepMs(stepMs),
      // The lowest and highest whole steps inside the bar's range.
      m_minLevel(std::max(1, static_cast<int>(std::ceil(kExerciseFlashMsMin / stepMs - 1e-9)))),
      m_maxLevel(std::max(m_minLevel, static_cast<int>(std::floor(kExerciseFlashMsMax / stepMs + 1e-9)))),
      m_level(std::clamp(static_cast<int>(std::lround(startMs / stepMs)), m_minLevel, m_maxLevel))
{
}

void ExerciseStaircase::answer(bool right)
{
    const int direction = right ? -1 : 1;
    // A reversal is the flash time at which the track turned.
    if (m_direction != 0 && direction != m_direction)
        m_reversals[static_cast<std::size_t>(m_reversalCount++ % kExerciseStaircaseReversals)] = flashMs();
    m_direction = direction;
    m_level = std::clamp(m_level + (right ? -1 : kExerciseStaircaseUpSteps), m_minLevel, m_maxLevel);
}

std::optional<double> ExerciseStaircase::threshold() const
{
    const int kept = std::min(m_reversalCount, kExerciseStaircaseReversals);
    if (kept == 0)
        return std::nullopt;
    double sum = 0;
    for (int i = 0; i < kept; ++i)
        sum += m_reversals[static_cast<std::size_t>(i)];
    return sum / kept;
}

TExerciseEngine::TExerciseEngine(ExerciseRandom random) : m_random(std::move(random)) {}

void TExerciseEngine::setOptions(const ExerciseOptions &options)
{
    m_pendingOptions = options;
    if (!m_practising)
        m_options = options;
}

void TExerciseEngine::setRefreshRate(double hz)
{
    m_refreshHz = std::isfinite(hz) && hz >= 20 && hz <= 1000 ? hz : 0;
}

std::optional<double> TExerciseEngine::frameMs() const
{
    return m_refreshHz > 0 ? std::optional<double>(1000.0 / m_refreshHz) : std::nullopt;
}

double TExerciseEngine::exactFlashMs() const
{
    if (m_staircase)
        return m_staircase->flashMs();
    const auto frame = frameMs();
    if (!m_options.frameLocked || !frame)
        return m_flashTime;
    // The nearest whole number of frames, at least one, no more than the bar allows.
    const double frames = std::clamp(std::round(m_flashTime / *frame), 1.0,
                                     std::max(1.0, std::floor(kExerciseFlashMsMax / *frame)));
    return frames * *frame;
}

int TExerciseEngine::flashTime() const
{
    return static_cast<int>(std::lround(exactFlashMs()));
}

std::optional<double> TExerciseEngine::flashFrames() const
{
    const auto frame = frameMs();
    return frame ? std::optional<double>(exactFlashMs() / *frame) : std::nullopt;
}

QString TExerciseEngine::flashInfoText() const
{
    QString text = QStringLiteral("Flash time: %1 ms").arg(flashTime());
    if (const auto frames = flashFrames())
        text += QStringLiteral(" = %1 frames at %2 Hz").arg(*frames, 0, 'f', 1).arg(std::lround(m_refreshHz));
    if (m_options.staircase) {
        const auto estimate = threshold();
        text += QStringLiteral("    Threshold: ") + (estimate
                                                         ? QStringLiteral("%1 ms").arg(std::lround(*estimate))
                                                         : QStringLiteral("not yet known"));
    }
    return text;
}

QString TExerciseEngine::flashRangeText(int minMs, int maxMs)
{
    if (minMs >= maxMs)
        return QString::number(minMs);
    return QString::number(minMs) + QStringLiteral(" to ") + QString::number(maxMs);
}

void TExerciseEngine::endStaircase()
{
    if (!m_staircase)
        return;
    m_settledFlashMs = std::clamp(flashTime(), kExerciseFlashMsMin, kExerciseFlashMsMax);
    m_lastThreshold = m_staircase->threshold();
    m_staircase.reset();
    m_flashTime = *m_settledFlashMs;
}

QString TExerciseEngine::maskFor(const QString &word)
{
    QString mask;
    for (qsizetype i = 0; i < word.size(); ++i)
        mask += QChar(u'a' + m_random(0, 25));
    return mask;
}

void TExerciseEngine::setFlashTime(int ms)
{
    m_flashTime = std::clamp(ms, kExerciseFlashMsMin, kExerciseFlashMsMax);
    // A time the user sets during a practice is where the staircase goes on from.
    if (m_staircase)
        m_staircase.emplace(m_staircase->stepMs(), m_flashTime);
}

void TExerciseEngine::setPracticeMinutes(int minutes)
{
    m_practiceMinutes = std::clamp(minutes, kExercisePracticeMinutesMin, kExercisePracticeMinutesMax);
}

void TExerciseEngine::start()
{
    m_options = m_pendingOptions;
    m_staircase.reset();
    m_settledFlashMs.reset();
    m_lastThreshold.reset();
    if (m_options.staircase)
        m_staircase.emplace(frameMs().value_or(kExerciseStaircaseStepMs), exactFlashMs());
    ClearExerciseChoices();
    PickExerciseWord();
    FlashTicks = 0;
    CountdownTicks = 0;
    PracticeSeconds = 0;
    stopItemTimers();
    setTimer(ExerciseTimer::PracticeClock, true);
    m_practising = true;
    m_progressValue = 0;
    m_enterEnabled = true;
    emptyLabels();
    beginItem();
}

void TExerciseEngine::beginItem()
{
    setTimer(ExerciseTimer::Countdown, true);
    m_phase = Phase::Countdown;
    if (m_options.fastRhythm)
        m_centreText = QString::fromLatin1(kExerciseFixationMark);
}

void TExerciseEngine::stopAndReset()
{
    setTimer(ExerciseTimer::PracticeClock, false);
    m_practising = false;
    PracticeSeconds = 0;
    stopItemTimers();
    endStaircase();
    m_options = m_pendingOptions;
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
    if (CountdownTicks <= 3 && !m_options.fastRhythm) {
        m_centreText = QString::number(4 - CountdownTicks);
        return;
    }
    m_centreText = m_options.fixationMark ? QString::fromLatin1(kExerciseFixationMark) : QString();
    CountdownTicks = 0;
    setTimer(ExerciseTimer::Countdown, false);
    if (m_options.foreperiod) {
        m_foreperiodMs = m_random(kExerciseForeperiodMinMs, kExerciseForeperiodMaxMs);
        setTimer(ExerciseTimer::Foreperiod, true);
    } else {
        setTimer(ExerciseTimer::Flash, true);
    }
    m_phase = Phase::Flash;
}

void TExerciseEngine::foreperiodTick()
{
    if (!timerOn(ExerciseTimer::Foreperiod))
        return;
    setTimer(ExerciseTimer::Foreperiod, false);
    // The word appears as the wait ends; the flash timer's next tick takes it away.
    showWord();
    setTimer(ExerciseTimer::Flash, true);
}

void TExerciseEngine::showWord()
{
    FlashTicks = 1;
    FlashSide = m_random(1, 2);
    m_centreText.clear();
    (FlashSide == 1 ? m_leftText : m_rightText) = targetWordText();
    m_itemFlashMs = flashTime();
}

void TExerciseEngine::maskTick()
{
    if (!timerOn(ExerciseTimer::Mask))
        return;
    setTimer(ExerciseTimer::Mask, false);
    emptyLabels();
    setTimer(ExerciseTimer::AnswerDelay, true);
}

void TExerciseEngine::flashTick()
{
    if (!timerOn(ExerciseTimer::Flash))
        return;
    if (FlashTicks == 0) {
        showWord();
        return;
    }
    FlashTicks = 0;
    setTimer(ExerciseTimer::Flash, false);
    m_phase = Phase::Delay;
    if (m_options.backwardMask) {
        QString &label = FlashSide == 1 ? m_leftText : m_rightText;
        label = maskFor(label);
        setTimer(ExerciseTimer::Mask, true);
        return;
    }
    emptyLabels();
    setTimer(ExerciseTimer::AnswerDelay, true);
}

void TExerciseEngine::answerDelayTick()
{
    if (!timerOn(ExerciseTimer::AnswerDelay))
        return;
    m_resultPanelVisible = false;
    m_answerPanelVisible = true;
    ShowExerciseChoices();
    setTimer(ExerciseTimer::AnswerDelay, false);
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
    setTimer(ExerciseTimer::PracticeClock, false);
    m_practising = false;
    PracticeSeconds = 0;
    stopItemTimers();
    endStaircase();
    m_options = m_pendingOptions;
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
    const bool right = choiceCaption(m_checkedBox) == target;
    if (!right) {
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
    m_answeredMinMs = m_answeredMinMs == 0 ? m_itemFlashMs : std::min(m_answeredMinMs, m_itemFlashMs);
    m_answeredMaxMs = std::max(m_answeredMaxMs, m_itemFlashMs);
    if (m_staircase)
        m_staircase->answer(right);
    m_nextWordEnabled = true;
    m_phase = Phase::Result;
    if (m_options.fastRhythm)
        nextWord();
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
    m_nextWordEnabled = false;
    beginItem();
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
    case ExerciseTimer::Foreperiod:
        foreperiodTick();
        break;
    case ExerciseTimer::Mask:
        maskTick();
        break;
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
        return m_options.fastRhythm ? kExerciseFixationMs : kExerciseCountdownMs;
    case ExerciseTimer::Flash:
        return flashTime();
    case ExerciseTimer::AnswerDelay:
        return kExerciseAnswerDelayMs;
    case ExerciseTimer::PracticeClock:
        return kExercisePracticeClockMs;
    case ExerciseTimer::Foreperiod:
        return m_foreperiodMs;
    case ExerciseTimer::Mask:
        return kExerciseMaskMs;
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

QString TExerciseEngine::lastSessionMessage(const QString &lastPercent, const QString &flashTime)
{
    return QStringLiteral("Your last session's correct percentage was: ") + lastPercent +
           QStringLiteral(". Your flash time was: ") + flashTime + QStringLiteral(" milliseconds.");
}

QString TExerciseEngine::lastSessionMessage(const QString &lastPercent, const QString &flashTime,
                                            double thresholdMs)
{
    return lastSessionMessage(lastPercent, flashTime) + QStringLiteral(" The threshold you reached was: ") +
           QString::number(std::lround(thresholdMs)) + QStringLiteral(" milliseconds.");
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
    for (const ExerciseTimer t : {ExerciseTimer::Countdown, ExerciseTimer::Foreperiod, ExerciseTimer::Flash,
                                  ExerciseTimer::Mask, ExerciseTimer::AnswerDelay})
        setTimer(t, false);
}

void TExerciseEngine::emptyLabels()
{
    m_centreText.clear();
    m_leftText.clear();
    m_rightText.clear();
}

#include "assess/exercise.h"

#include "app/AppState.h"
#include "app/Convert.h"
#include "app/FontCommand.h"
#include "app/Frame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kBottomPanelHeight = 78;
constexpr int kSideMargin = 20;

void fillWith(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QLabel *countBox(QWidget *parent, const char *objectName)
{
    auto *box = new QLabel(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    box->setAlignment(Qt::AlignCenter);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("Incorrect = 0000")) + 12);
    return box;
}

} // namespace

TExerciseForm::TExerciseForm(AppState &state, QWidget *parent)
    : ModeWindow(state, &TSettings::ExerciseDefaultPlacement, &TSettings::ExerciseBounds, parent),
      m_engine(seededExerciseRandom(exerciseSeedFromClock())), m_countdownTimer(state.services.clock, this),
      m_answerDelayTimer(state.services.clock, this), m_practiceClock(state.services.clock, this),
      m_foreperiodTimer(state.services.clock, this), m_maskTimer(state.services.clock, this)
{
    setObjectName(QStringLiteral("exerciseForm"));
    setWindowTitle(QStringLiteral("Exercises"));
    setMinimumSize(420, kBottomPanelHeight + 60);

    m_flashTimer.setSingleShot(true);
    m_flashTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_countdownTimer, &PaceTimer::timeout, this, &TExerciseForm::countdownTimer);
    connect(&m_flashTimer, &QTimer::timeout, this, &TExerciseForm::flashTimer);
    connect(&m_answerDelayTimer, &PaceTimer::timeout, this, &TExerciseForm::answerDelayTimer);
    connect(&m_practiceClock, &PaceTimer::timeout, this, &TExerciseForm::practiceTimer);
    connect(&m_foreperiodTimer, &PaceTimer::timeout, this, &TExerciseForm::foreperiodTimer);
    connect(&m_maskTimer, &PaceTimer::timeout, this, &TExerciseForm::maskTimer);

    m_flashInfo = new QLabel(this);
    m_flashInfo->setObjectName(QStringLiteral("exerciseFlashInfoLabel"));

    m_centre = new QLabel(this);
    m_centre->setObjectName(QStringLiteral("exerciseCentreLabel"));
    m_centre->setAlignment(Qt::AlignCenter);
    m_left = new QLabel(this);
    m_left->setObjectName(QStringLiteral("exerciseLeftLabel"));
    m_left->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_right = new QLabel(this);
    m_right->setObjectName(QStringLiteral("exerciseRightLabel"));
    m_right->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel *label : {m_centre, m_left, m_right})
        label->setTextFormat(Qt::PlainText);
    m_bottom = buildBottomPanel();

    setBackColor(toQColor(m_state.Settings.ExerciseBackColor));
    applyFont();
    m_engine.setFlashTime(m_state.Settings.ExerciseFlashTime);
    m_engine.setPracticeMinutes(m_state.Settings.ExercisePracticeMinutes);
    takeOptions();
    showState();
}

void TExerciseForm::takeOptions()
{
    const ReadingOptions &o = m_state.options;
    m_engine.setOptions({o.exerciseStaircase, o.exerciseFastRhythm, o.exerciseBackwardMask,
                         o.exerciseFixationMark, o.exerciseForeperiod, o.exerciseFrameLocked});
    m_engine.setRefreshRate(m_state.services.screen.refreshRate());
}

void TExerciseForm::showFlashInfo()
{
    // Shown only with the extras that make the flash time move or count in frames.
    const ExerciseOptions &o = m_engine.options();
    m_flashInfo->setVisible(o.staircase || o.frameLocked);
    m_flashInfo->setText(m_engine.flashInfoText());
}

void TExerciseForm::settleFlashTime()
{
    if (const auto ms = m_engine.settledFlashTime()) {
        m_state.setSpeed(Mode::Exercise, *ms);
        Q_EMIT flashTimeSettled(*ms);
    }
}

TExerciseForm::~TExerciseForm() = default;

QWidget *TExerciseForm::buildBottomPanel()
{
    auto *bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("exerciseBottomPanel"));
    fillWith(bottom, palette().color(QPalette::Window));
    auto *introBox = new QVBoxLayout(bottom);
    introBox->setContentsMargins(6, 6, 6, 6);
    auto *intro = new QLabel(QStringLiteral("To begin, click the \"Start\" button to the right."), bottom);
    intro->setAlignment(Qt::AlignCenter);
    introBox->addWidget(intro);
    m_best = new QPushButton(QStringLiteral("Last Sessions Best"), bottom);
    m_best->setObjectName(QStringLiteral("lastSessionsBestButton"));
    introBox->addWidget(m_best, 0, Qt::AlignHCenter);
    connect(m_best, &QPushButton::clicked, this, &TExerciseForm::lastSessionsBest);

    m_answerPanel = new QWidget(bottom);
    m_answerPanel->setObjectName(QStringLiteral("exerciseAnswerPanel"));
    fillWith(m_answerPanel, palette().color(QPalette::Window));
    auto *answer = new QGridLayout(m_answerPanel);
    answer->setContentsMargins(10, 6, 10, 6);
    answer->addWidget(new QLabel(QStringLiteral("Which word did you see?"), m_answerPanel), 0, 0, 1, 3);
    for (int i = 0; i < 3; ++i) {
        auto *box = new QRadioButton(m_answerPanel);
        box->setObjectName(QStringLiteral("choiceBox%1").arg(i + 1));
        // The boxes show the engine's choice, which can also be none at all.
        box->setAutoExclusive(false);
        connect(box, &QRadioButton::clicked, this, [this, i] { chooseBox(i + 1); });
        m_boxes[static_cast<std::size_t>(i)] = box;
        answer->addWidget(box, 1, i);
    }
    m_enter = new QPushButton(QStringLiteral("Enter"), m_answerPanel);
    m_enter->setObjectName(QStringLiteral("enterButton"));
    answer->addWidget(m_enter, 0, 3, 2, 1, Qt::AlignVCenter);
    answer->setColumnStretch(0, 1);
    answer->setColumnStretch(1, 1);
    answer->setColumnStretch(2, 1);
    connect(m_enter, &QPushButton::clicked, this, &TExerciseForm::enterClicked);

    m_resultPanel = new QWidget(bottom);
    m_resultPanel->setObjectName(QStringLiteral("exerciseResultPanel"));
    fillWith(m_resultPanel, palette().color(QPalette::Window));
    auto *result = new QGridLayout(m_resultPanel);
    result->setContentsMargins(10, 4, 10, 4);
    result->setVerticalSpacing(2);
    m_verdict = new QLabel(m_resultPanel);
    m_verdict->setObjectName(QStringLiteral("verdictLabel"));
    QFont bold = m_verdict->font();
    bold.setBold(true);
    m_verdict->setFont(bold);
    m_correctWord = new QLabel(m_resultPanel);
    m_correctWord->setObjectName(QStringLiteral("correctWordLabel"));
    m_nextWord = new QPushButton(QStringLiteral("Next Word"), m_resultPanel);
    m_nextWord->setObjectName(QStringLiteral("nextWordButton"));
    m_correctCount = countBox(m_resultPanel, "correctCountBox");
    m_wrongCount = countBox(m_resultPanel, "wrongCountBox");
    m_percent = countBox(m_resultPanel, "percentBox");
    result->addWidget(m_verdict, 0, 0);
    result->addWidget(m_correctWord, 1, 0);
    auto *counts = new QHBoxLayout;
    counts->addWidget(m_correctCount);
    counts->addWidget(m_wrongCount);
    counts->addWidget(m_percent);
    counts->addStretch(1);
    result->addLayout(counts, 2, 0);
    result->addWidget(m_nextWord, 0, 1, 3, 1, Qt::AlignVCenter);
    result->setColumnStretch(0, 1);
    connect(m_nextWord, &QPushButton::clicked, this, &TExerciseForm::nextWordClicked);
    return bottom;
}

void TExerciseForm::showEvent(QShowEvent *event)
{
    ModeWindow::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    applyPlacement(m_state.frame != nullptr ? m_state.frame->readerDefaultGeometry() : QRect(0, 0, 600, 300));
    layoutLabels();
}

void TExerciseForm::resizeEvent(QResizeEvent *event)
{
    ModeWindow::resizeEvent(event);
    layoutLabels();
}

void TExerciseForm::layoutLabels()
{
    const int w = width();
    const int h = height();
    m_bottom->setGeometry(0, h - kBottomPanelHeight, w, kBottomPanelHeight);
    m_answerPanel->setGeometry(m_bottom->rect());
    m_resultPanel->setGeometry(m_bottom->rect());

    // The three labels side by side without overlapping, so painting one never paints over another.
    const QFontMetrics fm = m_centre->fontMetrics();
    const int labelHeight = fm.height() + 10;
    const int top = (h - kBottomPanelHeight) / 2 - labelHeight / 2;
    m_flashInfo->setGeometry(kSideMargin, 4, std::max(0, w - 2 * kSideMargin),
                             m_flashInfo->sizeHint().height());
    const int centreWidth = fm.horizontalAdvance(QStringLiteral("888")) + 10;
    const int centreLeft = (w - centreWidth) / 2;
    m_centre->setGeometry(centreLeft, top, centreWidth, labelHeight);
    m_left->setGeometry(kSideMargin, top, std::max(0, centreLeft - kSideMargin), labelHeight);
    const int rightLeft = centreLeft + centreWidth;
    m_right->setGeometry(rightLeft, top, std::max(0, w - kSideMargin - rightLeft), labelHeight);
}

void TExerciseForm::applyFont()
{
    const FontChoice choice = toFontChoice(m_state.Settings.ExerciseFont);
    for (QLabel *label : {m_centre, m_left, m_right}) {
        label->setFont(choice.font);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, choice.color);
        label->setPalette(pal);
    }
    // The flash-time line keeps its small font but the words' colour, which shows on the pane's colour.
    QPalette infoPalette = m_flashInfo->palette();
    infoPalette.setColor(QPalette::WindowText, choice.color);
    m_flashInfo->setPalette(infoPalette);
    layoutLabels();
}

void TExerciseForm::setBackColor(const QColor &color)
{
    fillWith(this, color);
    for (QLabel *label : {m_centre, m_left, m_right})
        fillWith(label, color);
}

void TExerciseForm::chooseFont()
{
    const auto chosen = chooseModeFont(m_state, Mode::Exercise, toFontChoice(m_state.Settings.ExerciseFont));
    if (!chosen)
        return;
    m_state.setFont(Mode::Exercise, *chosen);
    applyFont();
}

QLabel *TExerciseForm::wordLabel(int side) const
{
    return side == 1 ? m_left : side == 2 ? m_right : m_centre;
}

void TExerciseForm::start()
{
    takeOptions();
    m_engine.start();
    syncTimers();
    showState();
    Q_EMIT progressChanged(m_engine.progressValue());
}

void TExerciseForm::stopAndReset()
{
    m_engine.stopAndReset();
    settleFlashTime();
    syncTimers();
    showState();
    paintWordsNow();
    Q_EMIT progressChanged(m_engine.progressValue());
}

void TExerciseForm::setFlashTime(int ms)
{
    m_engine.setFlashTime(ms);
    m_state.setSpeed(Mode::Exercise, m_engine.flashSetting());
    showFlashInfo();
}

void TExerciseForm::setPracticeMinutes(int minutes)
{
    m_engine.setPracticeMinutes(minutes);
    m_state.setPracticeMinutes(m_engine.practiceMinutes());
}

void TExerciseForm::countdownTimer()
{
    onTick(ExerciseTimer::Countdown);
}

void TExerciseForm::flashTimer()
{
    // The word stays up for at least the flash time after it was painted, however early the timer came.
    if (m_engine.timerOn(ExerciseTimer::Flash) && m_engine.flashTicks() == 1) {
        const qint64 shown = m_state.services.clock.nowMs() - m_wordPaintedAt;
        if (shown < m_engine.flashTime()) {
            m_flashTimer.start(static_cast<int>(m_engine.flashTime() - shown));
            return;
        }
    }
    onTick(ExerciseTimer::Flash);
}

void TExerciseForm::answerDelayTimer()
{
    onTick(ExerciseTimer::AnswerDelay);
}

void TExerciseForm::practiceTimer()
{
    onTick(ExerciseTimer::PracticeClock);
}

void TExerciseForm::foreperiodTimer()
{
    onTick(ExerciseTimer::Foreperiod);
}

void TExerciseForm::maskTimer()
{
    onTick(ExerciseTimer::Mask);
}

void TExerciseForm::onTick(ExerciseTimer timer)
{
    const int wasFlashTicks = m_engine.flashTicks();
    const ExerciseNotice notice = m_engine.tick(timer);
    if (timer != ExerciseTimer::AnswerDelay && timer != ExerciseTimer::PracticeClock) {
        // These ticks change only the words: they go on the screen at once, and nothing else is touched
        // while a word is up, so no other work delays its erasing.
        showWords();
        paintWordsNow();
        if (wasFlashTicks == 0 && m_engine.flashTicks() == 1) {
            m_wordPaintedAt = m_state.services.clock.nowMs();
            m_flashTimer.start(m_engine.flashTime());
        }
    } else {
        showState();
        if (timer == ExerciseTimer::AnswerDelay && m_engine.phase() == TExerciseEngine::Phase::Answering)
            m_choicesShownAt = m_state.services.clock.nowMs();
    }
    syncTimers();
    if (timer == ExerciseTimer::PracticeClock)
        Q_EMIT progressChanged(m_engine.progressValue());
    if (notice == ExerciseNotice::TimeUp) {
        settleFlashTime();
        showFlashInfo();
        m_state.PlayClick(4);
        m_state.services.messages.information(TExerciseEngine::timeUpMessage());
        Q_EMIT practiceEnded();
    }
}

void TExerciseForm::syncTimers()
{
    // Only an off-to-on change starts a timer, so the running practice clock keeps its schedule.
    auto sync = [this](ExerciseTimer t, auto &timer) {
        if (!m_engine.timerOn(t))
            timer.stop();
        else if (!timer.isActive())
            timer.start(m_engine.timerInterval(t));
    };
    sync(ExerciseTimer::Countdown, m_countdownTimer);
    sync(ExerciseTimer::Flash, m_flashTimer);
    sync(ExerciseTimer::AnswerDelay, m_answerDelayTimer);
    sync(ExerciseTimer::PracticeClock, m_practiceClock);
    sync(ExerciseTimer::Foreperiod, m_foreperiodTimer);
    sync(ExerciseTimer::Mask, m_maskTimer);
}

bool TExerciseForm::timerActive(ExerciseTimer timer) const
{
    switch (timer) {
    case ExerciseTimer::Countdown:
        return m_countdownTimer.isActive();
    case ExerciseTimer::Flash:
        return m_flashTimer.isActive();
    case ExerciseTimer::AnswerDelay:
        return m_answerDelayTimer.isActive();
    case ExerciseTimer::PracticeClock:
        return m_practiceClock.isActive();
    case ExerciseTimer::Foreperiod:
        return m_foreperiodTimer.isActive();
    case ExerciseTimer::Mask:
        return m_maskTimer.isActive();
    }
    return false;
}

void TExerciseForm::showWords()
{
    m_centre->setText(m_engine.centreText());
    m_left->setText(m_engine.leftText());
    m_right->setText(m_engine.rightText());
}

void TExerciseForm::showState()
{
    showWords();
    showFlashInfo();

    m_answerPanel->setVisible(m_engine.answerPanelVisible());
    m_resultPanel->setVisible(m_engine.resultPanelVisible());
    m_resultPanel->raise();
    // A covered button takes no key.
    m_best->setFocusPolicy(m_engine.answerPanelVisible() || m_engine.resultPanelVisible() ? Qt::NoFocus
                                                                                          : Qt::StrongFocus);
    m_enter->setEnabled(m_engine.enterEnabled());
    m_nextWord->setEnabled(m_engine.nextWordEnabled());
    for (int i = 0; i < 3; ++i) {
        QRadioButton *box = m_boxes[static_cast<std::size_t>(i)];
        box->setText(m_engine.choiceCaption(i + 1));
        box->setChecked(m_engine.checkedBox() == i + 1);
    }

    m_verdict->setText(m_engine.verdictText());
    const QColor verdictColor = toQColor(m_engine.verdictColor());
    if (m_verdict->palette().color(QPalette::WindowText) != verdictColor) {
        QPalette pal = m_verdict->palette();
        pal.setColor(QPalette::WindowText, verdictColor);
        m_verdict->setPalette(pal);
    }
    m_correctWord->setText(m_engine.correctWordText());
    m_correctCount->setText(m_engine.correctCountText());
    m_wrongCount->setText(m_engine.wrongCountText());
    m_percent->setText(m_engine.percentText());
}

void TExerciseForm::paintWordsNow()
{
    // At a few milliseconds a flash would be lost to a queued update: the word goes on and off the screen
    // here and now. One repaint of the band paints each label once.
    repaint(QRegion(m_left->geometry()) + m_centre->geometry() + m_right->geometry());
}

void TExerciseForm::chooseBox(int box)
{
    m_state.PlayClick(1);
    m_engine.chooseBox(box);
    showState();
}

void TExerciseForm::enterClicked()
{
    m_state.PlayClick(1);
    const bool answering = m_engine.phase() == TExerciseEngine::Phase::Answering;
    ExerciseRecord item{QDateTime::currentDateTime(),
                        m_engine.itemFlashTime(),
                        m_engine.wordGroup(),
                        m_engine.targetWordText(),
                        m_engine.choiceCaption(m_engine.checkedBox()),
                        m_engine.choiceCaption(m_engine.checkedBox()) == m_engine.targetWordText(),
                        int(m_state.services.clock.nowMs() - m_choicesShownAt),
                        std::nullopt,
                        std::nullopt};
    if (const auto frame = m_engine.frameMs())
        item.frames = m_engine.itemFlashTime() / *frame;
    if (m_engine.enter() == ExerciseNotice::NothingChecked)
        m_state.services.messages.error(TExerciseEngine::nothingCheckedMessage());
    else if (!m_engine.lastPercent().isEmpty()) {
        if (answering) {
            // What the last-session message will say these answers were practised at.
            ReadingOptions &o = m_state.options;
            o.exerciseLastFlashMin = m_engine.answeredMinMs();
            o.exerciseLastFlashMax = m_engine.answeredMaxMs();
            o.exerciseLastThreshold = m_engine.staircase() != nullptr ? m_engine.threshold().value_or(0) : 0;
            item.thresholdMs = m_engine.staircase() != nullptr ? m_engine.threshold() : std::nullopt;
            m_state.recordExerciseItem(item);
            m_state.saveOptions();
            // With the fast rhythm the next word is on its way.
            syncTimers();
        }
        m_state.setExerciseLastPercent(m_engine.lastPercent());
        // On file as soon as it is shown: a crash keeps it.
        m_state.saveAfterScore();
    }
    showState();
}

void TExerciseForm::nextWordClicked()
{
    m_state.PlayClick(1);
    m_engine.nextWord();
    syncTimers();
    showState();
}

bool TExerciseForm::answerKey(int key)
{
    if (!m_engine.practising())
        return false;
    const int choice = key >= Qt::Key_1 && key <= Qt::Key_3 ? key - Qt::Key_1 + 1 : 0;
    const bool answering = m_engine.answerPanelVisible() && m_engine.enterEnabled();
    if (choice != 0 && answering) {
        chooseBox(choice);
        enterClicked();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        if (answering)
            enterClicked();
        else if (m_engine.nextWordEnabled())
            nextWordClicked();
    }
    // During a practice these keys are the exercise's: none reaches a setting or a covered button.
    return choice != 0 || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

void TExerciseForm::lastSessionsBest()
{
    m_state.PlayClick(1);
    // The flash times the counted answers were practised at; before any were kept, the bar's is all there is.
    const ReadingOptions &o = m_state.options;
    const QString flash = o.exerciseLastFlashMin > 0 ? TExerciseEngine::flashRangeText(o.exerciseLastFlashMin,
                                                                                       o.exerciseLastFlashMax)
                                                     : QString::number(m_state.Settings.ExerciseFlashTime);
    const QString &percent = m_state.Settings.ExerciseLastPercent;
    m_state.services.messages.information(
        o.exerciseStaircase && o.exerciseLastThreshold > 0
            ? TExerciseEngine::lastSessionMessage(percent, flash, o.exerciseLastThreshold)
            : TExerciseEngine::lastSessionMessage(percent, flash));
}

void TExerciseForm::leaving()
{
    m_countdownTimer.stop();
    m_flashTimer.stop();
    m_answerDelayTimer.stop();
    m_practiceClock.stop();
    m_foreperiodTimer.stop();
    m_maskTimer.stop();
    // Closed during a practice with the adaptive flash time: the bar opens next time where it stood.
    if (m_engine.practising()) {
        m_engine.stopAndReset();
        if (const auto ms = m_engine.settledFlashTime())
            m_state.setSpeed(Mode::Exercise, *ms);
    }
    ModeWindow::leaving();
}

#pragma once

#include "ExerciseEngine.h"
#include "PaceTimer.h"
#include "app/ModeWindow.h"

#include <QTimer>

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

// The word-flash exercise: after a countdown a word is flashed on the left or the right, then three
// look-alike words are offered and the answer is judged and counted. The control panel's exercise page
// starts and stops the practice and sets the flash and practice times; the window reports the practice
// progress and the end of the practice time back through signals.
class TExerciseForm final : public ModeWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TExerciseForm)

public:
    explicit TExerciseForm(AppState &state, QWidget *parent = nullptr);
    ~TExerciseForm() override;

    Mode mode() const override { return Mode::Exercise; }
    void chooseFont() override;

    // What the page drives.
    void start();
    void stopAndReset();
    void setFlashTime(int ms);
    void setPracticeMinutes(int minutes);
    void setBackColor(const QColor &color);

    // The timer events, public so tests drive them without waiting.
    void countdownTimer();
    void flashTimer();
    void answerDelayTimer();
    void practiceTimer();
    void foreperiodTimer();
    void maskTimer();

    const TExerciseEngine &engine() const { return m_engine; }
    // 1, 2 and 3 choose that word and check it; Enter or Space checks the word chosen, then goes to the next
    // word. True when the key was the exercise's.
    bool answerKey(int key);
    bool timerActive(ExerciseTimer timer) const;
    QLabel *wordLabel(int side) const; // 0 centre, 1 left, 2 right

Q_SIGNALS:
    // The practice progress bar's value, in seconds.
    void progressChanged(int seconds);
    // The practice time ran out; Start is on offer again.
    void practiceEnded();
    // A practice with the adaptive flash time ended here: the Flash Time bar takes this value.
    void flashTimeSettled(int ms);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void leaving() override;

private:
    QWidget *buildBottomPanel();
    void onTick(ExerciseTimer timer);
    void syncTimers();
    void showWords();
    void showState();
    void paintWordsNow();
    void layoutLabels();
    void applyFont();
    void chooseBox(int box);
    void enterClicked();
    void nextWordClicked();
    void lastSessionsBest();
    void takeOptions();
    void settleFlashTime();
    void showFlashInfo();

    TExerciseEngine m_engine;
    PaceTimer m_countdownTimer;
    PaceTimer m_answerDelayTimer;
    PaceTimer m_practiceClock;
    PaceTimer m_foreperiodTimer;
    PaceTimer m_maskTimer;
    // The flash is timed from the moment the word was painted, not from when its tick was due, so a late
    // paint cannot shorten it; a single-shot precise timer is started right after each paint.
    QTimer m_flashTimer;
    qint64 m_wordPaintedAt = 0;
    // When the three words were offered: an answer's response time runs from here.
    qint64 m_choicesShownAt = 0;
    bool m_placed = false;

    QLabel *m_flashInfo = nullptr;
    QLabel *m_centre = nullptr;
    QLabel *m_left = nullptr;
    QLabel *m_right = nullptr;
    QWidget *m_bottom = nullptr;
    QWidget *m_answerPanel = nullptr;
    QWidget *m_resultPanel = nullptr;
    std::array<QRadioButton *, 3> m_boxes{};
    QPushButton *m_enter = nullptr;
    QPushButton *m_best = nullptr;
    QLabel *m_verdict = nullptr;
    QLabel *m_correctWord = nullptr;
    QPushButton *m_nextWord = nullptr;
    QLabel *m_correctCount = nullptr;
    QLabel *m_wrongCount = nullptr;
    QLabel *m_percent = nullptr;
};

#pragma once

#include "control/ControlPage.h"

#include <QPointer>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QSpinBox;
class TExerciseForm;

// The control panel's exercise page: Flash Time, Practice Time and its progress bar, Start and
// Stop & Reset, and in the toolbar Change Font and Change Background Color.
class ExercisePage final : public ControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExercisePage)

public:
    explicit ExercisePage(AppState &state, QWidget *parent = nullptr);

    enum class Practice
    {
        Idle,       // Start on offer
        Practising, // the practice clock runs
    };

    void attach(TExerciseForm &exercise);
    Practice practice() const { return m_practice; }
    bool keyPressed(QKeyEvent *event, QWidget *focus) override;

private:
    void syncFromSettings();
    void flashTimeChanged(int ms);
    void practiceMinutesChanged(int minutes);
    void startClicked();
    void stopClicked();
    void chooseBackColor();
    void setPractice(Practice practice);

    QPointer<TExerciseForm> m_exercise;
    QScrollBar *m_flashBar = nullptr;
    QLineEdit *m_flashBox = nullptr;
    QSpinBox *m_minutesSpin = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    Practice m_practice = Practice::Idle;
};

#pragma once

#include "control/ControlPage.h"

#include <QPointer>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TSpeedTestForm;

// The control panel's page for the reading speed test: loading a text, the clock switch, paging, and the
// score at "Stop Reading".
class SpeedTestPage final : public ControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpeedTestPage)

public:
    explicit SpeedTestPage(AppState &state, QWidget *parent = nullptr);

    enum class Run
    {
        NoText,      // nothing to time yet
        Ready,       // a text laid out, the clock stopped short of the end zone
        Timing,      // the clock runs
        TimingAtEnd, // the clock runs and paging has reached the end zone: Stop Reading is offered
        PausedAtEnd, // stopped in the end zone: Stop Reading still offered
        Scored,      // Stop Reading gave the score; another text is needed
        NoReader,    // the reader has gone: nothing to drive
    };

    // Follows the reader's text, clock and end zone from now on.
    void attach(TSpeedTestForm &reader);
    // Space pages down while the clock runs and starts it when stopped, whatever has the focus.
    bool keyPressed(QKeyEvent *event, QWidget *focus) override;
    Run run() const { return m_run; }

    void OpenFileClick();
    void ChangeFontClick();
    void StartReadClick();
    void PgUpClick();
    void PgDownClick();
    void StopReadingClick();

private:
    void setRun(Run run);
    void clockStopped();

    QPointer<TSpeedTestForm> m_reader;
    QAction *m_openFile;
    QAction *m_changeFont;
    QPushButton *m_startRead;
    QLineEdit *m_status;
    QLabel *m_clock;
    QPushButton *m_pgUp;
    QPushButton *m_pgDown;
    QLabel *m_spacebar;
    QLabel *m_partLabel = nullptr;
    QPushButton *m_stopReading;
    Run m_run = Run::NoText;
};

#pragma once

#include "control/ControlPage.h"

#include <QPointer>

class QAction;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class TVertForm;

// The control panel's page of the vertical reader: open, font, reset, start/pause, the two speeds, the
// fixations, the Down Sweep lines and the text visibility panel. It holds no reading logic; the reader
// fills its progress bar.
class VertControlPage final : public ControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VertControlPage)

public:
    explicit VertControlPage(AppState &state, QWidget *parent = nullptr);

    using Run = PacedRun;

    void attach(TVertForm &reader);
    Run run() const { return m_run; }

    bool offersResetText() const override { return m_run != Run::NoText && m_run != Run::Reading; }

private:
    void setRun(Run run);
    void textLaidOut();
    void resetText();
    void startRead();
    void speedChanged(int position);
    void secondSpeedChanged(int position);
    void fixationsChanged(int position);
    void downSweepChanged(int position);

    QPointer<TVertForm> m_reader;
    Run m_run = Run::NoText;
    QAction *m_openAction;
    QAction *m_fontAction;
    QPushButton *m_start;
    QPushButton *m_reset;
    QSlider *m_speed;
    QSlider *m_secondSpeed;
    QSpinBox *m_fixations;
    QPushButton *m_changeFixations;
    QSpinBox *m_downSweep;
    QPushButton *m_changeDownSweep;
    QProgressBar *m_progress;
};

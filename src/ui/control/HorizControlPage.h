#pragma once

#include "control/ControlPage.h"

#include <QPointer>

class QAction;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class THorizonForm;

// The control panel's page of the horizontal reader: open, font, reset, start/pause, speed, fixations and
// the text visibility panel. It holds no reading logic; the reader fills its read-outs.
class HorizControlPage final : public ControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HorizControlPage)

public:
    explicit HorizControlPage(AppState &state, QWidget *parent = nullptr);

    using Run = PacedRun;

    void attach(THorizonForm &reader);
    Run run() const { return m_run; }

    bool previewKey(QKeyEvent *event) override;
    void panelShown() override;
    bool offersResetText() const override { return m_run != Run::NoText && m_run != Run::Reading; }

    // The arrow keys' step of 30 on the speed bar: slower (down) or faster (up).
    void stepSpeed(bool slower);

private:
    void setFixations(int fixations);
    void setSpeed(int interval);
    void setRun(Run run);
    void textLaidOut(int lineCount);
    void openFile();
    void changeFont();
    void resetText();
    void startRead();
    void speedChanged(int position);
    void fixationsClicked(int position);
    void changeClicked();

    QPointer<THorizonForm> m_reader;
    Run m_run = Run::NoText;
    QAction *m_openAction;
    QAction *m_fontAction;
    QPushButton *m_start;
    QPushButton *m_reset;
    QSlider *m_speed;
    QSpinBox *m_fixations;
    QPushButton *m_change;
    QLineEdit *m_lineCount;
    QPushButton *m_visibility;
    QProgressBar *m_progress;
};

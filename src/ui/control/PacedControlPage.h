#pragma once

#include "ModeTable.h"
#include "control/ControlPage.h"

#include <QPointer>

#include <optional>

class PacedReader;
class QAction;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;

// What the horizontal and vertical pages share: the toolbar (Open File, Change Font, Help), the run group
// (Start Read / Pause Read and Reset Text), the Adjust Speed bar and the progress bar, and one key map that
// holds whatever has the focus: Space starts, pauses or resumes, Escape pauses, Left and Right step while
// paused, Up and Down step the speed by 30 while a text is loaded. What the buttons show follows the page's
// state, never the other way round.
class PacedControlPage : public ControlPage
{
    Q_OBJECT

public:
    using Run = PacedRun;

    // `speedBoxBeside`: the speed's number box beside its bar rather than under it (a page short of room).
    PacedControlPage(AppState &state, Mode mode, bool speedBoxBeside, QWidget *parent = nullptr);

    Run run() const { return m_run; }
    bool offersResetText() const override { return m_run != Run::NoText && m_run != Run::Reading; }
    bool keyPressed(QKeyEvent *event, QWidget *focus) override;
    void holdReading() override;
    // The arrow keys' step of 30 on the speed bar: slower (down) or faster (up).
    void stepSpeed(bool slower);

protected:
    // Takes hold of the reader and loads the speed bar from the settings.
    void attachReader(PacedReader &reader);
    void setRun(Run run);
    // What else a state changes on the page.
    virtual void runChanged(Run run) { Q_UNUSED(run); }
    // The refusal Start Read gives while a change waits for Reset Text, if any.
    virtual std::optional<QString> resetRefusal() const;
    virtual void speedChanged(int position);
    virtual void afterReset() {}
    virtual void textLaidOut(int lineCount);
    // Lays out the page's groups under the toolbar: the run group, the speed group, then `more`.
    void stackPage(std::initializer_list<QWidget *> more);

    void startRead();
    void resetText();

    QPointer<PacedReader> m_reader;
    QGroupBox *m_runGroup;
    QGroupBox *m_speedGroup;
    QPushButton *m_start;
    QPushButton *m_reset;
    QSlider *m_speed;
    QProgressBar *m_progress;

private:
    Mode m_mode;
    Run m_run = Run::NoText;
    QAction *m_openAction;
    QAction *m_fontAction;
};

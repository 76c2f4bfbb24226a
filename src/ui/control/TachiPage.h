#pragma once

#include "ModeTable.h"
#include "control/ControlPage.h"

#include <QPointer>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TTachiForm;

// The control panel's tachistoscope page: text in, Format Text and Indent, fixation width and indent, the run
// buttons (Start Read, Pause Read / Resume Read, Cancel Read), Back Color and Preview Font.
class TTachiPage final : public ControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TTachiPage)

public:
    explicit TTachiPage(AppState &state, QWidget *parent = nullptr);

    // The states of a run, each with its own look of the run buttons.
    enum class Run
    {
        Fresh,     // nothing run yet
        Reading,   // flashing
        Paused,    // stopped, the pause button offers to resume
        Cancelled, // Cancel Read ended the run
        Ended,     // the text was read to its end
    };

    void attach(TTachiForm &reader);
    Run run() const { return m_run; }

    // Space starts, pauses or resumes (whichever is on offer), Escape cancels, Left and Right step while
    // paused, Up and Down make the flashes shorter or longer.
    bool keyPressed(QKeyEvent *event, QWidget *focus) override;
    void holdReading() override;
    void panelShown() override;

private:
    QSpinBox *addUpDown(QWidget *parent, IntRange range, const char *objectName);
    void syncFromSettings();
    void openFile();
    void paste();
    void formatText();
    void startRead();
    void pauseClicked();
    void cancelRead();
    void readingEnded();
    void chooseBackColor();
    void setRun(Run run);
    void showRun();

    QPointer<TTachiForm> m_reader;
    QAction *m_openAction = nullptr;
    QAction *m_pasteAction = nullptr;
    QAction *m_fontAction = nullptr;
    QPushButton *m_formatButton = nullptr;
    QSpinBox *m_widthSpin = nullptr;
    QLineEdit *m_lineCountBox = nullptr;
    QLabel *m_partLabel = nullptr;
    QPushButton *m_indentButton = nullptr;
    QSpinBox *m_indentSpin = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_pauseButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    Run m_run = Run::Fresh;
    // Format Text has prepared the text since the last run began: Start Read is offered.
    bool m_startOffered = false;
};

#pragma once

#include "ControlPage.h"
#include "ModeRegistry.h"

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
    SpeedTestPage(AppState &state, QWidget *parent = nullptr);

    // Follows the reader's text, clock and end zone from now on.
    void attachReader(TSpeedTestForm *reader);

    void OpenFileClick();
    void ChangeFontClick();
    void StartReadClick();
    void PgUpClick();
    void PgDownClick();
    void StopReadingClick();

private:
    QGroupBox *addGroup(const char *objectName, int top);
    QPushButton *addButton(QGroupBox *group, const QString &caption, const char *objectName);
    void setStartCaption(const QString &caption, bool green);
    void setFileCommandsEnabled(bool enabled);
    void textLaidOut();
    void clockStopped();
    void readerGone();

    QPointer<TSpeedTestForm> m_reader;
    QAction *m_openFile;
    QAction *m_changeFont;
    QPushButton *m_startRead;
    QLineEdit *m_status;
    QLabel *m_clock;
    QPushButton *m_pgUp;
    QPushButton *m_pgDown;
    QLabel *m_spacebar;
    QPushButton *m_stopReading;
};

// The speed test's window and page, for the mode registry.
ModeEntry speedTestModeEntry();

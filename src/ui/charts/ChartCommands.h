#pragma once

#include "AppValues.h"

#include <QObject>
#include <QPointer>
#include <QString>

class AppState;
class Frame;
class TChartForm1;
class ProgressWindow;
class TForm10;

// The Charts menu: the chart window of each reading mode and the chart bitmap viewer. Lives as long as the
// main window and remembers where the last chart was saved, which is where the viewer looks first.
class ChartCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChartCommands)

public:
    ChartCommands(Frame &frame, AppState &state);

    void openCharts(Mode mode);
    void openViewer();
    // The Progress window; an open one is brought to the front and read again.
    void openProgress();

    TForm10 *chartWindow() const;
    TChartForm1 *viewer() const;
    ProgressWindow *progressWindow() const;
    // The folder of the last saved chart, else the program's data folder.
    QString chartFolder() const;

private:
    Frame &m_frame;
    AppState &m_state;
    QPointer<TForm10> m_charts;
    QPointer<TChartForm1> m_viewer;
    QPointer<ProgressWindow> m_progress;
    QString m_lastChartFolder;
};

// Plugs the Charts menu commands into the frame.
void plugChartCommands(Frame &frame, AppState &state);

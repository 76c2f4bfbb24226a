#pragma once

#include "AppValues.h"

#include <QObject>
#include <QPointer>

#include <array>

class AppState;
class TChartForm1;
class TForm1;
class TForm10;
class QAction;

// The Charts menu: the chart window of each reading mode and the chart bitmap viewer. Lives as long as the
// main window and remembers where the last chart was saved, which is where the viewer looks first.
class ChartCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChartCommands)

public:
    ChartCommands(TForm1 &form, AppState &state);

    void openCharts(Mode mode);
    void openViewer();

    TForm10 *chartWindow() const;
    TChartForm1 *viewer() const;
    // The folder of the last saved chart, else the program's data folder.
    QString chartFolder() const;

private:
    void setModeMenusEnabled(bool enabled);

    TForm1 &m_form;
    AppState &m_state;
    QPointer<TForm10> m_charts;
    QPointer<TChartForm1> m_viewer;
    QString m_lastChartFolder;
    // Enabled states of the menus the chart window disables, to give back when it closes.
    std::array<bool, 4> m_menusWereEnabled{};
    // Set while this object itself switches the menus, so that only others' changes are remembered.
    bool m_settingMenus = false;
};

// Enables the Charts menu commands of the main window and connects them.
void wireChartCommands(TForm1 &form, AppState &state);

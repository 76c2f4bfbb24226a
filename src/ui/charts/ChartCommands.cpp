#include "charts/ChartCommands.h"

#include "ChartData.h"
#include "app/AppState.h"
#include "app/Frame.h"
#include "charts/ChartViewer.h"
#include "charts/ProgressWindow.h"
#include "charts/chartsView.h"

#include <QFileInfo>

ChartCommands::ChartCommands(Frame &frame, AppState &state)
    : QObject(frame.widget()), m_frame(frame), m_state(state)
{
    setObjectName(QStringLiteral("chartCommands"));
}

TForm10 *ChartCommands::chartWindow() const
{
    return m_charts;
}

TChartForm1 *ChartCommands::viewer() const
{
    return m_viewer;
}

QString ChartCommands::chartFolder() const
{
    return m_lastChartFolder.isEmpty() ? m_state.userDir() : m_lastChartFolder;
}

void ChartCommands::openCharts(Mode mode)
{
    const TChartMode *chartMode = chartModeFor(mode);
    if (chartMode == nullptr || m_charts != nullptr)
        return;
    m_state.*(chartMode->chartFlag) = 1;
    if (wpmAxisMaximum(*m_state.history(mode, ChartKind::Wpm)) == 0)
        m_state.services.messages.information(
            QStringLiteral("You don't have any passages recorded for charting."));

    auto *window = new TForm10(m_state, *chartMode);
    m_charts = window;
    window->setSaveFolder(chartFolder());
    connect(window, &TForm10::chartSaved, this,
            [this](const QString &path) { m_lastChartFolder = QFileInfo(path).absolutePath(); });
    connect(window, &TForm10::closing, this, [this] {
        m_charts = nullptr;
        m_frame.setHold(MenuHold::Charts, false);
    });
    m_frame.addChild(window, Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const QSize client = m_frame.clientSize();
    window->setPlacedGeometry(QRect(QPoint(0, 0), client.expandedTo(window->minimumSize())));
    m_frame.setHold(MenuHold::Charts, true);
}

void ChartCommands::openViewer()
{
    if (m_viewer != nullptr) {
        m_viewer->raise();
        m_viewer->activateWindow();
        return;
    }
    auto *viewer = new TChartForm1(
        m_state, [this] { return chartFolder(); }, m_frame.widget());
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    m_viewer = viewer;
    viewer->show();
}

ProgressWindow *ChartCommands::progressWindow() const
{
    return m_progress;
}

void ChartCommands::openProgress()
{
    if (m_progress != nullptr) {
        m_progress->reload();
        m_progress->takeFocus();
        return;
    }
    auto *window = new ProgressWindow(m_state);
    m_progress = window;
    m_frame.addChild(window);
    window->setPlacedGeometry(QRect(QPoint(0, 0), m_frame.clientSize().expandedTo(window->minimumSize())));
}

void plugChartCommands(Frame &frame, AppState &state)
{
    auto *commands = new ChartCommands(frame, state);
    for (const ModeInfo &m : modeTable()) {
        if (m.scored())
            frame.plugCommand(m.chartActionName, [commands, mode = m.mode] { commands->openCharts(mode); });
    }
    frame.plugCommand("chartViewerAction", [commands] { commands->openViewer(); });
    frame.plugCommand("progressAction", [commands] { commands->openProgress(); });
}

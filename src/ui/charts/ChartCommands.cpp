#include "ChartCommands.h"

#include "AppState.h"
#include "ChartData.h"
#include "ChartViewer.h"
#include "chartsView.h"
#include "mainwindow.h"

#include <QAction>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>

namespace {

// While a chart window is open no second one and no mode change may start.
constexpr const char *kModeMenus[] = {"chartsMenu", "readingMenu", "optionsMenu", "shortStoriesMenu"};

} // namespace

ChartCommands::ChartCommands(TForm1 &form, AppState &state) : QObject(&form), m_form(form), m_state(state)
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
    return m_lastChartFolder.isEmpty() ? m_state.workingDir() : m_lastChartFolder;
}

void ChartCommands::setModeMenusEnabled(bool enabled)
{
    m_settingMenus = true;
    for (std::size_t i = 0; i < std::size(kModeMenus); ++i) {
        auto *menu = m_form.findChild<QMenu *>(QString::fromLatin1(kModeMenus[i]));
        if (menu == nullptr)
            continue;
        QAction *action = menu->menuAction();
        if (!enabled) {
            m_menusWereEnabled[i] = action->isEnabled();
            action->setEnabled(false);
            // A reader that ends or starts while the charts are open turns Short Stories on or off: that is
            // the state to give back on close, and the menu stays off until then.
            connect(action, &QAction::enabledChanged, this, [this, action, i](bool on) {
                if (m_settingMenus)
                    return;
                m_menusWereEnabled[i] = on;
                if (on) {
                    m_settingMenus = true;
                    action->setEnabled(false);
                    m_settingMenus = false;
                }
            });
        } else {
            disconnect(action, &QAction::enabledChanged, this, nullptr);
            // A menu that was off before (Short Stories during a reading) stays off.
            action->setEnabled(m_menusWereEnabled[i]);
        }
    }
    m_settingMenus = false;
}

void ChartCommands::openCharts(Mode mode)
{
    const TChartMode *chartMode = chartModeFor(mode);
    if (chartMode == nullptr || m_charts != nullptr)
        return;
    m_state.*(chartMode->flag) = 1;
    if (wpmAxisMaximum(chartMode->history(m_state.Settings, ChartKind::Wpm)) == 0)
        m_state.services.messages.information(
            QStringLiteral("You don't have any passages recorded for charting."));

    auto *window = new TForm10(m_state, *chartMode);
    m_charts = window;
    window->setSaveFolder(chartFolder());
    connect(window, &TForm10::chartSaved, this,
            [this](const QString &path) { m_lastChartFolder = QFileInfo(path).absolutePath(); });
    connect(window, &TForm10::closing, this, [this] {
        m_charts = nullptr;
        setModeMenusEnabled(true);
    });
    m_form.addChild(window, Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    const QSize client = m_form.clientSize();
    window->setPlacedGeometry(QRect(QPoint(0, 0), client.expandedTo(window->minimumSize())));
    setModeMenusEnabled(false);
}

void ChartCommands::openViewer()
{
    if (m_viewer != nullptr) {
        m_viewer->raise();
        m_viewer->activateWindow();
        return;
    }
    auto *viewer = new TChartForm1(
        m_state, [this] { return chartFolder(); }, &m_form);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    m_viewer = viewer;
    viewer->show();
}

void wireChartCommands(TForm1 &form, AppState &state)
{
    auto *commands = new ChartCommands(form, state);
    const std::pair<const char *, Mode> chartActions[] = {{"chartTachiAction", Mode::Tachi},
                                                          {"chartHorizAction", Mode::Horiz},
                                                          {"chartVertAction", Mode::Vert},
                                                          {"chartSpeedTestAction", Mode::SpeedTest}};
    for (const auto &[name, mode] : chartActions) {
        if (auto *action = form.findChild<QAction *>(QString::fromLatin1(name))) {
            action->setEnabled(true);
            const Mode m = mode;
            QObject::connect(action, &QAction::triggered, commands,
                             [commands, m] { commands->openCharts(m); });
        }
    }
    if (auto *viewer = form.findChild<QAction *>(QStringLiteral("chartViewerAction"))) {
        viewer->setEnabled(true);
        QObject::connect(viewer, &QAction::triggered, commands, &ChartCommands::openViewer);
    }
}

#include "control/control.h"

#include "app/AppState.h"
#include "app/ModeRegistry.h"
#include "app/ModeWindow.h"
#include "control/ControlPage.h"

#include <QAbstractButton>
#include <QKeyEvent>

#include <algorithm>

TControlForm::TControlForm(AppState &state, const ModeRegistry &modes, QWidget *parent)
    : ControlPanel(state, &TSettings::ControlDefaultPlacement, &TSettings::ControlBounds, parent),
      m_modes(modes)
{
    setObjectName(QStringLiteral("controlForm"));
    setWindowTitle(QStringLiteral("Controls"));
    m_state.ControlPanelOpen = 1;
    for (const ModeInfo &m : modeTable()) {
        const auto &create = modes.entry(m.mode).createPage;
        if (!create)
            continue;
        ControlPage *p = create(state);
        p->setParent(this);
        p->hide();
        m_pages[static_cast<std::size_t>(m.mode)] = p;
    }
    const int context = helpContextFor(currentMode(state));
    if (context != 0)
        m_state.HelpContext = context;
}

TControlForm::~TControlForm()
{
    m_state.ControlPanelOpen = 0;
}

ControlPage *TControlForm::page(Mode mode) const
{
    if (mode == Mode::None)
        return nullptr;
    return m_pages[static_cast<std::size_t>(mode)];
}

void TControlForm::attachWindow(ModeWindow &window)
{
    const ModeEntry &entry = m_modes.entry(window.mode());
    if (ControlPage *p = page(window.mode()); p != nullptr && entry.attach)
        entry.attach(*p, window);
}

bool TControlForm::offersResetText(Mode mode) const
{
    const ControlPage *p = page(mode);
    return p != nullptr && p->offersResetText();
}

void TControlForm::showPage(Mode mode)
{
    for (ControlPage *p : m_pages) {
        if (p != nullptr)
            p->setVisible(p == page(mode));
    }
    m_visible = mode;
    CentrePageControls();
}

void TControlForm::CentrePageControls()
{
    for (ControlPage *p : m_pages) {
        if (p == nullptr)
            continue;
        p->setGeometry(rect());
        for (QWidget *w : p->centredControls())
            w->move((p->width() - w->width()) / 2, w->y());
    }
}

void TControlForm::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    CentrePageControls();
}

void TControlForm::showEvent(QShowEvent *event)
{
    ChildWindow::showEvent(event);
    CentrePageControls();
    for (ControlPage *p : m_pages) {
        if (p != nullptr)
            p->panelShown();
    }
}

bool TControlForm::routeKey(QKeyEvent *event, QWidget *focus)
{
    ControlPage *p = page(m_visible);
    return p != nullptr && p->keyPressed(event, focus);
}

void TControlForm::holdReading()
{
    if (ControlPage *p = page(m_visible))
        p->holdReading();
}

void TControlForm::leaving()
{
    m_state.ControlPanelOpen = 0;
}

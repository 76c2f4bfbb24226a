#include "control/control.h"

#include "app/AppState.h"
#include "app/ModeRegistry.h"
#include "control/ControlPage.h"

#include <QAbstractButton>
#include <QKeyEvent>

#include <algorithm>

TControlForm::TControlForm(AppState &state, const ModeRegistry &modes, QWidget *parent)
    : ChildWindow(state, &state.Settings.ControlDefaultPlacement, &state.Settings.ControlBounds, parent)
{
    setObjectName(QStringLiteral("controlForm"));
    setWindowTitle(QStringLiteral("Controls"));
    m_state.ControlPanelOpen = 1;
    for (int i = 0; i < 6; ++i) {
        const Mode mode = static_cast<Mode>(i);
        const auto &create = modes.entry(mode).createPage;
        if (!create)
            continue;
        ControlPage *p = create(state);
        p->setParent(this);
        p->hide();
        m_pages[static_cast<std::size_t>(i)] = p;
        watchKeys(p);
    }
    const int context = helpContextFor(currentMode(state));
    if (context != 0)
        m_state.HelpContext = context;
}

TControlForm::~TControlForm()
{
    m_state.ControlPanelOpen = 0;
}

QRect TControlForm::defaultGeometry(int lessonsRight, const QSize &client)
{
    const int height = std::min(client.height(), 460);
    const int width = std::min(client.width() - lessonsRight - 8, 180);
    return QRect(lessonsRight + 1, 0, std::max(width, 120), std::max(height, 200));
}

ControlPage *TControlForm::page(Mode mode) const
{
    if (mode == Mode::None)
        return nullptr;
    return m_pages[static_cast<std::size_t>(mode)];
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

void TControlForm::watchKeys(QWidget *root)
{
    root->installEventFilter(this);
    for (QWidget *w : root->findChildren<QWidget *>())
        w->installEventFilter(this);
}

bool TControlForm::eventFilter(QObject *watched, QEvent *event)
{
    // Key preview: the visible page sees keys before the focused control does, except that Space presses
    // a focused button itself (and Escape is left to it), so the page's own Space and Escape wait until
    // no button has the focus.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool buttonKey = key->key() == Qt::Key_Space || key->key() == Qt::Key_Escape;
        if (buttonKey && (qobject_cast<QAbstractButton *>(watched) != nullptr || buttonHasFocus()))
            return ChildWindow::eventFilter(watched, event);
        if (ControlPage *p = page(m_visible); p != nullptr && p->previewKey(key))
            return true;
    }
    return ChildWindow::eventFilter(watched, event);
}

bool TControlForm::buttonHasFocus() const
{
    QWidget *focus = window()->focusWidget();
    return focus != nullptr && isAncestorOf(focus) && qobject_cast<QAbstractButton *>(focus) != nullptr;
}

void TControlForm::leaving()
{
    m_state.ControlPanelOpen = 0;
}

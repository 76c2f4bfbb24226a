#include "app/ChildWindow.h"

#include "app/AppState.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

ChildWindow::ChildWindow(AppState &state, PlacementFlag placementFlag, PlacementBounds bounds,
                         QWidget *parent)
    : QWidget(parent), m_state(state), m_flag(placementFlag), m_bounds(bounds)
{
}

QMdiSubWindow *ChildWindow::frame() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

void ChildWindow::takeFocus()
{
    if (QMdiSubWindow *f = frame(); f != nullptr && f->mdiArea() != nullptr)
        f->mdiArea()->setActiveSubWindow(f);
    setFocus(Qt::OtherFocusReason);
}

QRect ChildWindow::placedGeometry() const
{
    if (QMdiSubWindow *f = frame()) {
        const bool setAside = (f->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) != 0;
        return setAside && m_normal.isValid() ? m_normal : f->geometry();
    }
    return geometry();
}

bool ChildWindow::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        if (QMdiSubWindow *f = frame())
            f->installEventFilter(this);
    }
    return QWidget::event(event);
}

bool ChildWindow::eventFilter(QObject *watched, QEvent *event)
{
    QMdiSubWindow *f = frame();
    if (watched == f && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        (f->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) == 0)
        m_normal = f->geometry();
    return QWidget::eventFilter(watched, event);
}

void ChildWindow::setPlacedGeometry(const QRect &rect)
{
    if (QMdiSubWindow *f = frame())
        f->setGeometry(rect);
    else
        setGeometry(rect);
}

QRect ChildWindow::keepReachable(const QRect &stored, const QSize &area)
{
    const int areaW = std::max(area.width(), 200);
    const int areaH = std::max(area.height(), 150);
    const int w = std::clamp(stored.width(), 80, std::max(80, areaW));
    const int h = std::clamp(stored.height(), 60, std::max(60, areaH));
    const int left = std::clamp(stored.left(), -(w - 40), areaW - 40);
    const int top = std::clamp(stored.top(), 0, areaH - 20);
    return QRect(left, top, w, h);
}

void ChildWindow::applyPlacement(const QRect &defaultRect)
{
    if (m_flag == nullptr || m_bounds == nullptr || m_state.Settings.*m_flag == 1) {
        setPlacedGeometry(defaultRect);
        return;
    }
    QSize area;
    if (QMdiSubWindow *f = frame(); f != nullptr && f->mdiArea() != nullptr)
        area = f->mdiArea()->viewport()->size();
    const TBounds &b = m_state.Settings.*m_bounds;
    const QRect stored(b.Left, b.Top, b.Width, b.Height);
    setPlacedGeometry(keepReachable(stored, area));
}

void ChildWindow::storePlacement()
{
    if (m_flag == nullptr || m_bounds == nullptr)
        return;
    const QRect r = placedGeometry();
    m_state.storePlacement(m_flag, m_bounds, TBounds{r.left(), r.top(), r.width(), r.height()});
}

void ChildWindow::prepareToLeave()
{
    if (m_left)
        return;
    m_left = true;
    storePlacement();
    leaving();
}

void ChildWindow::closeEvent(QCloseEvent *event)
{
    prepareToLeave();
    event->accept();
}

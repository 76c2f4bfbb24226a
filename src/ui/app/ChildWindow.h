#pragma once

#include "Settings.h"

#include <QRect>
#include <QWidget>

class AppState;
class QMdiSubWindow;

// A window that lives inside the main window's client area. One mechanism places every such window:
// its default rule while its placement flag is 1, otherwise its stored bounds; leaving stores the bounds
// and clears the flag.
class ChildWindow : public QWidget
{
    Q_OBJECT

public:
    // `placementFlag` and `bounds` name fields of the settings record, or are null for a window that is not
    // placed from the record.
    using PlacementFlag = std::uint8_t TSettings::*;
    using PlacementBounds = TBounds TSettings::*;
    ChildWindow(AppState &state, PlacementFlag placementFlag, PlacementBounds bounds,
                QWidget *parent = nullptr);

    QMdiSubWindow *frame() const;
    // Activates this window and gives it the keyboard.
    void takeFocus();
    // Bounds within the client area (of the frame when the window sits in one). While the window is
    // minimised or maximised, the bounds it had before, which are what it comes back to.
    QRect placedGeometry() const;
    void setPlacedGeometry(const QRect &rect);

    // Takes the stored bounds, or `defaultRect` when the flag says so; stored bounds are kept on screen.
    void applyPlacement(const QRect &defaultRect);
    void storePlacement();

    // Runs once before the window goes away, whichever way it goes: stores the placement and lets the window
    // write back what it must remember.
    void prepareToLeave();

    // Clamps a stored rectangle so the window is of a usable size and can be reached in `area`.
    static QRect keepReachable(const QRect &stored, const QSize &area);

protected:
    virtual void leaving() {}
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    AppState &m_state;

private:
    PlacementFlag m_flag;
    PlacementBounds m_bounds;
    bool m_left = false;
    // The frame's last bounds while neither minimised nor maximised.
    QRect m_normal;
};

#pragma once

#include "AppValues.h"
#include "app/ChildWindow.h"
#include "app/HelpTopic.h"

class ModeWindow;
class QKeyEvent;

// The control panel as the frame knows it: made through the program's registry, it shows one mode's page and
// hands the mode's window to that page, which drives it from then on. The pages stay out of the frame's
// sight.
class ControlPanel : public ChildWindow, public HelpTopic
{
    Q_OBJECT

public:
    using ChildWindow::ChildWindow;

    // Shows the page of `mode` and hides the others.
    virtual void showPage(Mode mode) = 0;
    virtual Mode visiblePage() const = 0;
    // Lets the page of the window's mode take hold of `window`, before the window is shown.
    virtual void attachWindow(ModeWindow &window) = 0;
    // The page of `mode` offers Reset Text, so a change to how its text looks waits for it.
    virtual bool offersResetText(Mode mode) const = 0;
    // A key pressed anywhere in the main window, before the focused widget (`focus`) sees it: the shown
    // page's key map decides; true when it took the key.
    virtual bool routeKey(QKeyEvent *event, QWidget *focus) = 0;
    // Something else takes the user's eyes (the help window): a reading under way pauses, so that no second
    // is counted while the text is not being read.
    virtual void holdReading() = 0;
    // The section of the mode whose page is shown.
    int helpContext() const final { return helpContextFor(visiblePage()); }
};

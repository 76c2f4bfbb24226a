#pragma once

#include "AppValues.h"
#include "ModeTable.h"
#include "app/ChildWindow.h"
#include "app/HelpTopic.h"

// The window of a training mode. The main window talks to the current one through this interface.
class ModeWindow : public ChildWindow, public HelpTopic
{
    Q_OBJECT

public:
    using ChildWindow::ChildWindow;

    virtual Mode mode() const = 0;
    // Loads the file named by StoryFileName; readers implement it, other modes load nothing.
    virtual void loadStory() {}
    // Options > Fonts for this mode.
    virtual void chooseFont() {}
    int helpContext() const final { return modeInfo(mode()).helpContext; }

protected:
    // What every mode undoes as its window goes: no mode is current, the text is no story any more, and a
    // reading no longer holds the menus. Windows that override it call it.
    void leaving() override;
};

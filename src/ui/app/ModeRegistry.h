#pragma once

#include "AppValues.h"

#include <functional>

class AppState;
class ModeWindow;
class ControlPage;
class TControlForm;
class QWidget;

// What each training mode plugs into the frame: its window and its control panel page. A mode without
// a window has its menu commands disabled.
struct ModeEntry
{
    std::function<ModeWindow *(AppState &)> createWindow;
    std::function<ControlPage *(AppState &, TControlForm &)> createPage;
};

class ModeRegistry
{
public:
    ModeRegistry();
    const ModeEntry &entry(Mode mode) const;
    bool hasWindow(Mode mode) const;
    // Replaces what a mode plugs in (tests use it to plug in stand-in windows).
    void setEntry(Mode mode, ModeEntry entry);

private:
    ModeEntry m_entries[6];
};

#pragma once

#include "AppValues.h"

#include <array>
#include <functional>
#include <vector>

class AppState;
class ControlPage;
class Frame;
class ModeWindow;

// What a training mode plugs into the frame: its window, its control panel page, and how the page takes
// hold of the window it drives. A mode without a window has its menu commands disabled.
struct ModeEntry
{
    std::function<ModeWindow *(AppState &)> createWindow;
    std::function<ControlPage *(AppState &)> createPage;
    // Runs after the window is made and before it is shown, so the page hears all the window reports.
    std::function<void(ControlPage &, ModeWindow &)> attach;
};

// The entry of a mode whose page class drives its window class through `Page::attach(Window &)`.
template <typename Window, typename Page> ModeEntry modeEntry()
{
    return ModeEntry{[](AppState &state) -> ModeWindow * { return new Window(state); },
                     [](AppState &state) -> ControlPage * { return new Page(state); },
                     [](ControlPage &page, ModeWindow &window) {
                         static_cast<Page &>(page).attach(static_cast<Window &>(window));
                     }};
}

// The modes and start windows the program is composed of; filled where the program is put together.
class ModeRegistry
{
public:
    const ModeEntry &entry(Mode mode) const;
    bool hasWindow(Mode mode) const;
    void setEntry(Mode mode, ModeEntry entry);

    // Windows made at start, in order, before the first mode opens.
    using StartWindow = std::function<void(AppState &, Frame &)>;
    void addStartWindow(StartWindow create) { m_startWindows.push_back(std::move(create)); }
    const std::vector<StartWindow> &startWindows() const { return m_startWindows; }

private:
    std::array<ModeEntry, 6> m_entries;
    std::vector<StartWindow> m_startWindows;
};

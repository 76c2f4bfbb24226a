#pragma once

#include "AppValues.h"
#include "ModeTable.h"

#include <array>
#include <functional>
#include <vector>

class AppState;
class ChildWindow;
class ControlPage;
class ControlPanel;
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

    // The control panel and the comprehension test, which the frame makes but does not know.
    using PanelFactory = std::function<ControlPanel *(AppState &, const ModeRegistry &)>;
    using WindowFactory = std::function<ChildWindow *(AppState &)>;
    void setControlPanel(PanelFactory create) { m_createPanel = std::move(create); }
    void setComprehensionTest(WindowFactory create) { m_createTest = std::move(create); }
    ControlPanel *createControlPanel(AppState &state) const
    {
        return m_createPanel ? m_createPanel(state, *this) : nullptr;
    }
    ChildWindow *createComprehensionTest(AppState &state) const
    {
        return m_createTest ? m_createTest(state) : nullptr;
    }

    // Windows made at start, in order, before the first mode opens.
    using StartWindow = std::function<void(AppState &, Frame &)>;
    void addStartWindow(StartWindow create) { m_startWindows.push_back(std::move(create)); }
    const std::vector<StartWindow> &startWindows() const { return m_startWindows; }

private:
    std::array<ModeEntry, kModeCount> m_entries;
    std::vector<StartWindow> m_startWindows;
    PanelFactory m_createPanel;
    WindowFactory m_createTest;
};

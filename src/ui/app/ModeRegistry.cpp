#include "ModeRegistry.h"

#include "SpeedTestPage.h"
#include "TachiPage.h"
#include "control.h"
#include "tacky.h"
#include "control/HorizControlPage.h"
#include "readers/longread.h"

ModeRegistry::ModeRegistry()
{
    // Each mode registers its window and page here when it is built.
    m_entries[static_cast<int>(Mode::SpeedTest)] = speedTestModeEntry();
    m_entries[static_cast<int>(Mode::Tachi)] = ModeEntry{
        [](AppState &state) -> ModeWindow * { return new TTachiForm(state); },
        [](AppState &state, TControlForm &panel) -> ControlPage * { return new TTachiPage(state, &panel); }};
    m_entries[static_cast<int>(Mode::Horiz)] = ModeEntry{
        [](AppState &state) -> ModeWindow * { return new THorizonForm(state); },
        [](AppState &state, TControlForm &) -> ControlPage * { return new HorizControlPage(state); }};
}

const ModeEntry &ModeRegistry::entry(Mode mode) const
{
    static const ModeEntry none;
    if (mode == Mode::None)
        return none;
    return m_entries[static_cast<int>(mode)];
}

bool ModeRegistry::hasWindow(Mode mode) const
{
    return static_cast<bool>(entry(mode).createWindow);
}

void ModeRegistry::setEntry(Mode mode, ModeEntry entry)
{
    if (mode != Mode::None)
        m_entries[static_cast<int>(mode)] = std::move(entry);
}

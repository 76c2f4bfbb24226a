#include "app/ModeRegistry.h"

const ModeEntry &ModeRegistry::entry(Mode mode) const
{
    static const ModeEntry none;
    if (mode == Mode::None)
        return none;
    return m_entries[static_cast<std::size_t>(mode)];
}

bool ModeRegistry::hasWindow(Mode mode) const
{
    return static_cast<bool>(entry(mode).createWindow);
}

void ModeRegistry::setEntry(Mode mode, ModeEntry entry)
{
    if (mode != Mode::None)
        m_entries[static_cast<std::size_t>(mode)] = std::move(entry);
}

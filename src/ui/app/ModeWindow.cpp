#include "app/ModeWindow.h"

#include "app/AppState.h"
#include "app/Frame.h"

void ModeWindow::leaving()
{
    if (m_state.frame != nullptr)
        m_state.frame->setHold(MenuHold::Reading, false);
    setCurrentMode(m_state, Mode::None);
    m_state.StoryLoaded = 0;
}

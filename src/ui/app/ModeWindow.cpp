#include "app/ModeWindow.h"

#include "app/AppState.h"
#include "app/Frame.h"

std::optional<QStringList> ModeWindow::readReaderText(const QString &path, const QString &shownName,
                                                      const TextReadLimits &limits, bool cutName)
{
    TextLeftOut leftOut;
    auto lines = shownName.isEmpty() ? std::nullopt : readTextFileLines(path, limits, &leftOut);
    if (!lines) {
        QString opening = QStringLiteral("The file \"") + shownName + QStringLiteral("\"");
        if (cutName)
            opening = opening.left(110);
        m_state.services.messages.error(opening +
                                        QStringLiteral(" was not found, or else the file is not an ascii "
                                                       "text file. Be sure that the file exists, and was "
                                                       "not deleted."));
        return std::nullopt;
    }
    if (leftOut.any())
        m_state.services.messages.information(readerLeftOutMessage(limits, *lines, leftOut));
    return lines;
}

void ModeWindow::leaving()
{
    if (m_state.frame != nullptr)
        m_state.frame->setHold(MenuHold::Reading, false);
    setCurrentMode(m_state, Mode::None);
    m_state.StoryLoaded = 0;
}

#include "app/TextParts.h"

#include "TextSource.h"
#include "app/AppState.h"

TextParts::TextParts(AppState &state, Mode reader) : m_state(state), m_reader(reader) {}

namespace {

// The readers keep their places in a book in the order of their modes.
int readerIndex(Mode reader)
{
    return static_cast<int>(reader);
}

} // namespace

bool TextParts::open(const QString &path, const QString &shownName, bool cutName, const LineCost &cost,
                     int budget)
{
    SourceText source;
    source.notText = true;
    if (!shownName.isEmpty()) {
        auto read = m_state.readSource(path);
        if (!read) // the user cancelled: the text before stays, nothing to say
            return false;
        source = std::move(*read);
    }
    if (!source.ok() || shownName.isEmpty()) {
        if (!source.notText) {
            m_state.services.messages.error(source.error);
            return false;
        }
        QString opening = QStringLiteral("The file \"") + shownName + QStringLiteral("\"");
        if (cutName)
            opening = opening.left(110);
        m_state.services.messages.error(opening +
                                        QStringLiteral(" was not found, or else the file is not an ascii "
                                                       "text file. Be sure that the file exists, and was "
                                                       "not deleted."));
        return false;
    }
    m_path = path;
    m_hash = source.hash;
    m_title = source.title;
    m_text = source.text;
    m_parts = splitIntoParts(m_text, cost, budget);
    int part = 1;
    int line = 1;
    const bool resume = m_state.resumeNextBook;
    m_state.resumeNextBook = false;
    if (isBook()) {
        if (const auto place = m_state.options.bookPlace(m_hash, readerIndex(m_reader))) {
            const auto [storedPart, storedLine] = *place;
            if (storedPart >= 1 && storedPart <= parts() && (storedPart > 1 || storedLine > 1) &&
                (resume ||
                 m_state.services.messages.confirm(
                     QStringLiteral("Continue at part %1, line %2?").arg(storedPart).arg(storedLine)))) {
                part = storedPart;
                line = storedLine;
            }
        }
    }
    show(part - 1, line);
    return true;
}

void TextParts::show(int part, int line)
{
    m_part = std::clamp(part, 0, parts() - 1);
    m_startLine = std::clamp(line, 1, std::max(1, m_parts.at(m_part).count));
    m_state.book = AppState::OpenBook{m_path, m_hash, m_title, m_part + 1, parts()};
    if (isBook())
        keepPlace(m_startLine);
}

void TextParts::clear()
{
    m_parts.clear();
    m_text = ReaderLines{};
    m_state.book = AppState::OpenBook{};
}

QStringList TextParts::lines() const
{
    return m_parts.isEmpty() ? QStringList() : partLines(m_text, m_parts.at(m_part));
}

QString TextParts::partCaption() const
{
    return isBook() ? QStringLiteral("Part %1 of %2").arg(part()).arg(parts()) : QString();
}

bool TextParts::offerNextPart()
{
    if (!isBook() || part() >= parts())
        return false;
    if (!m_state.services.messages.confirm(
            QStringLiteral("Go on to part %1 of %2?").arg(part() + 1).arg(parts())))
        return false;
    show(m_part + 1, 1);
    return true;
}

void TextParts::keepPlace(int line)
{
    remember(part(), line);
}

void TextParts::partRead()
{
    remember(part() < parts() ? part() + 1 : 1, 1);
}

void TextParts::remember(int part, int line)
{
    if (!isBook())
        return;
    m_state.options.rememberBook(ReadingOptions::Book{m_hash, m_path, m_title, 0, {}}, readerIndex(m_reader),
                                 part, std::max(1, line));
    m_state.saveOptions();
}

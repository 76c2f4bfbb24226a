#include "readers/longread.h"

#include "CreateText.h"
#include "app/AppState.h"
#include "readers/HorizPageView.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

THorizonForm::THorizonForm(AppState &state, QWidget *parent)
    : PacedReader(state, Mode::Horiz, &TSettings::HorizDefaultPlacement, &TSettings::HorizBounds, parent)
{
    setObjectName(QStringLiteral("horizonForm"));
    setWindowTitle(QStringLiteral("Horizontal Reader"));
    // FormCreate
    m_view->setPageFont(pageFont());
    m_reading = std::make_unique<HorizPacer>(HorizText{}, m_view->metrics());
    m_timer1.setInterval(m_state.Settings.HorizInterval);
}

THorizonForm::~THorizonForm() = default;

void THorizonForm::FormShow()
{
    m_shown = true;
    placeOnShow();
    SavedWidth = width();
    if (takeTempFile())
        loadStory();
}

void THorizonForm::loadStory()
{
    keepPlace(false);
    m_startLine = 1;
    m_placeFile.clear();
    if (m_state.StoryLoaded == 0 && m_state.StoryFileName != QLatin1String(kTransferFileName)) {
        m_placeFile = m_state.filePath(m_state.StoryFileName);
        m_offerPlace = m_state.options.rememberPlaces;
    }
    TextLoaded = 1;
    if (!openStoryText())
        return;
    if (m_text.isBook()) {
        m_startLine = m_text.startLine();
    } else if (m_offerPlace) {
        // A text of one part goes on where it stopped only with the option, and asks first.
        if (const auto line = m_state.options.placeFor(m_placeFile, AppState::kHorizPlaces);
            line && *line <= m_text.lines().size() &&
            m_state.services.messages.confirm(QStringLiteral("Continue where you stopped?")))
            m_startLine = *line;
    }
    m_offerPlace = false;
    LoadHorizontalText();
}

void THorizonForm::layOutPart()
{
    m_startLine = 1;
    LoadHorizontalText();
}

void THorizonForm::LoadHorizontalText()
{
    TextLoaded = 1;
    const QStringList lines = m_text.lines();
    if (m_startLine > lines.size())
        m_startLine = 1;
    m_revealed = 0;
    // Stopped before the layout: its long-word message must not let a tick run on the old tables.
    stopTimers();
    m_view->clear();
    m_view->setPageFont(pageFont());
    m_reading = std::make_unique<HorizPacer>(
        LayoutHorizontalText(lines.mid(m_startLine - 1), m_state.Settings.HorizFixations), m_view->metrics());
    const HorizText &text = m_reading->text();
    updatePageSize();
    m_view->draw(drawHorizontalPage(text, m_state.Settings.HorizUnreadTextMode, m_view->metrics()));
    if (text.longWords)
        m_state.services.messages.information(
            QStringLiteral("You have words or URLs with more than 20 characters. These may be trimmed, but "
                           "otherwise everything should work fine."));
    scrollToTop();
    Q_EMIT textLaidOut(text.LineCount);
}

void THorizonForm::updatePageSize()
{
    m_view->resize(viewportWidth(),
                   horizPageHeight(m_reading->text().LineCount, m_view->lineHeight(), viewportHeight()));
}

HorizTickInput THorizonForm::tickInput() const
{
    return HorizTickInput{viewportHeight(), m_state.Settings.HorizInterval,
                          m_state.Settings.HorizReadTextMode};
}

void THorizonForm::showTick(const HorizTick &tick)
{
    if (tick.progress)
        Q_EMIT progressed(*tick.progress);
    if (tick.scrollBy != 0)
        scrollDown(tick.scrollBy);
    m_view->draw(tick.draws);
    m_timer1.setInterval(tick.interval);
    if (tick.reveals)
        ++m_revealed;
}

void THorizonForm::startReading()
{
    startTimers();
    TextLoaded = 1;
}

void THorizonForm::pauseReading()
{
    stopTimers();
    // A width changed while reading lays the page out again only once the user resizes it again.
    SavedWidth = width();
    TextLoaded = 1;
}

void THorizonForm::resetText()
{
    FixationsChanged = 0;
    FontsChanged = 0;
    stopTimers();
    m_reading->resetScore();
    TextLoaded = 1;
    LoadHorizontalText();
    m_reading->resetScroll();
    scrollToTop();
}

bool THorizonForm::stepFixation(bool forward)
{
    if (!m_state.options.stepWhilePaused || TextLoaded != 1 || isPacing() ||
        m_reading->state().FixationCounter == 0)
        return false;
    if (!forward) {
        if (m_revealed < 2)
            return false;
        replayTo(m_revealed - 1);
        m_reading->markStepped();
        return true;
    }
    // Blank lines and a scroll pause pass on the way; the end of the reading is left to Start Read.
    bool moved = false;
    while (!m_reading->atEnd() && !moved) {
        const HorizTick tick = m_reading->tick(tickInput());
        showTick(tick);
        m_reading->markStepped();
        moved = tick.reveals;
    }
    return moved;
}

void THorizonForm::replayTo(int revealed)
{
    const double seconds = m_reading->state().ElapsedSeconds;
    m_reading = std::make_unique<HorizPacer>(m_reading->text(), m_view->metrics());
    m_reading->setElapsedSeconds(seconds);
    m_view->clear();
    m_view->draw(
        drawHorizontalPage(m_reading->text(), m_state.Settings.HorizUnreadTextMode, m_view->metrics()));
    scrollToTop();
    m_revealed = 0;
    while (m_revealed < revealed && !m_reading->atEnd())
        showTick(m_reading->tick(tickInput()));
}

void THorizonForm::keepPlace(bool finished)
{
    const int line = m_reading->state().CurrentLine;
    if (m_text.isBook()) {
        if (finished)
            m_text.partRead();
        else if (TextLoaded == 1 && line > 0)
            m_text.keepPlace(m_startLine - 1 + line);
        return;
    }
    if (m_placeFile.isEmpty() || !m_state.options.rememberPlaces)
        return;
    // Nothing read yet, or the reading already over: the kept place stands.
    if (!finished && (TextLoaded != 1 || line == 0))
        return;
    m_state.options.rememberPlace(m_placeFile, AppState::kHorizPlaces, finished ? 1 : m_startLine - 1 + line);
    m_state.saveOptions();
}

void THorizonForm::leaving()
{
    keepPlace(false);
    PacedReader::leaving();
}

void THorizonForm::Timer1Timer()
{
    const HorizTick tick = m_reading->tick(tickInput());
    if (tick.finished) {
        if (tick.progress)
            Q_EMIT progressed(*tick.progress);
        FinishHorizontalReading(tick);
        return;
    }
    showTick(tick);
}

void THorizonForm::FinishHorizontalReading(const HorizTick &tick)
{
    m_timer1.stop();
    scrollDown(tick.scrollBy);
    m_view->draw(tick.draws);
    Q_EMIT readingFinished();
    keepPlace(true);
    ReadingResult result = m_reading->result();
    result.continued = m_startLine > 1;
    m_startLine = 1;
    TextLoaded = 0;
    m_timer2.stop();
    recordScore(result);
    offerNextPart();
}

void THorizonForm::resizeEvent(QResizeEvent *event)
{
    ModeWindow::resizeEvent(event);
    if (m_shown && width() != SavedWidth && TextLoaded == 1)
        FormResize();
}

void THorizonForm::FormResize()
{
    // The lines are never re-wrapped: a new width starts the reading over from the first line.
    m_reading->resetScore();
    LoadHorizontalText();
    m_reading->resetScroll();
    scrollToTop();
    SavedWidth = width();
}

QFont THorizonForm::pageFont() const
{
    return readerFont(m_state.Settings.HorizFont);
}

void THorizonForm::chooseFont()
{
    if (const auto chosen = askForFont(m_state.Settings.HorizFont)) {
        m_state.setFont(Mode::Horiz, *chosen);
        FontsChanged = 1;
    }
}

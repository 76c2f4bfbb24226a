#include "readers/vertical.h"

#include "app/AppState.h"
#include "readers/HorizPageView.h"

TVertForm::TVertForm(AppState &state, QWidget *parent)
    : PacedReader(state, Mode::Vert, &TSettings::VertDefaultPlacement, &TSettings::VertBounds, parent)
{
    setObjectName(QStringLiteral("vertForm"));
    setWindowTitle(QStringLiteral("Vertical Reader"));
    // FormCreate
    m_view->setPageFont(pageFont());
    m_reading = std::make_unique<VertPacer>(HorizText{}, m_state.Settings.VertDownSweep, m_view->metrics());
    m_timer1.setInterval(m_state.Settings.VertInterval);
}

TVertForm::~TVertForm() = default;

void TVertForm::FormShow()
{
    placeOnShow();
    if (takeTempFile())
        loadStory();
}

void TVertForm::loadStory()
{
    keepPlace();
    if (!openStoryText())
        return;
    m_startLine = m_text.startLine();
    LoadVerticalText();
}

void TVertForm::layOutPart()
{
    m_startLine = 1;
    LoadVerticalText();
}

void TVertForm::keepPlace()
{
    if (m_reading != nullptr && m_reading->state().CurrentLine > 0 && !m_reading->finished())
        m_text.keepPlace(m_startLine - 1 + m_reading->state().CurrentLine);
}

void TVertForm::LoadVerticalText()
{
    const QStringList lines = m_text.lines().mid(m_startLine - 1);
    stopTimers();
    m_view->clear();
    m_view->setPageFont(pageFont());
    const TSettings &s = m_state.Settings;
    m_reading = std::make_unique<VertPacer>(LayoutVerticalText(lines, s.VertFixations), s.VertDownSweep,
                                            m_view->metrics());
    m_revealed = 0;
    updatePageSize();
    m_view->draw(drawVerticalPage(m_reading->text(), s.VertUnreadTextMode, m_view->metrics()));
    scrollToTop();
    FixationsChanged = 0;
    DownSweepChanged = 0;
    FontsChanged = 0;
    Q_EMIT textLaidOut(m_reading->text().LineCount);
}

void TVertForm::updatePageSize()
{
    // The page grows with the text, so a long text scrolls to its end whatever the font.
    m_view->resize(viewportWidth(), m_reading->pageHeight(viewportHeight()));
}

void TVertForm::startReading()
{
    m_reading->start();
    startTimers();
}

void TVertForm::pauseReading()
{
    stopTimers();
    m_reading->pause();
    keepPlace();
}

void TVertForm::resetText()
{
    pauseReading();
    FixationsChanged = 0;
    DownSweepChanged = 0;
    FontsChanged = 0;
    m_reading->resetScore();
    LoadVerticalText();
    scrollToTop();
}

VertTickInput TVertForm::tickInput() const
{
    const TSettings &s = m_state.Settings;
    return VertTickInput{viewportHeight(), s.VertInterval, s.VertSecondInterval};
}

void TVertForm::showTick(const VertTick &tick)
{
    if (tick.progress)
        Q_EMIT progressed(*tick.progress);
    if (tick.scrollBy != 0)
        scrollDown(tick.scrollBy);
    m_view->draw(tick.draws);
    if (tick.kind == VertTick::Kind::Reveal)
        ++m_revealed;
    if (tick.finished)
        FinishVerticalReading(tick);
    else
        m_timer1.setInterval(tick.interval);
}

bool TVertForm::stepFixation(bool forward)
{
    if (!m_state.options.stepWhilePaused || isPacing() || m_reading->finished() || m_revealed == 0)
        return false;
    const int target = forward ? m_revealed + 1 : m_revealed - 1;
    if (target < 1)
        return false;
    if (!forward) {
        // Back: the page laid out afresh and paced again up to the fixation before.
        const double seconds = m_reading->state().ElapsedSeconds;
        m_reading = std::make_unique<VertPacer>(m_reading->text(), m_reading->downSweep(), m_view->metrics());
        m_reading->setElapsedSeconds(seconds);
        m_view->clear();
        m_view->draw(
            drawVerticalPage(m_reading->text(), m_state.Settings.VertUnreadTextMode, m_view->metrics()));
        scrollToTop();
        m_revealed = 0;
    }
    // The ticks to the target fixation, counted on a copy first: stepping never ends the reading (blank
    // lines, sweep pauses and scrolls pass on the way; the end is left to Start Read).
    VertPacer probe = *m_reading;
    probe.start();
    int ticks = 0;
    for (int revealed = m_revealed; revealed < target; ++ticks) {
        const VertTick t = probe.tick(tickInput());
        if (t.finished)
            return false;
        revealed += t.kind == VertTick::Kind::Reveal;
    }
    m_reading->start();
    for (int i = 0; i < ticks; ++i)
        showTick(m_reading->tick(tickInput()));
    m_reading->pause();
    m_reading->markStepped();
    return true;
}

void TVertForm::Timer1Timer()
{
    const VertTick tick = m_reading->tick(tickInput());
    // A tick already queued when the reading paused: the pacer ignored it, and its wait means nothing.
    if (tick.kind != VertTick::Kind::Idle)
        showTick(tick);
}

void TVertForm::FinishVerticalReading(const VertTick &)
{
    m_timer1.stop();
    Q_EMIT readingFinished();
    m_timer2.stop();
    m_text.partRead();
    ReadingResult result = m_reading->result();
    result.continued = m_startLine > 1;
    m_startLine = 1;
    recordScore(result);
    offerNextPart();
}

void TVertForm::leaving()
{
    keepPlace();
    PacedReader::leaving();
}

TFontGroup TVertForm::fontGroup() const
{
    return modeInfo(Mode::Vert).font(m_state.Settings);
}

QFont TVertForm::pageFont() const
{
    return readerFont(fontGroup());
}

void TVertForm::chooseFont()
{
    const auto chosen = askForFont(fontGroup());
    if (!chosen)
        return;
    m_state.setFont(Mode::Vert, *chosen);
    FontsChanged = 1;
}

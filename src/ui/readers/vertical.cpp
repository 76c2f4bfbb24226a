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
        LoadVerticalText();
}

void TVertForm::LoadVerticalText()
{
    const auto lines = readStoryLines();
    if (!lines)
        return;
    stopTimers();
    m_view->clear();
    m_view->setPageFont(pageFont());
    const TSettings &s = m_state.Settings;
    m_reading = std::make_unique<VertPacer>(LayoutVerticalText(*lines, s.VertFixations), s.VertDownSweep,
                                            m_view->metrics());
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
}

void TVertForm::Timer1Timer()
{
    const TSettings &s = m_state.Settings;
    const VertTick tick =
        m_reading->tick(VertTickInput{viewportHeight(), s.VertInterval, s.VertSecondInterval});
    // A tick already queued when the reading paused: the pacer ignored it, and its wait means nothing.
    if (tick.kind == VertTick::Kind::Idle)
        return;
    if (tick.progress)
        Q_EMIT progressed(*tick.progress);
    if (tick.scrollBy != 0)
        scrollDown(tick.scrollBy);
    m_view->draw(tick.draws);
    if (tick.finished) {
        FinishVerticalReading(tick);
        return;
    }
    m_timer1.setInterval(tick.interval);
}

void TVertForm::FinishVerticalReading(const VertTick &)
{
    m_timer1.stop();
    Q_EMIT readingFinished();
    m_timer2.stop();
    recordScore(m_reading->result().wpm());
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

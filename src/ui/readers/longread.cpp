#include "readers/longread.h"

#include "app/AppState.h"
#include "readers/HorizPageView.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

THorizonForm::THorizonForm(AppState &state, QWidget *parent)
    : PacedReader(state, Mode::Horiz, &state.Settings.HorizDefaultPlacement, &state.Settings.HorizBounds,
                  parent)
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
    if (takeTempFile(2))
        LoadHorizontalText();
}

void THorizonForm::LoadHorizontalText()
{
    TextLoaded = 1;
    const auto lines = readStoryLines();
    if (!lines)
        return;
    // Stopped before the layout: its long-word message must not let a tick run on the old tables.
    stopTimers();
    m_view->clear();
    m_view->setPageFont(pageFont());
    m_reading = std::make_unique<HorizPacer>(LayoutHorizontalText(*lines, m_state.Settings.HorizFixations),
                                             m_view->metrics());
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

void THorizonForm::Timer1Timer()
{
    const HorizTick tick = m_reading->tick(
        HorizTickInput{viewportHeight(), m_state.Settings.HorizInterval, m_state.Settings.HorizReadTextMode});
    if (tick.progress)
        Q_EMIT progressed(*tick.progress);
    if (tick.finished) {
        FinishHorizontalReading(tick);
        return;
    }
    if (tick.scrollBy != 0)
        scrollDown(tick.scrollBy);
    m_view->draw(tick.draws);
    m_timer1.setInterval(tick.interval);
}

void THorizonForm::FinishHorizontalReading(const HorizTick &tick)
{
    m_timer1.stop();
    scrollDown(tick.scrollBy);
    m_view->draw(tick.draws);
    Q_EMIT readingFinished();
    TextLoaded = 0;
    m_timer2.stop();
    recordScore(m_state.Settings.HorizWpmHistory, m_reading->state().WpmScore);
}

bool THorizonForm::FormKeyDown(int key)
{
    if (key != Qt::Key_Down && key != Qt::Key_Up)
        return false;
    if (m_state.HorizOpen != 1 || TextLoaded != 1 || !m_timer1.isActive())
        return false;
    Q_EMIT speedKeyPressed(key == Qt::Key_Down);
    return true;
}

bool THorizonForm::speedKey(int key)
{
    if (!FormKeyDown(key))
        return false;
    if (QMdiSubWindow *f = frame(); f != nullptr && f->mdiArea() != nullptr)
        f->mdiArea()->setActiveSubWindow(f);
    setFocus(Qt::OtherFocusReason);
    return true;
}

void THorizonForm::keyPressEvent(QKeyEvent *event)
{
    if (!FormKeyDown(event->key()))
        PacedReader::keyPressEvent(event);
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
        m_state.Settings.HorizFont = *chosen;
        FontsChanged = 1;
    }
}

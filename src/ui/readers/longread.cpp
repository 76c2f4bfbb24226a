#include "readers/longread.h"

#include "TextFile.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/FontCommand.h"
#include "app/Frame.h"
#include "readers/HorizPageView.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

THorizonForm::THorizonForm(AppState &state, QWidget *parent)
    : ModeWindow(state, &state.Settings.HorizDefaultPlacement, &state.Settings.HorizBounds, parent),
      m_timer1(state.services.clock, this)
{
    setObjectName(QStringLiteral("horizonForm"));
    setWindowTitle(QStringLiteral("Horizontal Reader"));
    setMinimumSize(150, 60);
    setFocusPolicy(Qt::StrongFocus);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("pageScrollArea"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setWidgetResizable(false);
    // Keys belong to the reader; the page moves only when the pacer (or the user's scroll bar) moves it.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setBackgroundRole(QPalette::Base);
    QPalette white = m_scroll->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Window, Qt::white);
    m_scroll->setPalette(white);
    m_view = new HorizPageView;
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setTimerType(Qt::PreciseTimer);
    m_timer2.setInterval(1000);
    connect(&m_timer1, &PaceTimer::timeout, this, &THorizonForm::Timer1Timer);
    connect(&m_timer2, &QTimer::timeout, this, &THorizonForm::Timer2Timer);

    // FormCreate
    setCurrentMode(m_state, Mode::Horiz);
    m_view->setPageFont(pageFont());
    m_reading = std::make_unique<HorizPacer>(HorizText{}, m_view->metrics());
    m_timer1.setInterval(m_state.Settings.HorizInterval);
}

THorizonForm::~THorizonForm() = default;

void THorizonForm::showEvent(QShowEvent *event)
{
    ModeWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void THorizonForm::FormShow()
{
    if (QMdiSubWindow *f = frame())
        f->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    applyPlacement(m_state.frame != nullptr ? m_state.frame->readerDefaultGeometry() : QRect());
    if (QMdiSubWindow *f = frame()) {
        f->show();
        if (f->layout() != nullptr)
            f->layout()->activate();
    }
    SavedWidth = width();
    if (m_state.LoadTempFile == 2) {
        m_state.LoadTempFile = 0;
        setStoryFileName(m_state, QStringLiteral("temp.txt"));
        m_state.StoryLoaded = 0;
        LoadHorizontalText();
    }
}

void THorizonForm::LoadHorizontalText()
{
    TextLoaded = 1;
    const QString name = m_state.StoryFileName;
    const auto lines = name.isEmpty() ? std::nullopt : readTextFileLines(m_state.filePath(name));
    if (!lines) {
        m_state.services.messages.error(
            QString(QStringLiteral("The file \"") + name + QStringLiteral("\"")).left(110) +
            QStringLiteral(
                " was not found, or else the file is not an ascii text file. Be sure that the file "
                "exists, and was not deleted."));
        return;
    }
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

void THorizonForm::startTimers()
{
    m_timer1.start();
    m_timer2.start();
}

void THorizonForm::stopTimers()
{
    m_timer1.stop();
    m_timer2.stop();
}

void THorizonForm::scrollToTop()
{
    m_scroll->verticalScrollBar()->setValue(0);
}

void THorizonForm::scrollDown(int pixels)
{
    QScrollBar *bar = m_scroll->verticalScrollBar();
    bar->setValue(bar->value() + pixels);
}

void THorizonForm::updatePageSize()
{
    const QSize viewport = m_scroll->viewport()->size();
    m_view->resize(viewport.width(),
                   horizPageHeight(m_reading->text().LineCount, m_view->lineHeight(), viewport.height()));
}

void THorizonForm::Timer1Timer()
{
    const HorizTick tick = m_reading->tick(HorizTickInput{
        m_scroll->viewport()->height(), m_state.Settings.HorizInterval, m_state.Settings.HorizReadTextMode});
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
    const double wpm = m_reading->state().WpmScore;
    // A reading without a counted second scores nothing; appending that 0 to a full history would push
    // out the oldest real score.
    if (wpm != 0.0)
        m_state.historyAppend(m_state.Settings.HorizWpmHistory, wpm);
    m_state.askAfterReading(m_state.Settings.HorizWpmHistory, wpm);
    m_state.PlayClick(4);
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
        ModeWindow::keyPressEvent(event);
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

bool THorizonForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        updatePageSize();
    return ModeWindow::eventFilter(watched, event);
}

QFont THorizonForm::pageFont() const
{
    // A damaged record must not give a font the font dialog could never have chosen.
    const FontDialogOptions sizes = fontDialogFor(Mode::Horiz);
    TFontGroup group = m_state.Settings.HorizFont;
    group.Size = std::clamp(group.Size, sizes.minSize, sizes.maxSize);
    return toQFont(group);
}

void THorizonForm::chooseFont()
{
    // The page keeps the font it was laid out in until Reset Text lays it out again in the new one.
    const auto chosen = chooseModeFont(m_state, Mode::Horiz, toFontChoice(m_state.Settings.HorizFont));
    if (!chosen)
        return;
    m_state.Settings.HorizFont = *chosen;
    FontsChanged = 1;
}

void THorizonForm::leaving()
{
    if (m_state.frame != nullptr)
        m_state.frame->setHold(MenuHold::Reading, false);
    setCurrentMode(m_state, Mode::None);
    m_state.StoryLoaded = 0;
    stopTimers();
}

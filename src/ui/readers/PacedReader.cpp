#include "readers/PacedReader.h"

#include "CreateText.h"
#include "TextFile.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/FontCommand.h"
#include "app/Frame.h"
#include "readers/HorizPageView.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

PacedReader::PacedReader(AppState &state, Mode mode, PlacementFlag placementFlag, PlacementBounds bounds,
                         QWidget *parent)
    : ModeWindow(state, placementFlag, bounds, parent), m_text(state, mode),
      m_timer1(state.services.clock, this), m_mode(mode)
{
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
    connect(&m_timer1, &PaceTimer::timeout, this, [this] { Timer1Timer(); });
    connect(&m_timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
}

PacedReader::~PacedReader() = default;

void PacedReader::showEvent(QShowEvent *event)
{
    ModeWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void PacedReader::placeOnShow()
{
    if (QMdiSubWindow *f = frame())
        f->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    applyPlacement(m_state.frame != nullptr ? m_state.frame->readerDefaultGeometry() : QRect());
    if (QMdiSubWindow *f = frame()) {
        f->show();
        if (f->layout() != nullptr)
            f->layout()->activate();
    }
}

bool PacedReader::takeTempFile()
{
    if (m_state.LoadTempFile != modeInfo(m_mode).transferCode)
        return false;
    m_state.LoadTempFile = 0;
    setStoryFileName(m_state, QString::fromLatin1(kTransferFileName));
    m_state.StoryLoaded = 0;
    return true;
}

bool PacedReader::openStoryText()
{
    const QString name = m_state.StoryFileName;
    if (!m_text.open(
            m_state.filePath(name), name, true, [](const QString &) { return 1; }, kReaderMaxLines))
        return false;
    Q_EMIT partShown(m_text.partCaption());
    return true;
}

void PacedReader::offerNextPart()
{
    if (!m_text.offerNextPart())
        return;
    layOutPart();
    Q_EMIT partShown(m_text.partCaption());
}

void PacedReader::startTimers()
{
    m_timer1.start();
    m_timer2.start();
}

void PacedReader::stopTimers()
{
    m_timer1.stop();
    m_timer2.stop();
}

void PacedReader::scrollToTop()
{
    m_scroll->verticalScrollBar()->setValue(0);
}

void PacedReader::scrollDown(int pixels)
{
    QScrollBar *bar = m_scroll->verticalScrollBar();
    bar->setValue(bar->value() + pixels);
}

int PacedReader::viewportWidth() const
{
    return m_scroll->viewport()->width();
}

int PacedReader::viewportHeight() const
{
    return m_scroll->viewport()->height();
}

bool PacedReader::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        viewportResized();
    return ModeWindow::eventFilter(watched, event);
}

QFont PacedReader::readerFont(TFontGroup group) const
{
    const FontDialogOptions sizes = fontDialogFor(mode());
    group.Size = std::clamp(group.Size, sizes.minSize, sizes.maxSize);
    return toQFont(group);
}

std::optional<TFontGroup> PacedReader::askForFont(const TFontGroup &current)
{
    return chooseModeFont(m_state, mode(), toFontChoice(current));
}

void PacedReader::recordScore(const ReadingResult &result)
{
    m_state.recordReading(m_mode, result);
    m_state.askAfterReading(m_mode);
    m_state.PlayClick(4);
}

void PacedReader::leaving()
{
    stopTimers();
    ModeWindow::leaving();
}

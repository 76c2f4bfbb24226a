#include "readers/SpeedTest.h"

#include "CreateText.h"
#include "TextFile.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/FontCommand.h"
#include "app/Frame.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

SpeedTestView::SpeedTestView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("speedTestView"));
    setFrameShape(QFrame::NoFrame);
    // The reader window keeps the keyboard; the view only shows the page.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    verticalScrollBar()->setObjectName(QStringLiteral("speedTestScrollBar"));
    // The bar shows where the page is but takes no input: a drag would let the reader look ahead before the
    // clock starts, or reach the end without the end-zone check that paging makes.
    verticalScrollBar()->installEventFilter(this);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    updateRange();
}

void SpeedTestView::setPage(SpeedTestPageText page)
{
    m_page = std::move(page);
    m_page.lineHeight = std::max(1, m_page.lineHeight);
    updateRange();
    viewport()->update();
}

int SpeedTestView::position() const
{
    return verticalScrollBar()->value();
}

void SpeedTestView::setPosition(int position)
{
    verticalScrollBar()->setValue(position);
}

int SpeedTestView::scrollMaximum() const
{
    return verticalScrollBar()->maximum();
}

int SpeedTestView::clientHeight() const
{
    return viewport()->height();
}

void SpeedTestView::updateRange()
{
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, speedTestScrollMaximum(m_page.pageEnd, clientHeight()));
    bar->setPageStep(std::max(1, clientHeight()));
    bar->setSingleStep(20);
}

void SpeedTestView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    if (m_page.pageEnd <= 0)
        return;
    painter.setFont(m_page.font);
    painter.setPen(m_page.color);
    const int top = position();
    const int h = m_page.lineHeight;
    const int ascent = QFontMetrics(m_page.font, viewport()).ascent();
    // Page rows top .. top + height are in view; line k covers rows k * h .. (k + 1) * h.
    const int first = std::max(1, top / h - 1);
    const int last =
        std::min<int>(static_cast<int>(m_page.lines.size()), (top + viewport()->height()) / h + 1);
    for (int k = first; k <= last; ++k)
        painter.drawText(QPoint(kSpeedTestLeftMargin, speedTestLineTop(k, h) - top + ascent),
                         m_page.lines.at(k - 1));
    const int endTop = speedTestEndMarkTop(m_page.pageEnd) - top;
    if (endTop + h >= 0 && endTop <= viewport()->height())
        painter.drawText(QPoint(kSpeedTestLeftMargin, endTop + ascent), QStringLiteral("THE END"));
}

void SpeedTestView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateRange();
}

void SpeedTestView::scrollContentsBy(int, int)
{
    viewport()->update();
}

bool SpeedTestView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == verticalScrollBar()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            return true;
        default:
            break;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void SpeedTestView::wheelEvent(QWheelEvent *event)
{
    // The page moves by whole screens only, under the reader's keys and the control panel's buttons.
    event->accept();
}

TSpeedTestForm::TSpeedTestForm(AppState &state, QWidget *parent)
    : ModeWindow(state, &TSettings::SpeedTestDefaultPlacement, &TSettings::SpeedTestBounds, parent),
      m_view(new SpeedTestView(this)), m_timer1(state.services.clock, this)
{
    setObjectName(QStringLiteral("speedTestForm"));
    setWindowTitle(QStringLiteral("Speed Test"));
    setFocusPolicy(Qt::StrongFocus);
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(1000);
    connect(&m_timer1, &PaceTimer::timeout, this, &TSpeedTestForm::Timer1Timer);
    m_view->setGeometry(rect());
    // Whatever moves the page while the clock runs (paging, a range that shrinks under it) may bring the end
    // into view.
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_values.SpeedTestTimerOn == 1)
            checkEndZone();
    });

    m_values.SpeedTestTimerOn = 0;
    m_values.SpeedTestPageEnd = 0;
    m_values.SpeedTestTextLoaded = 0;
}

TSpeedTestForm::~TSpeedTestForm() = default;

QFont TSpeedTestForm::canvasFont() const
{
    // A damaged record must not give a size the font dialog could never choose.
    TFontGroup group = m_state.Settings.SpeedTestFont;
    const FontDialogOptions sizes = fontDialogFor(Mode::SpeedTest);
    group.Size = std::clamp(group.Size, sizes.minSize, sizes.maxSize);
    return toQFont(group);
}

int TSpeedTestForm::lineHeight() const
{
    return std::max(1, QFontMetrics(canvasFont(), this).height());
}

QString TSpeedTestForm::storyPath() const
{
    const QString &name = m_state.StoryFileName;
    return QFileInfo(name).isAbsolute() ? name : m_state.filePath(name);
}

void TSpeedTestForm::loadStory()
{
    stopClock();
    LoadSpeedTestText();
}

void TSpeedTestForm::LoadSpeedTestText()
{
    m_values.SpeedTestTextLoaded = 1;
    if (!m_text.open(
            storyPath(), m_state.StoryFileName, true, [](const QString &) { return 1; }, kReaderMaxLines))
        return;
    showPart();
}

void TSpeedTestForm::showPart()
{
    m_fileLines = m_text.lines();
    m_haveText = true;
    LayoutSpeedTestText(true);
    Q_EMIT partShown(m_text.partCaption());
}

void TSpeedTestForm::partTested()
{
    m_text.partRead();
    if (m_text.offerNextPart())
        showPart();
}

void TSpeedTestForm::LayoutSpeedTestText(bool newText)
{
    const QFont font = canvasFont();
    const int h = lineHeight();
    layoutSpeedTestText(m_values, m_fileLines, h);

    m_view->setPage(SpeedTestPageText{m_values.SpeedTestLines, font,
                                      toQColor(m_state.Settings.SpeedTestFont.Color), h,
                                      m_values.SpeedTestPageEnd});
    m_view->setPosition(0);
    m_values.SpeedTestSavedWidth = width();
    Q_EMIT textLaidOut(newText);
}

void TSpeedTestForm::chooseFont()
{
    const auto chosen =
        chooseModeFont(m_state, Mode::SpeedTest, toFontChoice(m_state.Settings.SpeedTestFont));
    if (!chosen)
        return;
    m_state.setFont(Mode::SpeedTest, *chosen);
    // The page shows the new font at once; like a width change, that starts the counts again.
    if (m_haveText) {
        stopClock();
        LayoutSpeedTestText(false);
    }
}

void TSpeedTestForm::startClock()
{
    m_timer1.start(1000);
    m_values.SpeedTestTimerOn = 1;
}

void TSpeedTestForm::stopClock()
{
    m_timer1.stop();
    m_values.SpeedTestTimerOn = 0;
    Q_EMIT clockStopped();
}

void TSpeedTestForm::Timer1Timer()
{
    countSpeedTestSecond(m_values);
    Q_EMIT secondsCounted(m_values.SpeedTestSeconds);
}

void TSpeedTestForm::checkEndZone()
{
    if (!inSpeedTestEndZone(m_view->position(), m_view->scrollMaximum()))
        return;
    m_state.SpeedTestEndReached = 1;
    Q_EMIT endZoneReached();
}

void TSpeedTestForm::pageDown()
{
    m_view->setPosition(m_view->position() + speedTestPageStep(lineHeight(), m_view->clientHeight()));
    checkEndZone();
    takeFocus();
}

void TSpeedTestForm::pageUp()
{
    m_view->setPosition(m_view->position() - speedTestPageStep(lineHeight(), m_view->clientHeight()));
    takeFocus();
}

void TSpeedTestForm::showEvent(QShowEvent *event)
{
    ModeWindow::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    applyPlacement(m_state.frame != nullptr ? m_state.frame->readerDefaultGeometry() : QRect(0, 0, 400, 300));
    m_values.SpeedTestSavedWidth = width();
}

void TSpeedTestForm::resizeEvent(QResizeEvent *event)
{
    ModeWindow::resizeEvent(event);
    m_view->setGeometry(rect());
    if (width() != m_values.SpeedTestSavedWidth && m_values.SpeedTestTextLoaded == 1 && m_haveText) {
        // The text is laid out again for the new width and the counts start from 0, so a running clock
        // stops with it rather than count on for a test that has started over.
        stopClock();
        LayoutSpeedTestText(false);
        return;
    }
    if (m_values.SpeedTestTimerOn == 1)
        checkEndZone();
}

bool TSpeedTestForm::readerKey(int key, bool autoRepeat)
{
    bool taken = false;
    if (m_values.SpeedTestTimerOn == 1) {
        taken = true;
        if (key == Qt::Key_Space || key == Qt::Key_PageDown)
            pageDown();
        else if (key == Qt::Key_PageUp)
            pageUp();
        else if (key == Qt::Key_Escape)
            Q_EMIT pauseRequested();
        else
            taken = false;
    } else if (key == Qt::Key_Space && !autoRepeat) {
        // The page is not moved: the clock starts, when the page offers to start it.
        Q_EMIT startRequested();
        taken = true;
    }
    if (taken)
        setFocus(Qt::OtherFocusReason);
    return taken;
}

void TSpeedTestForm::leaving()
{
    m_timer1.stop();
    m_values.SpeedTestTimerOn = 0;
    ModeWindow::leaving();
}

#include "charts/ChartViewer.h"

#include "app/AppState.h"
#include "charts/ChartBitmap.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kTitleBarHeight = 26;
const QSize kScrollRange(650, 450);

} // namespace

TChartForm1::TChartForm1(AppState &state, std::function<QString()> initialFolder, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_state(state),
      m_initialFolder(std::move(initialFolder))
{
    setObjectName(QStringLiteral("chartViewer"));
    setWindowTitle(QStringLiteral("Brindlewick -- Chart File Viewer"));

    QMenu *open = menuBar()->addMenu(QStringLiteral("&Open"));
    open->setObjectName(QStringLiteral("viewerOpenMenu"));
    QAction *openChart = open->addAction(QStringLiteral("Open &Chart"));
    openChart->setObjectName(QStringLiteral("openChartAction"));
    connect(openChart, &QAction::triggered, this, &TChartForm1::OpenChartClick);

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto *strip = new QFrame(central);
    strip->setFrameShape(QFrame::StyledPanel);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(4, 3, 4, 3);
    auto *openButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton), QString(), strip);
    openButton->setObjectName(QStringLiteral("openChartButton"));
    openButton->setToolTip(QStringLiteral("Open Chart"));
    connect(openButton, &QPushButton::clicked, this, &TChartForm1::OpenChartClick);
    stripLayout->addWidget(openButton);
    stripLayout->addWidget(
        new QLabel(QStringLiteral("Open a Chart Bitmap File from either the Menu or the Button to the left."),
                   strip),
        1);
    column->addWidget(strip);

    m_scroll = new QScrollArea(central);
    m_scroll->setObjectName(QStringLiteral("chartScrollArea"));
    m_canvas = new QWidget;
    m_canvas->setObjectName(QStringLiteral("chartCanvas"));
    m_canvas->setAutoFillBackground(true);
    QPalette grey = m_canvas->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    m_canvas->setPalette(grey);
    m_canvas->resize(kScrollRange);
    m_scroll->setWidget(m_canvas);
    m_scroll->viewport()->setBackgroundRole(QPalette::Window);
    m_scroll->viewport()->setAutoFillBackground(true);
    m_scroll->viewport()->setPalette(grey);
    column->addWidget(m_scroll, 1);
    setCentralWidget(central);

    for (int i = 0; i < TChartViewerSlots::kSlots; ++i)
        m_slotWidgets[static_cast<std::size_t>(i)] = buildSlot(i);

    resize(kScrollRange + QSize(30, 90));
    const QSize screen = m_state.services.screen.size();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);
}

TChartForm1::~TChartForm1() = default;

TChartForm1::SlotWidgets TChartForm1::buildSlot(int slot)
{
    const QString name = QStringLiteral("chartSlot%1").arg(slot + 1);
    SlotWidgets w;
    w.panel = new QFrame(m_canvas);
    w.panel->setObjectName(name);
    w.panel->setFrameShape(QFrame::Panel);
    w.panel->setFrameShadow(QFrame::Raised);
    w.panel->setAutoFillBackground(true);

    w.titleBar = new QFrame(w.panel);
    QFrame *titleBar = w.titleBar;
    titleBar->setObjectName(name + QStringLiteral("TitleBar"));
    titleBar->setAutoFillBackground(true);
    QPalette caption = titleBar->palette();
    caption.setColor(QPalette::Window, QColor(0, 0, 128));
    caption.setColor(QPalette::WindowText, Qt::white);
    titleBar->setPalette(caption);
    titleBar->setGeometry(0, 0, 0, kTitleBarHeight);
    auto *bar = new QHBoxLayout(titleBar);
    bar->setContentsMargins(3, 2, 3, 2);
    auto *close = new QPushButton(QStringLiteral("Close"), titleBar);
    close->setObjectName(name + QStringLiteral("CloseButton"));
    close->setPalette(w.panel->palette());
    connect(close, &QPushButton::clicked, this, [this, slot] { closeSlot(slot); });
    bar->addWidget(close);
    w.caption = new QLabel(titleBar);
    w.caption->setObjectName(name + QStringLiteral("Caption"));
    w.caption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bar->addWidget(w.caption, 1);

    w.image = new QLabel(w.panel);
    w.image->setObjectName(name + QStringLiteral("Image"));
    w.panel->hide();
    return w;
}

void TChartForm1::OpenChartClick()
{
    MessageService &messages = m_state.services.messages;
    QString path = m_state.services.dialogs.openFileName(QStringLiteral("Open Chart"), m_initialFolder(),
                                                         QStringLiteral("Bitmap Files (*.bmp)"));
    if (path.isEmpty())
        return;
    if (!QFileInfo::exists(path) && QFileInfo(path).suffix().isEmpty() &&
        QFileInfo::exists(path + QStringLiteral(".bmp")))
        path += QStringLiteral(".bmp");
    if (m_slots.isVisible(0) && m_slots.isVisible(1)) {
        messages.error(QStringLiteral("You must close one of the other two charts before opening another."));
        return;
    }
    const std::optional<QImage> image = loadChartBitmap(path);
    if (!image) {
        messages.error(QStringLiteral("The file \"%1\" is not a chart bitmap that can be shown.")
                           .arg(QDir::toNativeSeparators(path)));
        return;
    }
    const int slot = *m_slots.open(image->height() + 2 + kTitleBarHeight);
    SlotWidgets &w = m_slotWidgets[static_cast<std::size_t>(slot)];
    w.panel->resize(image->width() + 4, m_slots.height(slot));
    w.titleBar->resize(image->width() + 4, kTitleBarHeight);
    w.caption->setText(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    w.image->setPixmap(QPixmap::fromImage(*image));
    w.image->setGeometry(2, kTitleBarHeight + 1, image->width(), image->height());
    placeSlots();
    w.panel->show();
}

void TChartForm1::closeSlot(int slot)
{
    m_slots.close(slot);
    SlotWidgets &w = m_slotWidgets[static_cast<std::size_t>(slot)];
    w.panel->hide();
    w.image->clear();
    placeSlots();
    // The chart left behind is now at the top: show its title and Close button.
    m_scroll->verticalScrollBar()->setValue(0);
}

void TChartForm1::placeSlots()
{
    QSize extent = kScrollRange;
    for (int i = 0; i < TChartViewerSlots::kSlots; ++i) {
        if (!m_slots.isVisible(i))
            continue;
        QFrame *panel = chartSlot(i);
        panel->move(1, m_slots.top(i));
        extent = extent.expandedTo(QSize(panel->geometry().right() + 1, panel->geometry().bottom() + 1));
    }
    // The scroll range grows for charts saved from a window larger than the usual one, and the window with
    // it as far as the screen allows.
    m_canvas->resize(extent);
    const QSize missing = (extent - m_scroll->viewport()->size()).expandedTo(QSize(0, 0));
    if (!missing.isNull()) {
        const QSize screen = m_state.services.screen.size();
        resize((size() + missing).boundedTo(screen - QSize(20, 60)).expandedTo(size()));
        move(std::clamp(x(), 0, std::max(0, screen.width() - width())),
             std::clamp(y(), 0, std::max(0, screen.height() - height())));
    }
}

#include "charts/chartsView.h"

#include "app/AppState.h"
#include "charts/ChartBitmap.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QValueAxis>

#include <algorithm>

namespace {

constexpr int kRowHeight = 36;
constexpr int kSlotsOnAxis = 30;
// With no score the words-per-minute axis would run from 0 to 0, which cannot be drawn; it keeps the
// chart's usual top instead.
constexpr int kEmptyWpmAxisMaximum = 1000;

QLineSeries *lineOf(QChartView *view)
{
    return qobject_cast<QLineSeries *>(view->chart()->series().constFirst());
}

QValueAxis *valueAxisOf(QChartView *view)
{
    return qobject_cast<QValueAxis *>(view->chart()->axes(Qt::Vertical).constFirst());
}

QCategoryAxis *slotAxisOf(QChartView *view)
{
    return qobject_cast<QCategoryAxis *>(view->chart()->axes(Qt::Horizontal).constFirst());
}

QChartView *makeChartView(const QString &title, const QColor &color, QWidget *parent)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    QFont titleFont = chart->titleFont();
    titleFont.setPointSize(10);
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 2, 8, 2));

    auto *line = new QLineSeries(chart);
    line->setPen(QPen(color, 2));
    line->setPointsVisible(false);
    chart->addSeries(line);

    auto *values = new QValueAxis(chart);
    values->setLabelFormat(QStringLiteral("%d"));
    values->setTickType(QValueAxis::TicksDynamic);
    values->setTickAnchor(0);
    chart->addAxis(values, Qt::AlignLeft);
    line->attachAxis(values);

    auto *slots = new QCategoryAxis(chart);
    slots->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    QFont slotFont = slots->labelsFont();
    slotFont.setPointSize(7);
    slots->setLabelsFont(slotFont);
    chart->addAxis(slots, Qt::AlignBottom);
    line->attachAxis(slots);

    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

} // namespace

TForm10::TForm10(AppState &state, const TChartMode &mode, QWidget *parent)
    : ChildWindow(state, nullptr, nullptr, parent), m_mode(mode)
{
    setObjectName(QStringLiteral("chartsWindow"));
    setWindowTitle(QStringLiteral("Charts"));
    setMinimumSize(420, 320);
    m_wpm = buildPart(ChartKind::Wpm);
    m_percent = buildPart(ChartKind::Comprehension);
    setWindowTitle(QString::fromLatin1(mode.chartTitle));
    fillCharts();
}

TForm10::~TForm10()
{
    clearChartFlags(m_state);
}

TForm10::ChartPart TForm10::buildPart(ChartKind kind)
{
    const bool wpm = kind == ChartKind::Wpm;
    const QString prefix = wpm ? QStringLiteral("wpm") : QStringLiteral("percent");
    ChartPart p;
    p.part = new QFrame(this);
    p.part->setObjectName(prefix + QStringLiteral("ChartPart"));
    p.view = makeChartView(wpm ? QStringLiteral("Words Per Minute for Your Last 30 Readings.")
                               : QStringLiteral(" Comprehension % for Your Last 30 Readings"),
                           wpm ? QColor(Qt::red) : QColor(Qt::blue), p.part);
    p.view->setObjectName(prefix + QStringLiteral("ChartView"));

    p.row = new QFrame(this);
    p.row->setObjectName(prefix + QStringLiteral("ButtonRow"));
    p.row->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QHBoxLayout(p.row);
    layout->setContentsMargins(6, 3, 6, 3);
    auto addButton = [&](const QString &caption, const QString &name) {
        auto *button = new QPushButton(caption, p.row);
        button->setObjectName(prefix + name);
        layout->addWidget(button);
        return button;
    };
    QPushButton *save = addButton(QStringLiteral("Save to File"), QStringLiteral("SaveButton"));
    QPushButton *print = addButton(QStringLiteral("Print Chart"), QStringLiteral("PrintButton"));
    layout->addStretch(1);
    layout->addWidget(new QLabel(QStringLiteral("Average"), p.row));
    p.average = new QLineEdit(p.row);
    p.average->setObjectName(prefix + QStringLiteral("AverageEdit"));
    p.average->setReadOnly(true);
    p.average->setFocusPolicy(Qt::NoFocus);
    p.average->setAlignment(Qt::AlignCenter);
    p.average->setFixedWidth(64);
    QPalette white = p.average->palette();
    white.setColor(QPalette::Base, Qt::white);
    p.average->setPalette(white);
    layout->addWidget(p.average);
    layout->addStretch(1);
    // The upper button's caption carries a trailing space, as the program has always shown it.
    QPushButton *clear =
        addButton(wpm ? QStringLiteral("Clear ") : QStringLiteral("Clear"), QStringLiteral("ClearButton"));
    if (wpm)
        clear->setToolTip(QStringLiteral("Clear all scores from chart history"));
    QPushButton *closeButton = addButton(QStringLiteral("Close"), QStringLiteral("CloseButton"));

    connect(save, &QPushButton::clicked, this, [this, kind] { saveToFile(kind); });
    connect(print, &QPushButton::clicked, this, [this, kind] { printButtonClick(kind); });
    connect(clear, &QPushButton::clicked, this, [this, kind] { clearButtonClick(kind); });
    connect(closeButton, &QPushButton::clicked, this, &TForm10::closeButtonClick);
    return p;
}

void TForm10::fillCharts()
{
    auto fill = [](ChartPart &p, const TChartSeries &series, int axisMaximum, const QString &suffix) {
        QValueAxis *values = valueAxisOf(p.view);
        QList<QPointF> points;
        // Points stand side by side in the order kept; each is labelled with its slot number.
        for (int i = 0; i < static_cast<int>(series.points.size()); ++i)
            points.append(QPointF(i + 1, series.points[static_cast<std::size_t>(i)].value));
        lineOf(p.view)->replace(points);
        // A line of one point draws nothing: a lone score shows as a mark.
        lineOf(p.view)->setPointsVisible(points.size() == 1);
        p.points = series.points;
        p.labelStride = 0;
        labelSlots(p);
        slotAxisOf(p.view)->setRange(0, kSlotsOnAxis);
        const int top = axisMaximum > 0 ? axisMaximum : kEmptyWpmAxisMaximum;
        values->setRange(0, top);
        values->setTickInterval(axisTickInterval(top));
        if (series.average)
            p.average->setText(QString::number(*series.average) + suffix);
    };
    const THistory &wpm = *m_state.history(m_mode.mode, ChartKind::Wpm);
    fill(m_wpm, wpmChartSeries(wpm), wpmAxisMaximum(wpm), QString());
    fill(m_percent, comprehensionChartSeries(*m_state.history(m_mode.mode, ChartKind::Comprehension)), 100,
         QStringLiteral("%"));
}

void TForm10::labelSlots(ChartPart &p)
{
    // Thirty slot numbers side by side need room; in a narrow window only every second (or third) is shown
    // rather than all of them cut short.
    const int room = std::max(1, (p.view->width() - 80) / kSlotsOnAxis);
    const int needed =
        2 * QFontMetrics(slotAxisOf(p.view)->labelsFont()).horizontalAdvance(QStringLiteral("30"));
    int stride = 1;
    while (stride < 5 && room * stride < needed)
        ++stride;
    if (stride == p.labelStride)
        return;
    p.labelStride = stride;
    QCategoryAxis *slots = slotAxisOf(p.view);
    for (const QString &label : slots->categoriesLabels())
        slots->remove(label);
    for (int i = stride - 1; i < static_cast<int>(p.points.size()); i += stride)
        slots->append(QString::number(p.points[static_cast<std::size_t>(i)].slot), i + 1);
}

void TForm10::layoutParts()
{
    const TChartLayout l = chartLayout(size(), kRowHeight, kRowHeight);
    m_wpm.part->setGeometry(l.upperPart);
    m_wpm.view->setGeometry(chartRectInPart(l.upperPart.size()));
    m_wpm.row->setGeometry(l.upperRow);
    m_percent.part->setGeometry(l.lowerPart);
    m_percent.view->setGeometry(chartRectInPart(l.lowerPart.size()));
    m_percent.row->setGeometry(l.lowerRow);
    labelSlots(m_wpm);
    labelSlots(m_percent);
}

void TForm10::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    layoutParts();
}

void TForm10::showEvent(QShowEvent *event)
{
    ChildWindow::showEvent(event);
    layoutParts();
}

QChartView *TForm10::chartView(ChartKind kind) const
{
    return part(kind).view;
}

QImage TForm10::chartImage(ChartKind kind) const
{
    QChartView *view = part(kind).view;
    QImage image(view->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    view->render(&painter);
    return image;
}

bool TForm10::printChart(ChartKind kind, QPrinter &printer) const
{
    const QPageLayout::Orientation previous = printer.pageLayout().orientation();
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    bool printed = painter.begin(&printer);
    if (printed) {
        // The chart is laid out again in the shape of the page, so that it fills the sheet, then put back.
        QChart *chart = part(kind).view->chart();
        const QSizeF onScreen = chart->size();
        const QRectF page(painter.viewport());
        const QSizeF onPaper(onScreen.width(), onScreen.width() * page.height() / page.width());
        chart->resize(onPaper);
        chart->layout()->activate();
        chart->scene()->render(&painter, page, QRectF(chart->pos(), onPaper), Qt::KeepAspectRatio);
        chart->resize(onScreen);
        chart->layout()->activate();
        printed = painter.end();
    }
    printer.setPageOrientation(previous);
    return printed;
}

void TForm10::saveToFile(ChartKind kind)
{
    MessageService &messages = m_state.services.messages;
    const QString folder = m_saveFolder.isEmpty() ? m_state.userDir() : m_saveFolder;
    const QString proposed =
        QDir(folder).filePath(proposedChartFileName(kind, QDate::currentDate(), QLocale::system()));
    QString path = m_state.services.dialogs.saveFileName(QStringLiteral("Save Chart"), proposed,
                                                         QStringLiteral("Bitmap File (*.bmp)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty()) {
        // The dialog asked about the name as typed; the name with the extension may be another file.
        path += QStringLiteral(".bmp");
        if (QFileInfo::exists(path) &&
            !messages.confirm(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                  .arg(QFileInfo(path).fileName())))
            return;
    }
    if (!saveChartBitmap(chartImage(kind), path)) {
        messages.error(
            QStringLiteral("The chart cannot be saved as \"%1\".").arg(QDir::toNativeSeparators(path)));
        return;
    }
    m_saveFolder = QFileInfo(path).absolutePath();
    Q_EMIT chartSaved(path);
}

void TForm10::printButtonClick(ChartKind kind)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!m_state.services.dialogs.setUpPrinter(printer))
        return;
    if (!printChart(kind, printer))
        m_state.services.messages.error(QStringLiteral("The chart cannot be printed."));
}

void TForm10::clearButtonClick(ChartKind kind)
{
    if (!m_state.services.messages.confirm(
            QStringLiteral("Are you sure you want to delete your past history?")))
        return;
    // The charts on screen stay as they are; the cleared history shows when the window opens again.
    if (const TChartMode *shown = shownChartMode(m_state))
        m_state.historyClear(shown->mode, kind);
}

void TForm10::closeButtonClick()
{
    if (QWidget *f = frame())
        f->close();
    else
        close();
}

void TForm10::leaving()
{
    clearChartFlags(m_state);
    Q_EMIT closing();
}

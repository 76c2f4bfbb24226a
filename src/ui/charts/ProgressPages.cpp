#include "charts/ProgressPages.h"

#include "ChartData.h"
#include "ProgressStats.h"
#include "Wpm.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// More points than this in one span are thinned evenly: a chart of every reading of years would only be
// slower, not clearer.
constexpr int kMaxPointsShown = 2000;

QChartView *makeView(const QString &title, QWidget *parent)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setBold(true);
    chart->setTitleFont(font);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 2, 8, 2));
    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    // Axes whose labels change with the span leave stale pixels under a minimal update.
    view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    view->setMinimumHeight(140);
    return view;
}

template <typename Series> Series *addSeries(QChart *chart, const QColor &color, const char *name)
{
    auto *series = new Series(chart);
    series->setObjectName(QString::fromLatin1(name));
    if constexpr (std::is_same_v<Series, QScatterSeries>) {
        series->setMarkerSize(6);
        series->setColor(color);
        series->setBorderColor(color);
    } else {
        series->setPen(QPen(color, 2));
    }
    chart->addSeries(series);
    return series;
}

void attach(QChart *chart, QAbstractAxis *x, QAbstractAxis *y)
{
    for (QAbstractAxis *axis : {x, y}) {
        QFont font = axis->labelsFont();
        font.setPointSize(8);
        axis->setLabelsFont(font);
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries *s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
}

QValueAxis *valueAxis(QChart *chart, int top, const QString &format = QStringLiteral("%d"))
{
    auto *axis = new QValueAxis(chart);
    axis->setLabelFormat(format);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setRange(0, top);
    axis->setTickInterval(axisTickInterval(top));
    return axis;
}

void setTop(QValueAxis *axis, double maximum)
{
    const int top = std::max(10, int(std::ceil(maximum * 1.1 / 10) * 10));
    axis->setRange(0, top);
    axis->setTickInterval(axisTickInterval(top));
}

QTableWidget *makeTable(const QStringList &headers, const char *name, QWidget *parent)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

QString number(double v, const QString &suffix = {})
{
    return std::isnan(v) ? QStringLiteral("–") : QString::number(roundHalfEven(v)) + suffix;
}

// A number cell, empty for none, so that columns sort as numbers.
QVariant cell(double v)
{
    return std::isnan(v) ? QVariant() : QVariant(roundHalfEven(v));
}

QString duration(double seconds)
{
    const long long minutes = roundHalfEven(seconds / 60);
    return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// A row of cells; numbers sort as numbers.
void addRow(QTableWidget *table, const QList<QVariant> &cells)
{
    const int row = table->rowCount();
    table->insertRow(row);
    for (int c = 0; c < cells.size(); ++c) {
        auto *item = new QTableWidgetItem;
        item->setData(Qt::DisplayRole, cells[c]);
        if (cells[c].typeId() != QMetaType::QString && cells[c].isValid())
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, c, item);
    }
}

qint64 middleOfWeek(const QDate &monday)
{
    return QDateTime(monday.addDays(3), QTime(12, 0)).toMSecsSinceEpoch();
}

} // namespace

ModeProgressPage::ModeProgressPage(Mode mode, QWidget *parent) : QWidget(parent), m_mode(mode)
{
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Zoom:"), this));
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(QStringLiteral("zoomBox"));
    m_zoomBox->addItems(
        {QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Month"), QStringLiteral("All")});
    m_zoomBox->setCurrentIndex(int(Zoom::All));
    row->addWidget(m_zoomBox);
    auto *back = new QPushButton(QStringLiteral("◀"), this);
    back->setObjectName(QStringLiteral("earlierButton"));
    auto *forward = new QPushButton(QStringLiteral("▶"), this);
    forward->setObjectName(QStringLiteral("laterButton"));
    for (QPushButton *b : {back, forward}) {
        b->setFixedWidth(36);
        row->addWidget(b);
    }
    m_span = new QLabel(this);
    m_span->setObjectName(QStringLiteral("spanLabel"));
    row->addWidget(m_span, 1);
    layout->addLayout(row);
    connect(m_zoomBox, &QComboBox::currentIndexChanged, this, [this](int i) { setZoom(Zoom(i)); });
    connect(back, &QPushButton::clicked, this, [this] { step(-1); });
    connect(forward, &QPushButton::clicked, this, [this] { step(1); });

    const QColor red(Qt::red), blue(Qt::blue);
    m_wpmView = makeView(QStringLiteral("Words per minute (points: readings; line: weekly median)"), this);
    m_wpmView->setObjectName(QStringLiteral("wpmProgressView"));
    m_percentView = makeView(QStringLiteral("Comprehension % (points: tests; line: weekly median)"), this);
    m_percentView->setObjectName(QStringLiteral("percentProgressView"));
    for (QChartView *view : {m_wpmView, m_percentView}) {
        QChart *chart = view->chart();
        const QColor color = view == m_wpmView ? red : blue;
        addSeries<QScatterSeries>(chart, color.lighter(150), "readings");
        addSeries<QLineSeries>(chart, color.darker(120), "weeklyMedian");
        auto *time = new QDateTimeAxis(chart);
        time->setFormat(QStringLiteral("d MMM"));
        attach(chart, time, valueAxis(chart, 100));
        layout->addWidget(view, 3);
    }
    m_undated = new QLabel(this);
    m_undated->setObjectName(QStringLiteral("undatedLabel"));
    layout->addWidget(m_undated);
    m_undated->setWordWrap(true);
    m_weeks = makeTable({QStringLiteral("Week"), QStringLiteral("Readings"), QStringLiteral("Best"),
                         QStringLiteral("Median"), QStringLiteral("Comprehension %"),
                         QStringLiteral("Time trained")},
                        "weeksTable", this);
    layout->addWidget(m_weeks, 2);
}

void ModeProgressPage::setData(const ProgressData &progress)
{
    m_wpm.clear();
    m_percent.clear();
    m_wpmMedian.clear();
    m_percentMedian.clear();
    m_first = m_last = 0;
    for (const ProgressReading &r : progress.readings) {
        if (r.mode != m_mode || !r.atMs)
            continue;
        m_first = m_first == 0 ? *r.atMs : m_first;
        m_last = *r.atMs;
        if (r.kept && r.hasWpm())
            m_wpm.emplace_back(double(*r.atMs), r.wpm);
        if (r.kept && r.hasComprehension())
            m_percent.emplace_back(double(*r.atMs), r.comprehension * 100);
    }
    const std::vector<WeekStat> weeks = weeklyStats(progress, m_mode);
    m_weeks->setSortingEnabled(false);
    m_weeks->setRowCount(0);
    m_undated->hide();
    for (auto w = weeks.rbegin(); w != weeks.rend(); ++w) {
        if (!w->monday.isValid()) {
            m_undated->setText(
                QStringLiteral("Scores kept before dates were recorded: %1 readings, median %2 "
                               "wpm, best %3 wpm; comprehension median %4 (not charted).")
                    .arg(w->readings)
                    .arg(number(w->median), number(w->best), number(w->comprehension * 100, "%")));
            m_undated->show();
            continue;
        }
        int year = 0;
        const int week = w->monday.weekNumber(&year);
        addRow(m_weeks, {QStringLiteral("%1-W%2 (from %3)")
                             .arg(year)
                             .arg(week, 2, 10, QLatin1Char('0'))
                             .arg(QLocale().toString(w->monday, QStringLiteral("d MMM"))),
                         w->readings, cell(w->best), cell(w->median), cell(w->comprehension * 100),
                         duration(w->secondsTrained)});
        const double middle = double(middleOfWeek(w->monday));
        if (!std::isnan(w->median))
            m_wpmMedian.emplace(m_wpmMedian.begin(), middle, w->median);
        if (!std::isnan(w->comprehension))
            m_percentMedian.emplace(m_percentMedian.begin(), middle, w->comprehension * 100);
    }
    m_anchor = m_last != 0 ? QDateTime::fromMSecsSinceEpoch(m_last) : QDateTime::currentDateTime();
    showSpan();
}

void ModeProgressPage::setZoom(Zoom zoom)
{
    m_zoom = zoom;
    if (m_zoomBox->currentIndex() != int(zoom))
        m_zoomBox->setCurrentIndex(int(zoom));
    showSpan();
}

void ModeProgressPage::step(int direction)
{
    if (m_zoom == Zoom::Day)
        m_anchor = m_anchor.addDays(direction);
    else if (m_zoom == Zoom::Week)
        m_anchor = m_anchor.addDays(7 * direction);
    else if (m_zoom == Zoom::Month)
        m_anchor = m_anchor.addMonths(direction);
    showSpan();
}

int ModeProgressPage::pointsShown() const
{
    return int(qobject_cast<QScatterSeries *>(m_wpmView->chart()->series().constFirst())->count());
}

void ModeProgressPage::showSpan()
{
    const QDate day = m_anchor.date();
    QDateTime from, to;
    QString format = QStringLiteral("d MMM");
    switch (m_zoom) {
    case Zoom::Day:
        from = QDateTime(day, QTime(0, 0));
        to = from.addDays(1);
        format = QStringLiteral("HH:mm");
        break;
    case Zoom::Week:
        from = QDateTime(day.addDays(1 - day.dayOfWeek()), QTime(0, 0));
        to = from.addDays(7);
        format = QStringLiteral("ddd d");
        break;
    case Zoom::Month:
        from = QDateTime(QDate(day.year(), day.month(), 1), QTime(0, 0));
        to = from.addMonths(1);
        break;
    case Zoom::All:
        from = m_first != 0 ? QDateTime::fromMSecsSinceEpoch(m_first).addDays(-1)
                            : QDateTime::currentDateTime().addDays(-7);
        to = m_last != 0 ? QDateTime::fromMSecsSinceEpoch(m_last).addDays(1) : QDateTime::currentDateTime();
        format = from.daysTo(to) > 120 ? QStringLiteral("MMM yy") : QStringLiteral("d MMM");
        break;
    }
    for (QPushButton *b : findChildren<QPushButton *>())
        b->setEnabled(m_zoom != Zoom::All);
    m_span->setText(m_zoom == Zoom::Day
                        ? QLocale().toString(from.date(), QLocale::LongFormat)
                        : QLocale().toString(from.date(), QLocale::ShortFormat) + QStringLiteral(" – ") +
                              QLocale().toString(to.date().addDays(-1), QLocale::ShortFormat));
    const double lo = double(from.toMSecsSinceEpoch()), hi = double(to.toMSecsSinceEpoch());
    for (const auto &[view, points, medians, percent] :
         {std::tuple{m_wpmView, &m_wpm, &m_wpmMedian, false},
          std::tuple{m_percentView, &m_percent, &m_percentMedian, true}}) {
        QChart *chart = view->chart();
        const auto first = std::lower_bound(points->begin(), points->end(), lo,
                                            [](const QPointF &p, double x) { return p.x() < x; });
        const auto last =
            std::lower_bound(first, points->end(), hi, [](const QPointF &p, double x) { return p.x() < x; });
        const auto count = std::distance(first, last);
        const auto stride = std::max<std::ptrdiff_t>(1, (count + kMaxPointsShown - 1) / kMaxPointsShown);
        QList<QPointF> shown;
        double top = 0;
        for (auto p = first; p < last; p += std::min(stride, std::distance(p, last))) {
            shown.append(*p);
            top = std::max(top, p->y());
        }
        qobject_cast<QScatterSeries *>(chart->series().at(0))->replace(shown);
        qobject_cast<QLineSeries *>(chart->series().at(1))
            ->replace(QList<QPointF>(medians->begin(), medians->end()));
        auto *time = qobject_cast<QDateTimeAxis *>(chart->axes(Qt::Horizontal).constFirst());
        time->setFormat(format);
        time->setRange(from, to);
        time->setTickCount(m_zoom == Zoom::Day ? 7 : 8);
        auto *values = qobject_cast<QValueAxis *>(chart->axes(Qt::Vertical).constFirst());
        if (percent) {
            // A little room above 100 %, so that a full score shows whole.
            values->setRange(0, 104);
            values->setTickInterval(25);
        } else {
            for (const QPointF &m : *medians)
                if (m.x() >= lo && m.x() < hi)
                    top = std::max(top, m.y());
            setTop(values, top > 0 ? top : 400);
        }
    }
}

TextsProgressPage::TextsProgressPage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    m_table = makeTable({QStringLiteral("Text"), QStringLiteral("Kind"), QStringLiteral("Readings"),
                         QStringLiteral("Median wpm"), QStringLiteral("Comprehension %"),
                         QStringLiteral("Last read"), QStringLiteral("Where you stopped")},
                        "textsTable", this);
    layout->addWidget(m_table);
}

void TextsProgressPage::setData(const ProgressData &progress, const ReadingOptions &options)
{
    static constexpr const char *kReaders[] = {"tachistoscope", "horizontal", "vertical", "speed test"};
    m_table->setSortingEnabled(false);
    m_table->setRowCount(0);
    for (const TextStat &s : textStats(progress)) {
        const ProgressText *text = progress.text(s.textId);
        if (text == nullptr)
            continue;
        QStringList stopped;
        if (text->kind == TextKind::Book) {
            const auto &books = options.books();
            const auto book = std::find_if(books.begin(), books.end(), [text](const ReadingOptions::Book &b) {
                return b.hash == text->key;
            });
            // The reader it was read in last, where that reader will take it up again.
            const auto place =
                book != books.end() ? options.bookPlace(book->hash, book->reader) : std::nullopt;
            if (place)
                stopped << QStringLiteral("part %1 of %2, line %3 (%4)")
                               .arg(place->first)
                               .arg(text->parts)
                               .arg(place->second)
                               .arg(QString::fromLatin1(kReaders[std::size_t(book->reader) % 4]));
            else
                stopped << QStringLiteral("part %1 of %2").arg(s.lastPart).arg(text->parts);
        }
        const QString file =
            text->path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(text->path).absoluteFilePath());
        for (const ReadingOptions::Place &p : options.places())
            if (!file.isEmpty() && p.file == file)
                stopped << QStringLiteral("line %1").arg(p.line);
        static constexpr const char *kinds[] = {"Story", "Book", "File"};
        addRow(m_table, {text->title, QString::fromLatin1(kinds[int(text->kind) % 3]), s.readings,
                         cell(s.medianWpm), cell(s.medianComprehension * 100),
                         s.lastAtMs ? QLocale().toString(QDateTime::fromMSecsSinceEpoch(*s.lastAtMs).date(),
                                                         QLocale::ShortFormat)
                                    : QStringLiteral("before dates"),
                         stopped.isEmpty() ? QStringLiteral("–") : stopped.join(QStringLiteral(", "))});
    }
    m_table->setSortingEnabled(true);
}

ExerciseProgressPage::ExerciseProgressPage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    m_estimate = new QLabel(this);
    m_estimate->setObjectName(QStringLiteral("flashEstimateLabel"));
    m_estimate->setWordWrap(true);
    layout->addWidget(m_estimate);
    m_flashView = makeView(QStringLiteral("Percent right by flash time"), this);
    m_flashView->setObjectName(QStringLiteral("flashTimeView"));
    QChart *chart = m_flashView->chart();
    auto *answers = addSeries<QLineSeries>(chart, Qt::darkGreen, "answers");
    answers->setPointsVisible(true);
    auto *curve = addSeries<QLineSeries>(chart, Qt::gray, "fittedCurve");
    curve->setPen(QPen(Qt::gray, 2, Qt::DashLine));
    addSeries<QLineSeries>(chart, QColor(0xcc, 0x88, 0x00), "target")
        ->setPen(QPen(QColor(0xcc, 0x88, 0x00), 1, Qt::DotLine));
    attach(chart, valueAxis(chart, 100), valueAxis(chart, 100));
    layout->addWidget(m_flashView, 3);
    m_groupView = makeView(QStringLiteral("Percent right by word group (the words' first letter)"), this);
    m_groupView->setObjectName(QStringLiteral("wordGroupView"));
    layout->addWidget(m_groupView, 2);
}

void ExerciseProgressPage::setData(const ProgressData &progress)
{
    const auto &flash = progress.byFlashTime;
    int items = 0;
    for (const AnswerCount &c : flash)
        items += c.items;
    QList<QPointF> points, curvePoints;
    for (const AnswerCount &c : flash)
        points.append(QPointF(c.key, c.fraction() * 100));
    const auto estimate = flashTimeFor(flash);
    const auto curve = fitFlashCurve(flash);
    const double shortest = flash.empty() ? 0 : flash.front().key,
                 longest = flash.empty() ? 100 : flash.back().key;
    if (curve) {
        for (int i = 0; i <= 60; ++i) {
            const double t = shortest + (longest - shortest) * i / 60.0;
            curvePoints.append(QPointF(t, curve->at(t) * 100));
        }
    }
    QChart *chart = m_flashView->chart();
    qobject_cast<QLineSeries *>(chart->series().at(0))->replace(points);
    qobject_cast<QLineSeries *>(chart->series().at(1))->replace(curvePoints);
    qobject_cast<QLineSeries *>(chart->series().at(2))
        ->replace({QPointF(0, 75), QPointF(std::max(longest * 1.05, 10.0), 75)});
    auto *x = qobject_cast<QValueAxis *>(chart->axes(Qt::Horizontal).constFirst());
    setTop(x, longest);
    x->setTitleText(QStringLiteral("flash time (ms)"));

    if (items == 0)
        m_estimate->setText(QStringLiteral("No exercise answers recorded yet."));
    else if (!estimate)
        m_estimate->setText(
            QStringLiteral("%1 answers. 75 % right is not crossed at the flash times practised (%2 "
                           "to %3 ms).")
                .arg(items)
                .arg(shortest)
                .arg(longest));
    else
        m_estimate->setText(
            QStringLiteral("%1 answers. You reach 75 % right at a flash time of about %2 ms (%3).")
                .arg(items)
                .arg(roundHalfEven(estimate->flashMs))
                .arg(estimate->method == FlashEstimate::Method::Fit
                         ? QStringLiteral("from a curve fitted to all answers, a third right by guessing")
                         : QStringLiteral("interpolated between the two flash times around it")));

    // Rebuilt whole: a bar chart's categories cannot be replaced in place.
    QChart *groups = m_groupView->chart();
    groups->removeAllSeries();
    for (QAbstractAxis *axis : groups->axes())
        groups->removeAxis(axis);
    auto *set = new QBarSet(QStringLiteral("percent right"));
    set->setColor(QColor(0x33, 0x77, 0xbb));
    QStringList letters;
    for (const AnswerCount &c : progress.byWordGroup) {
        if (c.key < 1 || c.key > 26)
            continue;
        letters << QString(QChar(u'z' - (c.key - 1)));
        set->append(c.fraction() * 100);
    }
    auto *bars = new QBarSeries(groups);
    bars->append(set);
    groups->addSeries(bars);
    auto *categories = new QBarCategoryAxis(groups);
    categories->append(letters.isEmpty() ? QStringList{QStringLiteral(" ")} : letters);
    attach(groups, categories, valueAxis(groups, 100));
}

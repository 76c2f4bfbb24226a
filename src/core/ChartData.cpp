#include "ChartData.h"

#include "Wpm.h"

#include <algorithm>

namespace {

TChartSeries seriesOf(const THistory &history, bool percent)
{
    TChartSeries series;
    long long sum = 0;
    for (int i = 0; i < kHistorySlots; ++i) {
        const double v = history[static_cast<std::size_t>(i)];
        // An empty slot is 0.0 and a damaged one is treated as empty; a words-per-minute slot counts only
        // when it rounds above 0.
        if (!plausibleScore(v, percent ? HistoryKind::Comprehension : HistoryKind::Wpm))
            continue;
        const long long r = roundHalfEven(percent ? v * 100.0 : v);
        if (!percent && r == 0)
            continue;
        series.points.push_back({static_cast<int>(r), i + 1});
        sum += r;
    }
    if (!series.points.empty())
        series.average = static_cast<int>(sum / static_cast<long long>(series.points.size()));
    return series;
}

} // namespace

TChartSeries wpmChartSeries(const THistory &history)
{
    return seriesOf(history, false);
}

TChartSeries comprehensionChartSeries(const THistory &history)
{
    return seriesOf(history, true);
}

int wpmAxisMaximum(const THistory &history)
{
    int m = 0;
    for (const TChartPoint &p : wpmChartSeries(history).points)
        m = std::max(m, p.value);
    return m;
}

int axisTickInterval(int maximum)
{
    int magnitude = 1;
    while (magnitude * 10 <= maximum / 5)
        magnitude *= 10;
    for (int factor : {1, 2, 5}) {
        if (maximum <= 5 * factor * magnitude)
            return factor * magnitude;
    }
    return 10 * magnitude;
}

const TChartMode *chartModeFor(Mode mode)
{
    return mode != Mode::None && modeInfo(mode).scored() ? &modeInfo(mode) : nullptr;
}

const TChartMode *shownChartMode(const TAppValues &values)
{
    for (const TChartMode &m : modeTable()) {
        if (m.scored() && values.*(m.chartFlag) == 1)
            return &m;
    }
    return nullptr;
}

void clearChartFlags(TAppValues &values)
{
    for (const TChartMode &m : modeTable()) {
        if (m.scored())
            values.*(m.chartFlag) = 0;
    }
}

QString proposedChartFileName(ChartKind kind, const QDate &date, const QLocale &locale)
{
    QString dateText = locale.toString(date, QLocale::ShortFormat);
    dateText.replace(QLatin1Char('/'), QLatin1Char('-'));
    return (kind == ChartKind::Wpm ? QStringLiteral("WPMchart") : QStringLiteral("PercentChart")) + dateText +
           QStringLiteral(".bmp");
}

TChartLayout chartLayout(const QSize &client, int upperRowHeight, int lowerRowHeight)
{
    const int w = client.width();
    const int h = client.height();
    const int upperHeight = (h - upperRowHeight - lowerRowHeight) / 2;
    TChartLayout l;
    l.upperPart = QRect(0, 0, w, upperHeight);
    l.upperRow = QRect(0, upperHeight, w, upperRowHeight);
    l.lowerPart =
        QRect(0, upperHeight + upperRowHeight, w, h - (upperHeight + upperRowHeight + lowerRowHeight) - 1);
    l.lowerRow = QRect(0, h - lowerRowHeight, w, lowerRowHeight);
    return l;
}

QRect chartRectInPart(const QSize &part)
{
    return QRect(5, 5, part.width() - 10, part.height() - 10);
}

std::optional<int> TChartViewerSlots::open(int height)
{
    Slot &first = m_slots[0];
    Slot &second = m_slots[1];
    int slot = 0;
    int top = 0;
    if (!first.visible && !second.visible) {
        slot = 0;
    } else if (first.visible && !second.visible) {
        slot = 1;
        top = first.height;
    } else if (!first.visible && second.visible) {
        slot = 0;
        top = second.height;
    } else {
        return std::nullopt;
    }
    m_slots[static_cast<std::size_t>(slot)] = Slot{true, top, height};
    return slot;
}

void TChartViewerSlots::close(int slot)
{
    m_slots.at(static_cast<std::size_t>(slot)).visible = false;
    Slot &other = m_slots.at(static_cast<std::size_t>(1 - slot));
    if (other.visible)
        other.top = 0;
}

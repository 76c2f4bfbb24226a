#pragma once

#include "AppValues.h"
#include "ModeTable.h"
#include "Settings.h"

#include <QDate>
#include <QLocale>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// What the score charts show of a history, and where the chart window and the chart viewer put things.

// A plotted point: its value and the history slot (1..30) it came from, which is its label.
struct TChartPoint
{
    int value = 0;
    int slot = 0;
    bool operator==(const TChartPoint &) const = default;
};

struct TChartSeries
{
    std::vector<TChartPoint> points;
    // Sum of the plotted values divided by their number, remainder dropped; none when nothing counts.
    std::optional<int> average;
};

// Words per minute: every slot rounded half to even; a slot that rounds to 0 is neither plotted nor averaged.
TChartSeries wpmChartSeries(const THistory &history);
// Comprehension: every non-empty fraction as a percentage rounded half to even.
TChartSeries comprehensionChartSeries(const THistory &history);
// Top of the words-per-minute axis: the largest rounded value, 0 when there is none.
int wpmAxisMaximum(const THistory &history);
// A round step (1, 2 or 5 times a power of ten) that splits an axis from 0 to `maximum` into about five
// parts.
int axisTickInterval(int maximum);

enum class ChartKind
{
    Wpm,
    Comprehension
};

// One reading mode's charts: the mode's row of the mode table (its chart title, its two histories and the
// chart window's flag for it).
using TChartMode = ModeInfo;
inline THistory &chartHistory(const TChartMode &mode, TSettings &settings, ChartKind kind)
{
    return settings.*(kind == ChartKind::Wpm ? mode.wpmHistory : mode.comprehensionHistory);
}

// The charts of a reading mode; null for a mode that has none.
const TChartMode *chartModeFor(Mode mode);
// The first mode whose chart flag is set, in the table's order; null while no chart window is open.
const TChartMode *shownChartMode(const TAppValues &values);
void clearChartFlags(TAppValues &values);

// "WPMchart" or "PercentChart", the date in the locale's short format with "/" made "-", and ".bmp".
QString proposedChartFileName(ChartKind kind, const QDate &date, const QLocale &locale);

// The chart window's parts: each chart part over its button row, the lower row at the very bottom.
struct TChartLayout
{
    QRect upperPart;
    QRect upperRow;
    QRect lowerPart;
    QRect lowerRow;
};
TChartLayout chartLayout(const QSize &client, int upperRowHeight, int lowerRowHeight);
// Where a chart sits inside its part: 5 pixels in from the top left, 10 narrower and 10 lower.
QRect chartRectInPart(const QSize &part);

// The chart viewer's two slots, one above the other. A chart goes into a free slot: the first at the top
// when both are free, otherwise the free one under the one in use.
class TChartViewerSlots
{
public:
    static constexpr int kSlots = 2;

    // Takes a free slot for a chart of `height` pixels and returns its number (0 or 1); none when both are in
    // use.
    std::optional<int> open(int height);
    // Frees a slot; the other one, if in use, moves to the top.
    void close(int slot);

    bool isVisible(int slot) const { return m_slots.at(static_cast<std::size_t>(slot)).visible; }
    int top(int slot) const { return m_slots.at(static_cast<std::size_t>(slot)).top; }
    int height(int slot) const { return m_slots.at(static_cast<std::size_t>(slot)).height; }

private:
    struct Slot
    {
        bool visible = false;
        int top = 0;
        int height = 0;
    };
    std::array<Slot, kSlots> m_slots{};
};

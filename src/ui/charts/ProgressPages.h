#pragma once

#include "ProgressData.h"
#include "ReadingOptions.h"

#include <QDateTime>
#include <QPointF>
#include <QWidget>

#include <vector>

class QChartView;
class QComboBox;
class QLabel;
class QTableWidget;

// The pages of the Progress window, each filled from the loaded data as a whole.

// One reading mode: words per minute and comprehension over time (a point per reading, a line of the weekly
// median) at a day, week or month zoom, or all of it, and a table of the weeks.
class ModeProgressPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ModeProgressPage)

public:
    enum class Zoom
    {
        Day,
        Week,
        Month,
        All,
    };
    explicit ModeProgressPage(Mode mode, QWidget *parent = nullptr);

    void setData(const ProgressData &data);
    void setZoom(Zoom zoom);
    // Moves the shown span a day, week or month back (-1) or forward (+1).
    void step(int direction);
    QChartView *chartView(bool comprehension) const { return comprehension ? m_percentView : m_wpmView; }
    QTableWidget *weeks() const { return m_weeks; }
    // The points drawn now, per reading, in the shown span.
    int pointsShown() const;

private:
    void showSpan();

    Mode m_mode;
    Zoom m_zoom = Zoom::All;
    QDateTime m_anchor; // a moment within the span shown
    qint64 m_first = 0, m_last = 0;
    std::vector<QPointF> m_wpm, m_percent;             // x: UTC milliseconds
    std::vector<QPointF> m_wpmMedian, m_percentMedian; // one per week, at its middle
    QComboBox *m_zoomBox;
    QLabel *m_span;
    QLabel *m_undated;
    QChartView *m_wpmView;
    QChartView *m_percentView;
    QTableWidget *m_weeks;
};

// Each story or book read: how often, the median speed and comprehension, and where the user stopped.
class TextsProgressPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextsProgressPage)

public:
    explicit TextsProgressPage(QWidget *parent = nullptr);
    // Where the user stopped comes from the places the readers keep (per book, per reader), not from the
    // last reading recorded.
    void setData(const ProgressData &data, const ReadingOptions &options);
    QTableWidget *table() const { return m_table; }

private:
    QTableWidget *m_table;
};

// The exercise: percent right by flash time with the fitted curve, the flash time of 75 % right, and the
// accuracy of each word group.
class ExerciseProgressPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ExerciseProgressPage)

public:
    explicit ExerciseProgressPage(QWidget *parent = nullptr);
    void setData(const ProgressData &data);
    QLabel *estimate() const { return m_estimate; }
    QChartView *chartView(bool groups) const { return groups ? m_groupView : m_flashView; }

private:
    QLabel *m_estimate;
    QChartView *m_flashView;
    QChartView *m_groupView;
};

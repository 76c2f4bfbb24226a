#pragma once

#include "ChartData.h"
#include "app/ChildWindow.h"
#include "app/HelpTopic.h"

#include <QImage>

#include <functional>

class QChartView;
class QFrame;
class QLineEdit;
class QPrinter;
class QPushButton;

// "Charts": one reading mode's words-per-minute chart over its comprehension chart, each with a row of
// buttons to save, print or clear it. While it is open, the main window keeps its mode menus disabled.
class TForm10 final : public ChildWindow, public HelpTopic
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm10)

public:
    static constexpr int kHelpContext = 110;

    TForm10(AppState &state, const TChartMode &mode, QWidget *parent = nullptr);
    ~TForm10() override;
    int helpContext() const override { return kHelpContext; }

    // The folder the save dialog opens in.
    void setSaveFolder(const QString &folder) { m_saveFolder = folder; }

    QChartView *chartView(ChartKind kind) const;
    // The chart drawn on white at its size on screen, as saved to a file.
    QImage chartImage(ChartKind kind) const;
    // Draws the chart on one landscape page; false when the printer could not be used.
    bool printChart(ChartKind kind, QPrinter &printer) const;

Q_SIGNALS:
    void chartSaved(const QString &path);
    // The window is going away (Close, or the program's end).
    void closing();

protected:
    void leaving() override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct ChartPart
    {
        QFrame *part = nullptr;
        QChartView *view = nullptr;
        QFrame *row = nullptr;
        QLineEdit *average = nullptr;
        std::vector<TChartPoint> points;
        // Every how many points a slot number is shown on the bottom axis.
        int labelStride = 0;
    };

    ChartPart buildPart(ChartKind kind);
    void fillCharts();
    static void labelSlots(ChartPart &p);
    void layoutParts();
    const ChartPart &part(ChartKind kind) const { return kind == ChartKind::Wpm ? m_wpm : m_percent; }
    void saveToFile(ChartKind kind);
    void printButtonClick(ChartKind kind);
    void clearButtonClick(ChartKind kind);
    void closeButtonClick();

    const TChartMode &m_mode;
    ChartPart m_wpm;
    ChartPart m_percent;
    QString m_saveFolder;
};

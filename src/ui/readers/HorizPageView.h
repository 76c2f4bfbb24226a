#pragma once

#include "HorizLayout.h"

#include <QFont>
#include <QWidget>

#include <vector>

// The horizontal reader's page. It keeps what the engine drew, band by band (one band a text line), and
// repaints only the bands an update exposes, so a page of a thousand lines costs no full-size bitmap.
class HorizPageView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HorizPageView)

public:
    explicit HorizPageView(QWidget *parent = nullptr);

    // The font the page is laid out and drawn in; measures come from it.
    void setPageFont(const QFont &font);
    const QFont &pageFont() const { return m_font; }
    HorizMetrics metrics() const;
    int lineHeight() const { return m_lineHeight; }

    void clear();
    void draw(const std::vector<HorizDraw> &commands);
    int commandCount() const;
    // Everything drawn so far, in order (for checks and tools).
    std::vector<HorizDraw> commands() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QFont &fontFor(HorizWeight weight) const;
    QRect rectOf(const HorizDraw &d) const;
    std::size_t bandOf(int y) const;

    QFont m_font;
    QFont m_bold;
    QFont m_regular;
    int m_lineHeight = 1;
    std::vector<std::vector<HorizDraw>> m_bands;
};

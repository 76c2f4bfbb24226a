#include "readers/HorizPageView.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <memory>

namespace {

struct Look
{
    QColor font;
    QColor brush;
};

Look lookOf(HorizStyle style)
{
    const QColor white(0xFF, 0xFF, 0xFF);
    const QColor grey(0x80, 0x80, 0x80);
    const QColor silver(0xC0, 0xC0, 0xC0);
    switch (style) {
    case HorizStyle::Invisible:
        return {white, white};
    case HorizStyle::Visible:
        return {Qt::black, white};
    case HorizStyle::SeeThrough:
        return {grey, silver};
    case HorizStyle::Covered:
        return {grey, grey};
    }
    return {Qt::black, white};
}

} // namespace

HorizPageView::HorizPageView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setPageFont(font());
}

void HorizPageView::setPageFont(const QFont &font)
{
    // Unshaped text (no kerning, no ligatures) is as wide as its characters, so a line is measured from a
    // table of character widths: a thousand lines lay out in a few milliseconds instead of shaping each
    // piece.
    // Full hinting gives whole-pixel advances, so widths add up: a line drawn whole in the read look
    // covers exactly the fixations and gaps drawn piece by piece before it.
    m_font = font;
    m_font.setKerning(false);
    m_font.setStyleStrategy(QFont::PreferNoShaping);
    m_font.setHintingPreference(QFont::PreferFullHinting);
    m_bold = font;
    m_bold.setBold(true);
    m_regular = font;
    m_regular.setBold(false);
    m_regular.setItalic(false);
    m_regular.setUnderline(false);
    m_regular.setStrikeOut(false);
    // The font's own line height, also for a page whose first line is empty.
    m_lineHeight = std::max(1, QFontMetrics(m_font).height());
}

HorizMetrics HorizPageView::metrics() const
{
    const QFontMetrics fm(m_font);
    const QFontMetricsF fmf(m_font);
    auto table = std::make_shared<std::array<qreal, 256>>();
    for (int c = 0; c < 256; ++c)
        (*table)[static_cast<std::size_t>(c)] = fmf.horizontalAdvance(QChar(c));
    auto width = [fm, table](const QString &s) {
        qreal w = 0;
        for (QChar c : s) {
            if (c.unicode() >= 256)
                return fm.horizontalAdvance(s);
            w += (*table)[c.unicode()];
        }
        return qRound(w);
    };
    return HorizMetrics{width, m_lineHeight};
}

void HorizPageView::clear()
{
    m_bands.clear();
    update();
}

std::size_t HorizPageView::bandOf(int y) const
{
    return static_cast<std::size_t>(std::max(0, y) / m_lineHeight);
}

const QFont &HorizPageView::fontFor(HorizWeight weight) const
{
    switch (weight) {
    case HorizWeight::Bold:
        return m_bold;
    case HorizWeight::Regular:
        return m_regular;
    case HorizWeight::Font:
        break;
    }
    return m_font;
}

QRect HorizPageView::rectOf(const HorizDraw &d) const
{
    if (d.kind == HorizDraw::Kind::TopEdge)
        return QRect(d.x, d.y, d.length + 1, 1);
    const QFontMetrics fm(fontFor(d.weight));
    return QRect(d.x, d.y, fm.horizontalAdvance(d.text), fm.height());
}

void HorizPageView::draw(const std::vector<HorizDraw> &commands)
{
    // Whole bands are repainted, so nothing is measured here: a load adds thousands of commands at once.
    QRect dirty;
    for (const HorizDraw &d : commands) {
        const std::size_t band = bandOf(d.y);
        if (band >= m_bands.size())
            m_bands.resize(band + 1);
        m_bands[band].push_back(d);
        dirty |= QRect(0, d.y, width(), m_lineHeight + 2);
    }
    if (!dirty.isEmpty())
        update(dirty);
}

int HorizPageView::commandCount() const
{
    std::size_t n = 0;
    for (const auto &band : m_bands)
        n += band.size();
    return static_cast<int>(n);
}

std::vector<HorizDraw> HorizPageView::commands() const
{
    std::vector<HorizDraw> all;
    for (const auto &band : m_bands)
        all.insert(all.end(), band.begin(), band.end());
    return all;
}

void HorizPageView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QRect clip = event->rect();
    p.fillRect(clip, Qt::white);
    if (m_bands.empty())
        return;
    // A bold line can be a little taller than a band, so the band above is painted too.
    const std::size_t first = bandOf(clip.top()) > 0 ? bandOf(clip.top()) - 1 : 0;
    const std::size_t last = std::min(bandOf(clip.bottom()), m_bands.size() - 1);
    for (std::size_t b = first; b <= last; ++b) {
        for (const HorizDraw &d : m_bands[b]) {
            const QRect r = rectOf(d);
            if (!r.intersects(clip))
                continue;
            if (d.kind == HorizDraw::Kind::TopEdge) {
                p.fillRect(r, Qt::white);
                continue;
            }
            const Look look = lookOf(d.style);
            p.fillRect(r, look.brush);
            p.setFont(fontFor(d.weight));
            p.setPen(look.font);
            p.drawText(QPoint(d.x, d.y + QFontMetrics(fontFor(d.weight)).ascent()), d.text);
        }
    }
}

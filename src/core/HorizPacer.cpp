#include "HorizPacer.h"

#include "TextChars.h"
#include "Wpm.h"

namespace {

bool emptyOrShortSpaces(const QString &s)
{
    if (s.size() > 9)
        return false;
    for (QChar c : s) {
        if (c != u' ')
            return false;
    }
    return true;
}

bool blankOrEmpty(const QString &cell)
{
    return cell.isEmpty() || cell == QLatin1String(" ");
}

} // namespace

HorizPacer::HorizPacer(HorizText text, HorizMetrics metrics)
    : m_text(std::move(text)), m_metrics(std::move(metrics))
{
    m_state.PenY = m_metrics.lineHeight;
}

void HorizPacer::resetScore()
{
    m_state.ElapsedSeconds = 0.0;
    m_state.WpmScore = 0.0;
    m_state.WpmText.clear();
    m_state.Stepped = false;
    m_text.WordCount = 0.0;
}

void HorizPacer::draw(HorizTick &out, const QString &text, int x, int y, HorizWeight weight)
{
    out.draws.push_back(HorizDraw{HorizDraw::Kind::Text, text, x, y, m_style, weight, 0});
}

HorizTick HorizPacer::tick(const HorizTickInput &in)
{
    HorizTick out;
    HorizPacerState &st = m_state;
    const int k = m_text.fixations;
    const int h = m_metrics.lineHeight;

    st.PenX = kHorizMargin;
    ++st.FixationCounter;
    if (m_text.LineCount > 0 && st.CurrentLine % 2 == 0)
        out.progress = static_cast<int>(roundHalfEven(100.0 * st.CurrentLine / m_text.LineCount));
    if (st.FixationCounter > m_text.TotalFixations) {
        finish(out);
        return out;
    }

    const int j = ((st.FixationCounter - 1) % k) + 1;
    if (j == 1) {
        checkScroll(out, in);
        if (st.JustScrolled) {
            // The scroll tick is a pause: the line starts on the next tick.
            st.JustScrolled = false;
            --st.FixationCounter;
            st.ScrollAccumulator -= h;
            return out;
        }
        const int line = ++st.CurrentLine;
        if (k == 1) {
            out.interval = in.interval;
            out.reveals = !emptyOrShortSpaces(m_text.TextLines.at(line - 1));
            m_style = HorizStyle::Visible;
            draw(out, padFree(m_text.TextLines.at(line - 1)), kHorizMargin, st.PenY);
            if (line > 1 && !emptyOrShortSpaces(m_text.TextLines.at(line - 2))) {
                m_style = readStyleFor(in.readMode).value_or(m_style);
                draw(out, padFree(m_text.TextLines.at(line - 2)), kHorizMargin, st.PenY - h);
            }
            st.PenY += h;
            return out;
        }
        if (m_text.isBlank(line)) {
            redrawPassed(out, in.readMode);
            out.interval = kBlankTickMs;
            return out;
        }
        out.interval = in.interval;
        out.reveals = true;
        m_style = HorizStyle::Visible;
        draw(out, m_text.cell(line, 1), kHorizMargin, st.PenY);
        redrawPassed(out, in.readMode);
        return out;
    }

    const int line = st.CurrentLine;
    if (blankOrEmpty(m_text.cell(line, j))) {
        out.interval = kBlankTickMs;
        if (j == k)
            st.PenY += h;
        return out;
    }
    out.interval = in.interval;
    // A pad after a one-word line is paced like text but shows nothing.
    out.reveals = !(j == 2 && isPadForm(m_text.cell(line, j)));
    drawFixation(out, j);
    if (j == k)
        st.PenY += h;
    return out;
}

void HorizPacer::checkScroll(HorizTick &out, const HorizTickInput &in)
{
    HorizPacerState &st = m_state;
    const int h = m_metrics.lineHeight;
    st.ScrollAccumulator += h;
    // A window lower than one line would otherwise scroll and pause at every tick and never read on: a line
    // that starts right after a scroll always starts.
    if (in.clientHeight - h < st.ScrollAccumulator && st.ScrollAccumulator > 0) {
        out.scrollBy = st.ScrollAccumulator;
        st.ScrollAccumulator = 0;
        out.interval = (in.interval / 2) * 3;
        st.JustScrolled = true;
    }
}

void HorizPacer::drawFixation(HorizTick &out, int j)
{
    const int line = m_state.CurrentLine;
    // The same sum of widths the layout used, so the revealed fixation covers its unread form exactly.
    int w = 0;
    for (int i = 1; i < j; ++i)
        w += m_metrics.width(m_text.cell(line, i));
    const int space = m_metrics.width(QStringLiteral(" "));
    m_style = HorizStyle::Invisible;
    draw(out, QStringLiteral(" "), kHorizMargin + w + (j - 2) * space, m_state.PenY);
    const QString &cell = m_text.cell(line, j);
    m_style = j == 2 && isPadForm(cell) ? HorizStyle::Invisible : HorizStyle::Visible;
    draw(out, cell, kHorizMargin + w + (j - 1) * space, m_state.PenY);
}

QString HorizPacer::joined(int line) const
{
    QStringList cells;
    for (int j = 1; j <= m_text.fixations; ++j)
        cells.append(m_text.cell(line, j));
    return withoutPad(leftChars(cells.join(u' '), kHorizLineCapacity));
}

void HorizPacer::redrawPassed(HorizTick &out, int readMode)
{
    const int line = m_state.CurrentLine;
    const int h = m_metrics.lineHeight;
    for (int back = 1; back <= 2; ++back) {
        if (line > back && !m_text.isBlank(line - back)) {
            m_style = readStyleFor(readMode).value_or(m_style);
            draw(out, joined(line - back), kHorizMargin, m_state.PenY - back * h);
        }
    }
}

void HorizPacer::finish(HorizTick &out)
{
    HorizPacerState &st = m_state;
    const int h = m_metrics.lineHeight;
    out.finished = true;
    st.PenY += h;
    st.PenX = 80;
    m_style = HorizStyle::Visible;
    out.scrollBy = kEndScrollPixels;
    draw(out, QStringLiteral("THE END!"), st.PenX, st.PenY, HorizWeight::Bold);
    st.ScrollAccumulator = 0;
    const ReadingResult result = this->result();
    st.WpmScore = result.wpm().value_or(0.0);
    st.WpmText = wpmText(st.WpmScore);
    st.PenX = 45;
    st.PenY += h;
    draw(out, result.text(), st.PenX, st.PenY, HorizWeight::Regular);
}

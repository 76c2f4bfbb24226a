#include "VertPacer.h"

#include "Wpm.h"

#include <array>

namespace {

struct SweepStates
{
    int fixations;
    int downSweep;
    std::array<int, 3> first; // first state of columns 1..3; each column runs D - 1 states up from it
};

// Every step of a sweep has a number of its own, so the state alone says which column and row comes next.
constexpr SweepStates kSweepTable[] = {
    {2, 3, {2, 4, 0}},  {2, 4, {12, 15, 0}},  {2, 5, {27, 31, 0}},
    {3, 3, {6, 8, 10}}, {3, 4, {18, 21, 24}}, {3, 5, {35, 39, 43}},
};

const SweepStates *statesFor(int fixations, int downSweep)
{
    for (const SweepStates &s : kSweepTable) {
        if (s.fixations == fixations && s.downSweep == downSweep)
            return &s;
    }
    return nullptr;
}

} // namespace

int vertFirstSweepState(int fixations, int downSweep, int column)
{
    const SweepStates *s = statesFor(fixations, downSweep);
    return s != nullptr && column >= 1 && column <= fixations ? s->first[static_cast<std::size_t>(column - 1)]
                                                              : 0;
}

std::optional<VertSweepStep> vertSweepStep(int fixations, int downSweep, int pacerState)
{
    const SweepStates *s = statesFor(fixations, downSweep);
    if (s == nullptr)
        return std::nullopt;
    for (int column = 1; column <= fixations; ++column) {
        const int row = pacerState - s->first[static_cast<std::size_t>(column - 1)] + 1;
        if (row >= 1 && row < downSweep)
            return VertSweepStep{column, row};
    }
    return std::nullopt;
}

VertPacer::VertPacer(HorizText text, int downSweep, HorizMetrics metrics)
    : m_text(std::move(text)), m_downSweep(vertDownSweepFor(downSweep)), m_metrics(std::move(metrics))
{
    m_text.fixations = vertFixationsFor(m_text.fixations);
    m_state.PenY = m_metrics.lineHeight;
    m_state.lineLimit = m_text.LineCount;
}

void VertPacer::start()
{
    if (m_finished)
        return;
    m_running = true;
    m_state.JustScrolled = false;
    m_state.ScrollArmed = true;
}

void VertPacer::secondElapsed()
{
    if (m_running)
        m_state.ElapsedSeconds += 1.0;
}

void VertPacer::resetScore()
{
    m_state.ElapsedSeconds = 0.0;
    m_state.WpmScore = 0.0;
    m_state.WpmText.clear();
    m_state.Stepped = false;
    m_text.WordCount = 0.0;
}

VertTick VertPacer::tick(const VertTickInput &in)
{
    VertTick out;
    if (!m_running)
        return out;
    out.interval = in.interval;
    if (m_state.PacerState != 0) {
        if (const auto step = vertSweepStep(m_text.fixations, m_downSweep, m_state.PacerState)) {
            sweepTick(out, in, *step);
            return out;
        }
        m_state.PacerState = 0;
    }
    mainTick(out, in);
    return out;
}

void VertPacer::mainTick(VertTick &out, const VertTickInput &in)
{
    VertPacerState &st = m_state;
    ++st.FixationCounter;
    if (m_text.LineCount > 0 && st.CurrentLine % 2 == 0)
        out.progress = static_cast<int>(roundHalfEven(100.0 * st.CurrentLine / m_text.LineCount));
    if (st.FixationCounter > m_text.TotalFixations) {
        finish(out);
        return;
    }
    const int column = ((st.FixationCounter - 1) % m_text.fixations) + 1;
    if (column == 1)
        columnOne(out, in);
    else
        laterColumn(out, in, column);
}

void VertPacer::columnOne(VertTick &out, const VertTickInput &in)
{
    VertPacerState &st = m_state;
    const int line = ++st.CurrentLine;
    const bool blank = isVertBlankLine(m_text, line);
    if (blank)
        st.ScrollArmed = false;
    checkScroll(out, in);
    if (st.JustScrolled) {
        // The scroll tick is a pause: the same line starts the block on the next tick.
        st.JustScrolled = false;
        --st.FixationCounter;
        st.ScrollAccumulator -= m_metrics.lineHeight;
        --st.CurrentLine;
        out.kind = VertTick::Kind::ScrollPause;
        out.line = line;
        out.column = 1;
        return;
    }
    if (blank) {
        out.kind = VertTick::Kind::Pass;
        out.line = line;
        out.column = 1;
        out.interval = kBlankTickMs;
        return;
    }
    reveal(out, line, 1);
    out.interval = in.secondInterval;
    st.PacerState = vertFirstSweepState(m_text.fixations, m_downSweep, 1);
}

void VertPacer::laterColumn(VertTick &out, const VertTickInput &in, int column)
{
    VertPacerState &st = m_state;
    const int line = st.CurrentLine;
    const bool within = line <= st.lineLimit;
    const bool lastColumn = column == m_text.fixations;
    // A blank line makes a block of its own; it moves the pen down once, in its last column.
    if (isVertBlankLine(m_text, line) && (within || !lastColumn)) {
        if (lastColumn)
            st.PenY += m_metrics.lineHeight;
        out.kind = VertTick::Kind::Pass;
        out.line = line;
        out.column = column;
        out.interval = kBlankTickMs;
        return;
    }
    if (!within) {
        // The last column of a block that starts past the text: every row of it lies past the text too.
        out.line = line;
        out.column = column;
        finish(out);
        return;
    }
    st.PenY -= (m_downSweep - 1) * m_metrics.lineHeight;
    reveal(out, line, column);
    out.interval = in.secondInterval;
    st.PacerState = vertFirstSweepState(m_text.fixations, m_downSweep, column);
}

void VertPacer::sweepTick(VertTick &out, const VertTickInput &in, VertSweepStep step)
{
    VertPacerState &st = m_state;
    const int line = st.CurrentLine + step.row;
    const bool lastRow = step.row == m_downSweep - 1;
    // Only the last column watches the end of the text; the others pass over the empty lines beyond it.
    if (step.column == m_text.fixations && line > st.lineLimit) {
        out.kind = VertTick::Kind::Pass;
        out.line = line;
        out.column = step.column;
        if (lastRow) {
            finish(out);
            return;
        }
        out.interval = in.secondInterval;
        ++st.PacerState;
        return;
    }
    st.PenY += m_metrics.lineHeight;
    reveal(out, line, step.column);
    if (!lastRow) {
        out.interval = in.secondInterval;
        ++st.PacerState;
        return;
    }
    endOfColumn(out, in, step.column);
}

void VertPacer::endOfColumn(VertTick &out, const VertTickInput &in, int column)
{
    VertPacerState &st = m_state;
    st.PacerState = 0;
    if (column < m_text.fixations) {
        out.interval = in.interval;
        return;
    }
    out.interval = 2 * in.interval;
    st.CurrentLine += m_downSweep - 1;
    st.PenY += m_metrics.lineHeight;
}

void VertPacer::checkScroll(VertTick &out, const VertTickInput &in)
{
    VertPacerState &st = m_state;
    const int h = m_metrics.lineHeight;
    int by = 0;
    if (!st.ScrollArmed) {
        // After a blank line only that line has passed.
        st.ScrollArmed = true;
        st.ScrollAccumulator += h;
        if (in.clientHeight - h >= st.ScrollAccumulator)
            return;
        by = st.ScrollAccumulator;
    } else {
        st.ScrollAccumulator += m_downSweep * h;
        if (in.clientHeight - h >= st.ScrollAccumulator)
            return;
        by = st.ScrollAccumulator - (m_downSweep - 1) * h;
    }
    // A window shorter than a block would otherwise ask for the same empty scroll on every retake of the
    // line, and the reading would never go on.
    if (by <= 0)
        return;
    out.scrollBy = by;
    st.ScrollAccumulator = 0;
    out.interval = (in.interval / 2) * 3;
    st.JustScrolled = true;
}

void VertPacer::reveal(VertTick &out, int line, int column)
{
    out.line = line;
    out.column = column;
    // The fixation in full at the place the page drew it, even when its table cell was cut to 52.
    const QString f = vertFixation(m_text, line, column);
    if (f.isEmpty()) {
        out.kind = VertTick::Kind::Pass;
        return;
    }
    out.kind = VertTick::Kind::Reveal;
    const int space = m_metrics.width(QStringLiteral(" "));
    int x = kHorizMargin;
    for (int j = 1; j < column; ++j)
        x += m_metrics.width(vertFixation(m_text, line, j)) + space;
    const int y = m_state.PenY;
    if (column > 1)
        out.draws.push_back(HorizDraw{HorizDraw::Kind::Text, QStringLiteral(" "), x - space, y,
                                      HorizStyle::Invisible, HorizWeight::Font, 0});
    const HorizStyle style =
        isVertHiddenPad(m_text, line, column) ? HorizStyle::Invisible : HorizStyle::Visible;
    out.draws.push_back(HorizDraw{HorizDraw::Kind::Text, f, x, y, style, HorizWeight::Font, 0});
}

void VertPacer::finish(VertTick &out)
{
    VertPacerState &st = m_state;
    const int h = m_metrics.lineHeight;
    m_finished = true;
    m_running = false;
    out.kind = VertTick::Kind::End;
    out.finished = true;
    out.scrollBy += kEndScrollPixels;
    st.PenY += 2 * h;
    out.draws.push_back(HorizDraw{HorizDraw::Kind::Text, QStringLiteral("THE END!"), 80, st.PenY,
                                  HorizStyle::Visible, HorizWeight::Bold, 0});
    st.ScrollAccumulator = 0;
    st.lineLimit = 0;
    const ReadingResult result = this->result();
    st.WpmScore = result.wpm().value_or(0.0);
    st.WpmText = wpmText(st.WpmScore);
    st.PenY += h;
    out.draws.push_back(HorizDraw{HorizDraw::Kind::Text, result.text(), 45, st.PenY, HorizStyle::Visible,
                                  HorizWeight::Regular, 0});
}

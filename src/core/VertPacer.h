#pragma once

#include "HorizPacer.h"
#include "VertLayout.h"

#include <optional>
#include <vector>

// The pacer of the vertical reader as a state machine. It reveals fixation 1 of each line of a block of
// D lines top to bottom, then fixation 2 of the block, then 3, then moves to the next block. Each tick goes
// in; what to draw, the wait before the next tick, a scroll and the end of the reading come out. The
// window's timer does the waiting, so the pacer never reads a clock.

struct VertTickInput
{
    int clientHeight = 0;   // of the window, for the scroll check
    int interval = 0;       // VertInterval, read at every tick since the speed bar moves while running
    int secondInterval = 0; // VertSecondInterval, between the lines of one column
};

struct VertTick
{
    enum class Kind
    {
        Idle,        // not running: nothing happened
        Reveal,      // fixation `column` of `line` was drawn
        Pass,        // `line` has nothing to show in `column` (a blank line, a shorter cut, past the text)
        ScrollPause, // the window scrolls; the same line is taken on the next tick
        End          // the reading finished: "THE END!" and the score are in `draws`
    };
    Kind kind = Kind::Idle;
    int line = 0;
    int column = 0;
    std::vector<HorizDraw> draws;
    int interval = 0; // the wait before the next tick
    int scrollBy = 0; // pixels to scroll down, 0 for none
    std::optional<int> progress;
    bool finished = false;
};

struct VertPacerState
{
    int PacerState = 0; // 0: the next tick is a main tick; 2..46: a step inside a column sweep
    int FixationCounter = 0;
    int CurrentLine = 0;
    int PenY = 0;
    int ScrollAccumulator = 0;
    bool ScrollArmed = true;
    bool JustScrolled = false;
    int lineLimit = 0; // LineCount until the end of the reading, then 0
    double ElapsedSeconds = 0.0;
    double WpmScore = 0.0;
    QString WpmText;
    // The user stepped by hand: the reading ends without a speed.
    bool Stepped = false;
};

// Where a sweep state sits in the state table: its column (1..3) and row (1..D-1).
struct VertSweepStep
{
    int column = 0;
    int row = 0;
};
// The first sweep state of `column` for F and D, or 0 when the table has none.
int vertFirstSweepState(int fixations, int downSweep, int column);
std::optional<VertSweepStep> vertSweepStep(int fixations, int downSweep, int pacerState);

class VertPacer
{
public:
    VertPacer(HorizText text, int downSweep, HorizMetrics metrics);

    // Start Read: ticks and seconds count from here. Nothing restarts a finished reading; load a new one.
    void start();
    // Pause Read: ticks and seconds that still arrive are ignored.
    void pause() { m_running = false; }
    bool running() const { return m_running; }
    bool finished() const { return m_finished; }

    VertTick tick(const VertTickInput &in);
    // The one-second clock.
    void secondElapsed();
    // A pacer replayed to the same fixation takes over the reading time counted so far.
    void setElapsedSeconds(double seconds) { m_state.ElapsedSeconds = seconds; }
    // Reset Text zeroes the score state even when the reload then fails.
    void resetScore();
    // A move the pacer did not make (a step by hand): the reading keeps no speed.
    void markStepped() { m_state.Stepped = true; }
    // The words, the seconds counted and whether the user stepped: what the end scores.
    ReadingResult result() const { return {m_text.WordCount, m_state.ElapsedSeconds, m_state.Stepped}; }

    const HorizText &text() const { return m_text; }
    const VertPacerState &state() const { return m_state; }
    const HorizMetrics &metrics() const { return m_metrics; }
    int fixations() const { return m_text.fixations; }
    int downSweep() const { return m_downSweep; }
    int pageHeight(int clientHeight) const
    {
        return vertPageHeight(m_text.LineCount, m_downSweep, m_metrics.lineHeight, clientHeight);
    }

private:
    void mainTick(VertTick &out, const VertTickInput &in);
    void sweepTick(VertTick &out, const VertTickInput &in, VertSweepStep step);
    void columnOne(VertTick &out, const VertTickInput &in);
    void laterColumn(VertTick &out, const VertTickInput &in, int column);
    void endOfColumn(VertTick &out, const VertTickInput &in, int column);
    void checkScroll(VertTick &out, const VertTickInput &in);
    void reveal(VertTick &out, int line, int column);
    void finish(VertTick &out);

    HorizText m_text;
    int m_downSweep;
    HorizMetrics m_metrics;
    VertPacerState m_state;
    bool m_running = false;
    bool m_finished = false;
};

#pragma once

#include "HorizLayout.h"
#include "Wpm.h"

#include <optional>
#include <vector>

// The pacer of the horizontal reader as a state machine: each tick goes in, and what to draw, the wait
// before the next tick, a scroll and the end of the reading come out. It owns the laid-out text it walks.

inline constexpr int kBlankTickMs = 7;
inline constexpr int kEndScrollPixels = 30;

struct HorizTickInput
{
    int clientHeight = 0; // of the window, for the scroll check
    int interval = 0;     // HorizInterval, read at every tick since the arrow keys change it while running
    int readMode = 2;     // HorizReadTextMode
};

struct HorizTick
{
    std::vector<HorizDraw> draws;
    int interval = 0; // the wait before the next tick
    int scrollBy = 0; // pixels to scroll down, 0 for none
    std::optional<int> progress;
    bool finished = false;
    bool reveals = false; // a fixation of text was revealed (not a blank, a scroll pause or the end)
};

struct HorizPacerState
{
    int FixationCounter = 0;
    int CurrentLine = 0;
    int PenX = kHorizMargin;
    int PenY = 0;
    int ScrollAccumulator = 0;
    bool JustScrolled = false;
    double ElapsedSeconds = 0.0;
    double WpmScore = 0.0;
    QString WpmText;
    // The user stepped by hand: the reading ends without a speed.
    bool Stepped = false;
};

class HorizPacer
{
public:
    HorizPacer(HorizText text, HorizMetrics metrics);

    HorizTick tick(const HorizTickInput &in);
    // The one-second clock.
    void secondElapsed() { m_state.ElapsedSeconds += 1.0; }
    // A pacer replayed to the same fixation takes over the reading time counted so far.
    void setElapsedSeconds(double seconds) { m_state.ElapsedSeconds = seconds; }
    // The next tick ends the reading.
    bool atEnd() const { return m_state.FixationCounter >= m_text.TotalFixations; }
    void resetScroll() { m_state.ScrollAccumulator = 0; }
    // A move the pacer did not make (a step by hand): the reading keeps no speed.
    void markStepped() { m_state.Stepped = true; }
    // The words, the seconds counted and whether the user stepped: what the end scores.
    ReadingResult result() const { return {m_text.WordCount, m_state.ElapsedSeconds, m_state.Stepped}; }
    // Reset Text zeroes the score state even when the reload then fails.
    void resetScore();

    const HorizText &text() const { return m_text; }
    const HorizPacerState &state() const { return m_state; }
    const HorizMetrics &metrics() const { return m_metrics; }

private:
    void checkScroll(HorizTick &out, const HorizTickInput &in);
    void finish(HorizTick &out);
    void redrawPassed(HorizTick &out, int readMode);
    void drawFixation(HorizTick &out, int j);
    void draw(HorizTick &out, const QString &text, int x, int y, HorizWeight weight = HorizWeight::Font);
    QString joined(int line) const;

    HorizText m_text;
    HorizMetrics m_metrics;
    HorizPacerState m_state;
    HorizStyle m_style = HorizStyle::Visible;
};

#pragma once

#include "HorizLayout.h"

#include <vector>

// The vertical reader's text tables. Its lines are normalised and cut by the same rules as the horizontal
// reader's, with two or three fixations, so it keeps the same tables and draws through the same commands
// and page view; what differs is the order the pacer reveals them in (VertPacer).

inline constexpr int kVertMinFixations = 2;
inline constexpr int kVertMaxFixations = 3;
inline constexpr int kVertMinDownSweep = 3;
inline constexpr int kVertMaxDownSweep = 5;

// The pacer knows only two or three columns and blocks of three to five lines; a damaged setting is taken as
// the nearest value it can pace.
int vertFixationsFor(int setting);
int vertDownSweepFor(int setting);

// Fills the tables from a file's lines (at most 1000 are used) with F = vertFixationsFor(fixations).
HorizText LayoutVerticalText(const QStringList &fileLines, int fixations);

// The unread page: every non-blank line drawn at its place in the look of `unreadMode` (1..3).
inline std::vector<HorizDraw> drawVerticalPage(const HorizText &text, int unreadMode,
                                               const HorizMetrics &metrics)
{
    return drawHorizontalPage(text, unreadMode, metrics);
}

// A blank line of the layout, or a line past the text: the pacer passes over it.
bool isVertBlankLine(const HorizText &text, int line);
// Fixation `column` (1..3) of `line` as the page drew it, in full; empty when the line has none there.
QString vertFixation(const HorizText &text, int line, int column);
// The second of two fixations is the pad of a one-word line: drawn and revealed invisibly.
bool isVertHiddenPad(const HorizText &text, int line, int column);

// How far down the page a reading can draw or scroll, with a window of `clientHeight` pixels: the text, a
// block running past its end, the end lines, and the window itself.
int vertContentHeight(int lineCount, int downSweep, int lineHeight, int clientHeight);
// The page's scroll height: the content, but never less than the reader's traditional 24500 pixels.
int vertPageHeight(int lineCount, int downSweep, int lineHeight, int clientHeight);

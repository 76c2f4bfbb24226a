#pragma once

#include "MemoLines.h"
#include "TextChars.h"

// The text clean-up shared by the tachistoscope and the create-text window. Both work on the displayed lines
// of a word-wrapping box, as the user sees them, and stop looking after the readers' 1000 lines.

inline constexpr int kFormatMaxLines = 1000;
inline constexpr int kMaxParagraphIndent = 5;

// The tachistoscope also drops runs of "****" (its own markers); the create-text window keeps them.
enum class StarRuns
{
    Keep,
    Drop,
};

// Drops empty lines at the top, joins the lines of each paragraph into one (every character kept), turns runs
// of empty lines into one paragraph break, squeezes double spaces, then removes lone-space lines and doubled
// empty lines from the re-wrapped result. Only the first 1000 displayed lines are kept: gives what was left
// out.
TextLeftOut reflowParagraphs(MemoLines &memo, StarRuns stars);

// Puts `indent` spaces before the first line of each paragraph (the first line of the text and each line
// after an empty one); with 0 such a line loses one leading space instead. An indent outside 0..5 changes
// nothing.
void indentParagraphs(MemoLines &memo, int indent);

// Told after a Format Text that left lines out: what it kept and what it left out.
QString formatLeftOutMessage(const TextLeftOut &leftOut, qint64 keptLines, qint64 keptWords);

#pragma once

#include "MemoLines.h"

// The text clean-up shared by the tachistoscope and the create-text window. Both work on the displayed lines
// of a word-wrapping box, as the user sees them, and stop looking after the readers' 1000 lines.

inline constexpr int kFormatMaxLines = 1000;
inline constexpr int kFormatLineCut = 80;
inline constexpr int kMaxParagraphIndent = 5;

// The tachistoscope also drops runs of "****" (its own markers); the create-text window keeps them.
enum class StarRuns
{
    Keep,
    Drop,
};

// Drops empty lines at the top, cuts lines to 80 characters, joins each paragraph into one line, turns runs
// of empty lines into one paragraph break, squeezes double spaces, then removes lone-space lines and doubled
// empty lines from the re-wrapped result.
void reflowParagraphs(MemoLines &memo, StarRuns stars);

// Puts `indent` spaces before the first line of each paragraph (the first line of the text and each line
// after an empty one); with 0 such a line is cut to 80 characters and loses one leading space instead. An
// indent outside 0..5 changes nothing.
void indentParagraphs(MemoLines &memo, int indent);

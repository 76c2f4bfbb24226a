#pragma once

#include "MemoLines.h"
#include "TextChars.h"

#include <QString>
#include <QStringList>

// Preparing a text for the tachistoscope. The text lives in a word-wrapping box and these steps work on its
// displayed lines, as the user sees them.

inline constexpr int kTachiMaxLines = 1000;
inline constexpr int kTachiMinFormatLines = 5;

// The clean-up run by "Format Text": drops empty lines at the top, joins the lines of each paragraph into one
// (every character kept), turns runs of empty lines into one paragraph break, drops "****" and double
// spaces, then removes lone-space lines and doubled empty lines from the re-wrapped result.
// Gives what was left out past the first 1000 lines.
TextLeftOut reflowTachiText(MemoLines &memo);

// Puts `indent` spaces before the first line of each paragraph; with 0 it takes one leading space away
// instead.
void indentTachiText(MemoLines &memo, int indent);

// The text's length in words: five characters a word, each displayed line after the first counted on its own
// and rounded down.
double tachiTextWords(const QStringList &lines);

// The text the flashes are cut from: the lines joined as they are, "^^ " for each empty line (a paragraph
// break), then the end block.
QString buildFlashText(const QStringList &lines);
// Four copies of twelve "@@" separated by single spaces, joined without a separator.
QString tachiEndBlock();

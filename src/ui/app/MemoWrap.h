#pragma once

#include "MemoLines.h"

#include <QString>
#include <QStringList>

class QPlainTextEdit;

// The lines a word-wrapping text box shows, for the windows that work on them (the tachistoscope's and the
// create-text window's boxes): cut as the box cuts them, in its font, at its text width, at word boundaries
// or, for a word wider than the box, anywhere.
QStringList wrapMemoParagraph(const QPlainTextEdit &memo, const QString &paragraph);

// The box's text addressed by its displayed lines.
MemoLines memoLinesOf(const QPlainTextEdit &memo);

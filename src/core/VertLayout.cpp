#include "VertLayout.h"

#include "HorizPacer.h"

#include <algorithm>

int vertFixationsFor(int setting)
{
    return std::clamp(setting, kVertMinFixations, kVertMaxFixations);
}

int vertDownSweepFor(int setting)
{
    return std::clamp(setting, kVertMinDownSweep, kVertMaxDownSweep);
}

HorizText LayoutVerticalText(const QStringList &fileLines, int fixations)
{
    return LayoutHorizontalText(fileLines, vertFixationsFor(fixations));
}

bool isVertBlankLine(const HorizText &text, int line)
{
    // Decided by the layout, not by a cell: a text line whose first fixation is a lone space still has words.
    return line < 1 || line > text.LineCount || text.pieces[static_cast<std::size_t>(line - 1)].isEmpty();
}

QString vertFixation(const HorizText &text, int line, int column)
{
    if (isVertBlankLine(text, line))
        return {};
    const QStringList &pieces = text.pieces[static_cast<std::size_t>(line - 1)];
    return column >= 1 && column <= pieces.size() ? pieces.at(column - 1) : QString();
}

bool isVertHiddenPad(const HorizText &text, int line, int column)
{
    if (column != 2 || isVertBlankLine(text, line))
        return false;
    const QStringList &pieces = text.pieces[static_cast<std::size_t>(line - 1)];
    return pieces.size() == 2 &&
           (pieces.at(1) == QLatin1String("********** ") || pieces.at(1) == QLatin1String("**********"));
}

int vertContentHeight(int lineCount, int downSweep, int lineHeight, int clientHeight)
{
    // A last block can reach D lines past the text and the score ends two lines below it; the end scroll and
    // a last line scrolled to the top of the window need the rest.
    const int lines = std::max(lineCount, 0) + vertDownSweepFor(downSweep) + 2;
    return lines * std::max(lineHeight, 0) + kEndScrollPixels + std::max(clientHeight, 0);
}

int vertPageHeight(int lineCount, int downSweep, int lineHeight, int clientHeight)
{
    return std::max(kHorizMinPageHeight, vertContentHeight(lineCount, downSweep, lineHeight, clientHeight));
}

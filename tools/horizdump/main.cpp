// horizdump FILE K [INTERVAL_MS [CLIENT_HEIGHT]]
// Lays FILE out as the horizontal reader does with K fixations a line and prints each line's cells, the
// counts, and every pacer tick (line, cell, interval, scroll). Text is measured as 7 pixels a character
// and 16 a line, so positions are only indicative; cuts, counts and the tick sequence do not depend on it.

#include "HorizPacer.h"
#include "TextFile.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: horizdump FILE K [INTERVAL_MS [CLIENT_HEIGHT]]\n";
        return 2;
    }
    const auto lines = readTextFileLines(args.at(1));
    if (!lines) {
        QTextStream(stderr) << "cannot read " << args.at(1) << " as text\n";
        return 1;
    }
    const int k = args.at(2).toInt();
    const int interval = args.size() > 3 ? args.at(3).toInt() : 600;
    const int clientHeight = args.size() > 4 ? args.at(4).toInt() : 240;

    const HorizMetrics metrics{[](const QString &s) { return static_cast<int>(s.size()) * 7; }, 16};
    const HorizText text = LayoutHorizontalText(*lines, k);
    for (int i = 1; i <= text.LineCount; ++i) {
        out << i << (text.isBlank(i) ? " blank" : "");
        for (int j = 1; j <= kHorizMaxFixations && !text.isBlank(i); ++j)
            out << " [" << text.cell(i, j) << "]";
        out << "\n";
    }
    out << "LineCount " << text.LineCount << "\nWordCount " << text.WordCount << "\nTotalFixations "
        << text.TotalFixations << "\nlong words " << (text.longWords ? "yes" : "no") << "\n\n";

    out << "tick line cell interval scroll\n";
    if (clientHeight < metrics.lineHeight)
        out << "note: CLIENT_HEIGHT " << clientHeight << " is below the line height " << metrics.lineHeight
            << ": every line scrolls to the top\n";
    HorizPacer pacer(text, metrics);
    qint64 due = 0;
    // Each line takes K ticks and at most one scroll pause, and the end takes one more.
    const int maxTicks = (text.fixations + 1) * text.LineCount + 1;
    for (int n = 1;; ++n) {
        if (n > maxTicks) {
            out << "stopped: no end after " << maxTicks << " ticks\n";
            return 1;
        }
        const int cell = (pacer.state().FixationCounter % text.fixations) + 1;
        const HorizTick tick = pacer.tick(HorizTickInput{clientHeight, interval, 2});
        if (tick.finished) {
            out << n << " end at " << due << " ms: " << pacer.state().WpmText << " words per minute\n";
            break;
        }
        // A scroll tick is a pause before the line it scrolled to.
        if (tick.scrollBy != 0)
            out << n << ' ' << pacer.state().CurrentLine + 1 << " pause ";
        else
            out << n << ' ' << pacer.state().CurrentLine << ' ' << cell << ' ';
        out << tick.interval << ' ' << tick.scrollBy << "\n";
        due += tick.interval;
    }
    return 0;
}

// vertdump FILE F D [INTERVAL_MS [SECOND_INTERVAL_MS [CLIENT_HEIGHT]]]
// Lays FILE out as the vertical reader does with F fixations a line and sweeps of D lines, and prints each
// line's cells, the counts, and every pacer tick: its sweep state, line, fixation, interval and scroll. Text
// is measured as 7 pixels a character and 16 a line, so scrolls are only indicative; cuts, counts and the
// reveal order do not depend on it.

#include "TextFile.h"
#include "VertPacer.h"
#include "Wpm.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

QString kindName(VertTick::Kind kind)
{
    switch (kind) {
    case VertTick::Kind::Reveal:
        return QStringLiteral("reveal");
    case VertTick::Kind::Pass:
        return QStringLiteral("pass");
    case VertTick::Kind::ScrollPause:
        return QStringLiteral("scroll-pause");
    case VertTick::Kind::End:
        return QStringLiteral("end");
    case VertTick::Kind::Idle:
        break;
    }
    return QStringLiteral("idle");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 4) {
        QTextStream(stderr)
            << "usage: vertdump FILE F D [INTERVAL_MS [SECOND_INTERVAL_MS [CLIENT_HEIGHT]]]\n";
        return 2;
    }
    const auto lines = readTextFileLines(args.at(1));
    if (!lines) {
        QTextStream(stderr) << "cannot read " << args.at(1) << " as text\n";
        return 1;
    }
    const int interval = args.size() > 4 ? args.at(4).toInt() : 600;
    const int secondInterval = args.size() > 5 ? args.at(5).toInt() : 150;
    const int clientHeight = args.size() > 6 ? args.at(6).toInt() : 240;

    const HorizMetrics metrics{[](const QString &s) { return static_cast<int>(s.size()) * 7; }, 16};
    VertPacer pacer(LayoutVerticalText(*lines, args.at(2).toInt()), args.at(3).toInt(), metrics);
    const HorizText &text = pacer.text();
    out << "F " << pacer.fixations() << "\nD " << pacer.downSweep() << "\n";
    for (int i = 1; i <= text.LineCount; ++i) {
        out << i << (isVertBlankLine(text, i) ? " blank" : "");
        for (int j = 1; j <= kVertMaxFixations && !isVertBlankLine(text, i); ++j)
            out << " [" << text.cell(i, j) << "]";
        out << "\n";
    }
    out << "LineCount " << text.LineCount << "\nWordCount " << text.WordCount << "\nTotalFixations "
        << text.TotalFixations << "\npage height " << pacer.pageHeight(clientHeight) << "\n\n";

    out << "tick state kind line fixation interval scroll\n";
    pacer.start();
    qint64 due = 0;
    for (int n = 1; !pacer.finished(); ++n) {
        const int state = pacer.state().PacerState;
        const VertTick tick = pacer.tick(VertTickInput{clientHeight, interval, secondInterval});
        if (tick.finished) {
            // The reader counts whole seconds; this is the score the paced time alone would give.
            const auto wpm = wordsPerMinute(text.WordCount, static_cast<double>(due) / 1000.0);
            out << n << " end at " << due << " ms: " << wpmText(wpm.value_or(0.0)) << " words per minute\n";
            break;
        }
        out << n << ' ' << state << ' ' << kindName(tick.kind) << ' ' << tick.line << ' ' << tick.column
            << ' ' << tick.interval << ' ' << tick.scrollBy << "\n";
        due += tick.interval;
    }
    return 0;
}

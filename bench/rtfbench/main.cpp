// rtfbench [BOUND_US_PER_KB]
// Parses seeded random input of several kinds and sizes with the RTF reader and prints the best of five
// runs in microseconds per kilobyte. Exits with 1 when any kind exceeds the bound (default 200 us/KB), so a
// reader that turns quadratic on some input shows up as a failure on the larger sizes.
// Then opens lessons of 1 MB as the lessons window does (read, fill a text document, lay it out at a
// window's width) and prints the milliseconds; over a second is reported as a failure too.

#include "RtfReader.h"
#include "lessons/LessonDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextDocument>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>

namespace {

QByteArray randomBytes(QRandomGenerator &rng, qsizetype size)
{
    QByteArray out(size, '\0');
    for (char &b : out)
        b = static_cast<char>(rng.bounded(256));
    return out;
}

QByteArray rtfTokens(QRandomGenerator &rng, qsizetype size)
{
    static const char *const kTokens[] = {"{",     "}",       "\\b ",     "\\b0 ",   "\\i ",
                                          "\\ul ", "\\fs36 ", "\\f1 ",    "\\cf2 ",  "\\par ",
                                          "\\qc ", "\\'e9",   "\\u8212?", "\\uc2 ",  "{\\*\\x ",
                                          "word ", "text, ",  "\\plain ", "\\line ", "\\tab "};
    QByteArray out =
        "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Georgia;}}{\\colortbl;\\red1\\green2\\blue3;\\red9;}";
    int depth = 1;
    while (out.size() < size) {
        const char *token = kTokens[rng.bounded(int(std::size(kTokens)))];
        if (token[0] == '{')
            ++depth;
        else if (token[0] == '}' && depth == 1)
            continue; // the document's own group stays open to the end
        else if (token[0] == '}')
            --depth;
        out += token;
    }
    return out;
}

QByteArray deepGroups(qsizetype size)
{
    QByteArray out = "{\\rtf1 ";
    out += QByteArray(size / 2, '{');
    out += QByteArray(size / 2, '}');
    return out;
}

QByteArray lessonRepeated(qsizetype size)
{
    QFile f(QDir(QStringLiteral(BW_DATA_DIR)).filePath(QStringLiteral("Horizontal.rtf")));
    QByteArray body = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("{\\rtf1 \\b x\\b0 y\\par}");
    body = body.trimmed();
    body.chop(1); // keep the document open so the copies are read as one
    QByteArray out;
    while (out.size() < size)
        out += body;
    return out;
}

// One paragraph of format changes without a space between them: the worst case for a text layout, which
// lays out a word longer than a line again for every line it fills.
QByteArray formatChurn(qsizetype size)
{
    QByteArray out =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Georgia;}}{\\colortbl;\\red0\\green51\\blue102;}";
    static const char *const kPieces[] = {"\\b x", "\\b0 y", "\\i z", "\\i0\\cf1 w", "\\cf0\\f1 v", "\\f0 u"};
    for (int i = 0; out.size() < size; ++i)
        out += kPieces[i % 6];
    return out + "\\par}";
}

// Milliseconds from the file's bytes to a laid-out document 600 pixels wide.
double openLessonMs(const QByteArray &rtf)
{
    const auto start = std::chrono::steady_clock::now();
    QTextDocument document;
    fillTextDocument(document, parseRtf(rtf));
    document.setTextWidth(600);
    const double height = document.documentLayout()->documentSize().height();
    const auto end = std::chrono::steady_clock::now();
    if (height < 0)
        std::puts("");
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double bestMicroseconds(const QByteArray &input)
{
    double best = std::numeric_limits<double>::max();
    std::size_t sink = 0;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const RtfDocument doc = parseRtf(input);
        const auto end = std::chrono::steady_clock::now();
        sink += static_cast<std::size_t>(doc.paragraphs.size());
        best = std::min(best, std::chrono::duration<double, std::micro>(end - start).count());
    }
    if (sink == std::numeric_limits<std::size_t>::max())
        std::puts("");
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const double bound = argc > 1 ? std::atof(argv[1]) : 200.0;
    QRandomGenerator rng(42);
    struct Kind
    {
        const char *name;
        std::function<QByteArray(qsizetype)> make;
    };
    const Kind kinds[] = {
        {"random bytes", [&](qsizetype n) { return randomBytes(rng, n); }},
        {"random RTF tokens", [&](qsizetype n) { return rtfTokens(rng, n); }},
        {"nested braces", [](qsizetype n) { return deepGroups(n); }},
        {"lesson text", [](qsizetype n) { return lessonRepeated(n); }},
    };
    bool ok = true;
    std::printf("%-20s %10s %12s %10s\n", "input", "KB", "best us", "us/KB");
    for (const Kind &kind : kinds) {
        for (qsizetype kb : {16, 256, 4096}) {
            const QByteArray input = kind.make(kb * 1024);
            const double us = bestMicroseconds(input);
            const double perKb = us / (double(input.size()) / 1024.0);
            std::printf("%-20s %10lld %12.0f %10.2f%s\n", kind.name, static_cast<long long>(kb), us, perKb,
                        perKb > bound ? "  OVER BOUND" : "");
            ok = ok && perKb <= bound;
        }
    }
    std::printf("bound %.0f us/KB: %s\n", bound, ok ? "met" : "exceeded");

    std::printf("\n%-20s %10s %12s\n", "lesson opened", "KB", "ms");
    const Kind churn{"format churn", formatChurn};
    for (const auto &[kind, kb] : {std::pair(&kinds[3], 1024), std::pair(&churn, 64), std::pair(&churn, 256),
                                   std::pair(&churn, 1024)}) {
        const QByteArray input = kind->make(kb * 1024);
        const double ms = openLessonMs(input);
        std::printf("%-20s %10d %12.0f%s\n", kind->name, kb, ms, ms > 1000 ? "  OVER A SECOND" : "");
        std::fflush(stdout);
        ok = ok && ms <= 1000;
    }
    return ok ? 0 : 1;
}

// rtfbench [BOUND_US_PER_KB]
// Parses seeded random input of several kinds and sizes with the RTF reader and prints the best of five
// runs in microseconds per kilobyte. Exits with 1 when any kind exceeds the bound (default 200 us/KB), so a
// reader that turns quadratic on some input shows up as a failure on the larger sizes.

#include "RtfReader.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

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
    return ok ? 0 : 1;
}

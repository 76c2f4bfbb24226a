#include "VertPacer.h"

#include "TestText.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <tuple>

namespace {

using Kind = VertTick::Kind;
const HorizMetrics kMono = monoMetrics();

// Proportional text: each character 4 to 8 pixels.
int proportional(const QString &s)
{
    int w = 0;
    for (QChar c : s)
        w += 4 + c.unicode() % 5;
    return w;
}

std::vector<VertTick> readToEnd(VertPacer &pacer, const VertTickInput &in, int maxTicks = 200000)
{
    std::vector<VertTick> ticks;
    pacer.start();
    while (!pacer.finished() && static_cast<int>(ticks.size()) < maxTicks)
        ticks.push_back(pacer.tick(in));
    return ticks;
}

// The order the reader is meant to see: per block, column by column, top to bottom; a blank line is a block
// of its own.
std::vector<std::pair<int, int>> expectedOrder(const HorizText &t, int downSweep)
{
    std::vector<std::pair<int, int>> out;
    for (int b = 1; b <= t.LineCount; b += isVertBlankLine(t, b) ? 1 : downSweep) {
        for (int c = 1; c <= t.fixations && !isVertBlankLine(t, b); ++c) {
            for (int line = b; line < b + downSweep && line <= t.LineCount; ++line) {
                if (!vertFixation(t, line, c).isEmpty())
                    out.emplace_back(line, c);
            }
        }
    }
    return out;
}

} // namespace

TEST(VertPacer, EightLinesWithTwoFixationsAndFourLineSweeps)
{
    VertPacer pacer(LayoutVerticalText(QStringList(8, QStringLiteral("word1 more1")), 2), 4, kMono);
    const auto ticks = readToEnd(pacer, VertTickInput{10000, 300, 100});
    std::vector<std::tuple<Kind, int, int, int>> expected;
    for (int block : {0, 4}) {
        for (int column : {1, 2}) {
            for (int row = 1; row <= 4; ++row)
                expected.emplace_back(Kind::Reveal, block + row, column, row < 4 ? 100 : column * 300);
        }
    }
    expected.emplace_back(Kind::Pass, 9, 1, kBlankTickMs);
    expected.emplace_back(Kind::End, 9, 2, 300);
    std::vector<std::tuple<Kind, int, int, int>> got;
    std::vector<int> progress;
    for (const VertTick &t : ticks) {
        got.emplace_back(t.kind, t.line, t.column, t.interval);
        if (t.progress)
            progress.push_back(*t.progress);
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(progress, (std::vector<int>{0, 50, 100})) << "only main ticks on an even line move the bar";
    const HorizDraw &d = ticks[5].draws.back(); // line 2's second fixation, after the first and a gap
    EXPECT_EQ(std::tie(d.text, d.x, d.y), std::make_tuple(QStringLiteral("more1"), 8 + 30 + 6, 20));
}

TEST(VertPacer, WalksEachStateTable)
{
    const std::tuple<int, int, std::vector<std::vector<int>>> tables[] = {
        {2, 3, {{2, 3}, {4, 5}}},
        {2, 4, {{12, 13, 14}, {15, 16, 17}}},
        {2, 5, {{27, 28, 29, 30}, {31, 32, 33, 34}}},
        {3, 3, {{6, 7}, {8, 9}, {10, 11}}},
        {3, 4, {{18, 19, 20}, {21, 22, 23}, {24, 25, 26}}},
        {3, 5, {{35, 36, 37, 38}, {39, 40, 41, 42}, {43, 44, 45, 46}}},
    };
    const VertTickInput in{10000, 300, 100};
    for (const auto &[f, d, columns] : tables) {
        VertPacer pacer(LayoutVerticalText(QStringList(d, QStringLiteral("abcdef ghijkl mnopqr")), f), d,
                        kMono);
        pacer.start();
        for (int c = 1; c <= f; ++c) {
            for (int row = 0; row < d; ++row) {
                EXPECT_EQ(pacer.state().PacerState, row == 0 ? 0 : columns[c - 1][row - 1])
                    << "F " << f << " D " << d << " column " << c << " row " << row;
                const VertTick tick = pacer.tick(in);
                EXPECT_EQ(std::make_tuple(tick.kind, tick.line, tick.column),
                          std::make_tuple(Kind::Reveal, 1 + row, c));
            }
        }
        EXPECT_EQ(std::make_pair(pacer.state().PacerState, pacer.state().CurrentLine), std::make_pair(0, d));
        // The line after the text is blank in each column but the last, which finds its rows past the end.
        std::vector<std::pair<Kind, int>> tail, expected;
        for (const VertTick &tick : readToEnd(pacer, in, 10))
            tail.emplace_back(tick.kind, tick.column);
        for (int c = 1; c <= f; ++c)
            expected.emplace_back(c < f ? Kind::Pass : Kind::End, c);
        EXPECT_EQ(tail, expected) << "F " << f << " D " << d;
    }
}

TEST(VertPacer, ScrollsAheadOfTheNextBlock)
{
    const QString text = QStringLiteral("word1 more1");
    const std::tuple<const char *, QStringList, int, std::vector<int>> cases[] = {
        {"blocks of three", QStringList(9, text), 50, {40, 30, 30}},
        {"a blank line passes one line",
         QStringList(3, text) << QString() << QStringList(3, text),
         50,
         {50, 30}},
        // Each retake of the line would scroll by nothing; the reading must go on.
        {"window lower than a block still ends", QStringList(6, text), 0, {10, 30, 30, 30}},
    };
    for (const auto &[name, lines, clientHeight, expected] : cases) {
        VertPacer pacer(LayoutVerticalText(lines, 2), 3, kMono);
        std::vector<int> scrolls; // the end's 30 last
        for (const VertTick &t : readToEnd(pacer, VertTickInput{clientHeight, 101, 100}, 1000)) {
            if (t.scrollBy != 0)
                scrolls.push_back(t.scrollBy);
            if (t.kind == Kind::ScrollPause) {
                EXPECT_EQ(t.interval, 150) << name << ": (101 div 2) x 3";
            }
        }
        EXPECT_TRUE(pacer.finished()) << name;
        EXPECT_EQ(scrolls, expected) << name;
    }
}

TEST(VertPacer, PauseIsNotCountedAndAnEmptyTextEndsAtOnce)
{
    VertPacer pacer(LayoutVerticalText(QStringList(8, QStringLiteral("The quick brown fox")), 2), 4, kMono);
    const VertTickInput in{10000, 300, 100};
    pacer.start();
    for (int i = 0; i < 5; ++i)
        pacer.tick(in);
    pacer.secondElapsed();
    pacer.secondElapsed();
    pacer.pause();
    const int counter = pacer.state().FixationCounter;
    pacer.secondElapsed(); // a second already queued when the user paused
    EXPECT_EQ(pacer.tick(in).kind, Kind::Idle);
    EXPECT_EQ(pacer.state().FixationCounter, counter);
    pacer.start();
    pacer.secondElapsed();
    readToEnd(pacer, in);
    // 7 counted lines of 19 characters: 21 words in 3 seconds.
    EXPECT_EQ(std::make_pair(pacer.state().WpmScore, pacer.state().WpmText),
              std::make_pair(420.0, QString("420")));

    VertPacer empty(LayoutVerticalText({}, 3), 4, kMono);
    const auto ticks = readToEnd(empty, in);
    ASSERT_EQ(ticks.size(), 1u);
    ASSERT_EQ(ticks[0].draws.size(), 2u);
    EXPECT_EQ(ticks[0].draws[1].text, QStringLiteral("0 words per minute!"));
    EXPECT_EQ(empty.tick(in).kind, Kind::Idle) << "nothing after the end";
}

TEST(VertPacer, RandomTextsAreRevealedWordByWordInBlockOrder)
{
    std::mt19937 rng(20261207);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 300; ++round) {
        QStringList lines;
        for (int n = pick(0, 60), i = 0; i < n; ++i) {
            const int kind = pick(0, 9);
            QString line = QString(kind < 2 ? pick(0, 9) : kind == 3 ? pick(1, 3) : 0, u' ');
            if (kind == 2)
                line = QString(pick(1, 90), QChar(u'a' + pick(0, 25))); // one word, padded or cut
            for (const int limit = kind < 3 ? 0 : pick(5, 100); line.size() < limit;)
                line += QString(pick(1, 14), QChar(u'a' + pick(0, 25))) + u' ';
            lines.append(line);
        }
        const int h = pick(8, 20);
        const HorizMetrics metrics{proportional, h};
        const int downSweep = pick(3, 5);
        const int clientHeight = pick(0, 400);
        VertPacer pacer(LayoutVerticalText(lines, pick(2, 3)), downSweep, metrics);
        const HorizText &t = pacer.text();
        const int seconds = pick(0, 3);
        pacer.start();
        for (int s = 0; s < seconds; ++s)
            pacer.secondElapsed();
        std::map<std::pair<int, int>, HorizDraw> page;
        for (const HorizDraw &d : drawVerticalPage(t, 2, metrics)) {
            if (d.kind == HorizDraw::Kind::Text)
                page[{d.x, d.y}] = d;
        }

        const auto ticks = readToEnd(pacer, VertTickInput{clientHeight, 300, 100});
        ASSERT_TRUE(pacer.finished()) << "round " << round;
        const int content = vertContentHeight(t.LineCount, downSweep, h, clientHeight);
        int scrolled = 0;
        std::vector<std::pair<int, int>> order;
        for (const VertTick &tick : ticks) {
            scrolled += tick.scrollBy;
            for (const HorizDraw &d : tick.draws)
                EXPECT_LE(d.y + h, content) << "round " << round;
            if (tick.kind != Kind::Reveal)
                continue;
            order.emplace_back(tick.line, tick.column);
            // Revealed at the page's own place, in full, and hidden where the page hid it.
            const HorizDraw &d = tick.draws.back();
            const auto at = page.find({d.x, d.y});
            ASSERT_NE(at, page.end()) << "round " << round << " line " << tick.line;
            EXPECT_EQ(d.text, at->second.text);
            EXPECT_EQ(d.text, vertFixation(t, tick.line, tick.column));
            EXPECT_EQ(d.style == HorizStyle::Invisible, at->second.style == HorizStyle::Invisible);
        }
        EXPECT_LE(scrolled, content - clientHeight) << "round " << round;
        // Each fixation once, in block order; and the fixations of a line are all its words.
        EXPECT_EQ(order, expectedOrder(t, downSweep)) << "round " << round;
        for (int line = 1; line <= t.LineCount; ++line) {
            if (!isVertBlankLine(t, line)) {
                EXPECT_EQ(t.pieces[line - 1].join(u' '), t.TextLines.at(line - 1)) << "line " << line;
            }
        }
        EXPECT_DOUBLE_EQ(pacer.state().WpmScore, seconds > 0 ? t.WordCount / (seconds / 60.0) : 0.0);
    }
}

#include "VertPacer.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <tuple>

namespace {

using Kind = VertTick::Kind;

HorizMetrics mono()
{
    return HorizMetrics{[](const QString &s) { return static_cast<int>(s.size()) * 6; }, 10};
}

QStringList repeated(const QString &line, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out.append(line);
    return out;
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
    for (int b = 1; b <= t.LineCount;) {
        if (isVertBlankLine(t, b)) {
            ++b;
            continue;
        }
        for (int c = 1; c <= t.fixations; ++c) {
            for (int line = b; line < b + downSweep && line <= t.LineCount; ++line) {
                if (!vertFixation(t, line, c).isEmpty())
                    out.emplace_back(line, c);
            }
        }
        b += downSweep;
    }
    return out;
}

} // namespace

TEST(VertPacer, EightLinesWithTwoFixationsAndFourLineSweeps)
{
    VertPacer pacer(LayoutVerticalText(repeated(QStringLiteral("word1 more1"), 8), 2), 4, mono());
    const auto ticks = readToEnd(pacer, VertTickInput{10000, 300, 100});
    using Step = std::tuple<Kind, int, int, int>;
    std::vector<Step> expected;
    for (int block : {0, 4}) {
        for (int column : {1, 2}) {
            for (int row = 1; row <= 4; ++row)
                expected.emplace_back(Kind::Reveal, block + row, column, row < 4 ? 100 : column * 300);
        }
    }
    expected.emplace_back(Kind::Pass, 9, 1, kBlankTickMs);
    std::vector<Step> got;
    std::vector<int> progress;
    for (const VertTick &t : ticks) {
        if (!t.finished)
            got.emplace_back(t.kind, t.line, t.column, t.interval);
        if (t.progress)
            progress.push_back(*t.progress);
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(progress, (std::vector<int>{0, 50, 100})) << "only main ticks on an even line move the bar";
    ASSERT_TRUE(ticks.back().finished);
    // The second fixation of line 2, after the first's width and a gap.
    const HorizDraw &d = ticks[5].draws.back();
    EXPECT_EQ(std::tie(d.text, d.x, d.y), std::make_tuple(QStringLiteral("more1"), 8 + 30 + 6, 20));
}

TEST(VertPacer, WalksEachStateTable)
{
    struct Table
    {
        int f;
        int d;
        std::vector<std::vector<int>> columns;
    };
    const Table tables[] = {
        {2, 3, {{2, 3}, {4, 5}}},
        {2, 4, {{12, 13, 14}, {15, 16, 17}}},
        {2, 5, {{27, 28, 29, 30}, {31, 32, 33, 34}}},
        {3, 3, {{6, 7}, {8, 9}, {10, 11}}},
        {3, 4, {{18, 19, 20}, {21, 22, 23}, {24, 25, 26}}},
        {3, 5, {{35, 36, 37, 38}, {39, 40, 41, 42}, {43, 44, 45, 46}}},
    };
    for (const Table &t : tables) {
        VertPacer pacer(LayoutVerticalText(repeated(QStringLiteral("abcdef ghijkl mnopqr"), t.d), t.f), t.d,
                        mono());
        pacer.start();
        for (int c = 1; c <= t.f; ++c) {
            for (int row = 0; row < t.d; ++row) {
                EXPECT_EQ(pacer.state().PacerState, row == 0 ? 0 : t.columns[c - 1][row - 1])
                    << "F " << t.f << " D " << t.d << " column " << c << " row " << row;
                const VertTick tick = pacer.tick(VertTickInput{10000, 300, 100});
                EXPECT_EQ(std::make_tuple(tick.kind, tick.line, tick.column),
                          std::make_tuple(Kind::Reveal, 1 + row, c));
            }
        }
        EXPECT_EQ(pacer.state().PacerState, 0);
        EXPECT_EQ(pacer.state().CurrentLine, t.d);
        // The line after the text is blank in each column but the last, which finds its rows past the end.
        std::vector<std::pair<Kind, int>> tail;
        for (const VertTick &tick : readToEnd(pacer, VertTickInput{10000, 300, 100}, 10))
            tail.emplace_back(tick.kind, tick.column);
        std::vector<std::pair<Kind, int>> expected;
        for (int c = 1; c < t.f; ++c)
            expected.emplace_back(Kind::Pass, c);
        expected.emplace_back(Kind::End, t.f);
        EXPECT_EQ(tail, expected) << "F " << t.f << " D " << t.d;
    }
}

TEST(VertPacer, ScrollsAheadOfTheNextBlock)
{
    const QString text = QStringLiteral("word1 more1");
    struct Case
    {
        const char *name;
        QStringList lines;
        int clientHeight;
        std::vector<int> scrolls; // the end's 30 last
    };
    const Case cases[] = {
        {"blocks of three", repeated(text, 9), 50, {40, 30, 30}},
        {"a blank line passes one line", repeated(text, 3) << QString() << repeated(text, 3), 50, {50, 30}},
        // Each retake of the line would scroll by nothing; the reading must go on.
        {"window lower than a block still ends", repeated(text, 6), 0, {10, 30, 30, 30}},
    };
    for (const Case &c : cases) {
        VertPacer pacer(LayoutVerticalText(c.lines, 2), 3, mono());
        std::vector<int> scrolls;
        for (const VertTick &t : readToEnd(pacer, VertTickInput{c.clientHeight, 101, 100}, 1000)) {
            if (t.scrollBy != 0)
                scrolls.push_back(t.scrollBy);
            if (t.kind == Kind::ScrollPause) {
                EXPECT_EQ(t.interval, 150) << c.name << ": (101 div 2) x 3";
            }
        }
        EXPECT_TRUE(pacer.finished()) << c.name;
        EXPECT_EQ(scrolls, c.scrolls) << c.name;
    }
}

TEST(VertPacer, EmptyTextEndsOnTheFirstTick)
{
    VertPacer pacer(LayoutVerticalText({}, 3), 4, mono());
    const auto ticks = readToEnd(pacer, VertTickInput{300, 300, 100});
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0].kind, Kind::End);
    EXPECT_FALSE(ticks[0].progress.has_value());
    ASSERT_EQ(ticks[0].draws.size(), 2u);
    EXPECT_EQ(ticks[0].draws[0].text, QStringLiteral("THE END!"));
    EXPECT_EQ(ticks[0].draws[1].text, QStringLiteral("0 words per minute!"));
    EXPECT_DOUBLE_EQ(pacer.state().WpmScore, 0.0);
    EXPECT_EQ(pacer.tick(VertTickInput{300, 300, 100}).kind, Kind::Idle) << "nothing after the end";
}

TEST(VertPacer, PauseIsNotCounted)
{
    VertPacer pacer(LayoutVerticalText(repeated(QStringLiteral("The quick brown fox"), 8), 2), 4, mono());
    const VertTickInput in{10000, 300, 100};
    pacer.start();
    for (int i = 0; i < 5; ++i)
        pacer.tick(in);
    pacer.secondElapsed();
    pacer.secondElapsed();
    pacer.pause();
    const VertPacerState before = pacer.state();
    pacer.secondElapsed(); // a second already queued when the user paused
    EXPECT_EQ(pacer.tick(in).kind, Kind::Idle);
    EXPECT_EQ(pacer.state().FixationCounter, before.FixationCounter);
    EXPECT_DOUBLE_EQ(pacer.state().ElapsedSeconds, 2.0);
    pacer.start();
    pacer.secondElapsed();
    readToEnd(pacer, in);
    // 7 counted lines of 19 characters: 21 words in 3 seconds.
    EXPECT_DOUBLE_EQ(pacer.state().WpmScore, 420.0);
    EXPECT_EQ(pacer.state().WpmText, QStringLiteral("420"));
}

TEST(VertPacer, RandomTextsAreRevealedWordByWordInBlockOrder)
{
    std::mt19937 rng(20261207);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 300; ++round) {
        QStringList lines;
        for (int n = pick(0, 60), i = 0; i < n; ++i) {
            const int kind = pick(0, 9);
            QString line;
            if (kind < 2) {
                line = QString(pick(0, 9), u' '); // blank up to 7 spaces, text from 8
            } else if (kind == 2) {
                line = QString(pick(1, 90), QChar(u'a' + pick(0, 25))); // one word, padded or cut
            } else {
                line = QString(kind == 3 ? pick(1, 3) : 0, u' ');
                for (const int limit = pick(5, 100); line.size() < limit;)
                    line += QString(pick(1, 14), QChar(u'a' + pick(0, 25))) + u' ';
            }
            lines.append(line);
        }
        const int h = pick(8, 20);
        const HorizMetrics metrics{[](const QString &s) {
                                       int w = 0;
                                       for (QChar c : s)
                                           w += 4 + c.unicode() % 5;
                                       return w;
                                   },
                                   h};
        const int downSweep = pick(3, 5);
        const int clientHeight = pick(0, 400);
        VertPacer pacer(LayoutVerticalText(lines, pick(2, 3)), downSweep, metrics);
        const HorizText &t = pacer.text();
        const int seconds = pick(0, 3);
        for (int s = 0; s < seconds; ++s) {
            pacer.start();
            pacer.secondElapsed();
        }
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
        EXPECT_EQ(order, expectedOrder(t, downSweep)) << "round " << round;
        const std::set<std::pair<int, int>> once(order.begin(), order.end());
        EXPECT_EQ(once.size(), order.size()) << "round " << round;
        for (int line = 1; line <= t.LineCount; ++line) {
            if (isVertBlankLine(t, line))
                continue;
            QStringList revealed;
            for (int c = 1; c <= t.fixations; ++c) {
                if (once.count({line, c}) != 0)
                    revealed.append(vertFixation(t, line, c));
            }
            EXPECT_EQ(revealed.join(u' ').split(u' ', Qt::SkipEmptyParts),
                      t.TextLines.at(line - 1).split(u' ', Qt::SkipEmptyParts))
                << "round " << round << " line " << line;
        }
        EXPECT_DOUBLE_EQ(pacer.state().WpmScore, seconds > 0 ? t.WordCount / (seconds / 60.0) : 0.0);
    }
}

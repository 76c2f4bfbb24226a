#include "VertPacer.h"

#include "TestText.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <tuple>

namespace {

using Kind = VertTick::Kind;
const HorizMetrics kMono = monoMetrics();
const QString kWords = QStringLiteral("word1 more1");

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
    for (int b = 1; b <= t.LineCount; b += isVertBlankLine(t, b) ? 1 : downSweep)
        for (int c = 1; c <= t.fixations && !isVertBlankLine(t, b); ++c)
            for (int line = b; line < b + downSweep && line <= t.LineCount; ++line)
                if (!vertFixation(t, line, c).isEmpty())
                    out.emplace_back(line, c);
    return out;
}

// Proportional text: each character 4 to 8 pixels.
int proportional(const QString &s)
{
    return std::accumulate(s.begin(), s.end(), 0, [](int w, QChar c) { return w + 4 + c.unicode() % 5; });
}

} // namespace

TEST(VertPacer, EightLinesWithTwoFixationsAndFourLineSweeps)
{
    VertPacer pacer(LayoutVerticalText(QStringList(8, kWords), 2), 4, kMono);
    const auto ticks = readToEnd(pacer, VertTickInput{10000, 300, 100});
    // The second interval between the rows of a column, the main one times the column after it.
    std::vector<std::tuple<Kind, int, int, int>> expected, got;
    for (int block : {0, 4})
        for (int column : {1, 2})
            for (int row = 1; row <= 4; ++row)
                expected.emplace_back(Kind::Reveal, block + row, column, row < 4 ? 100 : column * 300);
    expected.emplace_back(Kind::Pass, 9, 1, kBlankTickMs); // the line after the text, then its end
    expected.emplace_back(Kind::End, 9, 2, 300);
    std::vector<int> progress;
    for (const VertTick &t : ticks) {
        got.emplace_back(t.kind, t.line, t.column, t.interval);
        if (t.progress)
            progress.push_back(*t.progress);
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(progress, (std::vector<int>{0, 50, 100})) << "only main ticks on an even line move the bar";
}

TEST(VertPacer, ScrollsAheadOfTheNextBlock)
{
    // {lines, client height, scrolls with the end's 30 last}. A blank line passes one line; a window lower
    // than a block would retake the line, scrolling by nothing each time, yet the reading must go on.
    const std::tuple<QStringList, int, std::vector<int>> cases[] = {
        {QStringList(9, kWords), 50, {40, 30, 30}},
        {QStringList(3, kWords) << QString() << QStringList(3, kWords), 50, {50, 30}},
        {QStringList(6, kWords), 0, {10, 30, 30, 30}},
    };
    for (const auto &[lines, clientHeight, expected] : cases) {
        SCOPED_TRACE(testing::Message() << lines.size() << " lines, height " << clientHeight);
        VertPacer pacer(LayoutVerticalText(lines, 2), 3, kMono);
        std::vector<int> scrolls;
        for (const VertTick &t : readToEnd(pacer, VertTickInput{clientHeight, 101, 100}, 1000)) {
            if (t.scrollBy != 0)
                scrolls.push_back(t.scrollBy);
            if (t.kind == Kind::ScrollPause) {
                EXPECT_EQ(t.interval, 150) << "(101 div 2) x 3";
            }
        }
        EXPECT_EQ(scrolls, expected); // ending with the end's scroll
    }
}

// Over random texts (some empty), fonts, sweeps and windows the reading ends with its score, reveals each
// fixation once in block order at the page's own place, and never draws or scrolls past the content.
TEST(VertPacer, RandomTextsAreRevealedWordByWordInBlockOrder)
{
    std::mt19937 rng(20261207);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int leastSpare = std::numeric_limits<int>::max(); // lines of the page that no reading needed
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        // Blank, spaces only or indented lines of words, some too long for a cell or a line.
        QStringList lines;
        for (int n = pick(0, 60), i = 0; i < n; ++i) {
            QString line(pick(0, 2) == 0 ? pick(0, 9) : 0, u' ');
            for (int words = pick(0, 12); words > 0; --words)
                line += QString(pick(1, pick(0, 9) > 0 ? 14 : 90), QChar(u'a' + pick(0, 25))) + u' ';
            lines.append(line);
        }
        const int h = pick(8, 40), downSweep = pick(3, 5), seconds = pick(0, 3);
        const int clientHeight = pick(0, 2) == 0 ? pick(0, 20) : pick(0, 400);
        const HorizMetrics metrics{proportional, h};
        VertPacer pacer(LayoutVerticalText(lines, pick(2, 3)), downSweep, metrics);
        const HorizText &t = pacer.text();
        pacer.start();
        for (int s = 0; s < seconds; ++s)
            pacer.secondElapsed();
        // The letters-only text has no asterisk: one that can be seen is the pad.
        const auto padSeen = [](const HorizDraw &d) {
            return d.kind == HorizDraw::Kind::Text && d.style != HorizStyle::Invisible &&
                   d.text.contains(u'*');
        };
        std::map<std::pair<int, int>, HorizDraw> page;
        for (const HorizDraw &d : drawVerticalPage(t, 2, metrics)) {
            EXPECT_FALSE(padSeen(d)) << d.text.toStdString();
            if (d.kind == HorizDraw::Kind::Text)
                page[{d.x, d.y}] = d;
        }

        const VertTickInput in{clientHeight, 300, 100};
        const auto ticks = readToEnd(pacer, in);
        for (const VertTick &tick : ticks)
            EXPECT_TRUE(std::none_of(tick.draws.begin(), tick.draws.end(), padSeen));
        ASSERT_TRUE(pacer.finished());
        const QString score = pacer.state().WpmText + QStringLiteral(" words per minute!");
        EXPECT_EQ(std::make_pair(ticks.back().kind, ticks.back().draws.back().text),
                  std::make_pair(Kind::End, score));
        EXPECT_EQ(pacer.tick(in).kind, Kind::Idle) << "nothing after the end";
        const int content = vertContentHeight(t.LineCount, downSweep, h, clientHeight);
        int scrolled = 0, bottom = 0;
        std::vector<std::pair<int, int>> order;
        for (const VertTick &tick : ticks) {
            scrolled += tick.scrollBy;
            for (const HorizDraw &d : tick.draws)
                bottom = std::max(bottom, d.y + h);
            if (tick.kind != Kind::Reveal)
                continue;
            order.emplace_back(tick.line, tick.column);
            // Revealed in full where the page has it, and hidden where the page hid it.
            const HorizDraw &d = tick.draws.back();
            const auto at = page.find({d.x, d.y});
            ASSERT_NE(at, page.end()) << "line " << tick.line;
            EXPECT_EQ(d.text, at->second.text);
            EXPECT_EQ(d.text, vertFixation(t, tick.line, tick.column));
            EXPECT_EQ(d.style == HorizStyle::Invisible, at->second.style == HorizStyle::Invisible);
        }
        // The page holds every draw and the window can scroll as far as the reading goes, with room to spare
        // only where the window is tall.
        EXPECT_LE(bottom, content);
        EXPECT_LE(scrolled, content - clientHeight);
        leastSpare = std::min(leastSpare, (content - std::max(bottom, scrolled + clientHeight)) / h);
        EXPECT_EQ(order, expectedOrder(t, downSweep));
        for (int line = 1; line <= t.LineCount; ++line) // the fixations of a line are all its words
            EXPECT_TRUE(isVertBlankLine(t, line) ||
                        padFree(t.pieces[line - 1].join(u' ')) == padFree(t.TextLines.at(line - 1)));
        EXPECT_DOUBLE_EQ(pacer.state().WpmScore, seconds > 0 ? t.WordCount / (seconds / 60.0) : 0.0);
    }
    EXPECT_EQ(leastSpare, 0) << "the page is no taller than the longest reading needs";
}

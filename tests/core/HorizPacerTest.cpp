#include "HorizPacer.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

const QString kText = QStringLiteral("The quick brown fox");

// Runs ticks until the end; returns each tick.
std::vector<HorizTick> runToEnd(const QStringList &lines, int k, const HorizTickInput &in)
{
    HorizPacer p(LayoutHorizontalText(lines, k), monoMetrics());
    std::vector<HorizTick> ticks;
    for (int guard = 0; guard < 10000 && (ticks.empty() || !ticks.back().finished); ++guard)
        ticks.push_back(p.tick(in));
    return ticks;
}

// Each tick as its wait and its draws as "text@x,y" and the initial of the style.
QStringList describe(const std::vector<HorizTick> &ticks)
{
    QStringList out;
    for (const HorizTick &t : ticks) {
        QString s = QString::number(t.interval) + u':';
        for (const HorizDraw &d : t.draws)
            s += QStringLiteral(" %1@%2,%3").arg(d.text).arg(d.x).arg(d.y) + QChar(u"IVSC"[int(d.style)]);
        out << s;
    }
    return out;
}

} // namespace

TEST(HorizPacer, IntervalsScrollPausesAndProgress)
{
    // {lines, client height, interval, waits and scrolls before the end, progress}; an empty list is not
    // checked. A line that would end below the window scrolls to the top on a tick that waits half as long
    // again.
    const QStringList blankThird{kText, QString(), kText, kText};
    const std::tuple<QStringList, int, int, std::vector<int>, std::vector<int>, std::vector<int>> cases[] = {
        {blankThird, 35, 600, {600, 600, 7, 7, 900, 600, 600, 600, 600}, {30}, {}},
        {blankThird, 35, 25, {25, 25, 7, 7, 36, 25, 25, 25, 25}, {30}, {}},
        {QStringList(3, kText), 5, 100, {150, 100, 100, 150, 100, 100, 150, 100, 100}, {10, 10, 10}, {}},
        {QStringList(12, kText), 55, 100, {}, {50, 50}, {}}, // lines 5 and 10 do not fit
        {QStringList(3, kText), 1000, 100, std::vector(6, 100), {}, {0, 67, 67}},
        {QStringList(4, kText), 1000, 100, std::vector(8, 100), {}, {0, 50, 50, 100, 100}},
    };
    for (const auto &[lines, clientHeight, interval, waits, scrolls, progress] : cases) {
        SCOPED_TRACE(testing::Message() << lines.size() << " lines at " << clientHeight << ", " << interval);
        const auto ticks = runToEnd(lines, 2, HorizTickInput{clientHeight, interval, 2});
        std::vector<int> gotWaits, gotScrolls, gotProgress;
        for (const HorizTick &t : ticks) {
            if (t.progress)
                gotProgress.push_back(*t.progress);
            if (t.finished)
                break;
            gotWaits.push_back(t.interval);
            if (t.scrollBy != 0)
                gotScrolls.push_back(t.scrollBy);
            EXPECT_TRUE(t.scrollBy == 0 || t.draws.empty()) << "a scroll tick only pauses";
        }
        EXPECT_EQ(gotScrolls, scrolls);
        if (!waits.empty()) {
            EXPECT_EQ(gotWaits, waits);
        }
        if (!progress.empty()) {
            EXPECT_EQ(gotProgress, progress) << "moves on even lines only";
        }
    }
}

// A fixation is revealed over its unread form; the line before the one starting takes the read look, unless
// it is blank. With one fixation whole lines show. The pad of a one-word line is paced but never shown, and
// cell 3 of a line fallen back to two fixations passes at 7.
TEST(HorizPacer, RevealsFixationsReadsPassedLinesAndHidesThePad)
{
    // {K, read mode, lines, the first ticks}
    // clang-format off
    const std::tuple<int, int, QStringList, QStringList> cases[] = {
        {2, 3, {kText, kText},
         {"300: The quick@8,10V", "300:  @62,10I brown fox@68,10V",
          "300: The quick@8,20V The quick brown fox@8,10S"}},
        {1, 4, {kText, "", kText, kText},
         {"300: The quick brown fox@8,10V", "300: @8,20V The quick brown fox@8,10C",
          "300: The quick brown fox@8,30V", "300: The quick brown fox@8,40V The quick brown fox@8,30C"}},
        // A line of up to nine spaces is not redrawn in the read look (eight and more are not blank).
        {1, 4, {kText, "         ", kText},
         {"300: The quick brown fox@8,10V", "300:          @8,20V The quick brown fox@8,10C",
          "300: The quick brown fox@8,30V"}},
        {3, 2, {"Contents", kText},
         {"300: Contents@8,10V", "300:  @56,10I **********@62,10I", "7:",
          "300: The@8,20V Contents  @8,10V"}}};
    // clang-format on
    for (const auto &[k, readMode, lines, expected] : cases) {
        const auto ticks = runToEnd(lines, k, HorizTickInput{1000, 300, readMode});
        EXPECT_EQ(describe(ticks).mid(0, expected.size()), expected);
        for (const HorizTick &t : ticks)
            for (const HorizDraw &d : t.draws)
                EXPECT_TRUE(d.style == HorizStyle::Invisible || !d.text.contains(u'*'))
                    << d.text.toStdString();
    }
}

TEST(HorizPacer, EndScoresAndTexts)
{
    // {words, seconds, score, shown}; an empty text (-1) ends on its first tick, two lines higher.
    const std::tuple<double, int, double, const char *> cases[] = {
        {120, 60, 120.0, "120"}, {121, 59, 121.0 / (59.0 / 60.0), "123"},
        {5, 120, 2.5, "2"},      {7, 120, 3.5, "4"},
        {50, 0, 0.0, "0"},       {-1, 10, 0.0, "0"}};
    for (const auto &[words, seconds, score, wpmText] : cases) {
        HorizText text = LayoutHorizontalText(words < 0 ? QStringList() : QStringList{kText}, 2);
        text.WordCount = std::max(words, 0.0);
        HorizPacer p(text, monoMetrics());
        for (int s = 0; s < seconds; ++s)
            p.secondElapsed();
        std::vector<HorizTick> ticks;
        while (ticks.size() < 10 && (ticks.empty() || !ticks.back().finished))
            ticks.push_back(p.tick(HorizTickInput{1000, 100, 2}));
        const HorizTick &end = ticks.back();
        EXPECT_DOUBLE_EQ(p.state().WpmScore, score);
        const int y = words < 0 ? 20 : 30;
        EXPECT_EQ(describe({end}).first(),
                  QString::asprintf("0: THE END!@80,%dV %s words per minute!@45,%dV", y, wpmText, y + 10));
        EXPECT_EQ(std::make_tuple(end.finished, end.scrollBy, end.progress.has_value(), end.draws[0].weight,
                                  end.draws[1].weight),
                  std::make_tuple(true, 30, false, HorizWeight::Bold, HorizWeight::Regular));
    }
}

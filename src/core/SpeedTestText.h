#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// The speed test's text and counters, and the page geometry it is paged through. Pixel values are in the
// page's coordinates: the first line's top is one line height down, the left margin is 15.

inline constexpr int kSpeedTestMaxLines = 1000;
inline constexpr int kSpeedTestLineCapacity = 80;
inline constexpr int kSpeedTestLeftMargin = 15;
// Paging that brings the view within this many pixels of its end makes "Stop Reading" available.
inline constexpr int kSpeedTestEndZone = 600;

struct TSpeedTestValues
{
    QStringList SpeedTestLines; // as drawn, at most 1000 of at most 80 characters
    double SpeedTestWordCount = 0.0;
    double SpeedTestSeconds = 0.0;
    double SpeedTestWpm = 0.0;
    QString SpeedTestWpmText;
    std::int32_t SpeedTestPageEnd = 0;
    std::uint8_t SpeedTestTextLoaded = 0;
    std::int32_t SpeedTestSavedWidth = 0;
    std::uint8_t SpeedTestTimerOn = 0;
};

// Takes up to 1000 file lines, each cut to 80 characters; a line holding "****" loses its last five
// characters (the pad that let it be cut). Words are counted as characters / 5, a real sum.
// Resets the counters and the score, and sets the page end for line height `lineHeight`.
void layoutSpeedTestText(TSpeedTestValues &v, const QStringList &fileLines, int lineHeight);

// 15 + lines x h + 120: the pixel end of the page, "THE END" being drawn 90 above it.
int speedTestPageEnd(int lineCount, int lineHeight);
inline int speedTestEndMarkTop(int pageEnd)
{
    return pageEnd - 90;
}
// Line k (1-based) is drawn with its top here.
inline int speedTestLineTop(int k, int lineHeight)
{
    return k * lineHeight;
}

// One page down or up: the whole lines that fit the client height, at least one, so that a line cut off
// at the bottom of the view comes to its top.
int speedTestPageStep(int lineHeight, int clientHeight);

// The furthest the view can scroll: its bottom then just reaches the page end.
int speedTestScrollMaximum(int pageEnd, int clientHeight);
// Whether a view scrolled to `position` is within the end zone of a page that scrolls to `scrollMaximum`.
bool inSpeedTestEndZone(int position, int scrollMaximum);

// One tick of the seconds clock; a count that would run past the 10-digit limit starts again.
void countSpeedTestSecond(TSpeedTestValues &v);

// Words per minute from the counters (kept when no second was counted) and its rounded text.
void scoreSpeedTest(TSpeedTestValues &v);
QString speedTestScoreMessage(const QString &wpmText);

// The running clock as minutes:seconds.
QString speedTestClockText(double seconds);

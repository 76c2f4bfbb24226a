#include "SpeedTestText.h"

#include <gtest/gtest.h>

TEST(SpeedTestText, LinesAreCutAndCountedThePageStepKeepsALineAndTheEndZoneIsTheLast600Pixels)
{
    TSpeedTestValues v;
    v.SpeedTestSeconds = 42;
    v.SpeedTestWpm = 300;
    v.SpeedTestWpmText = QStringLiteral("300");
    const QString x79 = QString(79, u'x');
    layoutSpeedTestText(v, {QStringLiteral("Abcdefghijk ****"), x79 + QStringLiteral(" ****"), "**", "****"},
                        19);
    // Cut to 80 first: the pad is gone with the cut, so nothing more is taken off.
    EXPECT_EQ(v.SpeedTestLines, (QStringList{QStringLiteral("Abcdefghijk"), x79 + u' ', "**", ""}));
    EXPECT_DOUBLE_EQ(v.SpeedTestWordCount, 11.0 / 5 + 80.0 / 5 + 2.0 / 5);
    // A new text starts its counters and score afresh.
    EXPECT_EQ(v.SpeedTestSeconds, 0.0);
    EXPECT_EQ(v.SpeedTestWpm, 0.0);
    EXPECT_TRUE(v.SpeedTestWpmText.isEmpty());

    layoutSpeedTestText(v, QStringList(1200, QStringLiteral("a")), 10);
    EXPECT_EQ(v.SpeedTestLines.size(), 1000);
    EXPECT_NEAR(v.SpeedTestWordCount, 200.0, 1e-9);

    const int steps[][3] = {{19, 250, 247}, {19, 38, 38}, {19, 37, 19},
                            {19, 10, 19},   {19, 0, 19},  {0, 100, 100}};
    for (const auto &[h, client, step] : steps)
        EXPECT_EQ(speedTestPageStep(h, client), step) << "h " << h << " client " << client;
    // The range follows the page: a long text can be scrolled until its end is at the view's bottom.
    EXPECT_EQ(speedTestScrollMaximum(7850, 250), 7600);
    EXPECT_FALSE(inSpeedTestEndZone(7000, 7600));
    EXPECT_TRUE(inSpeedTestEndZone(7001, 7600));
    // A text shorter than the window is in the end zone from the start.
    EXPECT_EQ(speedTestScrollMaximum(325, 400), 0);
    EXPECT_TRUE(inSpeedTestEndZone(0, 0));
}

TEST(SpeedTestText, ScoreRoundsHalvesToEvenAndSecondsStartAgainPastTheirLimit)
{
    // The messages and the clock's usual readings are pinned by the window's tests.
    TSpeedTestValues v;
    v.SpeedTestWordCount = 412.5;
    v.SpeedTestSeconds = 60;
    scoreSpeedTest(v);
    EXPECT_EQ(v.SpeedTestWpmText, QStringLiteral("412"));
    v.SpeedTestWordCount = 413.5 / 2;
    v.SpeedTestSeconds = 30;
    scoreSpeedTest(v);
    EXPECT_EQ(v.SpeedTestWpmText, QStringLiteral("414"));
    v.SpeedTestSeconds = 0; // no time: the last score stays
    scoreSpeedTest(v);
    EXPECT_DOUBLE_EQ(v.SpeedTestWpm, 413.5);

    v.SpeedTestSeconds = 9999999999.0;
    countSpeedTestSecond(v);
    EXPECT_EQ(v.SpeedTestSeconds, 10000000000.0);
    countSpeedTestSecond(v);
    EXPECT_EQ(v.SpeedTestSeconds, 1.0);
    EXPECT_EQ(speedTestClockText(0), QStringLiteral("0:00"));
    EXPECT_EQ(speedTestClockText(3600), QStringLiteral("60:00"));
}

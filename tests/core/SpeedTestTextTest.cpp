#include "SpeedTestText.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(SpeedTestText, LinesAreCutTrimmedOfTheirPadAndCountedAsRealWords)
{
    TSpeedTestValues v;
    v.SpeedTestSeconds = 42;
    v.SpeedTestWpm = 300;
    v.SpeedTestWpmText = QStringLiteral("300");
    const QString longLine = QString(79, u'x') + QStringLiteral(" ****");
    layoutSpeedTestText(
        v, {QStringLiteral("Abcdefghijk ****"), longLine, QStringLiteral("**"), QStringLiteral("****")}, 19);
    ASSERT_EQ(v.SpeedTestLines.size(), 4);
    EXPECT_EQ(v.SpeedTestLines[0], QStringLiteral("Abcdefghijk"));
    // Cut to 80 first: the pad is gone with the cut, so nothing more is taken off.
    EXPECT_EQ(v.SpeedTestLines[1], QString(79, u'x') + QStringLiteral(" "));
    EXPECT_EQ(v.SpeedTestLines[2], QStringLiteral("**"));
    EXPECT_EQ(v.SpeedTestLines[3], QString());
    EXPECT_DOUBLE_EQ(v.SpeedTestWordCount, 11.0 / 5 + 80.0 / 5 + 2.0 / 5);
    // A new text starts its counters and score afresh.
    EXPECT_EQ(v.SpeedTestSeconds, 0.0);
    EXPECT_EQ(v.SpeedTestWpm, 0.0);
    EXPECT_TRUE(v.SpeedTestWpmText.isEmpty());
}

TEST(SpeedTestText, KeepsAtMostAThousandLines)
{
    TSpeedTestValues v;
    layoutSpeedTestText(v, QStringList(1200, QStringLiteral("a")), 10);
    EXPECT_EQ(v.SpeedTestLines.size(), 1000);
    EXPECT_EQ(v.SpeedTestPageEnd, 15 + 10000 + 120);
    EXPECT_NEAR(v.SpeedTestWordCount, 200.0, 1e-9);
}

TEST(SpeedTestText, PageStepKeepsOneLineOfTheLastScreen)
{
    for (const auto &[h, client, step] :
         {std::tuple{19, 250, 247}, {19, 38, 38}, {19, 37, 19}, {19, 10, 19}, {19, 0, 19}, {0, 100, 100}}) {
        SCOPED_TRACE(testing::Message() << "h " << h << " client " << client);
        EXPECT_EQ(speedTestPageStep(h, client), step);
    }
}

TEST(SpeedTestText, EndZoneIsTheLastSixHundredPixelsOfTheScrollRange)
{
    // The range follows the page: a long text can be scrolled until its end is at the view's bottom.
    EXPECT_EQ(speedTestScrollMaximum(7850, 250), 7600);
    EXPECT_FALSE(inSpeedTestEndZone(7000, 7600));
    EXPECT_TRUE(inSpeedTestEndZone(7001, 7600));
    // A text shorter than the window is in the end zone from the start.
    EXPECT_EQ(speedTestScrollMaximum(325, 400), 0);
    EXPECT_TRUE(inSpeedTestEndZone(0, 0));
}

TEST(SpeedTestText, ScoreRoundsHalvesToEvenAndKeepsTheLastWithoutSeconds)
{
    TSpeedTestValues v;
    v.SpeedTestWordCount = 412.5;
    v.SpeedTestSeconds = 60;
    scoreSpeedTest(v);
    EXPECT_DOUBLE_EQ(v.SpeedTestWpm, 412.5);
    EXPECT_EQ(v.SpeedTestWpmText, QStringLiteral("412"));
    v.SpeedTestWordCount = 413.5 / 2;
    v.SpeedTestSeconds = 30;
    scoreSpeedTest(v);
    EXPECT_EQ(v.SpeedTestWpmText, QStringLiteral("414"));
    v.SpeedTestSeconds = 0;
    scoreSpeedTest(v);
    EXPECT_DOUBLE_EQ(v.SpeedTestWpm, 413.5);
    EXPECT_EQ(
        speedTestScoreMessage(v.SpeedTestWpmText),
        QStringLiteral("You were reading at 414 words per minute. Make a note of this score to track your "
                       "progress. Load another file if you want to take another test."));
}

TEST(SpeedTestText, SecondsCountAndStartAgainPastTheirLimit)
{
    TSpeedTestValues v;
    countSpeedTestSecond(v);
    countSpeedTestSecond(v);
    EXPECT_EQ(v.SpeedTestSeconds, 2.0);
    v.SpeedTestSeconds = 9999999999.0;
    countSpeedTestSecond(v);
    EXPECT_EQ(v.SpeedTestSeconds, 10000000000.0);
    countSpeedTestSecond(v);
    EXPECT_EQ(v.SpeedTestSeconds, 1.0);
    EXPECT_EQ(speedTestClockText(0), QStringLiteral("0:00"));
    EXPECT_EQ(speedTestClockText(65), QStringLiteral("1:05"));
    EXPECT_EQ(speedTestClockText(3600), QStringLiteral("60:00"));
}

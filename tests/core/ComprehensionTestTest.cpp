#include "ComprehensionTest.h"
#include "QuestionBank.h"

#include <QString>

#include <gtest/gtest.h>

#include <tuple>

TEST(ComprehensionScoring, CountsRightAndWrongAnswers)
{
    const std::tuple<int, std::array<int, 5>, double, const char *> cases[] = {
        {1, {3, 1, 1, 2, 0}, 1.0, "Your comprehension was 100%."},
        {1, {3, 1, 2, 2, 0}, 0.75, "Your comprehension was 75%."},
        {2, {3, 1, 1, 1, 1}, 0.8, "Your comprehension was 80%."},
        {2, {1, 2, 2, 2, 1}, 0.0, "Your comprehension was 0%."},
        {16, {2, 2, 1, 3, 3}, 1.0, "Your comprehension was 100%."},
    };
    for (const auto &[story, checked, expected, message] : cases) {
        SCOPED_TRACE(story);
        const auto score = scoreTest(story, checked);
        ASSERT_TRUE(score.has_value());
        EXPECT_DOUBLE_EQ(score->ComprehensionScore, expected);
        EXPECT_EQ(score->RightCount + score->WrongCount, questionCountFor(story));
        EXPECT_EQ(comprehensionMessage(score->ComprehensionScore), QString::fromLatin1(message));
    }
}

TEST(ComprehensionScoring, UnansweredOrUnknownStoriesAreNotScored)
{
    EXPECT_FALSE(scoreTest(2, {3, 1, 1, 1, 0}).has_value());
    EXPECT_FALSE(scoreTest(1, {3, 0, 1, 2, 0}).has_value());
    EXPECT_FALSE(scoreTest(0, {1, 1, 1, 1, 1}).has_value());
    EXPECT_FALSE(scoreTest(17, {1, 1, 1, 1, 1}).has_value());
    EXPECT_EQ(questionCountFor(17), 0);
    EXPECT_EQ(unansweredMessage(4),
              QStringLiteral("You did not select an answer for all questions. Please check a "
                             "radio button for all 4 questions."));
}

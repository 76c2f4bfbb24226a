#include "ComprehensionTest.h"

#include "QuestionBank.h"
#include "Wpm.h"

#include <limits>

int questionCountFor(int storyNumber)
{
    switch (storyNumber) {
    case 1:
    case 4:
    case 5:
    case 10:
    case 11:
        return 4;
    default:
        return storyNumber >= 1 && storyNumber <= 16 ? 5 : 0;
    }
}

std::optional<TTestScore> scoreTest(int storyNumber, const std::array<int, 5> &checked)
{
    const int count = questionCountFor(storyNumber);
    if (count == 0)
        return std::nullopt;
    TTestScore score;
    for (int q = 0; q < count; ++q) {
        if (checked[static_cast<std::size_t>(q)] == 0)
            return std::nullopt;
        const int correct = AnswerKey[static_cast<std::size_t>(storyNumber - 1)][static_cast<std::size_t>(q)];
        if (checked[static_cast<std::size_t>(q)] == correct)
            score.RightCount += 1;
        else
            score.WrongCount += 1;
    }
    score.ComprehensionScore = score.RightCount / (score.RightCount + score.WrongCount);
    return score;
}

double comprehensionHistoryValue(double score)
{
    return score > 0.0 ? score : std::numeric_limits<double>::denorm_min();
}

QString unansweredMessage(int questionCount)
{
    return QStringLiteral(
               "You did not select an answer for all questions. Please check a radio button for all %1 "
               "questions.")
        .arg(questionCount);
}

QString comprehensionMessage(double score)
{
    return QStringLiteral("Your comprehension was %1%.").arg(roundHalfEven(score * 100.0));
}

#pragma once

#include <QString>

#include <array>
#include <optional>

// Scoring of the comprehension test over the built-in question bank.

// 4 or 5 for stories 1..16, 0 for any other number (the test then stays empty).
int questionCountFor(int storyNumber);

struct TTestScore
{
    double RightCount = 0;
    double WrongCount = 0;
    double ComprehensionScore = 0; // right / (right + wrong)
};

// `checked[q]` is the choice (1..3) checked for question q+1, or 0 when none is. Returns nothing while a
// question of the story is unanswered.
std::optional<TTestScore> scoreTest(int storyNumber, const std::array<int, 5> &checked);

// The value a score is kept as in a comprehension history. 0.0 marks an empty slot there, so a score of
// nothing right is kept as the smallest positive double: it charts and averages as 0 but is not lost.
double comprehensionHistoryValue(double score);

// The reminder shown when questions are left unanswered.
QString unansweredMessage(int questionCount);
// "Your comprehension was N%."
QString comprehensionMessage(double score);

#pragma once

#include <array>

// The comprehension questions of the sixteen stories, indexed by story number - 1. A four-question story
// leaves question 5 and choices 13..15 empty. Choices 3q-2, 3q-1 and 3q belong to question q.
using TTestQuestions = std::array<std::array<const char *, 5>, 16>;
using TTestChoices = std::array<std::array<const char *, 15>, 16>;
using TAnswerKey = std::array<std::array<int, 5>, 16>;

extern const TTestQuestions TestQuestions;
extern const TTestChoices TestChoices;
extern const TAnswerKey AnswerKey;

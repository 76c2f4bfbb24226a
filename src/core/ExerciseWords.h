#pragma once

#include <QString>

#include <array>
#include <string_view>

// The word-flash exercise's word table: 26 groups of ten look-alike words, group 1 beginning with "z",
// group 2 with "y" and so on down to group 26 with "a". Groups and words are numbered from 1.

inline constexpr int kExerciseGroupCount = 26;
inline constexpr int kExerciseGroupSize = 10;

using TExerciseGroup = std::array<std::string_view, kExerciseGroupSize>;

extern const std::array<TExerciseGroup, kExerciseGroupCount> ExerciseWords;

// The word at `group` 1..26, `word` 1..10; empty outside the table.
QString exerciseWord(int group, int word);

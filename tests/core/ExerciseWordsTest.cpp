#include "ExerciseWords.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(ExerciseWords, EveryGroupHoldsTenDistinctLookAlikesOfItsLetter)
{
    std::set<std::string_view> seen;
    for (int g = 1; g <= kExerciseGroupCount; ++g) {
        const char letter = static_cast<char>('z' - (g - 1));
        const std::string_view first = ExerciseWords[static_cast<std::size_t>(g - 1)][0];
        for (int w = 1; w <= kExerciseGroupSize; ++w) {
            const std::string_view word =
                ExerciseWords[static_cast<std::size_t>(g - 1)][static_cast<std::size_t>(w - 1)];
            SCOPED_TRACE(std::string(word));
            EXPECT_GE(word.size(), 5u);
            EXPECT_LE(word.size(), 12u);
            EXPECT_EQ(word.front(), letter) << "group " << g;
            if (g > 1) { // the z group is fixed and ends on two "zo" words
                EXPECT_EQ(word.substr(0, 2), first.substr(0, 2)) << "group " << g;
            }
            EXPECT_EQ(word.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string_view::npos);
            EXPECT_TRUE(seen.insert(word).second) << "duplicate";
            EXPECT_EQ(exerciseWord(g, w),
                      QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size())));
        }
    }
    EXPECT_EQ(seen.size(), 260u);
}

TEST(ExerciseWords, FirstGroupIsTheZGroupInItsOrderAndNothingLiesOutsideTheTable)
{
    QStringList first;
    for (int w = 1; w <= kExerciseGroupSize; ++w)
        first.append(exerciseWord(1, w));
    EXPECT_EQ(first.join(QLatin1Char(' ')),
              QStringLiteral("zymogram zymosan zymase zygospore zygosity zygomatic "
                             "zygomas zygodactyl zoonotic zoophilic"));
    for (const auto &[group, word] : {std::pair{0, 1}, {27, 1}, {1, 0}, {1, 11}})
        EXPECT_TRUE(exerciseWord(group, word).isEmpty()) << group << "," << word;
}

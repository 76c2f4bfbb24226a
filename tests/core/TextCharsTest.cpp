#include "TextChars.h"
#include "TestText.h"

#include <gtest/gtest.h>

TEST(TextChars, APairCountsAsOneAndIsNeverCut)
{
    const QString smile = QString::fromUcs4(U"\U0001F600");
    const QString mixed = QStringLiteral("ab") + smile + QStringLiteral("cd") + smile;
    EXPECT_EQ(charCount(mixed), 6);
    EXPECT_EQ(leftChars(smile.repeated(45), 80), smile.repeated(45));
    EXPECT_EQ(leftChars(mixed, 3), QStringLiteral("ab") + smile);
    EXPECT_EQ(midChars(mixed, 2, 2), smile + QStringLiteral("c"));
    EXPECT_EQ(midChars(mixed, 3), QStringLiteral("cd") + smile);
    EXPECT_EQ(charOffsets(mixed), (std::vector<qsizetype>{0, 1, 2, 4, 5, 6, 8}));
}

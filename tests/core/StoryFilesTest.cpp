#include "StoryLibrary.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct Range
{
    int min;
    int max;
};

void checkStory(const StoryEntry &entry, Range words)
{
    SCOPED_TRACE(entry.title);
    const QString path = QDir(QStringLiteral(BW_DATA_DIR)).filePath(storyFileName(entry));
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly)) << "missing story file";
    const QByteArray bytes = raw.readAll();
    for (char c : bytes)
        ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << "not plain ASCII text";

    const auto lines = readTextFileLines(path);
    ASSERT_TRUE(lines.has_value());
    ASSERT_GE(lines->size(), 3);
    EXPECT_EQ(lines->at(0), QString::fromLatin1(entry.title));
    EXPECT_TRUE(lines->at(1).isEmpty());
    bool previousBlank = false;
    for (const QString &line : *lines) {
        EXPECT_LE(line.size(), 72) << line.toStdString();
        EXPECT_FALSE(line.endsWith(QLatin1Char(' '))) << line.toStdString();
        EXPECT_FALSE(previousBlank && line.isEmpty()) << "two empty lines in a row";
        previousBlank = line.isEmpty();
    }
    const int count =
        static_cast<int>(QString::fromLatin1(bytes)
                             .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)
                             .size());
    EXPECT_GE(count, words.min);
    EXPECT_LE(count, words.max);
}

} // namespace

TEST(StoryFiles, EveryStoryIsShippedAsWrappedPlainText)
{
    for (const StoryEntry &e : kLongerClassics)
        checkStory(e, {2500, 3500});
    for (const StoryEntry &e : kShorterClassics)
        checkStory(e, {1200, 2000});
    for (const StoryEntry &e : kModernStories)
        checkStory(e, {1200, 2000});
}

TEST(StoryFiles, NumbersCoverOneToSixteenOnce)
{
    std::array<int, 17> seen{};
    auto mark = [&](const auto &list) {
        for (const StoryEntry &e : list)
            ++seen[static_cast<std::size_t>(e.number)];
    };
    mark(kLongerClassics);
    mark(kShorterClassics);
    mark(kModernStories);
    EXPECT_EQ(seen[0], 0);
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(seen[static_cast<std::size_t>(n)], 1) << n;
    EXPECT_EQ(storyFileName(kLongerClassics[3]), QStringLiteral("The Tiger or the Lady.bwr"));
}

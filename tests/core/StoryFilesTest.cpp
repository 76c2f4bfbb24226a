#include "StoryLibrary.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <vector>

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

// A cheap guard that the stories and their questions agree: each story's text holds the words that the
// right answers of its test depend on.
TEST(StoryFiles, EachStoryHoldsTheWordsItsRightAnswersNeed)
{
    const std::array<std::pair<int, std::vector<const char *>>, 16> words = {{
        {1, {"one door", "Murlock", "about fifty", "full beard", "panther"}},
        {2, {"Canal Street", "birthdays", "depot"}},
        {3, {"top shelf", "Kroll", "another year"}},
        {4, {"Freddie", "hatbox", "range", "Liverpool"}},
        {5, {"1974", "wedding ring", "ditch", "Ellen"}},
        {6, {"recipe", "lemon cake", "spine"}},
        {7, {"Aurora", "heavy bags", "footwork", "Saturday", "recital"}},
        {8, {"hornbill", "lightning", "burrow", "four hundred and seven"}},
        {9, {"front room", "Baltimore", "scissors", "hospice"}},
        {10, {"postman", "Marjorie", "Patience", "tide", "Thursday"}},
        {11, {"salad drawer", "storm", "graft"}},
        {12, {"supper", "sheep", "Cullen skink", "photograph", "post office"}},
        {13, {"great-uncle", "putter", "leaning", "ledger"}},
        {14, {"bus", "Tuesday", "Garrett", "apple tree", "phone number"}},
        {15, {"chemist", "Fourteen Tallis Row", "carpet", "Jubilee Close", "map"}},
        {16, {"Silas Kote", "one figure", "Tiger", "order book"}},
    }};
    std::array<const StoryEntry *, 17> byNumber{};
    for (const StoryEntry &e : kLongerClassics)
        byNumber[static_cast<std::size_t>(e.number)] = &e;
    for (const StoryEntry &e : kShorterClassics)
        byNumber[static_cast<std::size_t>(e.number)] = &e;
    for (const StoryEntry &e : kModernStories)
        byNumber[static_cast<std::size_t>(e.number)] = &e;
    for (const auto &[number, needed] : words) {
        const StoryEntry *entry = byNumber[static_cast<std::size_t>(number)];
        ASSERT_NE(entry, nullptr) << number;
        SCOPED_TRACE(entry->title);
        const auto lines =
            readTextFileLines(QDir(QStringLiteral(BW_DATA_DIR)).filePath(storyFileName(*entry)));
        ASSERT_TRUE(lines.has_value());
        // Phrases may be broken across lines.
        const QString text = lines->join(QLatin1Char(' ')).simplified();
        for (const char *w : needed)
            EXPECT_TRUE(text.contains(QString::fromLatin1(w), Qt::CaseInsensitive)) << w;
    }
}

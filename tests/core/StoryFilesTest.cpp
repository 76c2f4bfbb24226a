#include "StoryLibrary.h"
#include "TestText.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

void checkStory(const StoryEntry &entry, int minWords, int maxWords)
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
    EXPECT_GE(count, minWords);
    EXPECT_LE(count, maxWords);
}

} // namespace

TEST(StoryFiles, EveryStoryIsShippedAsWrappedPlainText)
{
    for (const StoryEntry &e : kLongerClassics)
        checkStory(e, 2500, 3500);
    for (const StoryEntry &e : kShorterClassics)
        checkStory(e, 1200, 2000);
    for (const StoryEntry &e : kModernStories)
        checkStory(e, 1200, 2000);
}

TEST(StoryFiles, NumbersCoverOneToSixteenOnce)
{
    std::array<int, 17> seen{};
    for (const StoryEntry &e : allStories())
        ++seen[static_cast<std::size_t>(e.number)];
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
        {2, {"Canal Street", "corkboard", "birthdays", "room for me in Sheffield", "painted green"}},
        {3, {"top shelf", "horseshoe nail", "Kroll", "another year", "two hundred gulden"}},
        {4, {"Kenya", "growing coffee", "gauges for boilers", "carrying cotton", "nine shillings"}},
        {5, {"mother's wedding ring", "Volvo", "thirty-one years old", "ditch", "tinsel halo"}},
        {6, {"Ropewalk Lane", "lemon cake", "accountant", "for the box", "Corran Bay"}},
        {7,
         {"twelve seasons", "leisure centre in Brightmoor", "Monday and Wednesday evenings",
          "Saturday mornings", "Nine until twelve", "ten-year-old called Hattie"}},
        {8, {"on the shoulder", "Sala River", "ripe grass seed", "four hundred and seven", "think about it"}},
        {9, {"given them to Lorna", "double crown", "old shoe repair", "barber in Dundalk", "eight dollars"}},
        {10, {"postman", "bought her in 1983", "Mindanao", "iron stairs and a bucket"}},
        {11, {"eighty-three", "nursery in Worcester", "Twelve of the sixteen", "flushed pink at the edge"}},
        {12,
         {"ferry's off with the wind", "twenty-five minutes", "Rioja from a supermarket in Inverness",
          "corner of the step", "post office"}},
        {13, {"forty-one thousand dollars", "express car washes", "nine degrees", "ledger", "Bobby Tran"}},
        {14, {"bus", "Tuesday afternoon", "her own cell phone number", "apple tree", "ninety-one degrees"}},
        {15,
         {"chemist", "Roman Holiday", "nightdress, a hairbrush", "Jubilee Close",
          "ironmonger's on Dock Road"}},
        {16,
         {"Silas Kote", "ten pence", "stubs of broken oak dowel", "two pounds four shillings",
          "Customs House"}},
    }};
    const std::vector<StoryEntry> stories = allStories();
    for (const auto &[number, needed] : words) {
        const auto entry =
            std::find_if(stories.begin(), stories.end(), [n = number](auto &e) { return e.number == n; });
        ASSERT_NE(entry, stories.end()) << number;
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

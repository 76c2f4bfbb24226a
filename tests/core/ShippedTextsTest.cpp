#include "ExerciseWords.h"
#include "RtfReader.h"
#include "StoryLibrary.h"
#include "TestText.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

using namespace Qt::StringLiterals;

const QDir kData(QStringLiteral(BW_DATA_DIR));

TEST(StoryFiles, EveryStoryIsShippedAsWrappedPlainTextOfItsLength)
{
    std::array<int, 17> numbers{};
    for (const StoryEntry &entry : allStories()) {
        SCOPED_TRACE(entry.title);
        ++numbers.at(static_cast<std::size_t>(entry.number));
        QFile raw(kData.filePath(storyFileName(entry)));
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly)) << "missing story file";
        const QByteArray bytes = raw.readAll();
        EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) {
            return c == '\n' || (c >= 0x20 && c < 0x7f);
        })) << "not plain ASCII text";
        const auto lines = readTextFileLines(raw.fileName());
        ASSERT_TRUE(lines.has_value() && lines->size() >= 3);
        EXPECT_EQ(lines->at(0), QString::fromLatin1(entry.title));
        EXPECT_TRUE(lines->at(1).isEmpty());
        for (qsizetype i = 0; i < lines->size(); ++i) {
            EXPECT_LE(lines->at(i).size(), 72) << lines->at(i).toStdString();
            EXPECT_FALSE(lines->at(i).endsWith(u' ')) << lines->at(i).toStdString();
            EXPECT_FALSE(i > 0 && lines->at(i).isEmpty() && lines->at(i - 1).isEmpty()) << "two empty lines";
        }
        const bool longer = std::any_of(kLongerClassics.begin(), kLongerClassics.end(),
                                        [&entry](const StoryEntry &e) { return e.number == entry.number; });
        const auto words =
            QString::fromLatin1(bytes).split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts).size();
        EXPECT_GE(words, longer ? 2500 : 1200);
        EXPECT_LE(words, longer ? 3500 : 2000);
    }
    EXPECT_EQ(std::count(numbers.begin() + 1, numbers.end(), 1), 16) << "numbers 1 to 16, each once";
}

// A cheap guard that the stories and their questions agree: each story's text holds the words that the
// right answers of its test depend on (phrases joined by '|').
TEST(StoryFiles, EachStoryHoldsTheWordsItsRightAnswersNeed)
{
    const char *const words[] = {
        "one door|Murlock|about fifty|full beard|panther",
        "Canal Street|corkboard|birthdays|room for me in Sheffield|painted green",
        "top shelf|horseshoe nail|Kroll|another year|two hundred gulden",
        "Kenya|growing coffee|gauges for boilers|carrying cotton|nine shillings",
        "mother's wedding ring|Volvo|thirty-one years old|ditch|tinsel halo",
        "Ropewalk Lane|lemon cake|accountant|for the box|Corran Bay",
        "twelve seasons|leisure centre in Brightmoor|Monday and Wednesday evenings|Saturday mornings|"
        "Nine until twelve|ten-year-old called Hattie",
        "on the shoulder|Sala River|ripe grass seed|four hundred and seven|think about it",
        "given them to Lorna|double crown|old shoe repair|barber in Dundalk|eight dollars",
        "postman|bought her in 1983|Mindanao|iron stairs and a bucket",
        "eighty-three|nursery in Worcester|Twelve of the sixteen|flushed pink at the edge",
        "ferry's off with the wind|twenty-five minutes|Rioja from a supermarket in Inverness|corner of the "
        "step|"
        "post office",
        "forty-one thousand dollars|express car washes|nine degrees|ledger|Bobby Tran",
        "bus|Tuesday afternoon|her own cell phone number|apple tree|ninety-one degrees",
        "chemist|Roman Holiday|nightdress, a hairbrush|Jubilee Close|ironmonger's on Dock Road",
        "Silas Kote|ten pence|stubs of broken oak dowel|two pounds four shillings|Customs House",
    };
    for (const StoryEntry &entry : allStories()) {
        SCOPED_TRACE(entry.title);
        ASSERT_TRUE(entry.number >= 1 && entry.number <= 16);
        const auto lines = readTextFileLines(kData.filePath(storyFileName(entry)));
        ASSERT_TRUE(lines.has_value());
        // Phrases may be broken across lines.
        const QString text = lines->join(QLatin1Char(' ')).simplified();
        for (const QString &w : QString::fromLatin1(words[entry.number - 1]).split(u'|'))
            EXPECT_TRUE(text.contains(w, Qt::CaseInsensitive)) << w.toStdString();
    }
}

TEST(LessonDocuments, ReadIntoHeadedTextsOfLessonLengthNamingTheProgramsCaptions)
{
    const std::pair<const char *, const char *> lessons[] = {
        {"Introduction.rtf", "Lessons & Instructions|Short Stories|Charts|Controls|Stop Reading"},
        {"Tachistoscope.rtf", "Format Text|Start Read|Pause Read|Cancel Read|Change Font|Indent"},
        {"Horizontal.rtf",
         "Start Read|Reset Text|Number of Fixations|Adjust Speed|Text Visibility|Change Font"},
        {"Vertical.rtf", "Start Read|Reset Text|Down Sweep|Number of Fixations|Text Visibility"},
        {"MakeText.rtf", "Format Text|Save to File|Send Text To|Indent Paragraph|Width of Lines"},
    };
    for (const auto &[file, captions] : lessons) {
        SCOPED_TRACE(file);
        const auto doc = readRtfFile(kData.filePath(QString::fromLatin1(file)));
        ASSERT_TRUE(doc.has_value());
        EXPECT_TRUE(doc->hasHeader && doc->complete);
        auto heading = [](const RtfParagraph &p) {
            return !p.runs.isEmpty() && p.runs.front().format.bold && p.runs.front().format.halfPoints >= 28;
        };
        EXPECT_GE(std::count_if(doc->paragraphs.begin(), doc->paragraphs.end(), heading), 4) << "headings";
        const QString text = doc->plainText();
        const auto words = text.split(QRegularExpression(u"[^A-Za-z0-9’']+"_s), Qt::SkipEmptyParts).size();
        EXPECT_TRUE(words >= 400 && words <= 900) << words << " words";
        // Syntax the reader does not know would show up as stray backslashes or braces.
        EXPECT_FALSE(text.contains(u'\\') || text.contains(u'{') || text.contains(u'}'));
        for (const QString &caption : QString::fromUtf8(captions).split(u'|'))
            EXPECT_TRUE(text.contains(caption)) << caption.toStdString();
    }
}

TEST(ExerciseWords, EveryGroupHoldsTenDistinctLookAlikesOfItsLetter)
{
    std::set<QString> seen;
    QStringList zGroup;
    for (int g = 1; g <= kExerciseGroupCount; ++g) {
        for (int w = 1; w <= kExerciseGroupSize; ++w) {
            const QString word = exerciseWord(g, w);
            SCOPED_TRACE(word.toStdString());
            EXPECT_EQ(word.front(), QChar(u'z' - (g - 1))) << "group " << g;
            // The z group is fixed and ends on two "zo" words.
            EXPECT_TRUE(g == 1 || word.left(2) == exerciseWord(g, 1).left(2)) << "group " << g;
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^[a-z]{5,12}$")).match(word).hasMatch());
            EXPECT_TRUE(seen.insert(word).second) << "duplicate";
            if (g == 1)
                zGroup.append(word);
        }
    }
    EXPECT_EQ(zGroup.join(u' '), u"zymogram zymosan zymase zygospore zygosity zygomatic zygomas zygodactyl "
                                 "zoonotic zoophilic"_s);
    const int outside[][2] = {{0, 1}, {27, 1}, {1, 0}, {1, 11}};
    for (const auto &[group, word] : outside)
        EXPECT_TRUE(exerciseWord(group, word).isEmpty()) << group << "," << word;
}

#include "ExerciseWords.h"
#include "RtfReader.h"
#include "StoryLibrary.h"
#include "TachiEngine.h"
#include "TachiText.h"
#include "TestText.h"
#include "TextFile.h"
#include "VertPacer.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <set>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

const QDir kData(QStringLiteral(BW_DATA_DIR));

namespace {

// Words per minute of a reading of `story` at `setting` ("tachi WIDTH FLASH", "horiz K MS" or
// "vert F D MS SWEEP_MS"): the engine's words over the time its timers take from Start Read (the first tick
// comes an interval later) to the tick that ends the reading, in a reader of 20 lines of 18 pixels.
double engineWpm(const StoryEntry &story, const QString &setting)
{
    const QStringList lines = readTextFileLines(kData.filePath(storyFileName(story))).value_or(QStringList());
    const QStringList settings = setting.split(u' ');
    const auto n = [&settings](int i) { return settings.value(i).toInt(); };
    const HorizMetrics metrics{[](const QString &s) { return static_cast<int>(s.size()) * 7; }, 18};
    double ms = 0, words = 0;
    const auto pace = [&ms](auto &pacer, const auto &in) {
        for (auto t = pacer.tick(in); !t.finished && ms < 1e8; t = pacer.tick(in))
            ms += t.interval;
    };
    if (settings[0] == u"tachi") {
        MemoLines memo = memoOf(72, lines);
        reflowTachiText(memo);
        words = tachiTextWords(memo.lines());
        TTachiEngine engine;
        engine.start(buildFlashText(memo.lines()));
        for (ms = n(2); engine.tick(n(1)).kind != TachiFlash::Kind::End && ms < 1e8;)
            ms += n(2);
    } else if (settings[0] == u"horiz") {
        HorizPacer pacer(LayoutHorizontalText(lines, n(1)), metrics);
        words = pacer.text().WordCount;
        ms = n(2);
        pace(pacer, HorizTickInput{360, n(2), 2});
    } else {
        VertPacer pacer(LayoutVerticalText(lines, n(1)), n(2), metrics);
        words = pacer.text().WordCount;
        ms = n(3);
        pacer.start();
        pace(pacer, VertTickInput{360, n(3), n(4)});
    }
    return words * 60000 / ms;
}

// The text a file shows, its line breaks as spaces: a phrase may be broken across lines.
QString documentText(const QString &name)
{
    QFile file(kData.filePath(name));
    if (name.endsWith(u".rtf") || !file.open(QIODevice::ReadOnly))
        return readRtfFile(file.fileName()).value_or(RtfDocument()).plainText().simplified();
    return QString::fromUtf8(file.readAll()).remove(QRegularExpression(u"<[^>]*>"_s)).simplified();
}

} // namespace

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

// The lessons read as headed texts of lesson length. Every phrase of ShippedPhrases.tsv is in its file, and a
// speed quoted for a setting lies within 5 % of the median over the stories of what the engine gives there.
TEST(ShippedTexts, LessonsReadWellAndEveryFileHoldsItsPhrasesAndTheEnginesSpeeds)
{
    for (const char *file :
         {"Introduction.rtf", "Tachistoscope.rtf", "Horizontal.rtf", "Vertical.rtf", "MakeText.rtf"}) {
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
    }
    QFile table(QStringLiteral(BW_SHIPPED_PHRASES));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly | QIODevice::Text));
    int speeds = 0;
    while (!table.atEnd()) {
        const QStringList row = QString::fromUtf8(table.readLine()).trimmed().split(u'\t');
        if (row[0].startsWith(u'#'))
            continue;
        SCOPED_TRACE(row.join(u" | ").toStdString());
        EXPECT_TRUE(documentText(row[0]).contains(row.value(1, u"?"_s))) << "not in the file";
        if (row.size() != 4)
            continue;
        ++speeds;
        std::vector<double> wpm;
        for (const StoryEntry &story : allStories())
            wpm.push_back(engineWpm(story, row[2]));
        std::sort(wpm.begin(), wpm.end());
        const double median = (wpm[(wpm.size() - 1) / 2] + wpm[wpm.size() / 2]) / 2;
        EXPECT_TRUE(row[1].contains(row[3])) << "the phrase does not quote the speed";
        EXPECT_NEAR(row[3].toDouble(), median, median * 0.05) << "range " << wpm.front() << "-" << wpm.back();
    }
    EXPECT_GE(speeds, 20);
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

namespace {

// Letters inserted, deleted or replaced to turn `a` into `b`.
int editDistance(std::string_view a, std::string_view b)
{
    std::vector<int> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= b.size(); ++j)
            diagonal = std::exchange(
                row[j], std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)}));
    }
    return row.back();
}

} // namespace

TEST(ExerciseWords, EveryGroupIsAboutAsHardToTellApartAsAnother)
{
    const std::tuple<std::string_view, std::string_view, int> known[] = {{"insect", "insert", 1},
                                                                         {"except", "excerpt", 1},
                                                                         {"kitten", "sitting", 3},
                                                                         {"flaw", "lawn", 2},
                                                                         {"", "abc", 3}};
    for (const auto &[a, b, edits] : known)
        EXPECT_EQ(editDistance(a, b), edits) << a << " " << b;

    // The three words offered are drawn at random from one group, so a group with few look-alike pairs
    // would make an easy item and one with many a hard one. The first group is fixed as it is.
    std::vector<int> lookAlikes;
    for (std::size_t g = 1; g < ExerciseWords.size(); ++g) {
        const TExerciseGroup &group = ExerciseWords[g];
        int pairs = 0;
        for (std::size_t i = 0; i < group.size(); ++i)
            for (std::size_t j = i + 1; j < group.size(); ++j)
                pairs += editDistance(group[i], group[j]) <= 2 ? 1 : 0;
        EXPECT_GE(pairs, 3) << "group " << g + 1;
        lookAlikes.push_back(pairs);
    }
    const auto [fewest, most] = std::minmax_element(lookAlikes.begin(), lookAlikes.end());
    EXPECT_LE(*most, 3 * *fewest);
}

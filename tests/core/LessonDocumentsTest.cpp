#include "RtfChecks.h"
#include "RtfReader.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString dataPath(const char *name)
{
    return QDir(QStringLiteral(BW_DATA_DIR)).filePath(QString::fromLatin1(name));
}

const char *const kLessonFiles[] = {"Introduction.rtf", "Tachistoscope.rtf", "Horizontal.rtf", "Vertical.rtf",
                                    "MakeText.rtf"};

TEST(RtfReader, MutatedLessonsGiveASoundDocument)
{
    QRandomGenerator rng(7);
    for (const char *name : kLessonFiles) {
        QFile f(dataPath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray original = f.readAll();
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes = original;
            for (int edits = rng.bounded(1, 12); edits > 0 && !bytes.isEmpty(); --edits) {
                const int at = rng.bounded(int(bytes.size()));
                switch (rng.bounded(3)) {
                case 0:
                    bytes[at] = static_cast<char>(rng.bounded(256));
                    break;
                case 1:
                    bytes.remove(at, rng.bounded(1, 40));
                    break;
                default:
                    bytes.insert(at, "{}\\"[rng.bounded(3)]);
                    break;
                }
            }
            expectSound(parseRtf(bytes), bytes.size());
            ASSERT_FALSE(::testing::Test::HasFatalFailure()) << name << " round " << round;
        }
    }
}

// A file cut off before a control sequence or a brace shows the start of what the whole file shows.
TEST(RtfReader, TruncatedLessonShowsAPrefixOfTheWhole)
{
    QRandomGenerator rng(11);
    for (const char *name : kLessonFiles) {
        QFile f(dataPath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray whole = f.readAll();
        const QString full = parseRtf(whole).plainText();
        for (int round = 0; round < 60; ++round) {
            qsizetype cut = rng.bounded(int(whole.size()));
            while (cut > 0 && whole[cut] != '\\' && whole[cut] != '{' && whole[cut] != '}')
                --cut;
            const RtfDocument part = parseRtf(whole.first(cut));
            EXPECT_FALSE(part.complete) << name << " cut at " << cut;
            EXPECT_TRUE(full.startsWith(part.plainText())) << name << " cut at " << cut;
        }
    }
}

TEST(RtfReader, MissingOrOversizedFileIsRefused)
{
    EXPECT_FALSE(readRtfFile(dataPath("no such lesson.rtf")).has_value());
}

struct Lesson
{
    const char *file;
    QStringList mustMention; // the program's own captions the lesson tells the user to use
};

TEST(LessonDocuments, ParseIntoHeadedTextsOfLessonLength)
{
    const Lesson lessons[] = {
        {"Introduction.rtf", {"Lessons & Instructions", "Short Stories", "Charts", "Controls"}},
        {"Tachistoscope.rtf",
         {"Format Text", "Start Read", "Pause Read", "Cancel Read", "Change Font", "Indent"}},
        {"Horizontal.rtf",
         {"Start Read", "Reset Text", "Number of Fixations", "Adjust Speed", "Text Visibility",
          "Change Font"}},
        {"Vertical.rtf",
         {"Start Read", "Reset Text", "Down Sweep", "Number of Fixations", "Text Visibility"}},
        {"MakeText.rtf",
         {"Format Text", "Save to File", "Send Text To", "Indent Paragraph", "Width of Lines"}},
    };
    static const QRegularExpression kWord(QStringLiteral("[A-Za-z0-9’']+"));
    for (const Lesson &lesson : lessons) {
        const auto doc = readRtfFile(dataPath(lesson.file));
        ASSERT_TRUE(doc.has_value()) << lesson.file;
        EXPECT_TRUE(doc->hasHeader && doc->complete) << lesson.file;

        int headings = 0;
        for (const RtfParagraph &p : doc->paragraphs) {
            if (!p.runs.isEmpty() && p.runs.front().format.bold && p.runs.front().format.halfPoints >= 28)
                ++headings;
        }
        EXPECT_GE(headings, 4) << lesson.file;

        const QString text = doc->plainText();
        int words = 0;
        for (auto it = kWord.globalMatch(text); it.hasNext(); it.next())
            ++words;
        EXPECT_GE(words, 400) << lesson.file;
        EXPECT_LE(words, 900) << lesson.file;
        // Syntax the reader does not know would show up as stray backslashes or braces.
        EXPECT_FALSE(text.contains(u'\\') || text.contains(u'{') || text.contains(u'}')) << lesson.file;
        for (const QString &caption : lesson.mustMention)
            EXPECT_TRUE(text.contains(caption)) << lesson.file << ": " << caption.toStdString();
    }
}

} // namespace

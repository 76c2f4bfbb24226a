#include "RtfReader.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct Lesson
{
    const char *file;
    QStringList mustMention; // the program's own captions the lesson tells the user to use
};

TEST(LessonDocuments, ReadIntoHeadedTextsOfLessonLength)
{
    const Lesson lessons[] = {
        {"Introduction.rtf",
         {"Lessons & Instructions", "Short Stories", "Charts", "Controls", "Stop Reading"}},
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
        const auto doc =
            readRtfFile(QDir(QStringLiteral(BW_DATA_DIR)).filePath(QString::fromLatin1(lesson.file)));
        ASSERT_TRUE(doc.has_value()) << lesson.file;
        EXPECT_TRUE(doc->hasHeader && doc->complete) << lesson.file;

        const auto headings =
            std::count_if(doc->paragraphs.begin(), doc->paragraphs.end(), [](const auto &p) {
                return !p.runs.isEmpty() && p.runs.front().format.bold &&
                       p.runs.front().format.halfPoints >= 28;
            });
        EXPECT_GE(headings, 4) << lesson.file;

        const QString text = doc->plainText();
        int words = 0;
        for (auto it = kWord.globalMatch(text); it.hasNext(); it.next())
            ++words;
        EXPECT_TRUE(words >= 400 && words <= 900) << lesson.file << ": " << words << " words";
        // Syntax the reader does not know would show up as stray backslashes or braces.
        EXPECT_FALSE(text.contains(u'\\') || text.contains(u'{') || text.contains(u'}')) << lesson.file;
        for (const QString &caption : lesson.mustMention)
            EXPECT_TRUE(text.contains(caption)) << lesson.file << ": " << caption.toStdString();
    }
}

} // namespace

#include "ComprehensionTest.h"
#include "QuestionBank.h"
#include "StoryLibrary.h"
#include "TestText.h"
#include "TextFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// A question and its three choices, as the question files write them, followed by the right choice (1..3).
QStringList bankQuestion(int story, int q)
{
    const auto s = static_cast<std::size_t>(story - 1), at = static_cast<std::size_t>(q);
    QStringList out{QString::fromLatin1(TestQuestions[s][at])};
    for (std::size_t c = 0; c < 3; ++c)
        out << QString::fromLatin1(TestChoices[s][3 * at + c]);
    return out << QString::number(AnswerKey[s][at]);
}

} // namespace

TEST(QuestionBankContent, BankMatchesItsQuestionFiles)
{
    for (int story = 1; story <= 16; ++story) {
        SCOPED_TRACE(story);
        const auto lines =
            readTextFileLines(QDir(QStringLiteral(BW_QUESTIONS_DIR))
                                  .filePath(QStringLiteral("%1.txt").arg(story, 2, 10, QLatin1Char('0'))));
        ASSERT_TRUE(lines.has_value());
        QStringList bank; // the bank written as the files write it
        for (int q = 0; q < questionCountFor(story); ++q) {
            const QStringList item = bankQuestion(story, q);
            bank << u"Q: " + item[0] << u"1: " + item[1] << u"2: " + item[2] << u"3: " + item[3];
        }
        EXPECT_EQ(lines->filter(QRegularExpression(QStringLiteral("^(Q|\\d): "))), bank);
    }
}

// Four or five questions a story, each with a key and three choices never repeated within the story. A
// test-wise reader who always takes the longest (or the shortest) choice does little better than chance: at
// most about a third of a story's answers, and a third over the whole bank (story 1's test is shipped word
// for word as it has always been, so only the whole-bank limit applies to it). A word of the title in the
// right choice is in some wrong choice too, so the title alone does not single it out.
TEST(QuestionBankContent, TheShapeOfTheChoicesDoesNotGiveTheAnswerAway)
{
    int longest = 0, shortest = 0, total = 0;
    for (const StoryEntry &entry : allStories()) {
        const int story = entry.number;
        SCOPED_TRACE(story);
        const int count = questionCountFor(story);
        ASSERT_TRUE(count == 4 || count == 5);
        QStringList titleWords;
        for (const QString &w : QString::fromLatin1(entry.title).toLower().split(u' ', Qt::SkipEmptyParts)) {
            if (w.size() >= 4 && !QStringList{"that", "these", "days"}.contains(w))
                titleWords << QRegularExpression::escape(w);
        }
        const QRegularExpression title(QStringLiteral("\\b(") + titleWords.join(u'|') + u')',
                                       QRegularExpression::CaseInsensitiveOption);
        QStringList seen;
        int storyLongest = 0, storyShortest = 0;
        for (int q = 0; q < count; ++q) {
            const QStringList item = bankQuestion(story, q);
            const int right = item[4].toInt();
            ASSERT_TRUE(right >= 1 && right <= 3) << item[0].toStdString();
            for (const QString &c : item.mid(1, 3)) {
                const QString norm =
                    c.trimmed().toLower().remove(QRegularExpression(QStringLiteral("[.!?]+$")));
                EXPECT_FALSE(norm.isEmpty() || seen.contains(norm)) << c.toStdString();
                seen << norm;
            }
            const qsizetype r = item[right].size(), a = item[right % 3 + 1].size(),
                            b = item[(right + 1) % 3 + 1].size();
            storyLongest += r > a && r > b;
            storyShortest += r < a && r < b;
            const auto mentions = [&](int c) { return !titleWords.isEmpty() && item[c].contains(title); };
            EXPECT_TRUE(!mentions(right) || mentions(right % 3 + 1) || mentions((right + 1) % 3 + 1))
                << item[0].toStdString();
        }
        if (story != 1) {
            EXPECT_LE(storyLongest, (count + 1) / 3); // 4 questions: 1, 5 questions: 2
            EXPECT_LE(storyShortest, (count + 1) / 3);
        }
        longest += storyLongest;
        shortest += storyShortest;
        total += count;
    }
    EXPECT_LE(3 * longest, total) << longest << " of " << total;
    EXPECT_LE(3 * shortest, total) << shortest << " of " << total;
}

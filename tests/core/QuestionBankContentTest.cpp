#include "ComprehensionTest.h"
#include "QuestionBank.h"
#include "StoryLibrary.h"
#include "TestText.h"
#include "TextFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

// Content rules for the comprehension tests: a reader who has not read the story must not be able to pick
// the answers from the shape of the choices, and the compiled bank must be the one its question files say.

namespace {

struct Question
{
    QString text;
    std::array<QString, 3> choices;
    int key = 0; // 1..3
};

// Story 1's test is shipped word for word as it has always been, so the length rule leaves it alone.
constexpr int kVerbatimStory = 1;

std::vector<Question> bankQuestions(int story)
{
    const auto s = static_cast<std::size_t>(story - 1);
    std::vector<Question> out;
    for (int q = 0; q < questionCountFor(story); ++q) {
        Question item;
        item.text = QString::fromLatin1(TestQuestions[s][static_cast<std::size_t>(q)]);
        for (int c = 0; c < 3; ++c)
            item.choices[static_cast<std::size_t>(c)] =
                QString::fromLatin1(TestChoices[s][static_cast<std::size_t>(3 * q + c)]);
        item.key = AnswerKey[s][static_cast<std::size_t>(q)];
        out.push_back(item);
    }
    return out;
}

QString titleOf(int story)
{
    for (const StoryEntry &e : allStories())
        if (e.number == story)
            return QString::fromLatin1(e.title);
    return QString();
}

// Where the right choice stands by length among the three: 1 longer than both, -1 shorter than both, else 0.
int rightRank(const Question &q)
{
    const auto len = [&](int c) { return q.choices[static_cast<std::size_t>(c % 3)].size(); };
    const int right = q.key - 1;
    const qsizetype a = len(right + 1), b = len(right + 2), r = len(right);
    return r > a && r > b ? 1 : r < a && r < b ? -1 : 0;
}

QSet<QString> titleWords(const QString &title)
{
    static const QSet<QString> common = {QStringLiteral("that"), QStringLiteral("these"),
                                         QStringLiteral("days")};
    QSet<QString> words;
    for (const QString &w : title.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (w.size() >= 4 && !common.contains(w))
            words.insert(w);
    return words;
}

bool mentionsAny(const QString &text, const QSet<QString> &words)
{
    const QString lower = text.toLower();
    for (const QString &w : words)
        if (lower.contains(QRegularExpression(QStringLiteral("\\b") + w)))
            return true;
    return false;
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
        std::vector<Question> fromFile;
        int choice = 0;
        for (const QString &line : *lines) {
            if (line.startsWith(QStringLiteral("Q: "))) {
                fromFile.push_back({line.mid(3), {}, 0});
                choice = 0;
            } else if (line.size() > 3 && line.mid(1, 2) == QStringLiteral(": ") && !fromFile.empty()) {
                ASSERT_LT(choice, 3) << line.toStdString();
                ASSERT_EQ(line.at(0).digitValue(), choice + 1) << line.toStdString();
                fromFile.back().choices[static_cast<std::size_t>(choice++)] = line.mid(3);
            }
        }
        const auto bank = bankQuestions(story);
        ASSERT_EQ(fromFile.size(), bank.size());
        for (std::size_t q = 0; q < bank.size(); ++q) {
            EXPECT_EQ(fromFile[q].text.toStdString(), bank[q].text.toStdString());
            for (std::size_t c = 0; c < 3; ++c)
                EXPECT_EQ(fromFile[q].choices[c].toStdString(), bank[q].choices[c].toStdString());
        }
    }
}

TEST(QuestionBankContent, FourOrFiveQuestionsWithAKeyAndThreeDistinctChoicesNeverRepeatedInAStory)
{
    for (int story = 1; story <= 16; ++story) {
        SCOPED_TRACE(story);
        QSet<QString> seen;
        ASSERT_TRUE(questionCountFor(story) == 4 || questionCountFor(story) == 5);
        for (const Question &q : bankQuestions(story)) {
            ASSERT_TRUE(q.key >= 1 && q.key <= 3) << q.text.toStdString();
            for (const QString &c : q.choices) {
                const QString norm =
                    c.trimmed().toLower().remove(QRegularExpression(QStringLiteral("[.!?]+$")));
                EXPECT_FALSE(norm.isEmpty()) << q.text.toStdString();
                EXPECT_FALSE(seen.contains(norm)) << c.toStdString();
                seen.insert(norm);
            }
        }
    }
}

// A test-wise reader who always takes the longest (or the shortest) choice should do little better than
// chance: at most about a third of a story's answers, and at most a third over the whole bank.
TEST(QuestionBankContent, LengthDoesNotPointToTheAnswer)
{
    int longest = 0;
    int shortest = 0;
    int total = 0;
    for (int story = 1; story <= 16; ++story) {
        SCOPED_TRACE(story);
        const auto questions = bankQuestions(story);
        const int limit = (static_cast<int>(questions.size()) + 1) / 3; // 4 questions: 1, 5 questions: 2
        int storyLongest = 0;
        int storyShortest = 0;
        for (const Question &q : questions) {
            storyLongest += rightRank(q) == 1;
            storyShortest += rightRank(q) == -1;
        }
        if (story != kVerbatimStory) {
            EXPECT_LE(storyLongest, limit);
            EXPECT_LE(storyShortest, limit);
        }
        longest += storyLongest;
        shortest += storyShortest;
        total += static_cast<int>(questions.size());
    }
    EXPECT_LE(3 * longest, total) << longest << " of " << total;
    EXPECT_LE(3 * shortest, total) << shortest << " of " << total;
}

// If the right choice repeats a word of the story's title, some wrong choice must too, so that the title
// alone does not single it out.
TEST(QuestionBankContent, TitleDoesNotSingleOutTheAnswer)
{
    for (int story = 1; story <= 16; ++story) {
        const QSet<QString> words = titleWords(titleOf(story));
        for (const Question &q : bankQuestions(story)) {
            const auto &right = q.choices[static_cast<std::size_t>(q.key - 1)];
            if (!mentionsAny(right, words))
                continue;
            bool wrongToo = false;
            for (int c = 0; c < 3; ++c)
                if (c != q.key - 1)
                    wrongToo = wrongToo || mentionsAny(q.choices[static_cast<std::size_t>(c)], words);
            EXPECT_TRUE(wrongToo) << "story " << story << ": " << q.text.toStdString();
        }
    }
}

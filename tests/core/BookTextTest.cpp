#include "BookText.h"
#include "TextChars.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <random>

namespace {

// The words of a text, one a line; a word longer than a reader line as the pieces a line can hold.
std::string words(const QStringList &lines)
{
    QStringList out;
    for (const QString &w :
         lines.join(u' ').split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        for (int at = 0; at < w.size(); at += kReaderLineWidth)
            out.append(w.mid(at, kReaderLineWidth));
    }
    return out.join(u'\n').toStdString();
}

// A book of random paragraphs: words of 1 to 12 characters (now and then one longer than a line), with
// chapters now and then.
QStringList randomParagraphs(std::mt19937 &rng, QList<int> &chapters)
{
    QStringList paragraphs;
    const int count = 1 + static_cast<int>(rng() % 150);
    for (int p = 0; p < count; ++p) {
        if (rng() % 25 == 0)
            chapters.append(p);
        QString text;
        for (int w = 0, n = 1 + static_cast<int>(rng() % 120); w < n; ++w) {
            const int len =
                rng() % 300 == 0 ? 81 + static_cast<int>(rng() % 100) : 1 + static_cast<int>(rng() % 12);
            text += QString(len, QChar(u'a' + static_cast<char16_t>(rng() % 26))) + u' ';
        }
        paragraphs.append(text);
    }
    return paragraphs;
}

} // namespace

// Over random books and budgets: every word arrives once and in order, no line is longer than 80 characters,
// no part takes more than its budget, and the parts follow one another over the whole text.
TEST(BookText, PartsHoldEveryWordOnceWithinTheirBudget)
{
    std::mt19937 rng(20261208);
    for (int run = 0; run < 120; ++run) {
        QList<int> chapters;
        const QStringList paragraphs = randomParagraphs(rng, chapters);
        const ReaderLines text =
            run % 2 == 0 ? readerLinesFromParagraphs(paragraphs, chapters) : readerLinesFromFile(paragraphs);
        SCOPED_TRACE(testing::Message() << "run " << run);
        ASSERT_EQ(words(text.lines), words(paragraphs));
        for (const QString &line : text.lines)
            ASSERT_LE(charCount(line), kReaderLineWidth);
        const int wide = 20 + static_cast<int>(rng() % 60);
        const LineCost cost = run % 3 == 0 ? LineCost([](const QString &) { return 1; })
                                           : LineCost([wide](const QString &line) {
                                                 return std::max<int>(1, (charCount(line) + wide - 1) / wide);
                                             });
        const int budget = 50 + static_cast<int>(rng() % 1000);
        const QList<TextPart> parts = splitIntoParts(text, cost, budget);
        int next = 0;
        for (const TextPart &part : parts) {
            ASSERT_EQ(part.first, next);
            ASSERT_GT(part.count, 0);
            int taken = 0;
            for (int i = part.first; i < part.first + part.count; ++i)
                taken += cost(text.lines.at(i));
            ASSERT_LE(taken, budget);
            // A part that does not end the text ends where a paragraph or chapter begins, unless one
            // paragraph filled it.
            next = part.first + part.count;
        }
        ASSERT_EQ(next, text.lines.size());
    }
}

// {lines of the file, budget, first line of each part}: a cut falls where a paragraph begins, and at a
// chapter when one begins in the last quarter of the part.
TEST(BookText, PartsEndWherePassagesBegin)
{
    const auto para = [](int lines) { return QStringList(lines, QStringLiteral("a line of a paragraph")); };
    QStringList fourParagraphs;
    for (int p = 0; p < 4; ++p)
        fourParagraphs += para(3) << QString();
    const ReaderLines file = readerLinesFromFile(fourParagraphs);
    const auto firsts = [](const QList<TextPart> &parts) {
        QList<int> out;
        for (const TextPart &p : parts)
            out.append(p.first);
        return out;
    };
    const LineCost one = [](const QString &) { return 1; };
    EXPECT_EQ(firsts(splitIntoParts(file, one, 10)), (QList<int>{0, 8}));
    EXPECT_EQ(firsts(splitIntoParts(file, one, 3)), (QList<int>{0, 3, 4, 7, 8, 11, 12, 15}));
    EXPECT_EQ(firsts(splitIntoParts(ReaderLines{}, one, 10)), (QList<int>{0}));
    // Paragraphs of three lines and a blank; a chapter at paragraph 2 (line 8) and one at 5 (line 20).
    const ReaderLines book = readerLinesFromParagraphs(QStringList(7, QString(200, u'x')), {2, 5});
    EXPECT_EQ(book.chapterStarts, (QList<int>{8, 20}));
    EXPECT_EQ(firsts(splitIntoParts(book, one, 22)), (QList<int>{0, 20}));
    EXPECT_EQ(firsts(splitIntoParts(book, one, 10)), (QList<int>{0, 8, 16, 24}));
    // A line within the width stays as it is, indent and inner spaces included; a longer one wraps.
    EXPECT_EQ(wrapReaderLine(QStringLiteral("   An  indented line ")), QStringList{"   An  indented line "});
    EXPECT_EQ(wrapReaderLine(QString(85, u'w')), (QStringList{QString(80, u'w'), QString(5, u'w')}));
    EXPECT_EQ(wrapReaderLine(QStringLiteral("aaa bbb ccc"), 8), (QStringList{"aaa bbb", "ccc"}));
}

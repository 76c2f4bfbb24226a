#include "TachiEngine.h"
#include "TachiText.h"
#include "TestText.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

// Runs a reading to its end and writes each flash as the display shows it, joined by '|': "[piece]", "-"
// for a blank flash, "END" for the end.
QString runToEnd(const QString &flashText, int width)
{
    TTachiEngine engine;
    engine.start(flashText);
    QStringList shown;
    for (int i = 0; i < 10000; ++i) {
        const TachiFlash f = engine.tick(width);
        if (f.kind == TachiFlash::Kind::End)
            return (shown << QStringLiteral("END")).join(u'|');
        shown.append(f.kind == TachiFlash::Kind::Blank ? QStringLiteral("-") : u'[' + f.text + u']');
    }
    return QStringLiteral("no end");
}

// Prose of words of 1 to 12 characters (some outside the Basic Multilingual Plane) with what troubles the
// clean-up: runs of empty lines, lines of spaces, "****" lines, indents, tabs, and a text ending in any of
// them.
QString randomText(std::mt19937 &rng)
{
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJ.,;:'!?-*\u00e9");
    const QString odd[] = {QString(), QStringLiteral(" "), QStringLiteral("   "), QStringLiteral("****"),
                           QStringLiteral("  ****  ")};
    QStringList lines;
    for (int i = 0, count = 5 + static_cast<int>(rng() % 40); i < count; ++i) {
        if (rng() % 10 < 3) {
            lines.append(odd[rng() % 5]);
            continue;
        }
        QString line(static_cast<int>(rng() % 4), u' ');
        for (int w = 0, words = 1 + static_cast<int>(rng() % 14); w < words; ++w) {
            for (int c = 0, n = 1 + static_cast<int>(rng() % 12); c < n; ++c)
                line += rng() % 40 == 0 ? QString::fromUcs4(U"\U0001F600")
                                        : QString(letters.at(static_cast<qsizetype>(rng() % letters.size())));
            line += rng() % 15 == 0 ? u'\t' : u' ';
        }
        lines.append(line);
    }
    return lines.join(u'\n');
}

QStringList wordsOf(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

} // namespace

TEST(TachiEngine, PieceLengthProbesForwardThenBackwardNearTheWidth)
{
    const std::tuple<const char *, QString, int, int, int> cases[] = {
        {"space right at W", QStringLiteral("abcdefghijkl mno"), 1, 12, 12},
        {"forward wins over backward at the same k", QStringLiteral("aaaaaaaaaa bbb cccc"), 1, 12, 14},
        {"backward when forward has none", "aaaaaaa " + QString(50, u'b'), 1, 12, 7},
        {"backward stops short of pieces under 2", "a " + QString(60, u'b'), 1, 8, 8},
        {"a word with no space near is cut at W", QString(100, u'x'), 1, 12, 12},
        {"a space 30 ahead is still found", QString(42, u'x') + QStringLiteral(" y"), 1, 12, 42},
    };
    for (const auto &[what, text, pos, width, length] : cases)
        EXPECT_EQ(TTachiEngine::pieceLength(text, pos, width), length) << what;
}

// Texts given as lines joined by '|'. The cases with an indent of 0 or more are reflowed and indented first:
// those once flashed part of a marker (a text ending in a "****" paragraph, breaks in a row in one piece).
TEST(TachiEngine, FlashesPiecesWithOneBlankAtEachBreakNeverAMarkerAndEndsAtTheEndBlock)
{
    const std::tuple<const char *, QString, int, int, QString> cases[] = {
        {"the fox", "The quick brown fox jumps over the lazy dog. ", 12, -1,
         "[The quick brown]|[ fox jumps]|[ over the lazy]|[ dog. ]|END"},
        {"the piece ends before a break", "One two three ||Four five six ", 12, -1,
         "[One two three]|-|[  Four five]|[ six ]|END"},
        {"two empty lines are one break", "One two three |||Four five six ", 12, -1,
         "[One two three]|-|[   Four]|[ five six ]|END"},
        {"a break inside a piece cuts it", "Word. ||Next words are here ", 12, -1,
         "[Word. ]|-|[Next words are]|[ here ]|END"},
        {"a break at the start and in the piece", "|Title ||Text goes on ", 12, -1,
         "[ Title ]|-|[Text goes on]|[ ]|END"},
        {"the end block ends it", "Short text. ", 12, -1, "[Short text.]|[ ]|END"},
        {"ends in a **** paragraph", "One.||****||Two.||****", 12, 0, "[One. ]|-|[Two. ]|-|[]|END"},
        {"ends in a **** paragraph, indented", "One.||****||Two.||****", 12, 3,
         "[   One. ]|-|[   Two. ]|-|[]|END"},
        {"breaks in a row inside one piece", "Intro text.||****||****||****||****||Title of it", 16, 0,
         "[Intro text. ]|-|[Title of it ]|END"},
        {"a word with no space near is cut at W", QString(100, u'x') + " end ", 12, -1,
         QStringLiteral("[xxxxxxxxxxxx]|").repeated(5) + "[" + QString(40, u'x') + "]|[ end ]|END"},
    };
    for (const auto &[what, text, width, indent, flashes] : cases) {
        MemoLines memo = memoOf(40, text.split(u'|'));
        if (indent >= 0) {
            reflowTachiText(memo);
            indentTachiText(memo, indent);
        }
        EXPECT_EQ(runToEnd(buildFlashText(indent >= 0 ? memo.lines() : text.split(u'|')), width), flashes)
            << what;
    }

    TTachiEngine engine;
    engine.start(buildFlashText({"Short text. "}));
    engine.tick(12);
    EXPECT_FALSE(engine.endReached());
    engine.tick(12);
    EXPECT_TRUE(engine.endReached());
    EXPECT_EQ(engine.tick(12).progress, 100);
    EXPECT_EQ(engine.tickCount(), 3);
    // Progress counts all but the end block's tail, and is full from 99.8 %.
    for (const auto &[pos, percent] : {std::pair{1, 0}, {500, 50}, {994, 99}, {999, 100}})
        EXPECT_EQ(TTachiEngine::progressPercent(pos, 1105), percent) << pos;
    // Five characters a word, after the title line.
    EXPECT_EQ(tachiTextWords({"only the first line counts for nothing"}), 0.0);
    EXPECT_EQ(tachiTextWords({"0123456789", "01234", "0123", "0123456789a", ""}), 3.0);
}

// Over many random texts, box widths, fixation widths and indents: no flash ever shows a marker or half a
// character, the flashes carry exactly the words of the text in order, and the reading ends.
TEST(TachiProperty, FlashesShowEveryWordOnceAndNoMarker)
{
    std::mt19937 rng(1207);
    for (int run = 0; run < 1500; ++run) {
        const int width = 8 + static_cast<int>(rng() % 19);
        const int indent = static_cast<int>(rng() % 6);
        const QString source = randomText(rng);
        MemoLines memo = memoOf(20 + static_cast<int>(rng() % 100), {source});
        reflowTachiText(memo);
        indentTachiText(memo, indent);
        SCOPED_TRACE(testing::Message() << "run " << run << " W " << width << " indent " << indent << "\n"
                                        << source.toStdString());

        // An empty line stands between paragraphs; the other lines carry their own spaces.
        const QStringList lines = memo.lines();
        QString formatted;
        for (const QString &line : lines)
            formatted += line.isEmpty() ? QStringLiteral(" ") : line;

        TTachiEngine engine;
        engine.start(buildFlashText(lines));
        QStringList flashedWords;
        bool ended = false;
        for (int tick = 0; tick < 20000 && !ended; ++tick) {
            const TachiFlash f = engine.tick(width);
            ended = f.kind == TachiFlash::Kind::End;
            ASSERT_FALSE(f.text.contains(u'^') || f.text.contains(u'@') || !f.text.isValidUtf16())
                << "flash [" << f.text.toStdString() << "]";
            flashedWords += wordsOf(f.text);
        }
        ASSERT_TRUE(ended);
        ASSERT_EQ(flashedWords, wordsOf(formatted));
        ASSERT_EQ(wordsOf(formatted), wordsOf(QString(source).remove(QStringLiteral("****"))));
    }
}

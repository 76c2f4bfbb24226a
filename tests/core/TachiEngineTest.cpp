#include "TachiEngine.h"
#include "TachiText.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using Kind = TachiFlash::Kind;

// Runs a reading to its end and writes each flash as the display shows it: "[piece]", "-" for a blank flash,
// "END" for the end.
QStringList runToEnd(const QString &flashText, int width, int limit = 10000)
{
    TTachiEngine engine;
    engine.start(flashText);
    QStringList shown;
    for (int i = 0; i < limit; ++i) {
        const TachiFlash f = engine.tick(width);
        if (f.kind == Kind::End) {
            shown.append(QStringLiteral("END"));
            return shown;
        }
        shown.append(f.kind == Kind::Blank ? QStringLiteral("-")
                                           : QLatin1Char('[') + f.text + QLatin1Char(']'));
    }
    shown.append(QStringLiteral("no end"));
    return shown;
}

const QString kFox = QStringLiteral("The quick brown fox jumps over the lazy dog. ");

} // namespace

TEST(TachiEngine, PieceLengthProbesForwardThenBackwardNearTheWidth)
{
    const std::tuple<const char *, QString, int, int, int> cases[] = {
        // At k = 2 position 11 is 'b'; at k = 3 the forward probe, position 16, is the space.
        {"first piece of the fox", kFox, 1, 12, 15},
        {"second piece of the fox, forward at k = 3", kFox, 11, 12, 15},
        {"space right at W", QStringLiteral("abcdefghijkl mno"), 1, 12, 12},
        {"forward wins over backward at the same k", QStringLiteral("aaaaaaaaaa bbb cccc"), 1, 12, 14},
        {"backward when forward has none",
         QStringLiteral("aaaaaaa bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"), 1, 12, 7},
        {"backward stops short of pieces under 2",
         QString(QStringLiteral("a ")) + QString(60, QLatin1Char('b')), 1, 8, 8},
        {"no space within 30 either side: cut at W", QString(100, QLatin1Char('x')), 1, 12, 12},
        {"a space 30 ahead is still found", QString(42, QLatin1Char('x')) + QStringLiteral(" y"), 1, 12, 42},
    };
    for (const auto &[what, text, pos, width, length] : cases)
        EXPECT_EQ(TTachiEngine::pieceLength(text, pos, width), length) << what;
}

TEST(TachiEngine, FlashesTheFoxInPieces)
{
    const QStringList shown = runToEnd(buildFlashText({kFox}), 12);
    EXPECT_EQ(shown,
              (QStringList{"[The quick brown]", "[ fox jumps]", "[ over the lazy]", "[ dog. ]", "END"}));
}

TEST(TachiEngine, ParagraphBreaksGiveOneBlankFlash)
{
    // The piece ends just before " ^^": one blank flash follows, and the marker never shows.
    EXPECT_EQ(runToEnd(buildFlashText({"One two three ", "", "Four five six "}), 12),
              (QStringList{"[One two three]", "-", "[  Four five]", "[ six ]", "END"}));
    // Two empty lines in a row are one break.
    EXPECT_EQ(runToEnd(buildFlashText({"One two three ", "", "", "Four five six "}), 12),
              (QStringList{"[One two three]", "-", "[   Four]", "[ five six ]", "END"}));
    // A break inside a piece cuts it there; the next piece starts after the break.
    EXPECT_EQ(runToEnd(buildFlashText({"Word. ", "", "Next words are here "}), 12),
              (QStringList{"[Word. ]", "-", "[Next words are]", "[ here ]", "END"}));
    // A one-line paragraph whose piece also holds the next break.
    TTachiEngine engine;
    engine.start(QStringLiteral("^^ Title ^^ Text goes on ") + tachiEndBlock());
    EXPECT_EQ(engine.tick(12).text, QStringLiteral(" Title "));
    EXPECT_TRUE(engine.blankNext());
    EXPECT_EQ(engine.flashPos(), 13);
}

TEST(TachiEngine, EndsAfterThePieceThatReachesTheEndBlock)
{
    EXPECT_EQ(runToEnd(buildFlashText({"Short text. "}), 12), (QStringList{"[Short text.]", "[ ]", "END"}));
    TTachiEngine engine;
    engine.start(buildFlashText({"Short text. "}));
    engine.tick(12);
    EXPECT_FALSE(engine.endReached());
    const TachiFlash last = engine.tick(12);
    EXPECT_EQ(last.text, QStringLiteral(" "));
    EXPECT_TRUE(engine.endReached());
    const TachiFlash end = engine.tick(12);
    EXPECT_EQ(end.kind, Kind::End);
    EXPECT_EQ(end.progress, 100);
    EXPECT_FALSE(engine.endReached());
    EXPECT_EQ(engine.tickCount(), 3);
}

TEST(TachiEngine, AWordWithNoSpaceNearStillReachesTheEnd)
{
    const QString word(100, QLatin1Char('x'));
    const QStringList shown = runToEnd(buildFlashText({word + QStringLiteral(" end ")}), 12);
    ASSERT_EQ(shown.last(), QStringLiteral("END"));
    EXPECT_EQ(shown.first(), QLatin1Char('[') + QString(12, QLatin1Char('x')) + QLatin1Char(']'));
    QString joined;
    for (const QString &s : shown.mid(0, shown.size() - 1))
        joined += s.mid(1, s.size() - 2);
    EXPECT_EQ(joined, word + QStringLiteral(" end "));
}

TEST(TachiEngine, ProgressCountsAllButTheEndBlockTail)
{
    EXPECT_EQ(TTachiEngine::progressPercent(1, 1105), 0);
    EXPECT_EQ(TTachiEngine::progressPercent(500, 1105), 50);
    EXPECT_EQ(TTachiEngine::progressPercent(994, 1105), 99);
    EXPECT_EQ(TTachiEngine::progressPercent(999, 1105), 100);
}

// Texts that once flashed part of a marker: a text ending in a "****" paragraph, and paragraph breaks in a
// row that fall inside one piece.
TEST(TachiEngine, FormattedTextsNeverFlashAMarker)
{
    const std::tuple<const char *, QString, int, int, QStringList> cases[] = {
        {"ends in a **** paragraph",
         QStringLiteral("One.\n\n****\n\nTwo.\n\n****"),
         12,
         0,
         {"[One. ]", "-", "[Two. ]", "-", "[]", "END"}},
        {"ends in a **** paragraph, indented",
         QStringLiteral("One.\n\n****\n\nTwo.\n\n****"),
         12,
         3,
         {"[   One. ]", "-", "[   Two. ]", "-", "[]", "END"}},
        {"breaks in a row inside one piece",
         QStringLiteral("Intro text.\n\n****\n\n****\n\n****\n\n****\n\nTitle of it"),
         16,
         0,
         {"[Intro text. ]", "-", "[Title of it ]", "END"}},
    };
    for (const auto &[what, text, width, indent, flashes] : cases) {
        MemoLines memo = memoOf(40, {text});
        reflowTachiText(memo);
        indentTachiText(memo, indent);
        EXPECT_EQ(runToEnd(buildFlashText(memo.lines()), width), flashes) << what;
    }
}

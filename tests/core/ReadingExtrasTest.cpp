#include "TestText.h"
#include "ReadingOptions.h"
#include "TachiEngine.h"
#include "TachiText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Kind = TachiFlash::Kind;

TEST(ReadingExtras, PieceEndingsAndTheirHoldTimes)
{
    struct Case
    {
        const char *piece;
        const char *following;
        PieceEnding expected;
    };
    const Case cases[] = {
        {"the lazy dog. ", "The end", PieceEnding::Sentence},
        {"she asked?\" ", "then left", PieceEnding::Sentence},
        {"Stop it! ", "he said", PieceEnding::Sentence},
        {"(as it was.) ", "Then", PieceEnding::Sentence},
        {"fruit, e.g. ", "apples and", PieceEnding::Plain},
        {"fruit, e.g. ", "Paris and", PieceEnding::Sentence},
        {"the door. ", "\"Who", PieceEnding::Sentence},
        {"the door. ", "^^ The", PieceEnding::Sentence},
        {"the end. ", "@@ @@", PieceEnding::Sentence},
        {"three dots... ", "and on", PieceEnding::Plain},
        {"a comma, ", "The", PieceEnding::Plain},
        {"no stop ", "At all", PieceEnding::Plain},
        {"   ", "The", PieceEnding::Plain},
    };
    for (const Case &c : cases)
        EXPECT_EQ(pieceEnding(QString::fromUtf8(c.piece), QString::fromUtf8(c.following)), c.expected)
            << c.piece << "|" << c.following;
    for (int flash : {40, 125, 333, 2000}) {
        EXPECT_EQ(holdTime(flash, PieceEnding::Plain), flash);
        EXPECT_EQ(holdTime(flash, PieceEnding::Sentence), flash * 3 / 2);
        EXPECT_EQ(holdTime(flash, PieceEnding::Paragraph), flash * 2);
    }
}

TEST(ReadingExtras, EngineMarksSentenceAndParagraphPieces)
{
    TTachiEngine engine;
    engine.start(buildFlashText({QStringLiteral("He ran. Then he sat down. "), QString(),
                                 QStringLiteral("Next day, e.g. today, rain. ")}));
    QList<std::pair<QString, PieceEnding>> seen;
    for (TachiFlash f = engine.tick(8); f.kind != Kind::End; f = engine.tick(8)) {
        if (f.kind == Kind::Piece)
            seen.append({f.text, f.ending});
    }
    const QList<std::pair<QString, PieceEnding>> expected = {
        {QStringLiteral("He ran."), PieceEnding::Sentence},
        {QStringLiteral(" Then he"), PieceEnding::Plain},
        {QStringLiteral(" sat down."), PieceEnding::Paragraph},
        {QStringLiteral("  Next"), PieceEnding::Plain},
        {QStringLiteral(" day, e.g."), PieceEnding::Plain},
        {QStringLiteral(" today,"), PieceEnding::Plain},
        {QStringLiteral(" rain. "), PieceEnding::Sentence},
    };
    EXPECT_EQ(seen, expected);
}

// Stepping never changes what the reading shows once it goes on: the pieces after a walk back and forth are
// the pieces of an undisturbed reading.
TEST(ReadingExtras, SteppingStopsAtBothEndsAndResumesFromTheShownPiece)
{
    const QString text = buildFlashText({QStringLiteral("One two three four five six seven eight nine ten. "),
                                         QString(), QStringLiteral("Eleven twelve. ")});
    auto piecesFrom = [&](TTachiEngine &e) {
        QStringList out;
        for (TachiFlash f = e.tick(6); f.kind != Kind::End; f = e.tick(6))
            out.append(f.kind == Kind::Blank ? QStringLiteral("-") : f.text);
        return out;
    };
    TTachiEngine plain;
    plain.start(text);
    const QStringList all = piecesFrom(plain);

    TTachiEngine e;
    e.start(text);
    EXPECT_FALSE(e.stepBack()) << "nothing shown yet";
    const auto first = e.stepForward(6);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text, all.first());
    EXPECT_FALSE(e.stepBack()) << "at the first piece";
    e.tick(6);
    e.tick(6);
    const auto back = e.stepBack();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, all.at(1));
    QStringList resumed = piecesFrom(e);
    EXPECT_EQ(resumed, all.mid(2));

    TTachiEngine last;
    last.start(text);
    QString shown;
    while (const auto f = last.stepForward(6))
        shown = f->text;
    EXPECT_EQ(shown, all.last()) << "forward stops at the last piece, blanks stepped over";
    EXPECT_EQ(last.tick(6).kind, Kind::End);
}

TEST(ReadingExtras, PlacesKeepTheMostRecentFiftyFiles)
{
    ReadingOptions o;
    for (int i = 1; i <= 60; ++i)
        o.rememberPlace(QStringLiteral("/texts/t%1.txt").arg(i), 1, i + 1);
    EXPECT_EQ(o.places().size(), ReadingOptions::kMaxPlaces);
    EXPECT_FALSE(o.placeFor(QStringLiteral("/texts/t10.txt"), 1)) << "dropped as the oldest";
    EXPECT_EQ(o.placeFor(QStringLiteral("/texts/t11.txt"), 1), 12);
    o.rememberPlace(QStringLiteral("/texts/t11.txt"), 1, 40);
    o.rememberPlace(QStringLiteral("/texts/t61.txt"), 1, 5);
    EXPECT_EQ(o.placeFor(QStringLiteral("/texts/t11.txt"), 1), 40) << "renewed, so not the oldest any more";
    EXPECT_FALSE(o.placeFor(QStringLiteral("/texts/t12.txt"), 1));
    EXPECT_FALSE(o.placeFor(QStringLiteral("/texts/t11.txt"), 2)) << "a place belongs to its reader";
    o.rememberPlace(QStringLiteral("/texts/t11.txt"), 1, 1);
    EXPECT_FALSE(o.placeFor(QStringLiteral("/texts/t11.txt"), 1)) << "the top is no place";
}

TEST(ReadingExtras, OptionsFileRoundTripsAndDamageGivesDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("options.ini"));
    ReadingOptions o;
    o.pauseAtSentenceEnds = true;
    o.rememberPlaces = true;
    for (int i = 1; i <= 3; ++i)
        o.rememberPlace(dir.filePath(QStringLiteral("f%1.txt").arg(i)), i, 10 * i);
    ASSERT_TRUE(o.save(path));
    const ReadingOptions back = ReadingOptions::load(path);
    EXPECT_TRUE(back.pauseAtSentenceEnds);
    EXPECT_FALSE(back.stepWhilePaused);
    EXPECT_TRUE(back.rememberPlaces);
    ASSERT_EQ(back.places().size(), 3);
    EXPECT_EQ(back.placeFor(dir.filePath(QStringLiteral("f1.txt")), 1), 10);
    EXPECT_EQ(back.places().first().line, 30) << "most recent first";

    const QByteArray damaged[] = {
        QByteArray("\x00\xff\x13garbage[[[\n=\n", 16),
        "[options]\npauseAtSentenceEnds=maybe\nstepWhilePaused=2\n[places]\nsize=2\n1\\file=/a.txt\n"
        "1\\line=x\n1\\reader=1\n2\\file=\n2\\line=5\n2\\reader=1\n",
    };
    for (const QByteArray &bytes : damaged) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        const ReadingOptions d = ReadingOptions::load(path);
        EXPECT_FALSE(d.pauseAtSentenceEnds || d.stepWhilePaused || d.rememberPlaces);
        EXPECT_TRUE(d.places().isEmpty());
    }
    const ReadingOptions missing = ReadingOptions::load(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_FALSE(missing.pauseAtSentenceEnds || missing.stepWhilePaused || missing.rememberPlaces);
}

} // namespace

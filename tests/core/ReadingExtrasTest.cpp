#include "ReadingOptions.h"
#include "TachiEngine.h"
#include "TachiText.h"
#include "TestText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Kind = TachiFlash::Kind;

TEST(ReadingExtras, PieceEndingsAndTheirHoldTimes)
{
    // {piece, what follows, ends a sentence}: a period ends one only before a capital, and never after an
    // abbreviation.
    // clang-format off
    const std::tuple<const char *, const char *, bool> cases[] = {
        {"the lazy dog. ", "The end", true}, {"she asked?\" ", "then left", true}, {"Stop it! ", "he", true},
        {"(as it was.) ", "Then", true}, {"fruit, e.g. ", "apples", false}, {"fruit, e.g. ", "Paris", false},
        {"the door. ", "\"Who", true}, {"the door. ", "^^ The", true}, {"the end. ", "@@ @@", true},
        {"three dots... ", "and on", false}, {"a comma, ", "The", false}, {"no stop ", "At all", false},
        {"   ", "The", false}, {"Then I saw Mr. ", "Brown", false}, {"read. Mr. ", "Brown", false},
        {"Dr. ", "Lee", false}, {"on Main St. ", "It was", false}, {"the U.S. ", "Army", false},
        {"(e.g. ", "Rome)", false}, {"i.e. ", "Paris", false}, {"by J. ", "Smith", false},
        {"Jones Jr. ", "and", false}, {"and so on, etc. ", "We", false}, {"Dogs vs. ", "Cats", false},
        {"the end.\" ", "She", true}, {"it was A. ", "Then", false}, {"went to the USA. ", "Then", true},
        {"he smiled. ", "Mr Brown", true}};
    // clang-format on
    for (const auto &[piece, following, sentence] : cases)
        EXPECT_EQ(pieceEnding(QString::fromUtf8(piece), QString::fromUtf8(following)),
                  sentence ? PieceEnding::Sentence : PieceEnding::Plain)
            << piece << "|" << following;
    EXPECT_EQ((std::vector{holdTime(333, PieceEnding::Plain), holdTime(333, PieceEnding::Sentence),
                           holdTime(333, PieceEnding::Paragraph)}),
              (std::vector{333, 499, 666}));
    // The text's last piece ends its last paragraph, whatever ends it.
    for (const char *last : {"the end. ", "and so on ", "Mr. "}) {
        TTachiEngine e;
        e.start(buildFlashText({QStringLiteral("Some words to read first, "), QString::fromUtf8(last)}));
        TachiFlash shown;
        for (TachiFlash f = e.tick(12); f.kind != Kind::End; f = e.tick(12))
            shown = f.kind == Kind::Piece ? f : shown;
        EXPECT_EQ(shown.ending, PieceEnding::Paragraph) << last;
    }
}

// Stepping never changes what the reading shows once it goes on: the pieces after a walk back and forth are
// the pieces of an undisturbed reading.
TEST(ReadingExtras, SteppingStopsAtBothEndsAndResumesFromTheShownPiece)
{
    const QString text = buildFlashText({QStringLiteral("One two three four five six seven eight nine ten. "),
                                         QString(), QStringLiteral("Eleven twelve. ")});
    const auto piecesFrom = [](TTachiEngine &e) {
        QStringList out;
        for (TachiFlash f = e.tick(6); f.kind != Kind::End; f = e.tick(6))
            out.append(f.kind == Kind::Blank ? QStringLiteral("-") : f.text);
        return out;
    };
    TTachiEngine plain, e, last;
    for (TTachiEngine *engine : {&plain, &e, &last})
        engine->start(text);
    const QStringList all = piecesFrom(plain);
    EXPECT_FALSE(e.stepBack()) << "nothing shown yet";
    EXPECT_EQ(e.stepForward(6).value_or(TachiFlash{}).text, all.first());
    e.tick(6);
    e.tick(6);
    EXPECT_EQ(e.stepBack().value_or(TachiFlash{}).text, all.at(1));
    EXPECT_EQ(piecesFrom(e), all.mid(2));
    QString shown;
    while (const auto f = last.stepForward(6))
        shown = f->text;
    EXPECT_EQ(shown, all.last()) << "forward stops at the last piece, blanks stepped over";
    EXPECT_EQ(last.tick(6).kind, Kind::End);
}

TEST(ReadingExtras, PlacesKeepTheMostRecentFiftyFilesAndTheOptionsFileKeepsThem)
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

    // The options file keeps them; damaged files, and a missing one, give the defaults.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("options.ini"));
    o = ReadingOptions();
    o.stepWhilePaused = true;
    o.exerciseStaircase = o.exerciseFrameLocked = true;
    o.exerciseLastFlashMin = 20;
    o.exerciseLastFlashMax = 35;
    o.exerciseLastThreshold = 47.5;
    for (int i = 1; i <= 3; ++i)
        o.rememberPlace(dir.filePath(QStringLiteral("f%1.txt").arg(i)), i, 10 * i);
    // A book keeps a part and line per reader, under its content hash, whatever its path becomes.
    const ReadingOptions::Book moby{
        QStringLiteral("ab12"), QStringLiteral("/b/m b.epub"), QStringLiteral("M, B"), 0, {}};
    const ReadingOptions::Book emma{
        QStringLiteral("cd34"), QStringLiteral("/b/e.pdf"), QStringLiteral("Emma"), 0, {}};
    o.rememberBook(moby, 2, 3, 417);
    o.rememberBook(emma, 1, 2, 1);
    o.rememberBook(moby, 0, 7, 12);
    ASSERT_TRUE(o.save(path));
    {
        const ReadingOptions books = ReadingOptions::load(path);
        ASSERT_EQ(books.books().size(), 2);
        EXPECT_EQ(books.books().first().title, moby.title) << "the book read last comes first";
        EXPECT_EQ(books.books().first().path, moby.path);
        EXPECT_EQ(books.books().first().reader, 0);
        EXPECT_EQ(books.bookPlace(moby.hash, 2), std::make_pair(3, 417));
        EXPECT_EQ(books.bookPlace(moby.hash, 0), std::make_pair(7, 12));
        EXPECT_EQ(books.bookPlace(emma.hash, 1), std::make_pair(2, 1));
        EXPECT_FALSE(books.bookPlace(emma.hash, 0)) << "not read in that reader";
    }
    const ReadingOptions back = ReadingOptions::load(path);
    EXPECT_TRUE(!back.pauseAtSentenceEnds && back.stepWhilePaused && !back.rememberPlaces);
    EXPECT_TRUE(back.exerciseStaircase && back.exerciseFrameLocked && !back.exerciseFastRhythm &&
                !back.exerciseBackwardMask && !back.exerciseFixationMark && !back.exerciseForeperiod);
    EXPECT_EQ(
        std::make_tuple(back.exerciseLastFlashMin, back.exerciseLastFlashMax, back.exerciseLastThreshold),
        std::make_tuple(20, 35, 47.5));
    ASSERT_EQ(back.places().size(), 3);
    EXPECT_EQ(std::make_pair(back.places().first().line, back.places().last().reader), std::make_pair(30, 1))
        << "most recent first";
    QByteArray tooMany = "[places]\nsize=2000000000\n";
    for (int i = 1; i <= 60; ++i) // the first ten useless, the rest beyond the 50 entries looked at
        tooMany += QStringLiteral("%1\\file=/t%1.txt\n%1\\line=%2\n%1\\reader=1\n")
                       .arg(i)
                       .arg(i > 10 ? 9 : 0)
                       .toUtf8();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(tooMany));
    }
    EXPECT_EQ(ReadingOptions::load(path).places().size(), 40);
    EXPECT_FALSE(o.save(dir.path())) << "a folder in the file's place";
    const QByteArray damaged[] = {
        QByteArray("\x00\xff\x13garbage[[[\n=\n", 16),
        "[options]\npauseAtSentenceEnds=maybe\nstepWhilePaused=2\nexerciseStaircase=yes\n"
        "exerciseLastFlashMin=40\nexerciseLastFlashMax=30\nexerciseLastThreshold=1e9\n[places]\nsize="
        "2\n1\\file=/a.txt\n"
        "1\\line=x\n1\\reader=1\n2\\file=\n2\\line=5\n2\\reader=1\n"
        "[books]\nsize=2\n1\\hash=ab\n1\\path=/x.txt\n1\\reader=9\n2\\hash=\n2\\path=/y.txt\n",
        QByteArray(),
    };
    for (const QByteArray &bytes : damaged) {
        QFile f(path);
        ASSERT_TRUE(bytes.isEmpty() ? f.remove()
                                    : f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes));
        f.close();
        const ReadingOptions d = ReadingOptions::load(path);
        EXPECT_FALSE(d.pauseAtSentenceEnds || d.stepWhilePaused || d.rememberPlaces || d.exerciseStaircase);
        EXPECT_EQ(std::make_tuple(d.exerciseLastFlashMin, d.exerciseLastFlashMax, d.exerciseLastThreshold),
                  std::make_tuple(0, 0, 0.0));
        EXPECT_TRUE(d.places().isEmpty() && d.books().isEmpty());
    }
}

} // namespace

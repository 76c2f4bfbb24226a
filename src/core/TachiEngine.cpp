#include "TachiEngine.h"

#include "TextChars.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kMaxProbe = 30;
constexpr int kMaxPiece = 60;
// The end block is 140 characters; progress counts all but the last 105 of the text.
constexpr int kProgressTail = 105;

const QString kBreak = QStringLiteral("^^");
const QString kEnd = QStringLiteral("@@");

// True when the marker at `index` has at most three spaces and nothing else before it.
bool leadsPiece(const QString &piece, qsizetype index)
{
    if (index > 3)
        return false;
    for (qsizetype i = 0; i < index; ++i) {
        if (piece.at(i) != u' ')
            return false;
    }
    return true;
}

// Given the "^^" at 0-based `index` of `text`, the index after it and after every " ^^" that follows at
// once: breaks in a row are one.
qsizetype skipBreaks(const QString &text, qsizetype index)
{
    index += 2;
    while (text.mid(index, 3) == QLatin1String(" ^^"))
        index += 3;
    return index;
}

} // namespace

void TTachiEngine::start(const QString &flashText)
{
    FlashText = flashText;
    FlashPos = 1;
    BlankNext = false;
    EndReached = false;
    TickCount = 0;
}

int TTachiEngine::pieceLength(const QString &text, int pos, int width)
{
    // Probes count characters from `pos`, so a surrogate pair is one character and never the cut.
    const QStringView rest = QStringView(text).mid(std::clamp<qsizetype>(pos - 1, 0, text.size()));
    std::vector<qsizetype> at = charOffsets(rest.left(advanceChars(rest, 0, width + kMaxProbe + 1)));
    const int chars = static_cast<int>(at.size()) - 1;
    auto spaceAt = [&](int c) {
        return c >= 1 && c <= chars && rest.at(at[static_cast<std::size_t>(c - 1)]) == u' ';
    };
    auto units = [&](int c) { return static_cast<int>(at[static_cast<std::size_t>(std::min(c, chars))]); };
    if (spaceAt(width + 1))
        return units(width);
    for (int k = 1; k <= kMaxProbe; ++k) {
        if (spaceAt(width + k + 1))
            return units(width + k);
        if (width - k >= 2 && spaceAt(width - k + 1))
            return units(width - k);
    }
    return units(width);
}

int TTachiEngine::progressPercent(int pos, int textLength)
{
    const int denominator = textLength - kProgressTail;
    if (denominator <= 0)
        return 100;
    const double r = static_cast<double>(pos) / denominator;
    if (r > 0.998)
        return 100;
    return static_cast<int>(std::lround(r * 100.0));
}

TachiFlash TTachiEngine::tick(int fixationWidth)
{
    if (BlankNext) {
        BlankNext = false;
        return TachiFlash{TachiFlash::Kind::Blank, QString(), 0};
    }
    ++TickCount;
    const int progress = progressPercent(FlashPos, static_cast<int>(FlashText.size()));
    if (EndReached) {
        EndReached = false;
        return TachiFlash{TachiFlash::Kind::End, QString(), 100};
    }

    const int length = pieceLength(FlashText, FlashPos, fixationWidth);
    QString piece = leftChars(FlashText.mid(FlashPos - 1, length), kMaxPiece);
    const int after = FlashPos - 1 + length;
    if (FlashText.mid(after, 2) == kBreak || FlashText.mid(after, 3) == QStringLiteral(" ^^"))
        BlankNext = true;

    // Markers are found and skipped in the flash text itself, so the next piece always starts after a whole
    // chain of breaks and no part of a marker can reach the display.
    qsizetype from = 0;
    QString shown;
    if (const qsizetype lead = piece.indexOf(kBreak); lead >= 0 && leadsPiece(piece, lead)) {
        // The break the blank flash already stood for: its markers go, the spaces around them stay.
        from = std::min(skipBreaks(piece, lead), piece.size());
        shown = piece.left(from).remove(u'^');
    }
    if (const qsizetype marker = piece.indexOf(kBreak, from); marker >= 0) {
        // The paragraph ends inside the piece: show up to the break, go on after it.
        shown += piece.mid(from, marker - from);
        qsizetype next = skipBreaks(FlashText, FlashPos - 1 + marker);
        if (next < FlashText.size() && FlashText.at(next) == u' ')
            ++next;
        FlashPos = static_cast<int>(next) + 1;
        BlankNext = true;
    } else {
        shown += piece.mid(from);
        FlashPos += length;
    }
    piece = shown;

    if (const qsizetype end = piece.indexOf(kEnd); end >= 0) {
        piece.truncate(end);
        EndReached = true;
    }
    return TachiFlash{TachiFlash::Kind::Piece, piece, progress};
}

#include "TachiEngine.h"

#include <cmath>

namespace {

constexpr int kMaxProbe = 30;
constexpr int kMaxPiece = 60;
// The end block is 140 characters; progress counts all but the last 105 of the text.
constexpr int kProgressTail = 105;

const QString kBreak = QStringLiteral("^^");
const QString kEnd = QStringLiteral("@@");

bool spaceAt(const QString &text, int pos)
{
    return pos >= 1 && pos <= text.size() && text.at(pos - 1) == u' ';
}

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
    if (spaceAt(text, pos + width))
        return width;
    for (int k = 1; k <= kMaxProbe; ++k) {
        if (spaceAt(text, pos + width + k))
            return width + k;
        if (width - k >= 2 && spaceAt(text, pos + width - k))
            return width - k;
    }
    return width;
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
    QString piece = FlashText.mid(FlashPos - 1, std::min(length, kMaxPiece));
    const int after = FlashPos - 1 + length;
    if (FlashText.mid(after, 2) == kBreak || FlashText.mid(after, 3) == QStringLiteral(" ^^"))
        BlankNext = true;

    // Two breaks in a row are one.
    while (piece.contains(QStringLiteral("^^ ^^")))
        piece.remove(piece.indexOf(QStringLiteral("^^ ^^")), 2);
    qsizetype marker = piece.indexOf(kBreak);
    int removed = 0;
    if (marker >= 0 && leadsPiece(piece, marker)) {
        piece.remove(marker, 2);
        removed = 2;
        // A one-line paragraph can bring the next break into the same piece.
        marker = piece.indexOf(kBreak);
    }
    if (marker >= 0) {
        // The paragraph ends inside the piece: show up to the break, go on after it.
        FlashPos += static_cast<int>(marker) + 3 + removed;
        piece.truncate(marker);
        BlankNext = true;
    } else {
        FlashPos += length;
    }

    if (const qsizetype end = piece.indexOf(kEnd); end >= 0) {
        piece.truncate(end);
        EndReached = true;
    }
    return TachiFlash{TachiFlash::Kind::Piece, piece, progress};
}

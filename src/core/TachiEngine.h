#pragma once

#include <QString>

// What one flash-timer event shows.
struct TachiFlash
{
    enum class Kind
    {
        Blank, // the display is emptied: the pause after a paragraph
        Piece, // `text` is shown and the progress bar takes `progress`
        End,   // the reading is over
    };
    Kind kind = Kind::Blank;
    QString text;
    int progress = 0;
};

// The tachistoscope's flash engine: cuts the flash text into pieces near the fixation width, at spaces,
// one piece per timer event, with an empty flash after each paragraph. Positions are 1-based.
class TTachiEngine
{
public:
    // Begins a reading of `flashText` (see buildFlashText).
    void start(const QString &flashText);
    // One timer event; `fixationWidth` is read afresh each time so a change applies from the next piece.
    TachiFlash tick(int fixationWidth);

    const QString &flashText() const { return FlashText; }
    int flashPos() const { return FlashPos; }
    bool blankNext() const { return BlankNext; }
    bool endReached() const { return EndReached; }
    int tickCount() const { return TickCount; }

    // The length of the piece that starts at `pos`: the first space found at W, then W + k before W - k
    // for k = 1..30. With no space that near, the piece is cut at W characters so the reading goes on.
    static int pieceLength(const QString &text, int pos, int width);
    // Progress in percent when the next piece starts at `pos`; the end block does not count.
    static int progressPercent(int pos, int textLength);

private:
    QString FlashText;
    int FlashPos = 1;
    bool BlankNext = false;
    bool EndReached = false;
    int TickCount = 0;
};

#pragma once

#include <QString>

#include <optional>
#include <vector>

// How a shown piece ends, which decides how long it may stay up when the pause at sentence ends is on.
enum class PieceEnding
{
    Plain,
    Sentence,  // ., ! or ? (a closing quote or bracket may follow); a period only before a capital
    Paragraph, // a paragraph break comes next
};

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
    PieceEnding ending = PieceEnding::Plain;
};

// How `piece` ends when `following` is the flash text right after it. A period counts only when a capital,
// an opening quote before a capital, a paragraph break or the end follows, so "e.g. apples" reads on, and
// never after an abbreviation ("Mr.", "Dr.", "St.", "etc.", an initial "J.", "U.S.", "e.g.").
PieceEnding pieceEnding(QStringView piece, QStringView following);
// The flash time multiplied: 1 for a plain piece, 1.5 at a sentence end, 2 before a paragraph break.
int holdTime(int flashTime, PieceEnding ending);

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
    bool endReached() const { return EndReached; }
    int tickCount() const { return TickCount; }

    // The length of the piece that starts at `pos`: the first space found at W, then W + k before W - k
    // for k = 1..30. With no space that near, the piece is cut at W characters so the reading goes on.
    static int pieceLength(const QString &text, int pos, int width);
    // Progress in percent when the next piece starts at `pos`; the end block does not count.
    static int progressPercent(int pos, int textLength);

    // Stepping while paused: the piece before or after the one on display (nothing at the first piece, or
    // at the last before the end). The next tick goes on from whichever piece is then on display.
    std::optional<TachiFlash> stepBack();
    std::optional<TachiFlash> stepForward(int fixationWidth);
    // Where in the flash text the piece on display begins (1 before the first piece).
    int displayedPos() const { return m_onDisplay >= 2 ? m_shown[m_onDisplay - 2].pos : 1; }

private:
    // A shown piece and the engine's state right after it.
    struct Shown
    {
        TachiFlash flash;
        int pos = 1;
        bool blankNext = false;
        bool endReached = false;
    };
    TachiFlash nextPiece(int fixationWidth);
    void goOnFromDisplayed();

    std::vector<Shown> m_shown;
    std::size_t m_onDisplay = 0; // index + 1 into m_shown, 0 before the first piece

    QString FlashText;
    int FlashPos = 1;
    bool BlankNext = false;
    bool EndReached = false;
    int TickCount = 0;
};

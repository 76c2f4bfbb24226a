#pragma once

#include "PaceTimer.h"
#include "Settings.h"
#include "Wpm.h"
#include "app/ModeWindow.h"
#include "app/TextParts.h"

#include <QFont>
#include <QStringList>
#include <QTimer>

#include <cstdint>
#include <optional>

class HorizPageView;
class QScrollArea;

// What the two paced readers (horizontal and vertical) have in common: a white page in a scroll area that
// only the pacer (or the user's own scroll bar) moves, the pacing timer and the one-second clock, loading
// the text file with its error box, the reader font and its dialog, the placement when shown, the score
// sequence at the end of a reading, and what leaving the mode undoes. Each reader adds its own engine.
class PacedReader : public ModeWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PacedReader)

public:
    PacedReader(AppState &state, Mode mode, PlacementFlag placementFlag, PlacementBounds bounds,
                QWidget *parent = nullptr);
    ~PacedReader() override;

    Mode mode() const override { return m_mode; }

    bool isPacing() const { return m_timer1.isActive(); }
    void setPacingInterval(int ms) { m_timer1.setInterval(ms); }
    void scrollToTop();

    // Start Read and Pause Read: the pacer and both timers.
    virtual void startReading() = 0;
    virtual void pauseReading() = 0;
    // Reset Text: the text read afresh from the start, its score state zeroed.
    virtual void resetText() = 0;
    // While paused (and the option is on): one fixation back or forward; true when it moved.
    virtual bool stepFixation(bool forward) = 0;

    // Set by the page when the user changes what the layout depends on; Start Read waits for Reset Text.
    std::uint8_t FixationsChanged = 0;
    std::uint8_t FontsChanged = 0;

    virtual void Timer1Timer() = 0;
    virtual void Timer2Timer() = 0;

    PaceTimer &Timer1() { return m_timer1; }
    QTimer &Timer2() { return m_timer2; }
    HorizPageView *pageView() const { return m_view; }
    QScrollArea *scrollArea() const { return m_scroll; }

    // A stored font as the page takes it; a damaged record must not give a size the mode's font dialog never
    // offers.
    QFont readerFont(TFontGroup group) const;

Q_SIGNALS:
    // A text was laid out, `lineCount` lines long; the pacer is stopped at its start.
    void textLaidOut(int lineCount);
    // The part of a book on the page changed ("Part 2 of 5"; empty for a text of one part).
    void partShown(const QString &caption);
    void progressed(int percent);
    void readingFinished();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void leaving() override;

    // Runs once, when the window is first shown and placed.
    virtual void FormShow() = 0;
    // The visible part of the page changed size.
    virtual void viewportResized() {}

    void startTimers();
    void stopTimers();
    void scrollDown(int pixels);
    int viewportWidth() const;
    int viewportHeight() const;

    // Takes the reader's default placement or its stored bounds, without a close or resize box.
    void placeOnShow();
    // True (and the transfer file named as the text, not a story) when `LoadTempFile` names this reader.
    bool takeTempFile();
    // Opens StoryFileName in parts of at most 1000 lines: false, with the error box, when it cannot be read.
    bool openStoryText();
    // After a part's end and its questions: a book offers its next part, which `layOut` then shows.
    void offerNextPart();
    virtual void layOutPart() = 0;
    // Options > Fonts: the dialog preset from `current`; the choice, its colour kept, or nothing on Cancel.
    std::optional<TFontGroup> askForFont(const TFontGroup &current);
    // The end of a reading: its speed, if it has one, into the mode's history, the questions, and the end
    // sound.
    void recordScore(const ReadingResult &result);

    QScrollArea *m_scroll;
    HorizPageView *m_view;
    TextParts m_text;
    PaceTimer m_timer1;
    QTimer m_timer2;

private:
    Mode m_mode;
    bool m_shown = false;
};

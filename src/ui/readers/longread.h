#pragma once

#include "HorizPacer.h"
#include "readers/PacedReader.h"

#include <cstdint>
#include <memory>

// "Horizontal Reader": a page of short lines cut into fixations, revealed one fixation per pacer tick.
// The engine (HorizPacer) decides what is drawn and when; this window loads the text, paints, scrolls
// and runs the timers. The control panel's horizontal page drives it.
class THorizonForm final : public PacedReader
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(THorizonForm)

public:
    explicit THorizonForm(AppState &state, QWidget *parent = nullptr);
    ~THorizonForm() override;

    // A story from the menu or a file from Open File; with the option on, a file offers to continue where
    // its last reading stopped.
    void loadStory() override;
    void chooseFont() override;
    // The page font from the settings, its size kept within what the font dialog offers.
    QFont pageFont() const;

    // Opens StoryFileName and lays it out; an error box when it cannot be read as text.
    void LoadHorizontalText();

    void startReading() override;
    void pauseReading() override;
    void resetText() override;
    bool stepFixation(bool forward) override;
    // The file line the page starts at (1 unless a reading continues where it stopped).
    int startLine() const { return m_startLine; }

    void Timer1Timer() override;
    void Timer2Timer() override { m_reading->secondElapsed(); }

    const HorizPacer &reading() const { return *m_reading; }

    std::uint8_t TextLoaded = 0;
    int SavedWidth = 0;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void FormShow() override;
    void layOutPart() override;
    void viewportResized() override { updatePageSize(); }
    void leaving() override;

private:
    HorizTickInput tickInput() const;
    void showTick(const HorizTick &tick);
    // Lays the page out afresh and runs the pacer up to its `revealed`-th fixation.
    void replayTo(int revealed);
    // Keeps (or, with `finished`, forgets) where a reading of a file stopped.
    void keepPlace(bool finished);

    void FormResize();
    void FinishHorizontalReading(const HorizTick &tick);
    void updatePageSize();

    std::unique_ptr<HorizPacer> m_reading;
    bool m_shown = false;
    int m_revealed = 0;  // fixations revealed since the layout
    QString m_placeFile; // the file the text came from; empty for a story or the transfer file
    bool m_offerPlace = false;
    int m_startLine = 1;
};

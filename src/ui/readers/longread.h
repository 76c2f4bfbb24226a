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

    void loadStory() override { LoadHorizontalText(); }
    void chooseFont() override;
    bool speedKey(int key) override;
    // The page font from the settings, its size kept within what the font dialog offers.
    QFont pageFont() const;

    // Opens StoryFileName and lays it out; an error box when it cannot be read as text.
    void LoadHorizontalText();

    using PacedReader::startTimers;
    using PacedReader::stopTimers;
    void resetScrollAccumulator() { m_reading->resetScroll(); }
    void resetScore() { m_reading->resetScore(); }
    // The arrow keys of the reader; true when the key was one of them and acted.
    bool FormKeyDown(int key);

    void Timer1Timer() override;
    void Timer2Timer() override { m_reading->secondElapsed(); }

    const HorizPacer &reading() const { return *m_reading; }

    std::uint8_t TextLoaded = 0;
    int SavedWidth = 0;
    std::uint8_t FixationsChanged = 0;
    std::uint8_t FontsChanged = 0;

Q_SIGNALS:
    // A text was laid out, `lineCount` lines long; the pacer is stopped at its start.
    void textLaidOut(int lineCount);
    void progressed(int percent);
    void readingFinished();
    // An arrow key during a reading asks for a step of the speed: slower (down) or faster (up).
    void speedKeyPressed(bool slower);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void FormShow() override;
    void viewportResized() override { updatePageSize(); }

private:
    void FormResize();
    void FinishHorizontalReading(const HorizTick &tick);
    void updatePageSize();

    std::unique_ptr<HorizPacer> m_reading;
    bool m_shown = false;
};

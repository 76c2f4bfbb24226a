#pragma once

#include "VertPacer.h"
#include "readers/PacedReader.h"

#include <cstdint>
#include <memory>

// "Vertical Reader": a page cut into two or three fixations per line, revealed column by column down
// blocks of Down Sweep lines. The engine (VertPacer) decides what is drawn and when; this window loads
// the text, paints, scrolls and runs the timers. The control panel's vertical page drives it.
class TVertForm final : public PacedReader
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TVertForm)

public:
    explicit TVertForm(AppState &state, QWidget *parent = nullptr);
    ~TVertForm() override;

    // A story from the menu or a file from Open File; a book offers to go on where it was left.
    void loadStory() override;
    void chooseFont() override;
    // The page font from the settings, its size kept within what the font dialog offers.
    QFont pageFont() const;

    // Opens StoryFileName and lays it out; an error box, and nothing changed, when it cannot be read.
    void LoadVerticalText();

    void startReading() override;
    void pauseReading() override;
    void resetText() override;
    bool stepFixation(bool forward) override;

    void Timer1Timer() override;
    void Timer2Timer() override { m_reading->secondElapsed(); }

    const VertPacer &reading() const { return *m_reading; }

    std::uint8_t DownSweepChanged = 0;

protected:
    void FormShow() override;
    void layOutPart() override;
    void leaving() override;
    void viewportResized() override { updatePageSize(); }

private:
    VertTickInput tickInput() const;
    // Shows a tick; the end of the reading goes to FinishVerticalReading.
    void showTick(const VertTick &tick);
    void FinishVerticalReading(const VertTick &tick);
    // Keeps where a reading of a book stopped.
    void keepPlace();
    void updatePageSize();
    TFontGroup fontGroup() const;

    std::unique_ptr<VertPacer> m_reading;
    int m_revealed = 0;  // fixations revealed since the layout
    int m_startLine = 1; // the line of the part the page starts at
};

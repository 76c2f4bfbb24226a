#pragma once

#include "HorizPacer.h"
#include "PaceTimer.h"
#include "app/ModeWindow.h"

#include <QTimer>

#include <cstdint>
#include <memory>

class HorizPageView;
class QScrollArea;

// "Horizontal Reader": a page of short lines cut into fixations, revealed one fixation per pacer tick.
// The engine (HorizPacer) decides what is drawn and when; this window loads the text, paints, scrolls
// and runs the timers. The control panel's horizontal page drives it.
class THorizonForm final : public ModeWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(THorizonForm)

public:
    explicit THorizonForm(AppState &state, QWidget *parent = nullptr);
    ~THorizonForm() override;

    Mode mode() const override { return Mode::Horiz; }
    void loadStory() override { LoadHorizontalText(); }
    void chooseFont() override;
    bool speedKey(int key) override;
    // The page font from the settings, its size kept within what the font dialog offers.
    QFont pageFont() const;

    // Opens StoryFileName and lays it out; an error box when it cannot be read as text.
    void LoadHorizontalText();

    bool isPacing() const { return m_timer1.isActive(); }
    void startTimers();
    void stopTimers();
    void setPacingInterval(int ms) { m_timer1.setInterval(ms); }
    void scrollToTop();
    void resetScrollAccumulator() { m_reading->resetScroll(); }
    void resetScore() { m_reading->resetScore(); }
    // The arrow keys of the reader; true when the key was one of them and acted.
    bool FormKeyDown(int key);

    void Timer1Timer();
    void Timer2Timer() { m_reading->secondElapsed(); }

    PaceTimer &Timer1() { return m_timer1; }
    QTimer &Timer2() { return m_timer2; }
    const HorizPacer &reading() const { return *m_reading; }
    HorizPageView *pageView() const { return m_view; }
    QScrollArea *scrollArea() const { return m_scroll; }

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
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void leaving() override;

private:
    void FormShow();
    void FormResize();
    void FinishHorizontalReading(const HorizTick &tick);
    void updatePageSize();
    void scrollDown(int pixels);

    QScrollArea *m_scroll;
    HorizPageView *m_view;
    PaceTimer m_timer1;
    QTimer m_timer2;
    std::unique_ptr<HorizPacer> m_reading;
    bool m_shown = false;
};

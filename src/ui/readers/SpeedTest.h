#pragma once

#include "PaceTimer.h"
#include "SpeedTestText.h"
#include "app/ModeWindow.h"
#include "app/TextParts.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QStringList>

// What the speed test's page holds: its lines as drawn, their font and colour, and where the page ends.
struct SpeedTestPageText
{
    QStringList lines;
    QFont font;
    QColor color;
    int lineHeight = 1;
    int pageEnd = 0;
};

// The page of the speed test, as tall as the text, seen through a view whose scroll range the program sets
// so that the view's bottom can just reach the page end. Only the lines in view are painted, so memory does
// not grow with the length of the text, the font or the screen's scale.
class SpeedTestView final : public QAbstractScrollArea
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpeedTestView)

public:
    explicit SpeedTestView(QWidget *parent = nullptr);

    void setPage(SpeedTestPageText page);
    const SpeedTestPageText &page() const { return m_page; }
    int position() const;
    // Clamped to the scroll range.
    void setPosition(int position);
    int scrollMaximum() const;
    int clientHeight() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateRange();

    SpeedTestPageText m_page;
};

// The reading speed test: the whole text on one long page, paged through by the user while a seconds
// clock runs. The control panel's speed-test page starts and stops the clock and scores the reading.
class TSpeedTestForm final : public ModeWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSpeedTestForm)

public:
    explicit TSpeedTestForm(AppState &state, QWidget *parent = nullptr);
    ~TSpeedTestForm() override;

    Mode mode() const override { return Mode::SpeedTest; }
    void loadStory() override;
    void chooseFont() override;

    // Opens StoryFileName and lays the page out; a file that cannot be read is reported and changes nothing.
    void LoadSpeedTestText();
    // After Stop Reading and its questions: a book goes on at its next part, if the user wants it.
    void partTested();

    TSpeedTestValues &values() { return m_values; }
    const TSpeedTestValues &values() const { return m_values; }
    SpeedTestView *view() const { return m_view; }
    int lineHeight() const;
    bool hasText() const { return m_haveText; }

    void startClock();
    void stopClock();
    bool clockRunning() const { return m_timer1.isActive(); }
    void pageDown();
    void pageUp();

    void Timer1Timer();

Q_SIGNALS:
    // A text was laid out: the counters start again and the page is back at its top. `newText` is false
    // when the same text was laid out again (a new font or width).
    void textLaidOut(bool newText);
    void clockStopped();
    // Paging (or a resize while the clock runs) brought the view into the end zone.
    void endZoneReached();
    void secondsCounted(double seconds);
    // Escape while the clock runs.
    void pauseRequested();
    // Space while the clock is stopped.
    void startRequested();
    // The part of a book on the page ("Part 2 of 5"; empty for a text of one part).
    void partShown(const QString &caption);

public:
    // The reader's keys, whatever has the focus: while the clock runs Space and Page Down page down, Page Up
    // pages up and Escape asks to pause; while it is stopped Space asks to start. True when taken.
    bool readerKey(int key, bool autoRepeat);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void leaving() override;

private:
    void LayoutSpeedTestText(bool newText);
    QFont canvasFont() const;
    QString storyPath() const;
    void showPart();
    void checkEndZone();

    TSpeedTestValues m_values;
    // The lines of the last file read, laid out again when the width changes.
    QStringList m_fileLines;
    TextParts m_text{m_state, Mode::SpeedTest};
    bool m_haveText = false;
    bool m_placed = false;
    SpeedTestView *m_view;
    PaceTimer m_timer1;
};

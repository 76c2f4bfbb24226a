#pragma once

#include "PaceTimer.h"
#include "TachiEngine.h"
#include "app/ModeWindow.h"
#include "app/TextParts.h"

#include <QPointer>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QScrollBar;
class QSplitter;

// The tachistoscopic reader: flashes a prepared text piece by piece on a dark panel, one piece per flash-time
// period, and scores the reading in words per minute. The control panel's tachistoscope page drives it.
class TTachiForm final : public ModeWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TTachiForm)

public:
    explicit TTachiForm(AppState &state, QWidget *parent = nullptr);
    ~TTachiForm() override;

    Mode mode() const override { return Mode::Tachi; }
    void loadStory() override;
    void chooseFont() override;

    // Text in: a file's lines (false, after the error message, when it cannot be read) or plain text.
    bool loadFile(const QString &path, const QString &shownName);
    // "Part 2 of 5" while a book is in the box; empty otherwise.
    QString partCaption() const { return m_text.partCaption(); }
    void setMemoText(const QString &text);
    int memoLineCount() const;
    bool isTextFormatted() const { return TachiTextFormatted; }
    // Format Text and Indent: gives the display the room it keeps while reading, reflows and indents the
    // text, counts its words. Returns the new line count.
    int formatText();
    // What the last Format Text left out past the readers' 1000 lines, to tell the user; empty when nothing.
    QString formatNotice() const { return m_formatNotice; }

    // The run, as the page's buttons drive it.
    void startRead();
    void pauseRead();
    void resumeRead();
    void cancelRead();
    // While paused (and the option is on): the piece before or after the one on display. True when the
    // key belongs to stepping, moved or not.
    bool stepPiece(bool forward);
    // Up and Down: the flash time one step of its bar shorter or longer, from the next flash on.
    void stepFlashTime(bool longer);
    // The text now in the box came from `path` (empty: a story, the clipboard or typing); with the option on,
    // offers to continue where its last reading stopped.
    void setSourceFile(const QString &path);
    int startLine() const { return m_startLine; }
    // Timers on: flashing now.
    bool isRunning() const;
    // Between Start Read and the end or Cancel Read, paused or not.
    bool isInRun() const { return m_inRun; }

    void setBackColor(const QColor &color);
    void previewFont();
    // Re-places the display labels, the progress bar and the panel (after a resize or a font change).
    void refreshLayout();

    // The timer events, public so tests drive them without waiting.
    void Timer1Timer();
    void Timer2Timer();

    QString flashDisplay() const;
    QString resultText() const;
    int progress() const;
    double lastWpm() const { return LastWpm; }
    double textWords() const { return TextWords; }
    double elapsedSeconds() const { return ElapsedSeconds; }
    const TTachiEngine &engine() const { return m_engine; }
    PaceTimer &flashTimer() { return m_flashTimer; }

Q_SIGNALS:
    // The flash display changed to `text` (a piece, an empty flash, the end or "Cancelled").
    void displayChanged(const QString &text);
    // The reading came to its end by itself; the page restores its buttons.
    void readingEnded();
    // A new text replaced the box's: the read-outs of the last reading are cleared.
    void newText();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void leaving() override;

private:
    void textReplaced();
    // The lines of the shown part into the box, ready for Format Text.
    void showPart();
    // How many lines of the box a line takes once Format Text has narrowed it.
    LineCost formattedLineCost() const;
    QWidget *buildPanel();
    void applyFont();
    void setDisplay(const QString &text);
    void setFlashTime(int ms);
    void keepMemoRoom();
    void endReading();
    QStringList displayLines() const;
    // Keeps (or, with `finished`, forgets) where the run stopped, for a text from a file.
    void keepPlace(bool finished);

    TTachiEngine m_engine;
    PaceTimer m_flashTimer;
    PaceTimer m_secondsTimer;

    QSplitter *m_splitter = nullptr;
    QWidget *m_panel = nullptr;
    QWidget *m_topStrip = nullptr;
    QWidget *m_bottomStrip = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_flash = nullptr;
    QLabel *m_result = nullptr;
    QScrollBar *m_flashTimeBar = nullptr;
    QLineEdit *m_flashTimeBox = nullptr;
    QPlainTextEdit *m_memo = nullptr;

    bool TachiTextFormatted = false;
    double ElapsedSeconds = 0;
    double TextWords = 0;
    double LastWpm = 0;
    bool m_shown = false;
    bool m_inRun = false;
    // The user stepped through this run by hand: it ends without a speed.
    bool m_stepped = false;
    TextParts m_text{m_state, Mode::Tachi};
    QString m_sourceFile;
    QString m_formatNotice;
    // The run starts at this formatted line (1: the top); the run's lines and their words.
    int m_startLine = 1;
    int m_runFirstLine = 1;
    double m_runWords = 0;
    QStringList m_runLines;
};

#pragma once

#include "MemoLines.h"
#include "app/ModeWindow.h"

#include <QString>
#include <QTimer>

class QPlainTextEdit;

// The create-text window: one word-wrapping text box in which the user brings in a text (typed, pasted or
// opened from a text file, web page, EPUB book or PDF document), reflows it into paragraphs of lines the
// paced readers take, saves it, or writes it to the transfer file a reader loads. The lines worked on are
// the box's displayed lines, so the window's width sets their length. The create-text page drives it.
class TCreateTextForm final : public ModeWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TCreateTextForm)

public:
    explicit TCreateTextForm(AppState &state, QWidget *parent = nullptr);
    ~TCreateTextForm() override;

    Mode mode() const override { return Mode::CreateText; }
    void chooseFont() override;

    // Open File: the open dialog, then the file into the box. True when a text was loaded.
    bool openFile();
    // Empties the box and loads it from `path`; false, after the message, when the file cannot be read.
    bool loadFile(const QString &path);
    void copySelectedText();
    void pasteFromClipboard();

    // The box's text addressed by its displayed lines.
    MemoLines memoLines() const;
    int memoLineCount() const;
    QPlainTextEdit *memo() const { return m_memo; }

    // Number of Lines: counts the displayed lines.
    void CountLines();
    // Width of Lines: the longest of the first 1000 lines; wider than 80 characters, the window tells so and
    // narrows itself until they fit (or until it can get no narrower).
    void MeasureWidth();
    // Format Text: reflows and indents the text; false, after the message, with fewer than 5 lines.
    bool FormatCreateText();
    // Save to File: checks the limits, asks for a file and writes the lines to it.
    void SaveCreateText();
    // Send Text To: checks the limits and writes the transfer file; false, after the message, when it did
    // not.
    bool TransferCreateText();

    int lineCount() const { return CreateTextLineCount; }
    int longestLineLength() const { return LongestLineLength; }
    bool isAutoResizing() const { return AutoResizing; }
    // Where the save dialog starts: "Your Text" in the user's documents folder, made when missing.
    static QString yourTextFolder();

Q_SIGNALS:
    // The text of the box changed (typed, pasted, loaded or formatted).
    void textChanged();
    void widthMeasured(int longestLine);
    void linesCounted(int lineCount);
    // A refused transfer asks the user to click Format Text: the page makes it blink.
    void blinkFormatText();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void leaving() override;

private:
    void applyFont();
    // Measures the first 1000 lines and shows the result; true when one is too wide. With `stopAtWide` it
    // stops at the first line too wide and shows that line's length.
    bool measureOnce(bool stopAtWide = false);
    // MeasureWidth, telling the user only when `tell`; true when the lines were too wide.
    bool narrowToFit(bool tell);
    // False when the window can get no narrower.
    bool narrowByOnePixel();
    void measureAfterResize();

    QPlainTextEdit *m_memo = nullptr;
    // Resizing by hand is measured when the mouse is let go, so that no message interrupts the drag; a box
    // the frame hides while it maximizes is measured once it shows again.
    QTimer m_measureWhenReleased;
    int CreateTextLineCount = 0;
    int LongestLineLength = 0;
    bool AutoResizing = false;
    bool m_shown = false;
};

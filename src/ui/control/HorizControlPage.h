#pragma once

#include "ControlPage.h"

class QAction;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class THorizonForm;

// The control panel's page of the horizontal reader: open, font, reset, start/pause, speed, fixations and
// the text visibility panel. It holds no reading logic; the reader fills its read-outs.
class HorizControlPage final : public ControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HorizControlPage)

public:
    explicit HorizControlPage(AppState &state, QWidget *parent = nullptr);

    bool previewKey(QKeyEvent *event) override;
    void panelShown() override;
    bool isResetTextEnabled() const override;

    // Written by the reader.
    void setFixations(int fixations);
    void setSpeed(int interval);
    void setLineCount(int lines);
    void setProgress(int percent);
    // A text is laid out: Reset Text and Start Read enabled, progress at 0.
    void textLaidOut();
    void showStartCaption();
    void setOpenAndFontEnabled(bool enabled);
    void readingFinished();
    // The arrow keys' step of 30 on the speed bar: slower (down) or faster (up).
    void stepSpeed(bool slower);

private:
    THorizonForm *reader() const;
    void openFile();
    void changeFont();
    void resetText();
    void startRead();
    void speedChanged(int position);
    void fixationsClicked(int position);
    void changeClicked();
    void setStartLook(bool offersStart);

    QAction *m_openAction;
    QAction *m_fontAction;
    QPushButton *m_start;
    QPushButton *m_reset;
    QSlider *m_speed;
    QLineEdit *m_speedBox;
    QSpinBox *m_fixations;
    QPushButton *m_change;
    QLineEdit *m_lineCount;
    QPushButton *m_visibility;
    QProgressBar *m_progress;
};

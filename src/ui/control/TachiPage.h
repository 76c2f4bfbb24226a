#pragma once

#include "ControlPage.h"

#include <QPointer>

class QAction;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TTachiForm;

// The control panel's tachistoscope page: text in, Format Text and Indent, fixation width and indent, the run
// buttons (Start Read, Pause Read / Resume Read, Cancel Read), Back Color and Preview Font.
class TTachiPage final : public ControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TTachiPage)

public:
    explicit TTachiPage(AppState &state, QWidget *parent = nullptr);

    // The reader this page drives; it attaches itself when it is created.
    void attach(TTachiForm *reader);
    // Space starts, pauses or resumes (whichever is on offer), Escape cancels. False when nothing took the
    // key.
    bool runKey(int key);

    bool previewKey(QKeyEvent *event) override;
    void panelShown() override;

private:
    QPushButton *addButton(QWidget *parent, const QString &caption, const char *objectName);
    QSpinBox *addUpDown(QWidget *parent, int min, int max, const char *objectName);
    void syncFromSettings();
    void openFile();
    void paste();
    void formatText();
    void startRead();
    void pauseClicked();
    void cancelRead();
    void readingEnded();
    void chooseBackColor();
    void setTextInputEnabled(bool enabled);
    void setRunButtons(bool startEnabled, bool pauseEnabled, const QString &pauseCaption,
                       const QColor &pauseColor, bool cancelEnabled, bool formatEnabled);

    QPointer<TTachiForm> m_reader;
    QAction *m_openAction = nullptr;
    QAction *m_pasteAction = nullptr;
    QPushButton *m_formatButton = nullptr;
    QSpinBox *m_widthSpin = nullptr;
    QLineEdit *m_lineCountBox = nullptr;
    QPushButton *m_indentButton = nullptr;
    QSpinBox *m_indentSpin = nullptr;
    QPushButton *m_startButton = nullptr;
    QPushButton *m_pauseButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};

// Start buttons show green (32768) when they offer to start and red (255) when they offer to pause.
QColor startCaptionColor();
QColor pauseCaptionColor();
void setCaptionColor(QPushButton *button, const QColor &color);
QColor captionColor(const QPushButton *button);

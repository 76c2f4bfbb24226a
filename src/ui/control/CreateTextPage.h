#pragma once

#include "AppValues.h"
#include "control/ControlPage.h"

#include <QPointer>
#include <QTimer>

class QAction;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TCreateTextForm;

// The control panel's create-text page: text in (open, copy, paste), font, Format Text with its indent and
// read-outs, Save to File, and Send Text To one of the three paced readers.
class CreateTextPage final : public ControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CreateTextPage)

public:
    explicit CreateTextPage(AppState &state, QWidget *parent = nullptr);

    enum class Text
    {
        Unformatted, // typed, pasted, loaded or edited since the last Format Text: nothing to send
        Formatted,   // Format Text succeeded: the Send buttons are on offer
    };

    void attach(TCreateTextForm &window);
    Text text() const { return m_text; }
    void panelShown() override;

    // The Format Text blink: started after a file is opened or a send is refused, stopped by Format Text.
    bool isBlinking() const { return m_blink.isActive(); }
    // One tick of the blink timer, public so tests drive it without waiting.
    void blinkTick();

private:
    void setText(Text text);
    void showLook();
    void startBlink();
    void stopBlink();
    void openFile();
    void formatText();
    void saveToFile();
    void send(Mode reader);

    QPointer<TCreateTextForm> m_window;
    Text m_text = Text::Unformatted;
    QTimer m_blink;
    // The blink's dark phase: the Format Text caption is hidden.
    bool m_captionHidden = false;
    QPushButton *m_formatButton;
    QSpinBox *m_indent;
    QLineEdit *m_widthBox;
    QLineEdit *m_linesBox;
    QPushButton *m_sendTachi;
    QPushButton *m_sendHoriz;
    QPushButton *m_sendVert;
};

#pragma once

#include <QList>
#include <QWidget>

class AppState;
class QKeyEvent;
class QToolBar;

// One page of the control panel: a toolbar across the top and framed groups below it, which the panel
// centres horizontally.
class ControlPage : public QWidget
{
    Q_OBJECT

public:
    ControlPage(AppState &state, QWidget *parent = nullptr);

    // The groups (and progress bars) the panel keeps centred.
    virtual QList<QWidget *> centredControls() const { return m_centred; }
    // Keys reach the page before the focused control; return true to consume one.
    virtual bool previewKey(QKeyEvent *) { return false; }
    // Runs each time the panel is shown.
    virtual void panelShown() {}
    // Whether the page's "Reset Text" button is enabled (pages of the paced readers have one).
    virtual bool isResetTextEnabled() const { return false; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    QToolBar *toolBar() const { return m_toolBar; }
    // Ends the toolbar with the Help button: click, then the help of the current mode.
    void addHelpButton();
    void addCentred(QWidget *w) { m_centred.append(w); }
    // The panel's open dialog for a text file, starting in the program's folder; empty when cancelled.
    QString chooseTextFile();
    // Open File of a reader's page: a chosen file becomes the next text (not a story) and the mode's window
    // loads it.
    void openTextFileIntoReader();

    AppState &m_state;

private:
    QToolBar *m_toolBar;
    QList<QWidget *> m_centred;
};

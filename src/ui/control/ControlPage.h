#pragma once

#include "app/AppState.h"

#include <QColor>
#include <QIcon>
#include <QList>
#include <QSpinBox>
#include <QString>
#include <QStyle>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>

class QAction;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QToolBar;

// An up-down with its number box; a click on the arrows (a step) is told apart from a typed change, since
// only a click sounds.
class UpDownBox final : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;
    std::function<void()> onStep;
    void stepBy(int steps) override
    {
        QSpinBox::stepBy(steps);
        if (onStep)
            onStep();
    }
};

// The desktop theme's icon `name`, or the style's `fallback` where the theme has none.
QIcon themeIcon(const char *name, QStyle *style, QStyle::StandardPixmap fallback);

// The state of a paced reader's page (horizontal and vertical alike).
enum class PacedRun
{
    NoText,   // nothing laid out yet
    Ready,    // a text laid out, not started
    Reading,  // the pacer runs
    Paused,   // stopped mid-text; Start Read goes on
    Finished, // read to the end; Reset Text reads it again
};

// The colour of a run button's caption: green when it offers to start, red when it offers to pause.
enum class CaptionColour
{
    Plain,
    Go,
    Stop
};

// How a button shows one state of its page.
struct ButtonLook
{
    QString caption;
    CaptionColour colour = CaptionColour::Plain;
    bool enabled = false;
};

// One page of the control panel: a toolbar across the top and framed groups below it, which the panel
// centres horizontally. A page drives its mode's window: the registry hands the window to the page's
// `attach`, and the page follows the window's signals. Its state is an enum; what its buttons show is
// derived from that state through showLook, never read back from the widgets.
class ControlPage : public QWidget
{
    Q_OBJECT

public:
    explicit ControlPage(AppState &state, QWidget *parent = nullptr);

    // The groups (and progress bars) the panel keeps centred.
    virtual QList<QWidget *> centredControls() const { return m_centred; }
    // A key pressed anywhere in the main window while this page is shown, before the focused control sees
    // it (`focus`); true when the page took it. The page's state decides, never which button has the focus.
    virtual bool keyPressed(QKeyEvent *event, QWidget *focus)
    {
        Q_UNUSED(event);
        Q_UNUSED(focus);
        return false;
    }
    // A reading under way pauses as the pause key pauses it (the help window opens over it).
    virtual void holdReading() {}
    // A box the user types into, where a key outside a reading is the box's own.
    static bool isTextInput(const QWidget *focus);

protected:
    // The readers' one key map: what a reader's page offers now, and what its keys do there. Space starts,
    // pauses or resumes; Escape acts only while a reading is under way, Left and Right only while paused, Up
    // and Down where the speed is offered.
    struct ReaderKeys
    {
        bool underWay = false; // a reading runs or is paused
        bool paused = false;
        bool startOffered = false;
        bool speedOffered = false;
        std::function<void()> space;
        std::function<void()> escape;
        std::function<void(bool forward)> step;
        std::function<void(bool slower)> speed;
    };
    static bool readerKey(const QKeyEvent *event, const QWidget *focus, const ReaderKeys &keys);

public:
    // Runs each time the panel is shown.
    virtual void panelShown() {}
    // The page offers Reset Text in its present state (pages of the paced readers have one).
    virtual bool offersResetText() const { return false; }

    static QColor captionColour(CaptionColour colour);
    static void showLook(QPushButton *button, const ButtonLook &look);

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
    // A reading under way keeps the Short Stories menu off.
    void holdForReading(bool reading);

    // The read-only number box that shows a bar's or an up-down's position.
    static QLineEdit *numberBox(const char *name);
    static QPushButton *makeButton(const QString &caption, const char *name);
    // A toolbar button running `run`; its tip is its caption unless `tip` says otherwise.
    QAction *addTool(const QIcon &icon, const QString &caption, const char *name, std::function<void()> run,
                     const QString &tip = QString());
    // The read-out of which part of a book is on show ("Part 2 of 5"), hidden for a text of one part.
    QLabel *makePartLabel();
    static void showPart(QLabel *label, const QString &caption);
    // A framed group holding `widgets` one under another (an empty title draws none).
    QGroupBox *makeColumn(const QString &title, const char *name, const QList<QWidget *> &widgets);
    // The colour dialog, preset with the stored colour `which`, after a click: the colour chosen, already
    // stored, or nothing on Cancel.
    std::optional<QColor> changeColour(AppState::Colour which);
    struct BarRange
    {
        int min;
        int max;
        int singleStep;
        int pageStep;
        int start;
    };
    // A titled group over a grid, for a page's controls.
    QGroupBox *makeGroup(const QString &title, const char *name);
    // Adds a speed bar to `group`'s grid at `row` (moved past it): fast ("F") at the left, slow ("S") at
    // the right, and its number box, kept current, below it or beside it.
    QSlider *addSpeedBar(QGroupBox *group, int &row, const char *barName, const char *boxName, BarRange range,
                         bool boxBeside);
    // Stacks the page's groups under the toolbar at one width; the panel keeps them centred.
    void stackGroups(const QList<QWidget *> &groups, int width = 132);

    AppState &m_state;

private:
    QToolBar *m_toolBar;
    QList<QWidget *> m_centred;
};

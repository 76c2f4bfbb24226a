#pragma once

#include "AppValues.h"

#include <QRect>
#include <QSize>
#include <Qt>

#include <functional>

class ChildWindow;
class QWidget;

// What keeps main menus off while it lasts. Each hold counts on its own, so a menu comes back only when
// nothing holds it any more.
enum class MenuHold
{
    Reading,    // a reading runs: Short Stories and Options > Fonts off, since a new font lays the text out
                // again and would throw the running reading away
    CreateText, // the create-text window is open: Short Stories off
    Charts,     // a chart window is open: Short Stories, Reading, Options and Charts off
};

// What windows, pages and commands may ask of the program's frame (the main window). They know the frame
// only through this interface, never its class, so that dependencies run from the frame to the windows.
class Frame
{
public:
    virtual ~Frame() = default;

    // The frame's own widget: the parent of windows that stand on their own.
    virtual QWidget *widget() = 0;
    virtual QSize clientSize() const = 0;
    // The lessons window's bounds (those it comes back to while it is minimised), from which the control
    // panel and the mode windows take their default places.
    virtual QRect lessonGeometry() const = 0;
    // Where a reader goes by default: top left, as wide as the lessons window, half the client area high.
    QRect readerDefaultGeometry() const
    {
        return QRect(0, 0, lessonGeometry().width(), clientSize().height() / 2);
    }
    // Puts a window into the client area and shows it.
    virtual void addChild(ChildWindow *window, Qt::WindowFlags flags = {}) = 0;

    // Opens a training mode: a fresh control panel and mode window, the mode's page shown.
    virtual void openMode(Mode mode) = 0;
    // True when the mode has a window in this program, so that it can be opened.
    virtual bool hasMode(Mode mode) const = 0;
    // Enables the menu command named `objectName` and runs `run` when it is chosen.
    virtual void plugCommand(const char *objectName, std::function<void()> run) = 0;
    virtual void setHold(MenuHold hold, bool on) = 0;
    // Opens the comprehension test on StoryNumber for the reading just ended.
    virtual void openComprehensionTest() = 0;
    // Hands over to another mode keeping the control panel: the panel shows the mode's page, the current
    // mode window goes, and the mode's window is made with the page attached to it. Create text sends its
    // text to a reader this way.
    virtual void switchMode(Mode mode) = 0;
    // Hides the mode's text visibility panel when it is visible, otherwise centres and shows it.
    virtual void toggleVisibilityPanel(Mode mode) = 0;
};

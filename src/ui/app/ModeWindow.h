#pragma once

#include "AppValues.h"
#include "TextFile.h"
#include "app/ChildWindow.h"

#include <optional>

// The window of a training mode. The main window talks to the current one through this interface.
class ModeWindow : public ChildWindow
{
    Q_OBJECT

public:
    using ChildWindow::ChildWindow;

    virtual Mode mode() const = 0;
    // Loads the file named by StoryFileName; readers implement it, other modes load nothing.
    virtual void loadStory() {}
    // Options > Fonts for this mode.
    virtual void chooseFont() {}

protected:
    // The lines of a text file for this reader, read within `limits`. A file that cannot be read as text
    // gives the error box (naming `shownName`, its opening cut to 110 characters where `cutName`) and
    // nothing; a file the limits cut is read, and the user told what was kept and left out.
    std::optional<QStringList> readReaderText(const QString &path, const QString &shownName,
                                              const TextReadLimits &limits, bool cutName);

    // What every mode undoes as its window goes: no mode is current, the text is no story any more, and a
    // reading no longer holds the menus. Windows that override it call it.
    void leaving() override;
};

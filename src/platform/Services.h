#pragma once

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QPrinter;

// The services a window needs from the platform. Windows use only these, never a dialog or message box
// directly, so tests can answer every prompt through scripted fakes.

class MessageService
{
public:
    virtual ~MessageService() = default;
    virtual void error(const QString &text) = 0;
    virtual void information(const QString &text) = 0;
    // Yes/No question; true for Yes.
    virtual bool confirm(const QString &text) = 0;
    virtual void plain(const QString &text) = 0;
};

struct FontChoice
{
    QFont font;
    QColor color = Qt::black;
};

struct FontDialogOptions
{
    int minSize = 8;
    int maxSize = 72;
    bool effects = true; // colour, underline and strike-out on offer
};

// What long work hears from the one who waits for it: `progress` takes the share done (0 to 100), `cancelled`
// says the user asked it to stop. Both may be called from the work's own thread.
struct WorkControl
{
    std::function<void(int percent)> progress;
    std::function<bool()> cancelled;
};

class DialogService
{
public:
    virtual ~DialogService() = default;
    virtual std::optional<QColor> chooseColor(const QColor &initial) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontChoice &initial,
                                                 const FontDialogOptions &options) = 0;
    // An empty result means the user cancelled.
    virtual QString openFileName(const QString &caption, const QString &folder, const QString &filter) = 0;
    // Asks before overwriting an existing file.
    virtual QString saveFileName(const QString &caption, const QString &proposedPath,
                                 const QString &filter) = 0;
    // The print dialog on `printer`; false when the user cancelled.
    virtual bool setUpPrinter(QPrinter &printer) = 0;
    // One of `items` (its index), or nothing on Cancel.
    virtual std::optional<int> chooseItem(const QString &title, const QString &label,
                                          const QStringList &items) = 0;
    // Runs `work` off the interface thread and returns when it has ended; the windows keep painting. Work
    // that lasts over 300 ms shows `label`, its percentage and Cancel. False when the user cancelled.
    virtual bool runWork(const QString &label, const std::function<void(const WorkControl &)> &work) = 0;
};

class SoundService
{
public:
    virtual ~SoundService() = default;
    virtual int outputDeviceCount() = 0;
    // Plays a wave file without waiting; a missing file is silent.
    virtual void play(const QString &path) = 0;
};

class ShellService
{
public:
    virtual ~ShellService() = default;
    // Opens a document with its associated program; false when that failed.
    virtual bool open(const QUrl &url) = 0;
};

class ScreenService
{
public:
    virtual ~ScreenService() = default;
    virtual QSize size() = 0;
    virtual int dpi() = 0;
    virtual int colorDepth() = 0;
    // The refresh rate in hertz; 0 when the platform does not tell.
    virtual double refreshRate() = 0;
    // A mouse button is held down (a window being resized by dragging, say).
    virtual bool mouseButtonDown() = 0;
};

class PlatformInfo
{
public:
    virtual ~PlatformInfo() = default;
    // True for the old consumer Windows family the program refuses to run on; never on this build's targets.
    virtual bool isUnsupportedFamily() = 0;
};

class ClipboardService
{
public:
    virtual ~ClipboardService() = default;
    virtual QString text() = 0;
    virtual void setText(const QString &text) = 0;
};

class Clock
{
public:
    virtual ~Clock() = default;
    // Milliseconds on a steady clock.
    virtual qint64 nowMs() = 0;
};

struct Services
{
    MessageService &messages;
    DialogService &dialogs;
    SoundService &sound;
    ShellService &shell;
    ScreenService &screen;
    PlatformInfo &platform;
    ClipboardService &clipboard;
    Clock &clock;
};

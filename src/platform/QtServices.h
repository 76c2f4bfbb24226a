#pragma once

#include "Services.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>

#include <functional>
#include <memory>

class QSoundEffect;
class QWidget;

// The real services on top of Qt. Dialogs and boxes are parented to the widget `parentProvider` returns.
class QtMessageService final : public MessageService
{
public:
    explicit QtMessageService(std::function<QWidget *()> parentProvider);
    void error(const QString &text) override;
    void information(const QString &text) override;
    bool confirm(const QString &text) override;
    void plain(const QString &text) override;

private:
    std::function<QWidget *()> m_parent;
};

class QtDialogService final : public DialogService
{
public:
    explicit QtDialogService(std::function<QWidget *()> parentProvider);
    std::optional<QColor> chooseColor(const QColor &initial) override;
    std::optional<FontChoice> chooseFont(const FontChoice &initial,
                                         const FontDialogOptions &options) override;
    QString openFileName(const QString &caption, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &proposedPath, const QString &filter) override;
    bool setUpPrinter(QPrinter &printer) override;
    std::optional<int> chooseItem(const QString &title, const QString &label,
                                  const QStringList &items) override;
    bool runWork(const QString &label, const std::function<void(const WorkControl &)> &work) override;

private:
    std::function<QWidget *()> m_parent;
};

class QtSoundService final : public SoundService
{
public:
    QtSoundService();
    ~QtSoundService() override;
    int outputDeviceCount() override;
    void play(const QString &path) override;

private:
    QHash<QString, QSoundEffect *> m_effects;
};

class QtShellService final : public ShellService
{
public:
    bool open(const QUrl &url) override;
};

class QtScreenService final : public ScreenService
{
public:
    QSize size() override;
    int dpi() override;
    int colorDepth() override;
    double refreshRate() override;
    bool mouseButtonDown() override;
};

class QtPlatformInfo final : public PlatformInfo
{
public:
    bool isUnsupportedFamily() override { return false; }
};

class QtClipboardService final : public ClipboardService
{
public:
    QString text() override;
    void setText(const QString &text) override;
};

class SteadyClock final : public Clock
{
public:
    SteadyClock() { m_timer.start(); }
    qint64 nowMs() override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

// The window dialogs and message boxes belong to: the active window of the program, else the fallback's.
QWidget *activeWindowOr(const std::function<QWidget *()> &fallback);

// Owns one of each real service.
struct QtServiceSet
{
    explicit QtServiceSet(std::function<QWidget *()> parentProvider);
    QtMessageService messages;
    QtDialogService dialogs;
    QtSoundService sound;
    QtShellService shell;
    QtScreenService screen;
    QtPlatformInfo platform;
    QtClipboardService clipboard;
    SteadyClock clock;
    Services services();
};

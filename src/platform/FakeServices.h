#pragma once

#include "Services.h"

#include <QList>
#include <QStringList>

#include <deque>

// Scripted stand-ins for the services. Every prompt a window shows must have been scripted with
// expect...(); anything else is recorded as a failure, and so is a scripted prompt nobody showed.
// A test ends with QVERIFY2(fakes.verify(), qPrintable(fakes.report())).

enum class MessageKind
{
    Error,
    Information,
    Confirm,
    Plain
};

struct RecordedMessage
{
    MessageKind kind;
    QString text;
};

class FakeMessageService final : public MessageService
{
public:
    void expect(MessageKind kind, const QString &text, bool answer = true);
    void error(const QString &text) override { answer(MessageKind::Error, text); }
    void information(const QString &text) override { answer(MessageKind::Information, text); }
    bool confirm(const QString &text) override { return answer(MessageKind::Confirm, text); }
    void plain(const QString &text) override { answer(MessageKind::Plain, text); }

    const QList<RecordedMessage> &shown() const { return m_shown; }
    int pending() const { return static_cast<int>(m_script.size()); }
    QStringList failures;

private:
    struct Scripted
    {
        MessageKind kind;
        QString text;
        bool answer;
    };
    bool answer(MessageKind kind, const QString &text);
    std::deque<Scripted> m_script;
    QList<RecordedMessage> m_shown;
};

class FakeDialogService final : public DialogService
{
public:
    // std::nullopt / empty string script a cancel.
    std::deque<std::optional<QColor>> colors;
    std::deque<std::optional<FontChoice>> fonts;
    std::deque<QString> openNames;
    std::deque<QString> saveNames;
    // Each print is scripted as the PDF file to print to; an empty name scripts a cancel.
    std::deque<QString> printTargets;
    std::deque<std::optional<int>> items;
    QList<QStringList> itemsSeen;
    // Work runs at once on the caller's thread; a true here makes the next work see Cancel from its start.
    bool cancelNextWork = false;
    QStringList worksSeen;
    QList<FontDialogOptions> fontOptionsSeen;
    QList<FontChoice> fontPresetsSeen;
    QStringList openFoldersSeen;
    QStringList openFiltersSeen;
    QStringList saveProposalsSeen;
    QStringList failures;

    std::optional<QColor> chooseColor(const QColor &initial) override;
    std::optional<FontChoice> chooseFont(const FontChoice &initial,
                                         const FontDialogOptions &options) override;
    QString openFileName(const QString &caption, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &proposedPath, const QString &filter) override;
    bool setUpPrinter(QPrinter &printer) override;
    std::optional<int> chooseItem(const QString &title, const QString &label,
                                  const QStringList &choices) override;
    bool runWork(const QString &label, const std::function<void(const WorkControl &)> &work) override;
    int pending() const;
};

class FakeSoundService final : public SoundService
{
public:
    int devices = 1;
    QStringList played;
    int outputDeviceCount() override { return devices; }
    void play(const QString &path) override { played.append(path); }
};

class FakeShellService final : public ShellService
{
public:
    bool result = true;
    QList<QUrl> opened;
    bool open(const QUrl &url) override
    {
        opened.append(url);
        return result;
    }
};

class FakeScreenService final : public ScreenService
{
public:
    QSize screenSize{1280, 1024};
    int screenDpi = 96;
    int depth = 24;
    QSize size() override { return screenSize; }
    int dpi() override { return screenDpi; }
    int colorDepth() override { return depth; }
    double refresh = 60;
    double refreshRate() override { return refresh; }
    bool buttonDown = false;
    bool mouseButtonDown() override { return buttonDown; }
};

class FakePlatformInfo final : public PlatformInfo
{
public:
    bool unsupported = false;
    bool isUnsupportedFamily() override { return unsupported; }
};

class FakeClipboardService final : public ClipboardService
{
public:
    QString content;
    QString text() override { return content; }
    void setText(const QString &text) override { content = text; }
};

class FakeClock final : public Clock
{
public:
    qint64 now = 0;
    qint64 nowMs() override { return now; }
};

struct FakeServiceSet
{
    FakeMessageService messages;
    FakeDialogService dialogs;
    FakeSoundService sound;
    FakeShellService shell;
    FakeScreenService screen;
    FakePlatformInfo platform;
    FakeClipboardService clipboard;
    FakeClock clock;

    Services services();
    // True when every scripted prompt and dialog answer was used and nothing unscripted was shown.
    bool verify() const;
    QString report() const;
};

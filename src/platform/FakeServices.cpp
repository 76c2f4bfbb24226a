#include "FakeServices.h"

#include <QPrinter>

#include <utility>

namespace {

QString kindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        return QStringLiteral("error");
    case MessageKind::Information:
        return QStringLiteral("information");
    case MessageKind::Confirm:
        return QStringLiteral("confirm");
    case MessageKind::Plain:
        return QStringLiteral("plain");
    }
    return {};
}

template <typename T>
std::optional<T> popOr(std::deque<std::optional<T>> &queue, QStringList &failures, const char *what)
{
    if (queue.empty()) {
        failures.append(QStringLiteral("unscripted %1 dialog").arg(QLatin1String(what)));
        return std::nullopt;
    }
    auto v = queue.front();
    queue.pop_front();
    return v;
}

QString popName(std::deque<QString> &queue, QStringList &failures, const char *what)
{
    if (queue.empty()) {
        failures.append(QStringLiteral("unscripted %1 dialog").arg(QLatin1String(what)));
        return {};
    }
    QString v = queue.front();
    queue.pop_front();
    return v;
}

} // namespace

void FakeMessageService::expect(MessageKind kind, const QString &text, bool answerYes)
{
    m_script.push_back({kind, text, answerYes});
}

bool FakeMessageService::answer(MessageKind kind, const QString &text)
{
    m_shown.append({kind, text});
    if (m_script.empty()) {
        failures.append(QStringLiteral("unscripted %1: \"%2\"").arg(kindName(kind), text));
        return false;
    }
    const Scripted next = m_script.front();
    m_script.pop_front();
    if (next.kind != kind || next.text != text) {
        failures.append(QStringLiteral("expected %1 \"%2\", got %3 \"%4\"")
                            .arg(kindName(next.kind), next.text, kindName(kind), text));
    }
    return next.answer;
}

std::optional<QColor> FakeDialogService::chooseColor(const QColor &)
{
    return popOr(colors, failures, "colour");
}

std::optional<FontChoice> FakeDialogService::chooseFont(const FontChoice &initial,
                                                        const FontDialogOptions &options)
{
    fontPresetsSeen.append(initial);
    fontOptionsSeen.append(options);
    return popOr(fonts, failures, "font");
}

QString FakeDialogService::openFileName(const QString &, const QString &folder, const QString &filter)
{
    openFoldersSeen.append(folder);
    openFiltersSeen.append(filter);
    return popName(openNames, failures, "open");
}

QString FakeDialogService::saveFileName(const QString &, const QString &proposedPath, const QString &)
{
    saveProposalsSeen.append(proposedPath);
    return popName(saveNames, failures, "save");
}

bool FakeDialogService::setUpPrinter(QPrinter &printer)
{
    const QString target = popName(printTargets, failures, "print");
    if (target.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(target);
    return true;
}

std::optional<int> FakeDialogService::chooseItem(const QString &, const QString &, const QStringList &choices)
{
    itemsSeen.append(choices);
    return popOr(items, failures, "item");
}

bool FakeDialogService::runWork(const QString &label, const std::function<void(const WorkControl &)> &work)
{
    worksSeen.append(label);
    const bool cancel = std::exchange(cancelNextWork, false);
    work(WorkControl{[](int) {}, [cancel] { return cancel; }});
    return !cancel;
}

int FakeDialogService::pending() const
{
    return static_cast<int>(colors.size() + fonts.size() + openNames.size() + saveNames.size() +
                            printTargets.size() + items.size());
}

Services FakeServiceSet::services()
{
    return Services{messages, dialogs, sound, shell, screen, platform, clipboard, clock};
}

bool FakeServiceSet::verify() const
{
    return messages.failures.isEmpty() && dialogs.failures.isEmpty() && messages.pending() == 0 &&
           dialogs.pending() == 0;
}

QString FakeServiceSet::report() const
{
    QStringList lines = messages.failures + dialogs.failures;
    if (messages.pending() > 0)
        lines.append(QStringLiteral("%1 scripted message(s) never shown").arg(messages.pending()));
    if (dialogs.pending() > 0)
        lines.append(QStringLiteral("%1 scripted dialog answer(s) never used").arg(dialogs.pending()));
    return lines.join(QLatin1Char('\n'));
}

#include "QtServices.h"

#include "FontDialog.h"

#include <QApplication>
#include <QAudioDevice>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSoundEffect>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>

namespace {

// Every message box carries the program's name, whatever window it belongs to.
QString messageTitle()
{
    return QStringLiteral("Brindlewick");
}

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, messageTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

QtMessageService::QtMessageService(std::function<QWidget *()> parentProvider)
    : m_parent(std::move(parentProvider))
{
}

void QtMessageService::error(const QString &text)
{
    showBox(m_parent(), QMessageBox::Critical, text);
}

void QtMessageService::information(const QString &text)
{
    showBox(m_parent(), QMessageBox::Information, text);
}

bool QtMessageService::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, messageTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    m_parent());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageService::plain(const QString &text)
{
    showBox(m_parent(), QMessageBox::NoIcon, text);
}

QtDialogService::QtDialogService(std::function<QWidget *()> parentProvider)
    : m_parent(std::move(parentProvider))
{
}

std::optional<QColor> QtDialogService::chooseColor(const QColor &initial)
{
    const QColor c = QColorDialog::getColor(initial, m_parent());
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<FontChoice> QtDialogService::chooseFont(const FontChoice &initial,
                                                      const FontDialogOptions &options)
{
    FontDialog dialog(initial, options, m_parent());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

QString QtDialogService::openFileName(const QString &caption, const QString &folder, const QString &filter)
{
    QFileDialog dialog(m_parent(), caption, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setViewMode(QFileDialog::Detail);
    // Wide enough that names, sizes and dates show whole.
    dialog.resize(760, 460);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

QString QtDialogService::saveFileName(const QString &caption, const QString &proposedPath,
                                      const QString &filter)
{
    QFileDialog dialog(m_parent(), caption, proposedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension takes the chosen filter's, so that the file shows in the program's
    // open dialogs; the overwrite question then asks about the name that will be written.
    const auto suffixOf = [](const QString &nameFilter) {
        static const QRegularExpression pattern(QStringLiteral(R"(\*\.(\w+))"));
        const QRegularExpressionMatch match = pattern.match(nameFilter);
        return match.hasMatch() ? match.captured(1) : QString();
    };
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, suffixOf](const QString &nameFilter) { dialog.setDefaultSuffix(suffixOf(nameFilter)); });
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

std::optional<int> QtDialogService::chooseItem(const QString &title, const QString &label,
                                               const QStringList &items)
{
    bool ok = false;
    const QString chosen = QInputDialog::getItem(m_parent(), title, label, items, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    return static_cast<int>(items.indexOf(chosen));
}

bool QtDialogService::runWork(const QString &label, const std::function<void(const WorkControl &)> &work)
{
    std::atomic<int> percent{0};
    std::atomic<bool> cancel{false};
    const WorkControl control{[&percent](int p) { percent = p; }, [&cancel] { return cancel.load(); }};
    QFutureWatcher<void> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&work, &control] { work(control); }));
    // Short work shows nothing; the windows paint meanwhile, but what the user types waits until it ends.
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!watcher.isFinished()) {
        QProgressDialog dialog(label, QStringLiteral("Cancel"), 0, 100, m_parent());
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setMinimumDuration(0);
        QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&cancel, &dialog] {
            cancel = true;
            dialog.setLabelText(QStringLiteral("Stopping..."));
        });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &dialog, [&dialog, &percent, &cancel] {
            dialog.setValue(percent);
            if (dialog.wasCanceled()) // Escape or the window's close, as well as the button
                cancel = true;
        });
        poll.start(50);
        dialog.show();
        if (!watcher.isFinished())
            loop.exec();
    }
    watcher.waitForFinished();
    return !cancel;
}

bool QtDialogService::setUpPrinter(QPrinter &printer)
{
    QPrintDialog dialog(&printer, m_parent());
    return dialog.exec() == QDialog::Accepted;
}

QtSoundService::QtSoundService() = default;

QtSoundService::~QtSoundService()
{
    qDeleteAll(m_effects);
}

int QtSoundService::outputDeviceCount()
{
    return static_cast<int>(QMediaDevices::audioOutputs().size());
}

void QtSoundService::play(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo::exists(absolute))
        return;
    QSoundEffect *&effect = m_effects[absolute];
    if (effect == nullptr) {
        effect = new QSoundEffect;
        effect->setSource(QUrl::fromLocalFile(absolute));
    }
    effect->play();
}

bool QtShellService::open(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

QSize QtScreenService::size()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->size() : QSize(1024, 768);
}

int QtScreenService::dpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    // Under high-DPI scaling the logical dpi is divided by the scale factor; the font rule wants the
    // screen's own setting.
    return screen != nullptr ? qRound(screen->logicalDotsPerInch() * screen->devicePixelRatio()) : 96;
}

bool QtScreenService::mouseButtonDown()
{
    return QGuiApplication::mouseButtons() != Qt::NoButton;
}

double QtScreenService::refreshRate()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->refreshRate() : 0;
}

int QtScreenService::colorDepth()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 24;
}

QString QtClipboardService::text()
{
    return QGuiApplication::clipboard()->text();
}

void QtClipboardService::setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QWidget *activeWindowOr(const std::function<QWidget *()> &fallback)
{
    // A dialog belongs to the window the user is working in: one opened from a window that stays on top
    // (the chart viewer) would otherwise open underneath it.
    if (QWidget *active = QApplication::activeWindow(); active != nullptr && active->isVisible())
        return active;
    return fallback ? fallback() : nullptr;
}

QtServiceSet::QtServiceSet(std::function<QWidget *()> parentProvider)
    : messages([parentProvider] { return activeWindowOr(parentProvider); }),
      dialogs([parentProvider] { return activeWindowOr(parentProvider); })
{
}

Services QtServiceSet::services()
{
    return Services{messages, dialogs, sound, shell, screen, platform, clipboard, clock};
}

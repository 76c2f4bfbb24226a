#include "Program.h"
#include "QtServices.h"
#include "UserFolder.h"
#include "app/ProgramIcon.h"
#include "app/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

// Installed, the shipped files have their own folder reached from bin/ (BW_INSTALLED_DATA is relative, so the
// installed tree can move); a build or an unpacked copy keeps them beside the program.
QString shippedDataDir(const QString &programDir)
{
    const QDir installed(QDir(programDir).filePath(QStringLiteral(BW_INSTALLED_DATA)));
    return installed.exists() ? installed.canonicalPath() : programDir;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindlewick"));
    // Ties the windows to the installed desktop entry, for its name and icon.
    QApplication::setDesktopFileName(QStringLiteral("brindlewick"));
    QApplication::setWindowIcon(programIcon());
    QApplication::setApplicationVersion(QStringLiteral(BW_VERSION));

    // The program's folder may be read-only: what the program writes goes to the user's data folder.
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);

    // Dialogs and message boxes are parented to the frame once it exists.
    const Program *program = nullptr;
    QtServiceSet services(
        [&program]() -> QWidget * { return program != nullptr ? program->frame() : nullptr; });
    if (QDir().mkpath(userDir)) {
        QDir::setCurrent(userDir);
        takeOverOldSettings(programDir, userDir);
    } else {
        // The program still runs; each save then reports its own failure.
        services.services().messages.error(QStringLiteral("The folder \"%1\" cannot be made.").arg(userDir));
    }
    Program composed(services.services(), shippedDataDir(programDir), userDir);
    program = &composed;
    if (!composed.start())
        return 0;
    return QApplication::exec();
}

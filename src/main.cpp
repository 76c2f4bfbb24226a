#include "AppState.h"
#include "ModeRegistry.h"
#include "ProgramIcon.h"
#include "QtServices.h"
#include "app/mainwindow.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindlewick"));
    QApplication::setWindowIcon(programIcon());
    QApplication::setApplicationVersion(QStringLiteral(BW_VERSION));

    // The program's data files sit beside it, and that folder is its working folder.
    const QString dataDir = QCoreApplication::applicationDirPath();
    QDir::setCurrent(dataDir);

    TForm1 *form = nullptr;
    QtServiceSet services([&form]() -> QWidget * { return form; });
    AppState state(services.services(), dataDir);
    ModeRegistry modes;
    TForm1 mainWindow(state, modes);
    form = &mainWindow;
    if (!mainWindow.FormCreate())
        return 0;
    mainWindow.show();
    mainWindow.createStartWindows();
    return QApplication::exec();
}

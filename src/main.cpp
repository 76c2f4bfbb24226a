#include "Program.h"
#include "app/ProgramIcon.h"
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

    // Dialogs and message boxes are parented to the frame once it exists.
    const Program *program = nullptr;
    QtServiceSet services(
        [&program]() -> QWidget * { return program != nullptr ? program->frame() : nullptr; });
    Program composed(services.services(), dataDir);
    program = &composed;
    if (!composed.start())
        return 0;
    return QApplication::exec();
}

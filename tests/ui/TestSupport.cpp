#include "TestSupport.h"

#include "app/mainwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>

TestApp::TestApp(bool withDataFiles)
{
    state = std::make_unique<AppState>(fakes.services(), dir.path());
    if (withDataFiles) {
        for (const char *name : {"click_1.wav", "click_2.wav", "tap4.wav", "2.wav", "bwread.html"})
            copyDataFile(QString::fromLatin1(name));
    }
}

TestApp::~TestApp()
{
    form.reset();
}

void TestApp::copyDataFile(const QString &name)
{
    QFile::copy(QDir(QStringLiteral(BW_DATA_DIR)).filePath(name), dir.filePath(name));
}

bool TestApp::start()
{
    form = std::make_unique<TForm1>(*state, modes);
    if (!form->FormCreate())
        return false;
    form->show();
    form->createStartWindows();
    return true;
}

bool triggerAction(QObject *root, const char *objectName)
{
    auto *action = root->findChild<QAction *>(QString::fromLatin1(objectName));
    if (action == nullptr)
        return false;
    action->trigger();
    return true;
}

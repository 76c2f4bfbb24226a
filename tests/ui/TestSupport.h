#pragma once

#include "AppState.h"
#include "FakeServices.h"
#include "ModeRegistry.h"

#include <QTemporaryDir>

#include <memory>

class TForm1;

// A program instance for one test: a private working folder (holding copies of the sound and help files),
// fake services and the application state. The main window is created by start().
class TestApp
{
public:
    // `withDataFiles` copies the shipped sound, help and story files into the working folder.
    explicit TestApp(bool withDataFiles = true);
    ~TestApp();

    // Runs the creation handler and, when it succeeds, shows the window and creates the start windows.
    bool start();
    QString path(const QString &name) const { return dir.filePath(name); }
    // Copies one shipped data file into the working folder.
    void copyDataFile(const QString &name);

    QTemporaryDir dir;
    FakeServiceSet fakes;
    std::unique_ptr<AppState> state;
    ModeRegistry modes;
    std::unique_ptr<TForm1> form;
};

// Triggers a QAction found by object name below `root`; fails the current test when there is none.
bool triggerAction(QObject *root, const char *objectName);

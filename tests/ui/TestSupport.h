#pragma once

#include "FakeServices.h"
#include "Program.h"

#include <QTemporaryDir>

class TForm1;

// A program instance for one test: a private working folder (holding copies of the sound and help files),
// fake services, and the program composed as main() composes it. Every test so states exactly which
// messages a user sees.
class TestApp
{
public:
    // `withDataFiles` copies the shipped sound and help files into the working folder.
    explicit TestApp(bool withDataFiles = true);
    // Fails the running test when a scripted answer went unused or a prompt came that nobody scripted.
    ~TestApp();

    // The program's own start-up.
    bool start() { return program.start(); }
    TForm1 *form() const { return program.frame(); }
    QString path(const QString &name) const { return dir.filePath(name); }
    // Copies one shipped data file into the working folder.
    void copyDataFile(const QString &name);
    // Writes `lines` as a UTF-8 text file in the working folder, each line ended by a line feed.
    void writeLines(const QString &name, const QStringList &lines);

    QTemporaryDir dir;
    FakeServiceSet fakes;
    Program program;
    AppState *const state = &program.state;
    ModeRegistry &modes = program.modes;
};

// Triggers a QAction found by object name below `root`; false when there is none.
bool triggerAction(QObject *root, const char *objectName);

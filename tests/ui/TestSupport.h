#pragma once

#include "FakeServices.h"
#include "Program.h"

#include <QTemporaryDir>

class PacedReader;
class QPushButton;
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
    // Writes `bytes` as a file in the working folder; its full path.
    QString writeBytes(const QString &name, const QByteArray &bytes);
    // Whether the Short Stories menu and Options > Fonts can be used; a running reading holds both.
    bool storiesEnabled() const;
    bool fontsEnabled() const;

    QTemporaryDir dir;
    FakeServiceSet fakes;
    Program program;
    AppState *const state = &program.state;
    ModeRegistry &modes = program.modes;
};

// What a reader says of a file it cannot read as text: the opening, with the name, cut to 110 characters.
QString notFoundMessage(const QString &name);
inline const QString kSaveWpmQuestion = QStringLiteral("Do you want to save this WPM score on chart?");

// Triggers a QAction found by object name below `root`; false when there is none.
bool triggerAction(QObject *root, const char *objectName);

// Paces `reader` by hand to the end of its reading, counting a second every third tick.
void paceToTheEnd(PacedReader &reader);
// Opens the speed test in `program`, loads `file` through Open File, starts and pages down to the end zone,
// counting `seconds` along the way. Returns Stop Reading, the step that scores.
QPushButton *speedTestToTheEnd(Program &program, FakeDialogService &dialogs, const QString &file,
                               int seconds);

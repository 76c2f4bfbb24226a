#pragma once

#include "FakeServices.h"
#include "Program.h"
#include "app/AppState.h"
#include "app/mainwindow.h"
#include "control/control.h"

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>

class PacedReader;
class TExerciseForm;
class TTachiForm;

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
    // The bytes of a file in the working folder; a file that cannot be read fails the running test.
    QByteArray readBytes(const QString &name) const;
    // Whether the Short Stories menu and Options > Fonts can be used; a running reading holds both.
    bool storiesEnabled() const;
    bool fontsEnabled() const;

    QTemporaryDir dir;
    FakeServiceSet fakes;
    Program program;
    AppState *const state = &program.state;
};

// What a reader says of a file it cannot read as text: the opening, with the name, cut to 110 characters.
QString notFoundMessage(const QString &name);
inline const QString kSaveWpmQuestion = QStringLiteral("Do you want to save this WPM score on chart?");

// The control panel and its page of `mode` (the frame knows the panel only as a ControlPanel).
inline TControlForm *panelOf(AppState &state)
{
    return qobject_cast<TControlForm *>(state.controlPanel.data());
}
inline ControlPage *pageOf(AppState &state, Mode mode)
{
    TControlForm *panel = panelOf(state);
    return panel != nullptr ? panel->page(mode) : nullptr;
}

// Triggers a QAction found by object name below `root`; false when there is none.
bool triggerAction(QObject *root, const char *objectName);

// Paces `reader` by hand to the end of its reading, counting a second every third tick.
void paceToTheEnd(PacedReader &reader);
// Flashes a started tachistoscope reading to its end, with `seconds` counted first.
void flashToTheEnd(TTachiForm &reader, int seconds);
// Checks choice c (1..3) of question 1, 2, ... of a comprehension test and presses Done; with `percent` the
// score message and the save question (answered `save`) are scripted.
void submitTest(TestApp &app, QWidget *test, std::initializer_list<int> choices, int percent = -1,
                bool save = true);
// Runs a started exercise from its countdown to the three choices; the word stays up for its time.
void exerciseToChoices(TestApp &app, TExerciseForm &form);
// Checks the exercise's right box or a wrong one and presses Enter.
void answerExercise(TExerciseForm &form, bool right);
// Opens the speed test in `program`, loads `file` through Open File, starts and pages down to the end zone,
// counting `seconds` along the way. Returns Stop Reading, the step that scores.
QPushButton *speedTestToTheEnd(Program &program, FakeDialogService &dialogs, const QString &file,
                               int seconds);

// The child of `root` of that type and object name; null when there is none.
template <typename T> T *child(const QObject *root, const char *name)
{
    return root->findChild<T *>(QString::fromLatin1(name));
}

// A started program with one mode opened from the Reading menu: the mode's window and its control page.
template <typename Window, typename Page> struct ModeApp
{
    explicit ModeApp(const char *command)
    {
        if (app.start() && triggerAction(app.form(), command)) {
            window = qobject_cast<Window *>(app.state->modeWindow.data());
            page = app.state->controlPanel->template findChild<Page *>();
        }
    }
    QPushButton *button(const char *name) const { return child<QPushButton>(page, name); }
    QAction *action(const char *name) const { return child<QAction>(page, name); }

    TestApp app;
    Window *window = nullptr;
    Page *page = nullptr;
};

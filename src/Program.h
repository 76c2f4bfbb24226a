#pragma once

#include "Services.h"
#include "app/AppState.h"
#include "app/ModeRegistry.h"

#include <QString>

#include <memory>

class TForm1;

// The program put together: the application state, the registered modes and the frame. main() and the tests
// start it the same way.
class Program
{
public:
    // Registers every mode and start window; nothing is shown yet. The shipped files are read from `dataDir`;
    // what the program writes goes to `userDir`. One folder serves as both in the single-argument form.
    Program(Services services, QString workingDir);
    Program(Services services, QString dataDir, QString userDir);
    ~Program();

    // The start-up: makes the frame, plugs in the commands, runs the creation handler and, unless that ends
    // the program, shows the frame with its start windows. False when the program must end at once.
    bool start();
    // The frame while it exists; null before start() and after end().
    TForm1 *frame() const { return m_frame.get(); }
    // Destroys the frame, as the program does at its end.
    void end();

    AppState state;
    ModeRegistry modes;

private:
    std::unique_ptr<TForm1> m_frame;
};

// Where the modes plug in: each mode's window and page, registered the same way.
void registerModes(ModeRegistry &modes);

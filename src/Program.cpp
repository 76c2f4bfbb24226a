#include "Program.h"

#include "app/mainwindow.h"
#include "assess/Tests.h"
#include "assess/exercise.h"
#include "charts/ChartCommands.h"
#include "control/CreateTextPage.h"
#include "control/ExercisePage.h"
#include "control/HorizControlPage.h"
#include "control/MakeText.h"
#include "control/SpeedTestPage.h"
#include "control/TachiPage.h"
#include "control/VertControlPage.h"
#include "control/control.h"
#include "lessons/LessonsForm.h"
#include "readers/SpeedTest.h"
#include "readers/longread.h"
#include "readers/tacky.h"
#include "readers/vertical.h"

void registerModes(ModeRegistry &modes)
{
    // Made first: the control panel and the mode windows take their default places from it.
    modes.addStartWindow([](AppState &state, Frame &frame) { TLessonForm::create(state, frame); });
    modes.setEntry(Mode::Tachi, modeEntry<TTachiForm, TTachiPage>());
    modes.setEntry(Mode::Horiz, modeEntry<THorizonForm, HorizControlPage>());
    modes.setEntry(Mode::Vert, modeEntry<TVertForm, VertControlPage>());
    modes.setEntry(Mode::SpeedTest, modeEntry<TSpeedTestForm, SpeedTestPage>());
    modes.setEntry(Mode::Exercise, modeEntry<TExerciseForm, ExercisePage>());
    modes.setEntry(Mode::CreateText, modeEntry<TCreateTextForm, CreateTextPage>());
    modes.setControlPanel(
        [](AppState &state, const ModeRegistry &registry) { return new TControlForm(state, registry); });
    modes.setComprehensionTest([](AppState &state) { return new TCompTestForm(state); });
}

Program::Program(Services services, QString workingDir) : Program(services, workingDir, workingDir) {}

Program::Program(Services services, QString dataDir, QString userDir)
    : state(services, std::move(dataDir), std::move(userDir))
{
    registerModes(modes);
}

Program::~Program() = default;

bool Program::start()
{
    m_frame = std::make_unique<TForm1>(state, modes);
    plugChartCommands(*m_frame, state);
    if (!m_frame->FormCreate())
        return false;
    m_frame->show();
    m_frame->createStartWindows();
    return true;
}

void Program::end()
{
    m_frame.reset();
}

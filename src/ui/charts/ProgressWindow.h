#pragma once

#include "ProgressData.h"
#include "app/ChildWindow.h"
#include "app/HelpTopic.h"

#include <QFutureWatcher>

#include <array>

class ExerciseProgressPage;
class ModeProgressPage;
class QLabel;
class QTabWidget;
class TextsProgressPage;

// "Progress": every dated reading, test and exercise answer of the progress database, per mode, per text and
// for the exercise, with an export of everything as CSV files. The data is read on a worker thread through
// its own connection; the pages fill when it is in.
class ProgressWindow final : public ChildWindow, public HelpTopic
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressWindow)

public:
    static constexpr int kHelpContext = 130;

    explicit ProgressWindow(AppState &state, QWidget *parent = nullptr);
    ~ProgressWindow() override;
    int helpContext() const override { return kHelpContext; }

    // Reads the database again; a read still running is left to finish unseen.
    void reload();
    // Waits for the read in progress and shows its data.
    void finishLoading();
    bool loading() const { return m_watcher.isRunning(); }

    QTabWidget *tabs() const { return m_tabs; }
    ModeProgressPage *modePage(Mode mode) const;
    TextsProgressPage *textsPage() const { return m_texts; }
    ExerciseProgressPage *exercisePage() const { return m_exercise; }
    void exportCsv();

private:
    void showData(const ProgressData &data);

    QFutureWatcher<ProgressData> m_watcher;
    QTabWidget *m_tabs;
    QLabel *m_status;
    std::array<ModeProgressPage *, kModeCount> m_modePages{};
    TextsProgressPage *m_texts;
    ExerciseProgressPage *m_exercise;
};

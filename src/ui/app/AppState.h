#pragma once

#include "AppValues.h"
#include "ChartData.h"
#include "ModeTable.h"
#include "ProgressDb.h"
#include "ReadingOptions.h"
#include "Services.h"
#include "Settings.h"
#include "SettingsFile.h"
#include "Wpm.h"

#include <QPointer>
#include <QString>

#include <array>
#include <memory>
#include <optional>

class Frame;
class HelpWindow;
class ModeWindow;
class QWidget;
class ControlPanel;
struct SourceText;

// The one application state: the settings record, the program-wide flags and values, the live windows
// and the platform services. Created in main (or by a test) and handed to every window.
class AppState : public TAppValues
{
public:
    // One folder for both the shipped files and the user's (the tests, and a copy run from its own folder).
    AppState(Services services, QString workingDir);
    AppState(Services services, QString dataDir, QString userDir);
    ~AppState();
    Q_DISABLE_COPY_MOVE(AppState)

    // The settings record: every window reads it; changes go through the operations below, each named for
    // what it changes, so a new place that writes a field shows.
    const TSettings &Settings;
    Services services;

    // The record as a whole: loaded at start, or a test's prepared record.
    void replaceSettings(const TSettings &settings) { m_settings = settings; }
    // A mode's pacing: the tachistoscope's and the exercise's flash time, a pacer's interval (ms), each
    // kept within the range its control offers.
    void setSpeed(Mode mode, int ms);
    // The vertical reader's pause between the lines of one sweep (ms).
    void setSweepSpeed(int ms);
    // Fixations per line (horizontal, vertical) or the fixation width in characters (tachistoscope).
    void setFixations(Mode mode, int value);
    void setDownSweep(int lines);
    // Spaces before a paragraph's first line (tachistoscope, create text).
    void setIndent(Mode mode, int spaces);
    void setPracticeMinutes(int minutes);
    void setExerciseLastPercent(const QString &text);
    void setFont(Mode mode, const TFontGroup &font);
    enum class Colour
    {
        Main,
        TachiBack,
        ExerciseBack,
    };
    void setColour(Colour which, std::int32_t colour);
    std::int32_t colour(Colour which) const;
    // How read and unread text look in the paced readers (the text visibility panels).
    enum class TextLook
    {
        HorizUnread,
        HorizRead,
        VertUnread,
    };
    void setTextLook(TextLook which, int value);
    std::uint8_t textLook(TextLook which) const;
    void setSoundOn(bool on);
    // A window's placement: its bounds, and its flag cleared so that they are used next time.
    void storePlacement(std::uint8_t TSettings::*flag, TBounds TSettings::*bounds, const TBounds &value);
    void storeMainPlacement(const TBounds &bounds);
    void setMainDefaultPlacement(bool on);
    void setMainDefaultSize(int width, int height);

    // The main window while it exists; windows reach it only through this interface.
    Frame *frame = nullptr;
    QPointer<ControlPanel> controlPanel;
    QPointer<ModeWindow> modeWindow;
    QPointer<QWidget> lessonWindow;
    // The manual, made on the first request for help and kept for the rest of the run.
    QPointer<HelpWindow> helpWindow;

    // The reading-comfort options and the places where texts from files were left (options.ini).
    ReadingOptions options;
    // Places are kept per reader: the tachistoscope counts its formatted lines, the horizontal reader the
    // file's own.
    static constexpr int kTachiPlaces = 1;
    static constexpr int kHorizPlaces = 2;
    void loadOptions();
    // Written at once, so a place survives a crash; a failure only loses the comfort, never a score, and
    // is reported once a run.
    void saveOptions();

    // The text the current reader holds when it came from a file: which book (its content hash keys it, so a
    // renamed copy is the same book), its title, and which part of how many. Empty for a story.
    struct OpenBook
    {
        QString path;
        QString hash;
        QString title;
        int part = 1;
        int parts = 1;
        bool isBook() const { return parts > 1; }
    };
    OpenBook book;
    // The next book opened goes on where it was left without asking (Reading > Recent Books).
    bool resumeNextBook = false;

    // Help context of the main window; the mode help and "Contents" set it.
    int HelpContext = 10;

    // A file the program knows by name: what it writes (settings2.dat, options.ini, temp.txt) in the user's
    // folder, everything else in the shipped folder. An absolute name stays as it is.
    QString filePath(const QString &name) const;
    // The shipped files (read-only once installed).
    const QString &dataDir() const { return m_dataDir; }
    // The open dialog for a text: "All readable files" of `kinds` first, then `filters`; it starts in the
    // folder last used (kept in options.ini), else the user's documents folder. Empty when cancelled.
    QString chooseTextFile(const QString &kinds, const QString &filters);
    // A file the user opens, read off the interface thread (a long book shows its progress and Cancel);
    // nothing when the user cancelled.
    std::optional<SourceText> readSource(const QString &path);
    // The user's own folder, which takes everything the program writes by default.
    const QString &userDir() const { return m_userDir; }

    // The click sounds 1..4, shipped files.
    static constexpr std::array<const char *, 4> kSoundFiles = {"click_1.wav", "click_2.wav", "tap4.wav",
                                                                "2.wav"};
    // Plays click sound n (1..4; other numbers play 1) when sound is on.
    void PlayClick(int n);
    // Help for the current mode (its context), or the error when the help file cannot be opened.
    void ShowModeHelp();
    // The manual in the help window at the section of `context` (HelpWindow::kContents: at its top); the
    // error, naming the file, when it cannot be read.
    void showHelp(int context);

    // Score histories change through these so that no score is lost on a crash: each change is written
    // to the settings file at once (unless the file is to be deleted at exit).
    void historyAppend(Mode mode, ChartKind kind, double value);
    void historyRemoveLast(Mode mode, ChartKind kind, double value);
    void historyClear(Mode mode, ChartKind kind);
    // The end of a timed reading of `mode`: its speed, when it has one, goes into the mode's history (on
    // file at once). A stepped reading, or one that counted no whole second, has none and records nothing.
    void recordReading(Mode mode, const ReadingResult &result);
    // Then: for a story, offer the comprehension test; otherwise (or when the test is declined) ask whether
    // to keep the speed just recorded, and take it back on No. Without a recorded speed there is nothing to
    // ask about.
    void askAfterReading(Mode mode);
    // The WPM score of the mode's last finished reading (0 when none), which the comprehension test takes
    // back together with its own score when the user does not keep them.
    double lastWpm(Mode mode) const;
    // The comprehension test of the mode's last reading (story, score, and each answer given and whether it
    // was right); then whether the user keeps it and the reading's speed on the chart.
    void recordTest(Mode mode, int story, double score, const std::vector<AnswerRecord> &answers);
    void keepLastTest(Mode mode, bool kept);
    void recordExerciseItem(const ExerciseRecord &item);

    // The progress database beside the settings record: every reading, test and exercise answer, dated.
    // Opened at start; what goes wrong with it is told once a run and never keeps a score from the settings
    // record. A second copy of the program reads it without recording.
    void openProgress();
    // At the program's end: the database closed and its lock given up.
    void closeProgress() { m_progress.reset(); }
    ProgressDb *progress() const { return m_progress.get(); }
    QString progressPath() const;

    // A score history of a reading mode; null for the exercise and create text.
    const THistory *history(Mode mode, ChartKind kind) const;

    // How the settings file is written; a test may replace the atomic step.
    SettingsFileWriter settingsWriter;
    // Writes settings2.dat and shows the error when that fails. Returns whether the file was written.
    bool saveSettingsFile();
    // Writes settings2.dat after a score changed (not while a restore of the defaults is pending). A failure
    // is shown once; the next failure is shown again only after a save has worked in between.
    void saveAfterScore();

private:
    THistory *editableHistory(Mode mode, ChartKind kind);
    TextRef currentText() const;
    ReadingSettings readingSettings(Mode mode) const;
    // Runs a write on the database when it records; a failure is told once a run.
    template <typename Write> void recordProgress(Write write);
    void reportProgressFailure();

    TSettings m_settings;
    QString m_dataDir;
    QString m_userDir;
    std::array<double, kModeCount> m_lastWpm{};
    bool m_scoreSaveFailureShown = false;
    bool m_optionsSaveFailureShown = false;
    std::unique_ptr<ProgressDb> m_progress;
    std::array<std::optional<qint64>, kModeCount> m_lastReadingId{};
    std::optional<qint64> m_lastTestId;
    bool m_progressFailureShown = false;
};

// A prepared record for a test or a benchmark (a damaged value, a full history). The program changes its
// settings only through AppState's named operations; the layering check keeps this out of src/.
template <typename Edit> void editSettings(AppState &state, Edit edit)
{
    TSettings settings = state.Settings;
    edit(settings);
    state.replaceSettings(settings);
}

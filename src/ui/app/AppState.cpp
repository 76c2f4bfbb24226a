#include "app/AppState.h"

#include "SettingsFile.h"
#include "TextSource.h"
#include "UserFolder.h"
#include "app/ControlPanel.h"
#include "app/Frame.h"
#include "app/HelpWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

AppState::AppState(Services s, QString workingDir) : AppState(s, workingDir, workingDir) {}

AppState::AppState(Services s, QString dataDir, QString userDir)
    : Settings(m_settings), services(s), m_settings(defaultSettings(96)), m_dataDir(std::move(dataDir)),
      m_userDir(std::move(userDir))
{
}

AppState::~AppState()
{
    // The frame owns the help window; one made without a frame (a window tested on its own) goes here.
    if (helpWindow != nullptr && helpWindow->parent() == nullptr)
        delete helpWindow;
}

void AppState::setSpeed(Mode mode, int ms)
{
    switch (mode) {
    case Mode::Tachi:
        m_settings.TachiFlashTime = kTachiFlashTimeRange.clamp(ms);
        break;
    case Mode::Horiz:
        m_settings.HorizInterval = kPacerIntervalRange.clamp(ms);
        break;
    case Mode::Vert:
        m_settings.VertInterval = kPacerIntervalRange.clamp(ms);
        break;
    case Mode::Exercise:
        m_settings.ExerciseFlashTime = kExerciseFlashTimeRange.clamp(ms);
        break;
    default:
        break;
    }
}

void AppState::setSweepSpeed(int ms)
{
    m_settings.VertSecondInterval = kVertSweepIntervalRange.clamp(ms);
}

void AppState::setFixations(Mode mode, int value)
{
    if (mode == Mode::Tachi)
        m_settings.TachiFixationWidth = kTachiFixationWidthRange.clamp(value);
    else if (mode == Mode::Horiz)
        m_settings.HorizFixations = static_cast<std::uint8_t>(kHorizFixationsRange.clamp(value));
    else if (mode == Mode::Vert)
        m_settings.VertFixations = kVertFixationsRange.clamp(value);
}

void AppState::setDownSweep(int lines)
{
    m_settings.VertDownSweep = kVertDownSweepRange.clamp(lines);
}

void AppState::setIndent(Mode mode, int spaces)
{
    spaces = kIndentRange.clamp(spaces);
    if (mode == Mode::Tachi)
        m_settings.TachiIndent = static_cast<std::uint8_t>(spaces);
    else if (mode == Mode::CreateText)
        m_settings.CreateTextIndent = spaces;
}

void AppState::setPracticeMinutes(int minutes)
{
    m_settings.ExercisePracticeMinutes = kPracticeMinutesRange.clamp(minutes);
}

void AppState::setExerciseLastPercent(const QString &text)
{
    m_settings.ExerciseLastPercent = text;
}

void AppState::setFont(Mode mode, const TFontGroup &font)
{
    if (mode != Mode::None)
        modeInfo(mode).setFont(m_settings, font);
}

namespace {

std::int32_t TSettings::*colourField(AppState::Colour which)
{
    switch (which) {
    case AppState::Colour::Main:
        return &TSettings::MainColor;
    case AppState::Colour::TachiBack:
        return &TSettings::TachiBackColor;
    case AppState::Colour::ExerciseBack:
        break;
    }
    return &TSettings::ExerciseBackColor;
}

} // namespace

void AppState::setColour(Colour which, std::int32_t colour)
{
    m_settings.*colourField(which) = colour;
}

std::int32_t AppState::colour(Colour which) const
{
    return m_settings.*colourField(which);
}

namespace {

std::uint8_t TSettings::*lookField(AppState::TextLook which)
{
    switch (which) {
    case AppState::TextLook::HorizUnread:
        return &TSettings::HorizUnreadTextMode;
    case AppState::TextLook::HorizRead:
        return &TSettings::HorizReadTextMode;
    case AppState::TextLook::VertUnread:
        break;
    }
    return &TSettings::VertUnreadTextMode;
}

} // namespace

void AppState::setTextLook(TextLook which, int value)
{
    m_settings.*lookField(which) = static_cast<std::uint8_t>(value);
}

std::uint8_t AppState::textLook(TextLook which) const
{
    return m_settings.*lookField(which);
}

void AppState::setSoundOn(bool on)
{
    m_settings.SoundOn = on ? 1 : 0;
}

void AppState::storePlacement(std::uint8_t TSettings::*flag, TBounds TSettings::*bounds, const TBounds &value)
{
    m_settings.*bounds = value;
    m_settings.*flag = 0;
}

void AppState::storeMainPlacement(const TBounds &bounds)
{
    m_settings.MainBounds = bounds;
}

void AppState::setMainDefaultPlacement(bool on)
{
    m_settings.UseDefaultMainPlacement = on ? 1 : 0;
}

void AppState::setMainDefaultSize(int width, int height)
{
    m_settings.MainBounds.Width = width;
    m_settings.MainBounds.Height = height;
}

QString AppState::filePath(const QString &name) const
{
    return QDir(isUserFile(name) ? m_userDir : m_dataDir).filePath(name);
}

void AppState::loadOptions()
{
    options = ReadingOptions::load(filePath(QString::fromLatin1(kOptionsFileName)));
}

void AppState::saveOptions()
{
    const QString path = filePath(QString::fromLatin1(kOptionsFileName));
    if (options.save(path) || m_optionsSaveFailureShown)
        return;
    m_optionsSaveFailureShown = true;
    services.messages.error(QStringLiteral("Your reading options cannot be saved in \"") +
                            QDir::toNativeSeparators(path) +
                            QStringLiteral("\". They stay as they are until the program ends."));
}

QString AppState::chooseTextFile(const QString &kinds, const QString &filters)
{
    QString folder = options.lastFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString path =
        services.dialogs.openFileName(QStringLiteral("Open File"), folder,
                                      QStringLiteral("All readable files (%1);;").arg(kinds) + filters);
    if (!path.isEmpty()) {
        options.lastFolder = QFileInfo(path).absolutePath();
        saveOptions();
    }
    return path;
}

std::optional<SourceText> AppState::readSource(const QString &path)
{
    SourceText source;
    const QString label = QStringLiteral("Opening \"%1\"...").arg(QFileInfo(path).fileName());
    const bool done = services.dialogs.runWork(label, [&source, &path](const WorkControl &control) {
        source = readSourceText(path, ImportControl{control.progress, control.cancelled});
    });
    if (!done || source.error == importCancelled())
        return std::nullopt;
    return source;
}

void AppState::PlayClick(int n)
{
    if (Settings.SoundOn != 1)
        return;
    if (n < 1 || n > 4)
        n = 1;
    services.sound.play(filePath(QString::fromLatin1(kSoundFiles[static_cast<std::size_t>(n - 1)])));
}

void AppState::ShowModeHelp()
{
    const int context = helpContextFor(currentMode(*this));
    showHelp(context != 0 ? context : HelpContext);
}

void AppState::showHelp(int context)
{
    if (controlPanel != nullptr)
        controlPanel->holdReading();
    if (context != HelpWindow::kContents)
        HelpContext = context;
    if (helpWindow == nullptr) {
        const QString path = filePath(QStringLiteral("bwread.html"));
        auto window = std::make_unique<HelpWindow>(services, frame != nullptr ? frame->widget() : nullptr);
        if (!window->load(path)) {
            services.messages.error(
                QStringLiteral("The help file cannot be opened. It is missing or cannot be read: \"%1\". "
                               "Installing Brindlewick Speed Reader again puts it back.")
                    .arg(QDir::toNativeSeparators(path)));
            return;
        }
        if (frame != nullptr)
            window->setGeometry(
                HelpWindow::defaultGeometry(frame->widget()->frameGeometry(), services.screen.size()));
        helpWindow = window.release();
    }
    helpWindow->showContext(context);
}

void AppState::historyAppend(Mode mode, ChartKind kind, double value)
{
    if (THistory *h = editableHistory(mode, kind)) {
        ::historyAppend(*h, value);
        saveAfterScore();
    }
}

void AppState::historyRemoveLast(Mode mode, ChartKind kind, double value)
{
    if (THistory *h = editableHistory(mode, kind)) {
        ::historyRemoveLast(*h, value);
        saveAfterScore();
    }
}

void AppState::historyClear(Mode mode, ChartKind kind)
{
    if (THistory *h = editableHistory(mode, kind)) {
        ::historyClear(*h);
        saveAfterScore();
    }
}

bool AppState::saveSettingsFile()
{
    switch (::saveSettingsFile(filePath(QString::fromLatin1(kSettingsFileName)), Settings, settingsWriter)) {
    case SettingsSaveResult::Saved:
        m_scoreSaveFailureShown = false;
        return true;
    case SettingsSaveResult::CannotMake:
        services.messages.error(QStringLiteral("The file \"settings2.dat\" cannot be made."));
        break;
    case SettingsSaveResult::CannotSave:
        services.messages.error(QStringLiteral("Your settings cannot be Saved."));
        break;
    }
    return false;
}

void AppState::saveAfterScore()
{
    if (RestoreDefaultsPending == 1)
        return;
    if (!m_scoreSaveFailureShown) {
        m_scoreSaveFailureShown = !saveSettingsFile();
        return;
    }
    // Already reported: try again without a second message until a save works.
    if (::saveSettingsFile(filePath(QString::fromLatin1(kSettingsFileName)), Settings, settingsWriter) ==
        SettingsSaveResult::Saved)
        m_scoreSaveFailureShown = false;
}

void AppState::recordReading(Mode mode, const ReadingResult &result)
{
    const std::optional<double> wpm = result.wpm();
    if (chartModeFor(mode) == nullptr)
        return;
    const double kept = wpm && plausibleScore(*wpm, HistoryKind::Wpm) ? *wpm : 0.0;
    m_lastWpm[static_cast<std::size_t>(mode)] = kept;
    if (kept > 0.0)
        historyAppend(mode, ChartKind::Wpm, kept);
    std::optional<qint64> &id = m_lastReadingId[static_cast<std::size_t>(mode)];
    id.reset();
    recordProgress([&](ProgressDb &db) {
        id = db.recordReading(ReadingRecord{QDateTime::currentDateTime(), mode, currentText(), result.words,
                                            result.seconds, wpm, readingSettings(mode), kept > 0.0,
                                            result.stepped, result.continued});
        return id.has_value();
    });
}

TextRef AppState::currentText() const
{
    if (StoryLoaded == 1)
        return TextRef{TextKind::Story, QString::number(StoryNumber), StoryTitle, {}, 1, 1};
    if (!book.hash.isEmpty())
        return TextRef{TextKind::Book, book.hash, book.title, book.path, book.part, book.parts};
    const QFileInfo file(StoryFileName);
    return TextRef{TextKind::File,
                   file.fileName(),
                   file.fileName(),
                   StoryFileName.isEmpty() ? QString() : file.absoluteFilePath(),
                   1,
                   1};
}

ReadingSettings AppState::readingSettings(Mode mode) const
{
    const TSettings &s = Settings;
    switch (mode) {
    case Mode::Tachi:
        return ReadingSettings{s.TachiFlashTime, s.TachiFixationWidth, {}, {}, {}, {}};
    case Mode::Horiz:
        return ReadingSettings{{}, {}, s.HorizFixations, s.HorizInterval, {}, {}};
    case Mode::Vert:
        return ReadingSettings{
            {}, {}, s.VertFixations, s.VertInterval, s.VertDownSweep, s.VertSecondInterval};
    default:
        return {};
    }
}

template <typename Write> void AppState::recordProgress(Write write)
{
    if (m_progress != nullptr && m_progress->canRecord() && !write(*m_progress))
        reportProgressFailure();
}

void AppState::reportProgressFailure()
{
    if (m_progressFailureShown)
        return;
    m_progressFailureShown = true;
    services.messages.error(
        QStringLiteral("Your progress cannot be recorded in \"%1\". Your scores still go to the charts.")
            .arg(QDir::toNativeSeparators(progressPath())));
}

QString AppState::progressPath() const
{
    return filePath(QString::fromLatin1(kProgressFileName));
}

void AppState::openProgress()
{
    m_progress = std::make_unique<ProgressDb>(progressPath());
    const ProgressDb::Opened opened = m_progress->open();
    if (opened == ProgressDb::Opened::ReadOnly && m_progress->error().isEmpty()) {
        m_progressFailureShown = true;
        services.messages.information(QStringLiteral(
            "Another copy of Brindlewick Speed Reader is recording your progress. This copy shows it but "
            "records nothing; your scores still go to the charts."));
        return;
    }
    if (opened == ProgressDb::Opened::ReplacedDamaged)
        services.messages.information(QStringLiteral(
            "Your progress file was damaged. It was set aside, with \"damaged\" and the date added to its "
            "name, and a new one started; the scores on your charts are kept."));
    if (!m_progress->canRecord()) {
        reportProgressFailure();
        return;
    }
    // The scores the settings record already holds start the charts, once.
    recordProgress([this](ProgressDb &db) { return db.importHistories(Settings) || db.error().isEmpty(); });
}

void AppState::recordTest(Mode mode, int story, double score, const std::vector<AnswerRecord> &answers)
{
    m_lastTestId.reset();
    recordProgress([&](ProgressDb &db) {
        m_lastTestId =
            db.recordTest(TestRecord{m_lastReadingId[static_cast<std::size_t>(mode)],
                                     QDateTime::currentDateTime(), mode, story, score, answers, true});
        return m_lastTestId.has_value();
    });
}

void AppState::keepLastTest(Mode mode, bool kept)
{
    const std::optional<qint64> reading = m_lastReadingId[static_cast<std::size_t>(mode)];
    recordProgress([&](ProgressDb &db) {
        return (!m_lastTestId || db.setTestKept(*m_lastTestId, kept)) &&
               (!reading || db.setReadingKept(*reading, kept));
    });
}

void AppState::recordExerciseItem(const ExerciseRecord &item)
{
    recordProgress([&](ProgressDb &db) { return db.recordExerciseItem(item); });
}

void AppState::askAfterReading(Mode mode)
{
    if (StoryLoaded == 1) {
        if (services.messages.confirm(QStringLiteral("Do you want to test for comprehension?"))) {
            if (frame != nullptr)
                frame->openComprehensionTest();
            return;
        }
        StoryLoaded = 0;
    }
    const double wpm = lastWpm(mode);
    if (wpm > 0.0 &&
        !services.messages.confirm(QStringLiteral("Do you want to save this WPM score on chart?"))) {
        historyRemoveLast(mode, ChartKind::Wpm, wpm);
        if (const std::optional<qint64> id = m_lastReadingId[static_cast<std::size_t>(mode)])
            recordProgress([&](ProgressDb &db) { return db.setReadingKept(*id, false); });
    }
}

double AppState::lastWpm(Mode mode) const
{
    return mode == Mode::None ? 0.0 : m_lastWpm[static_cast<std::size_t>(mode)];
}

THistory *AppState::editableHistory(Mode mode, ChartKind kind)
{
    const ModeInfo *m = chartModeFor(mode);
    return m != nullptr ? &chartHistory(*m, m_settings, kind) : nullptr;
}

const THistory *AppState::history(Mode mode, ChartKind kind) const
{
    const ModeInfo *m = chartModeFor(mode);
    return m != nullptr ? &(m_settings.*(kind == ChartKind::Wpm ? m->wpmHistory : m->comprehensionHistory))
                        : nullptr;
}

#include "app/AppState.h"

#include "SettingsFile.h"
#include "UserFolder.h"
#include "app/Frame.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

constexpr const char *kSoundFiles[] = {"click_1.wav", "click_2.wav", "tap4.wav", "2.wav"};

} // namespace

AppState::AppState(Services s, QString workingDir) : AppState(s, workingDir, workingDir) {}

AppState::AppState(Services s, QString dataDir, QString userDir)
    : services(s), m_dataDir(std::move(dataDir)), m_userDir(std::move(userDir))
{
    Settings = defaultSettings(96);
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

void AppState::PlayClick(int n)
{
    if (Settings.SoundOn != 1)
        return;
    if (n < 1 || n > 4)
        n = 1;
    services.sound.play(filePath(QString::fromLatin1(kSoundFiles[n - 1])));
}

void AppState::ShowModeHelp()
{
    const int context = helpContextFor(currentMode(*this));
    showHelp(context != 0 ? context : HelpContext);
}

void AppState::showHelp(int context)
{
    HelpContext = context;
    const QString path = filePath(QStringLiteral("bwread.html"));
    bool opened = false;
    if (QFileInfo::exists(path)) {
        QUrl url = QUrl::fromLocalFile(path);
        url.setFragment(QStringLiteral("context-%1").arg(context));
        opened = services.shell.open(url);
    }
    if (!opened)
        services.messages.error(QStringLiteral("The help file cannot be opened."));
}

void AppState::historyAppend(THistory &history, double value)
{
    ::historyAppend(history, value);
    saveAfterScore();
}

void AppState::historyRemoveLast(THistory &history, double value)
{
    ::historyRemoveLast(history, value);
    saveAfterScore();
}

void AppState::historyClear(THistory &history)
{
    ::historyClear(history);
    saveAfterScore();
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

void AppState::recordSpeed(Mode mode, std::optional<double> wpm)
{
    THistory *history = wpmHistory(mode);
    if (history == nullptr)
        return;
    const double kept = wpm && plausibleScore(*wpm, HistoryKind::Wpm) ? *wpm : 0.0;
    m_lastWpm[static_cast<std::size_t>(mode)] = kept;
    if (kept > 0.0)
        historyAppend(*history, kept);
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
        !services.messages.confirm(QStringLiteral("Do you want to save this WPM score on chart?")))
        historyRemoveLast(*wpmHistory(mode), wpm);
}

double AppState::lastWpm(Mode mode) const
{
    return mode == Mode::None ? 0.0 : m_lastWpm[static_cast<std::size_t>(mode)];
}

THistory *AppState::wpmHistory(Mode mode)
{
    return mode == Mode::None || !modeInfo(mode).scored() ? nullptr : &(Settings.*modeInfo(mode).wpmHistory);
}

THistory *AppState::comprehensionHistory(Mode mode)
{
    return mode == Mode::None || !modeInfo(mode).scored() ? nullptr
                                                          : &(Settings.*modeInfo(mode).comprehensionHistory);
}

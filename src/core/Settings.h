#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The settings-and-scores record. Its 2568-byte image is the whole of settings2.dat; field names,
// offsets and sizes are a file contract shared with every copy of the program ever saved.

inline constexpr int kSettingsRecordSize = 2568;
inline constexpr int kHistorySlots = 30;

struct TBounds
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// Font style bits as stored.
enum TFontStyleBits : std::uint8_t
{
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

struct TFontGroup
{
    QString Name;
    std::int32_t Size = 0;
    std::uint8_t Style = 0;
    std::int32_t Color = 0; // $00BBGGRR
};

using THistory = std::array<double, kHistorySlots>;

struct TSettings
{
    std::uint8_t UseDefaultMainPlacement = 0;
    std::uint8_t ControlDefaultPlacement = 0;
    std::uint8_t LessonDefaultPlacement = 0;
    std::uint8_t TachiDefaultPlacement = 0;
    std::uint8_t HorizDefaultPlacement = 0;
    std::uint8_t VertDefaultPlacement = 0;
    std::uint8_t CreateTextDefaultPlacement = 0;
    std::uint8_t SpeedTestDefaultPlacement = 0;
    std::uint8_t ExerciseDefaultPlacement = 0;

    TBounds MainBounds;
    TBounds LessonBounds;
    TBounds ControlBounds;
    TBounds HorizBounds;
    TBounds VertBounds;
    TBounds TachiBounds;
    TBounds CreateTextBounds;
    TBounds SpeedTestBounds;
    TBounds ExerciseBounds;

    std::int32_t MainColor = 0;

    TFontGroup HorizFont;
    std::uint8_t HorizFixations = 0;
    std::uint8_t HorizReadTextMode = 0;
    std::uint8_t HorizUnreadTextMode = 0;
    std::int32_t HorizInterval = 0;
    THistory HorizWpmHistory{};
    THistory HorizComprehensionHistory{};

    std::uint8_t TachiIndent = 0;
    std::int32_t TachiFixationWidth = 0;
    std::int32_t TachiFlashTime = 0;
    THistory TachiWpmHistory{};
    THistory TachiComprehensionHistory{};
    std::int32_t TachiBackColor = 0;
    TFontGroup TachiFont;

    std::uint8_t VertUnreadTextMode = 0;
    std::int32_t VertFontColor = 0;
    QString VertFontName;
    std::int32_t VertFontSize = 0;
    std::uint8_t VertFontStyle = 0;
    std::int32_t VertSecondInterval = 0;
    std::int32_t VertDownSweep = 0;
    std::int32_t VertFixations = 0;
    std::int32_t VertInterval = 0;
    THistory VertWpmHistory{};
    THistory VertComprehensionHistory{};

    std::int32_t ExerciseBackColor = 0;
    TFontGroup ExerciseFont;
    std::int32_t ExerciseFlashTime = 0;
    QString ExerciseLastPercent;
    std::int32_t ExercisePracticeMinutes = 0;
    std::int32_t CreateTextIndent = 0;
    TFontGroup CreateTextFont;
    TFontGroup SpeedTestFont;
    THistory SpeedTestWpmHistory{};
    THistory SpeedTestComprehensionHistory{};

    std::uint8_t SoundOn = 0;

    // The image this record was read from. Padding, reserved fields and the bytes behind a string's
    // length are not interpreted; saving writes them back as they came.
    std::array<std::uint8_t, kSettingsRecordSize> Image{};
};

// Defaults as a fresh installation has them; four font sizes shrink on screens of 115 dpi or more.
TSettings defaultSettings(int screenDpi);

// Decodes a record image. Shorter input gives the defaults; longer input is read up to its first record.
// A history slot holding no plausible score reads as empty; a string length beyond its capacity is cut to
// the capacity.
TSettings decodeSettings(const QByteArray &bytes, int screenDpi);
QByteArray encodeSettings(const TSettings &settings);

// One field of the layout, for checking the codec against the file contract.
struct TSettingsFieldInfo
{
    const char *name;
    int offset;
    int size;
};
std::vector<TSettingsFieldInfo> settingsLayout();

enum class HistoryKind
{
    Wpm,
    Comprehension, // fractions 0..1
};
// Faster than anyone reads; a slot above it holds a damaged value, not a score.
inline constexpr double kMaxPlausibleWpm = 100000.0;
// A score a history can hold: finite, above 0, at most kMaxPlausibleWpm words per minute or a fraction of 1.
bool plausibleScore(double value, HistoryKind kind);

// Score histories: slots fill from the first; 0.0 marks an empty slot. A full history drops its oldest
// score. A value no history can hold (0, negative, not finite, above kMaxPlausibleWpm) is not appended:
// appended to a full history it would push out a real score.
void historyAppend(THistory &history, double value);
// Takes back the score an append just stored: the last slot holding `value`. Nothing when no slot holds it
// (the append refused it), so an earlier score is never taken back.
void historyRemoveLast(THistory &history, double value);
void historyClear(THistory &history);
int historyCount(const THistory &history);

#pragma once

#include <QString>

#include <cstdint>

// The training modes, in the order the program tests their flags when it looks for the current one.
enum class Mode
{
    Tachi,
    Horiz,
    Vert,
    SpeedTest,
    Exercise,
    CreateText,
    None
};

// Program-wide flags and values shared by the windows (all bytes are 0 or 1 unless told otherwise).
struct TAppValues
{
    // The one current mode; the six mode flags are read from it, so at most one is ever set.
    Mode CurrentMode = Mode::Horiz;
    std::uint8_t TachiOpen() const { return CurrentMode == Mode::Tachi; }
    std::uint8_t HorizOpen() const { return CurrentMode == Mode::Horiz; }
    std::uint8_t VertOpen() const { return CurrentMode == Mode::Vert; }
    std::uint8_t SpeedTestOpen() const { return CurrentMode == Mode::SpeedTest; }
    std::uint8_t ExerciseOpen() const { return CurrentMode == Mode::Exercise; }
    std::uint8_t CreateTextOpen() const { return CurrentMode == Mode::CreateText; }

    std::uint8_t ControlPanelOpen = 0;
    std::uint8_t StoryLoaded = 0;
    std::uint8_t LoadTempFile = 0; // 1 tachistoscope, 2 horizontal, 3 vertical, 0 none
    std::uint8_t SoundDevicePresent = 0;
    std::uint8_t RestoreDefaultsPending = 0;
    std::uint8_t SpeedTestEndReached = 0;
    std::uint8_t ChartShowsTachi = 0;
    std::uint8_t ChartShowsHoriz = 0;
    std::uint8_t ChartShowsVert = 0;
    std::uint8_t ChartShowsSpeedTest = 0;
    QString StoryTitle;
    QString StoryFileName;
    std::int32_t StoryNumber = 0;
};

inline Mode currentMode(const TAppValues &v)
{
    return v.CurrentMode;
}
// Sets the flag of `mode` and clears the other five.
inline void setCurrentMode(TAppValues &v, Mode mode)
{
    v.CurrentMode = mode;
}
inline bool isModeOpen(const TAppValues &v, Mode mode)
{
    return mode != Mode::None && v.CurrentMode == mode;
}
// Help context of a mode (30..80), or 0 for None.
int helpContextFor(Mode mode);
// Stores the file name (or path) the next load reads.
void setStoryFileName(TAppValues &v, const QString &fileName);

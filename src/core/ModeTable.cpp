#include "ModeTable.h"

namespace {

template <TFontGroup TSettings::*Field> TFontGroup fontField(const TSettings &s)
{
    return s.*Field;
}

template <TFontGroup TSettings::*Field> void setFontField(TSettings &s, const TFontGroup &f)
{
    s.*Field = f;
}

// The vertical reader keeps its font in four fields of their own.
TFontGroup vertFont(const TSettings &s)
{
    return TFontGroup{s.VertFontName, s.VertFontSize, s.VertFontStyle, s.VertFontColor};
}

void setVertFont(TSettings &s, const TFontGroup &f)
{
    s.VertFontName = f.Name;
    s.VertFontSize = f.Size;
    s.VertFontStyle = f.Style;
    s.VertFontColor = f.Color;
}

} // namespace

const std::array<ModeInfo, kModeCount> &modeTable()
{
    static const std::array<ModeInfo, kModeCount> table = {{
        {Mode::Tachi,
         "&Tachistoscopic Reading",
         "tachiAction",
         30,
         1,
         {{8, 16}, true},
         fontField<&TSettings::TachiFont>,
         setFontField<&TSettings::TachiFont>,
         &TSettings::TachiWpmHistory,
         &TSettings::TachiComprehensionHistory,
         "Tachistoscopic Reading Charts",
         "&Tachistoscopic Reading...",
         "chartTachiAction",
         &TAppValues::ChartShowsTachi},
        {Mode::Horiz,
         "&Horizontal Reading",
         "horizAction",
         40,
         2,
         {{8, 14}, false},
         fontField<&TSettings::HorizFont>,
         setFontField<&TSettings::HorizFont>,
         &TSettings::HorizWpmHistory,
         &TSettings::HorizComprehensionHistory,
         "Horizontal Reading Charts",
         "&Horizontal Reading...",
         "chartHorizAction",
         &TAppValues::ChartShowsHoriz},
        {Mode::Vert,
         "&Vertical Reading",
         "vertAction",
         50,
         3,
         {{8, 14}, false},
         vertFont,
         setVertFont,
         &TSettings::VertWpmHistory,
         &TSettings::VertComprehensionHistory,
         "Vertical Reading Charts",
         "&Vertical Reading...",
         "chartVertAction",
         &TAppValues::ChartShowsVert},
        {Mode::SpeedTest,
         "Reading &Speed Tests",
         "speedTestAction",
         60,
         0,
         {{8, 14}, true},
         fontField<&TSettings::SpeedTestFont>,
         setFontField<&TSettings::SpeedTestFont>,
         &TSettings::SpeedTestWpmHistory,
         &TSettings::SpeedTestComprehensionHistory,
         "Speed Test Reading Charts",
         "&Reading Tests...",
         "chartSpeedTestAction",
         &TAppValues::ChartShowsSpeedTest},
        {Mode::Exercise,
         "&Exercises",
         "exerciseAction",
         70,
         0,
         {{8, 20}, true},
         fontField<&TSettings::ExerciseFont>,
         setFontField<&TSettings::ExerciseFont>,
         nullptr,
         nullptr,
         nullptr,
         nullptr,
         nullptr,
         nullptr},
        {Mode::CreateText,
         "&Create Text",
         "createTextAction",
         80,
         0,
         {{8, 12}, true},
         fontField<&TSettings::CreateTextFont>,
         setFontField<&TSettings::CreateTextFont>,
         nullptr,
         nullptr,
         nullptr,
         nullptr,
         nullptr,
         nullptr},
    }};
    return table;
}

const ModeInfo &modeInfo(Mode mode)
{
    return modeTable()[static_cast<std::size_t>(mode)];
}

Mode modeForTransferCode(int code)
{
    for (const ModeInfo &m : modeTable()) {
        if (m.transferCode != 0 && m.transferCode == code)
            return m.mode;
    }
    return Mode::None;
}

#pragma once

#include "AppValues.h"
#include "ParagraphFormat.h"
#include "Settings.h"
#include "VertLayout.h"

#include <array>
#include <cstddef>
#include <cstdint>

// Everything the program knows about each training mode, in one table indexed by Mode. A new mode is a new
// Mode value and a new row here (and its windows, registered where the program is put together).
inline constexpr std::size_t kModeCount = static_cast<std::size_t>(Mode::None);

// A range of whole numbers a control offers.
struct IntRange
{
    int min;
    int max;

    constexpr int clamp(int v) const { return v < min ? min : v > max ? max : v; }
    constexpr bool contains(int v) const { return v >= min && v <= max; }
};

// The sizes a mode's font dialog offers, and whether it offers colour, underline and strike-out.
struct ModeFontRange
{
    IntRange sizes;
    bool effects;
};

struct ModeInfo
{
    Mode mode;
    const char *menuText;   // the Reading menu's item
    const char *actionName; // its objectName
    int helpContext;
    // What `LoadTempFile` holds when this reader is to load the create-text window's transfer file; 0 for a
    // mode that does not take it.
    int transferCode;
    ModeFontRange fontRange;
    TFontGroup (*font)(const TSettings &);
    void (*setFont)(TSettings &, const TFontGroup &);
    // The scores of a reading mode and their chart; null for a mode that keeps none.
    THistory TSettings::*wpmHistory;
    THistory TSettings::*comprehensionHistory;
    const char *chartTitle;
    const char *chartMenuText;
    const char *chartActionName;
    std::uint8_t TAppValues::*chartFlag;

    bool scored() const { return wpmHistory != nullptr; }
};

// Rows in Mode order: tachistoscope, horizontal, vertical, speed test, exercise, create text.
const std::array<ModeInfo, kModeCount> &modeTable();
// The row of a mode other than None.
const ModeInfo &modeInfo(Mode mode);
// The modes that read a text (and score it): tachistoscope, horizontal, vertical, speed test.
inline bool readsTexts(Mode mode)
{
    return mode != Mode::None && modeInfo(mode).scored();
}
// The reader a transfer code names, or None.
Mode modeForTransferCode(int code);
// The Reading menu's order: create text first, then the others as the table holds them (so a new mode
// needs nothing here).
inline constexpr std::array<Mode, kModeCount> kReadingMenuOrder = [] {
    std::array<Mode, kModeCount> order{Mode::CreateText};
    std::size_t next = 1;
    for (std::size_t m = 0; m < kModeCount; ++m) {
        if (static_cast<Mode>(m) != Mode::CreateText)
            order[next++] = static_cast<Mode>(m);
    }
    return order;
}();
static_assert(kReadingMenuOrder[0] == Mode::CreateText && kReadingMenuOrder[1] == Mode::Tachi);

// Ranges the controls and the records share.
inline constexpr IntRange kTachiFlashTimeRange{40, 2000};
inline constexpr IntRange kExerciseFlashTimeRange{5, 1000};
inline constexpr IntRange kPacerIntervalRange{10, 2000};
inline constexpr IntRange kVertSweepIntervalRange{10, 350};
inline constexpr IntRange kTachiFixationWidthRange{8, 26};
inline constexpr IntRange kHorizFixationsRange{1, 5}; // the panel offers 2..5; the reader handles 1
inline constexpr IntRange kVertFixationsRange{kVertMinFixations, kVertMaxFixations};
inline constexpr IntRange kVertDownSweepRange{kVertMinDownSweep, kVertMaxDownSweep};
inline constexpr IntRange kIndentRange{0, kMaxParagraphIndent};
inline constexpr IntRange kPracticeMinutesRange{1, 4};

#pragma once

#include "ModeTable.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

// What the progress database keeps and gives back, as plain values.

inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

enum class TextKind
{
    Story = 0, // key: the story number
    Book = 1,  // key: the content hash
    File = 2,  // key: the file name
};

// The text a reading was of.
struct TextRef
{
    TextKind kind = TextKind::File;
    QString key;
    QString title;
    QString path;
    int part = 1;
    int parts = 1;
};

// The settings that shaped a reading; those of other modes stay unset.
struct ReadingSettings
{
    std::optional<int> flashMs, fixationWidth;     // tachistoscope
    std::optional<int> fixations, intervalMs;      // horizontal and vertical
    std::optional<int> downSweep, sweepIntervalMs; // vertical
};

struct ReadingRecord
{
    QDateTime at; // stored as UTC and the local offset of the moment
    Mode mode = Mode::Horiz;
    TextRef text;
    double words = 0;
    double seconds = 0;
    std::optional<double> wpm; // none when stepped or no second was counted
    ReadingSettings settings;
    bool kept = true;
    bool stepped = false;
    bool continued = false;
};

struct AnswerRecord
{
    int given = 0; // the choice, 1..3
    bool right = false;
};

struct TestRecord
{
    std::optional<qint64> readingId;
    QDateTime at;
    Mode mode = Mode::Horiz;
    int story = 0;
    double score = 0; // fraction right
    std::vector<AnswerRecord> answers;
    bool kept = true;
};

struct ExerciseRecord
{
    QDateTime at;
    int flashMs = 0;
    int group = 0;
    QString shown;
    QString answer;
    bool right = false;
    int responseMs = 0;
    std::optional<double> frames{};      // the flash time in frames of the screen, when its rate is known
    std::optional<double> thresholdMs{}; // the staircase's estimate after this answer, when it ran
};

// One reading as the Progress window sees it. An imported score has no date.
struct ProgressReading
{
    qint64 id = 0;
    std::optional<qint64> atMs; // UTC milliseconds
    int offsetSec = 0;          // the local offset when it was read
    Mode mode = Mode::Horiz;
    int textId = 0; // 0: none
    int part = 1;
    double wpm = kNoValue;
    double comprehension = kNoValue; // fraction, from the test of that reading
    double seconds = 0;
    bool kept = true;

    bool hasWpm() const { return !std::isnan(wpm); }
    bool hasComprehension() const { return !std::isnan(comprehension); }
};

struct ProgressText
{
    int id = 0;
    TextKind kind = TextKind::File;
    QString key;
    QString title;
    QString path;
    int parts = 1;
};

// Exercise answers counted by one property (a flash time, a word group).
struct AnswerCount
{
    int key = 0;
    int items = 0;
    int right = 0;
    double fraction() const { return items > 0 ? double(right) / items : 0.0; }
};

struct ProgressData
{
    std::vector<ProgressReading> readings; // undated first, then by time
    std::vector<ProgressText> texts;
    // Imported comprehension scores per mode (fractions), undated and not paired with a reading.
    std::array<std::vector<double>, kModeCount> importedComprehension;
    std::vector<AnswerCount> byFlashTime; // ascending flash time
    std::vector<AnswerCount> byWordGroup; // ascending group
    QString error;                        // empty when the data could be read

    const ProgressText *text(int id) const;
};

#pragma once

#include "ProgressData.h"

#include <QDate>

#include <optional>
#include <vector>

// What the Progress window works out of the loaded data: plain functions over values.

// The middle value (the mean of the two middle ones for an even count); kNoValue for none.
double median(std::vector<double> values);

// A dated reading's day where it was read: its UTC time moved by the offset it was recorded with, so a
// reading keeps its day and week whatever the clocks did since.
QDate localDate(const ProgressReading &reading);

// One ISO week of a mode (Monday to Sunday, local time). The entry for the undated (imported) scores has
// no Monday.
struct WeekStat
{
    QDate monday;
    int readings = 0;                // kept readings with a speed
    double best = kNoValue;          // words per minute
    double median = kNoValue;        // words per minute
    double comprehension = kNoValue; // median fraction
    double secondsTrained = 0;       // every reading of the week, kept or not
};
// The undated scores first (when there are any), then every week with a reading, oldest first.
std::vector<WeekStat> weeklyStats(const ProgressData &data, Mode mode);

struct TextStat
{
    int textId = 0;
    int readings = 0;
    double medianWpm = kNoValue;
    double medianComprehension = kNoValue;
    int lastPart = 1; // of the latest reading
    std::optional<qint64> lastAtMs;
};
// Every text with a reading, the one read last first.
std::vector<TextStat> textStats(const ProgressData &data);

// The fraction right at a flash time, for three choices: a third by guessing, rising with the logarithm of
// the flash time toward all right.
struct FlashCurve
{
    double a = 0;
    double b = 0;
    double centre = 0; // mean log flash time the fit was centred on
    double at(double flashMs) const;
};
// Fitted by maximum likelihood over the answers; none with fewer than three flash times, or when accuracy
// does not rise with the flash time.
std::optional<FlashCurve> fitFlashCurve(const std::vector<AnswerCount> &byFlashTime);

struct FlashEstimate
{
    enum class Method
    {
        Fit,          // from the fitted curve
        Interpolated, // linearly between the two practised flash times around the target
    };
    double flashMs = 0;
    Method method = Method::Fit;
};
// The flash time at which `target` of the answers are right: the fitted curve's when there is one and its
// answer lies within the practised times (beyond them it would be a guess), otherwise interpolated where the
// practised times first cross the target; none when they never do.
std::optional<FlashEstimate> flashTimeFor(const std::vector<AnswerCount> &byFlashTime, double target = 0.75);

#pragma once

#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

// Rounds to the nearest integer, halves to the even neighbour (412.5 -> 412, 413.5 -> 414). A value beyond
// what an int holds gives that end of the range and NaN gives 0, so no input converts out of range.
inline long long roundHalfEven(double value)
{
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    if (std::isnan(value))
        return 0;
    return static_cast<long long>(std::nearbyint(std::clamp(value, lowest, highest)));
}

// Words per minute from a word count (the readers count five characters a word) and the seconds counted;
// no score without a counted second.
inline std::optional<double> wordsPerMinute(double words, double seconds)
{
    if (!(seconds > 0.0))
        return std::nullopt;
    return words / (seconds / 60.0);
}

inline QString wpmText(double wpm)
{
    return QString::number(roundHalfEven(wpm));
}

// What a finished reading scored. Only a reading the pacer paced throughout has a speed: once the user steps
// through it by hand, its seconds no longer belong to its words.
struct ReadingResult
{
    double words = 0.0;
    double seconds = 0.0;
    bool stepped = false;
    // Continued from a stored place: the words are those this reading paced, not the whole text's.
    bool continued = false;

    // The speed to record; none when stepped or when no whole second was counted.
    std::optional<double> wpm() const { return stepped ? std::nullopt : wordsPerMinute(words, seconds); }
    // The result line under the text.
    QString text() const
    {
        if (stepped)
            return QStringLiteral("Stepped through: no speed recorded.");
        return wpmText(wpm().value_or(0.0)) + QStringLiteral(" words per minute!");
    }
};

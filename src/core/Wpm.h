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

// Words are characters divided by five; no score without counted seconds.
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

#pragma once

#include <QString>

#include <cmath>
#include <optional>

// Rounds to the nearest integer, halves to the even neighbour (412.5 -> 412, 413.5 -> 414).
inline long long roundHalfEven(double value)
{
    return static_cast<long long>(std::nearbyint(value));
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

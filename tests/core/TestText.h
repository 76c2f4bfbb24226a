#pragma once

#include "HorizLayout.h"
#include "MemoLines.h"
#include "StoryLibrary.h"

#include <QString>
#include <QStringList>

#include <ostream>
#include <vector>

// Readable failure output for Qt strings.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i > 0 ? ", \"" : "\"") << list.at(i).toStdString() << '"';
    *os << '}';
}

// A monospaced stand-in for the canvas: 6 pixels a character, 10 a line.
inline HorizMetrics monoMetrics()
{
    return HorizMetrics{[](const QString &s) { return static_cast<int>(s.size()) * 6; }, 10};
}

// A memo wrapping at a fixed number of characters, holding the given paragraphs.
inline MemoLines memoOf(int width, const QStringList &paragraphs)
{
    MemoLines memo([width](const QString &p) { return wrapAtCharacters(p, width); });
    memo.setText(paragraphs.join(QLatin1Char('\n')));
    return memo;
}

// Every story of the menu, in menu order.
inline std::vector<StoryEntry> allStories()
{
    std::vector<StoryEntry> all(kLongerClassics.begin(), kLongerClassics.end());
    all.insert(all.end(), kShorterClassics.begin(), kShorterClassics.end());
    all.insert(all.end(), kModernStories.begin(), kModernStories.end());
    return all;
}

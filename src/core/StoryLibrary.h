#pragma once

#include <QString>

#include <array>

struct StoryEntry
{
    const char *menuCaption; // with its access-key mark
    const char *title;       // as stored; the file is the title + ".bwr"
    int number;
};

// In menu order: Classics > Longer, Classics > Shorter, Modern.
inline constexpr std::array<StoryEntry, 4> kLongerClassics = {{
    {"&Haircut", "Haircut", 9},
    {"&The Ambitious Guest", "The Ambitious Guest", 4},
    {"The Baron of Grog&zwig", "The Baron of Grogzwig", 3},
    {"The Tiger, or the &Lady", "The Tiger or the Lady", 16},
}};
inline constexpr std::array<StoryEntry, 9> kShorterClassics = {{
    {"&Bellflower", "Bellflower", 11},
    {"&How the Leopard Got His Spots", "How the Leopard Got His Spots", 8},
    {"&One of These Days", "One of These Days", 10},
    {"&The Boarded Window", "The Boarded Window", 1},
    {"The &Gift of the Magi", "The Gift of the Magi", 5},
    {"The La&st Leaf", "The Last Leaf", 6},
    {"The &Lottery Ticket", "The Lottery Ticket", 2},
    {"The &Princess and the Puma", "The Princess and the Puma", 7},
    {"The Street That Got &Mislaid", "The Street That Got Mislaid", 15},
}};
inline constexpr std::array<StoryEntry, 3> kModernStories = {{
    {"&Dinner In Scotland", "Dinner In Scotland", 12},
    {"&Ug", "Ug", 13},
    {"&Mitch", "Mitch", 14},
}};

inline QString storyFileName(const StoryEntry &e)
{
    return QString::fromLatin1(e.title) + QStringLiteral(".bwr");
}

#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// Text counted the way a reader counts it: a character outside the Basic Multilingual Plane (a surrogate pair
// in a QString) is one character, and no cut ever falls between its two halves.

// Number of characters in s.
int charCount(QStringView s);
// The first n characters of s (all of s when it is shorter).
QString leftChars(const QString &s, int n);
// `count` characters of s from character `from` (0-based); a negative count takes the rest.
QString midChars(const QString &s, int from, int count = -1);
// Where each character of s starts, in code units, followed by s.size(): entry c is the offset of
// character c, and the last entry closes the last character.
std::vector<qsizetype> charOffsets(QStringView s);
// Code-unit offset `count` characters on from `offset` (clamped to the end of s).
qsizetype advanceChars(QStringView s, qsizetype offset, int count);

// Runs of characters between blanks (spaces, tabs and line ends), as the user counts words.
qint64 wordCount(QStringView s);

// What a window leaves out of a text it cannot take whole; the user is told these numbers.
struct TextLeftOut
{
    qint64 lines = 0;
    qint64 words = 0;

    bool any() const { return lines > 0 || words > 0; }
};

// "1 line", "2 lines": a count for a message.
QString countOf(qint64 n, const char *noun);

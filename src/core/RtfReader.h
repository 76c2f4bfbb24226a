#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// A reader for the small part of RTF the lesson documents use: groups, paragraphs, bold, italic, underline,
// hidden text, font size, font family (font table), text colour (colour table), paragraph alignment, list
// bullets (\pntext, \listtext), \'hh escapes in Windows-1252 and \uN characters with their fallbacks.
// Everything else is skipped. It never recurses and never reads past the input, so a damaged or hostile file
// yields whatever text could be read.

struct RtfColor
{
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const RtfColor &) const = default;
};

enum class RtfAlignment
{
    Left,
    Centre,
    Right,
    Justify
};

struct RtfCharFormat
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    // RTF counts font sizes in half points; 24 (12 pt) is its default.
    int halfPoints = 24;
    // Empty when the document names no font: the viewer's default family applies.
    QString fontFamily;
    // Empty for the automatic colour (the viewer's text colour).
    std::optional<RtfColor> color;

    double pointSize() const { return halfPoints / 2.0; }
    bool operator==(const RtfCharFormat &) const = default;
};

struct RtfRun
{
    QString text;
    RtfCharFormat format;
};

struct RtfParagraph
{
    RtfAlignment alignment = RtfAlignment::Left;
    // Adjacent text of equal format is one run; an empty paragraph (a blank line) has no runs. Past 256 runs
    // the text takes the last run's format.
    QList<RtfRun> runs;

    QString text() const;
};

struct RtfDocument
{
    QList<RtfParagraph> paragraphs;
    // The input began with "{\rtf"; without it the bytes were still read, as RTF text.
    bool hasHeader = false;
    // Every group was closed: false for a truncated file.
    bool complete = false;

    // Paragraph texts joined by '\n'.
    QString plainText() const;
};

RtfDocument parseRtf(QByteArrayView bytes);

// Lesson documents are a few kilobytes; anything this large is not one of ours.
inline constexpr qint64 kMaxRtfFileBytes = 16 * 1024 * 1024;

// nullopt when the file cannot be opened or exceeds kMaxRtfFileBytes.
std::optional<RtfDocument> readRtfFile(const QString &path);

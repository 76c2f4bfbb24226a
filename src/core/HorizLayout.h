#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

// The horizontal reader's text tables and the cutting of its lines into fixations. Text width comes in
// through HorizMetrics, so the layout runs (and is tested) without fonts.

inline constexpr int kHorizMaxLines = 1000;
inline constexpr int kHorizLineCapacity = 80;
inline constexpr int kFixationCellCapacity = 52;
inline constexpr int kHorizMaxFixations = 5;
inline constexpr int kHorizMargin = 8;
// The scroll range the page never goes below, so a short text scrolls like a long one.
inline constexpr int kHorizMinPageHeight = 24500;
// Added to a line without a space so that it can be cut in two; never shown.
inline constexpr QLatin1String AsteriskPad(" **********");

// The looks of unread and read text.
enum class HorizStyle
{
    Invisible,
    Visible,
    SeeThrough,
    Covered
};

// HorizUnreadTextMode 1..3 and HorizReadTextMode 1..4; any other value leaves the current style as it is.
std::optional<HorizStyle> unreadStyleFor(int mode);
std::optional<HorizStyle> readStyleFor(int mode);

// Which font a piece of text is drawn in: the reader font as chosen, bold ("THE END!") or regular (the
// score).
enum class HorizWeight
{
    Font,
    Bold,
    Regular
};

struct HorizDraw
{
    enum class Kind
    {
        Text,
        TopEdge
    };
    Kind kind = Kind::Text;
    QString text;
    int x = 0;
    int y = 0; // top of the text line
    HorizStyle style = HorizStyle::Visible;
    HorizWeight weight = HorizWeight::Font;
    int length = 0; // TopEdge: a one-pixel white line from x to x + length along y

    bool operator==(const HorizDraw &) const = default;
};

struct HorizMetrics
{
    std::function<int(const QString &)> width;
    int lineHeight = 0;
};

using FixationRow = std::array<QString, kHorizMaxFixations>;

struct HorizText
{
    int fixations = 2;                      // K the text was cut with
    QStringList TextLines;                  // line i at index i - 1, after normalisation
    std::vector<FixationRow> FixationCells; // cut to kFixationCellCapacity
    std::vector<QStringList> pieces;        // the fixations in full, as drawn; empty for a blank line
    int LineCount = 0;
    double WordCount = 0.0;
    int TotalFixations = 0;
    bool longWords = false;

    // 1-based, as the pacer counts lines.
    const QString &cell(int line, int j) const
    {
        return FixationCells[static_cast<std::size_t>(line - 1)][j - 1];
    }
    bool isBlank(int line) const { return cell(line, 1) == QLatin1String(" "); }
};

struct HorizSplit
{
    int position = 0; // 1-based position of the space
    bool exact = false;
};

// Searches a space near target t (1-based) of s, left side first, up to 22 either way; sets `longWord` when
// both probes at a distance of 10 or more miss.
std::optional<HorizSplit> SplitTarget(const QString &s, int t, bool &longWord);
// The fixations of a non-blank line cut with K (1..5) after every fall-back; never empty, never more than K.
QStringList cutHorizLine(const QString &s, int fixations, bool &longWord);
// A stored line: cut to 80, padded when it holds no space, a single leading space dropped.
QString normaliseHorizLine(const QString &fileLine);
bool isBlankHorizLine(const QString &line);
// The first "**********" removed, as the read look shows a line.
QString withoutPad(QString text);
// A stored line as it may be shown whole: a one-word line without its pad, which the cut to 80 characters
// may have shortened; any other line as it is.
QString padFree(const QString &line);
bool isPadForm(const QString &cell);

// Fills the tables from a file's lines (at most 1000 are used) with K fixations per line.
HorizText LayoutHorizontalText(const QStringList &fileLines, int fixations);
// The unread page: every non-blank line drawn at its place in the unread look of `unreadMode`.
std::vector<HorizDraw> drawHorizontalPage(const HorizText &text, int unreadMode, const HorizMetrics &metrics);
// Height of the page: all lines, the two end lines, and room to scroll the last line to the top.
int horizPageHeight(int lineCount, int lineHeight, int clientHeight);

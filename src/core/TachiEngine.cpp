#include "TachiEngine.h"

#include "TextChars.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kMaxProbe = 30;
constexpr int kMaxPiece = 60;
// The end block is 140 characters; progress counts all but the last 105 of the text.
constexpr int kProgressTail = 105;

const QString kBreak = QStringLiteral("^^");
const QString kEnd = QStringLiteral("@@");

// True when the marker at `index` has at most three spaces and nothing else before it.
bool leadsPiece(const QString &piece, qsizetype index)
{
    if (index > 3)
        return false;
    for (qsizetype i = 0; i < index; ++i) {
        if (piece.at(i) != u' ')
            return false;
    }
    return true;
}

// Given the "^^" at 0-based `index` of `text`, the index after it and after every " ^^" that follows at
// once: breaks in a row are one.
qsizetype skipBreaks(const QString &text, qsizetype index)
{
    index += 2;
    while (text.mid(index, 3) == QLatin1String(" ^^"))
        index += 3;
    return index;
}

bool isCloser(QChar c)
{
    return QStringView(u"\"')]}\u00BB\u2019\u201D").contains(c);
}

bool isOpener(QChar c)
{
    return QStringView(u"\"'([{\u00AB\u2018\u201C").contains(c);
}

// The word before a period that does not end a sentence: a title or common abbreviation ("Mr", "etc"), a
// single capital initial ("J"), or a run of letters each with its period ("U.S", "e.g", "i.e").
bool isAbbreviation(QStringView word)
{
    while (!word.isEmpty() && isOpener(word.front()))
        word = word.mid(1);
    static const QStringList titles{QStringLiteral("mr"), QStringLiteral("mrs"), QStringLiteral("ms"),
                                    QStringLiteral("dr"), QStringLiteral("st"),  QStringLiteral("jr"),
                                    QStringLiteral("sr"), QStringLiteral("vs"),  QStringLiteral("etc")};
    if (titles.contains(word.toString().toLower()))
        return true;
    if (word.size() == 1)
        return word.front().isUpper();
    // Letter, period, letter, ... ending in a letter.
    if (word.size() % 2 == 0)
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (i % 2 == 0 ? !word.at(i).isLetter() : word.at(i) != u'.')
            return false;
    }
    return true;
}

} // namespace

PieceEnding pieceEnding(QStringView piece, QStringView following)
{
    qsizetype end = piece.size();
    while (end > 0 && piece.at(end - 1) == u' ')
        --end;
    while (end > 0 && isCloser(piece.at(end - 1)))
        --end;
    if (end == 0)
        return PieceEnding::Plain;
    const QChar last = piece.at(end - 1);
    if (last == u'!' || last == u'?' || last == QChar(0x2026))
        return PieceEnding::Sentence;
    if (last != u'.')
        return PieceEnding::Plain;
    const qsizetype wordStart = piece.left(end - 1).lastIndexOf(u' ') + 1;
    if (isAbbreviation(piece.mid(wordStart, end - 1 - wordStart)))
        return PieceEnding::Plain;
    qsizetype i = 0;
    while (i < following.size() && following.at(i) == u' ')
        ++i;
    while (i < following.size() && isOpener(following.at(i)))
        ++i;
    const QStringView next = following.mid(i);
    if (next.isEmpty() || next.startsWith(kBreak) || next.startsWith(kEnd) || next.at(0).isUpper())
        return PieceEnding::Sentence;
    return PieceEnding::Plain;
}

int holdTime(int flashTime, PieceEnding ending)
{
    switch (ending) {
    case PieceEnding::Sentence:
        return flashTime + flashTime / 2;
    case PieceEnding::Paragraph:
        return flashTime * 2;
    case PieceEnding::Plain:
        break;
    }
    return flashTime;
}

void TTachiEngine::start(const QString &flashText)
{
    FlashText = flashText;
    FlashPos = 1;
    BlankNext = false;
    EndReached = false;
    TickCount = 0;
    m_shown.clear();
    m_onDisplay = 0;
}

void TTachiEngine::goOnFromDisplayed()
{
    if (m_onDisplay == m_shown.size())
        return;
    m_shown.resize(m_onDisplay);
    const Shown *at = m_shown.empty() ? nullptr : &m_shown.back();
    FlashPos = at != nullptr ? at->pos : 1;
    BlankNext = at != nullptr && at->blankNext;
    EndReached = at != nullptr && at->endReached;
}

std::optional<TachiFlash> TTachiEngine::stepBack()
{
    if (m_onDisplay < 2)
        return std::nullopt;
    --m_onDisplay;
    return m_shown[m_onDisplay - 1].flash;
}

std::optional<TachiFlash> TTachiEngine::stepForward(int fixationWidth)
{
    if (m_onDisplay < m_shown.size()) {
        ++m_onDisplay;
        return m_shown[m_onDisplay - 1].flash;
    }
    // A blank flash and the end are not pieces: stop before the end, step over the blank.
    if (EndReached)
        return std::nullopt;
    BlankNext = false;
    return nextPiece(fixationWidth);
}

int TTachiEngine::pieceLength(const QString &text, int pos, int width)
{
    // Probes count characters from `pos`, so a surrogate pair is one character and never the cut.
    const QStringView rest = QStringView(text).mid(std::clamp<qsizetype>(pos - 1, 0, text.size()));
    std::vector<qsizetype> at = charOffsets(rest.left(advanceChars(rest, 0, width + kMaxProbe + 1)));
    const int chars = static_cast<int>(at.size()) - 1;
    auto spaceAt = [&](int c) {
        return c >= 1 && c <= chars && rest.at(at[static_cast<std::size_t>(c - 1)]) == u' ';
    };
    auto units = [&](int c) { return static_cast<int>(at[static_cast<std::size_t>(std::min(c, chars))]); };
    if (spaceAt(width + 1))
        return units(width);
    for (int k = 1; k <= kMaxProbe; ++k) {
        if (spaceAt(width + k + 1))
            return units(width + k);
        if (width - k >= 2 && spaceAt(width - k + 1))
            return units(width - k);
    }
    return units(width);
}

int TTachiEngine::progressPercent(int pos, int textLength)
{
    const int denominator = textLength - kProgressTail;
    if (denominator <= 0)
        return 100;
    const double r = static_cast<double>(pos) / denominator;
    if (r > 0.998)
        return 100;
    return static_cast<int>(std::lround(r * 100.0));
}

TachiFlash TTachiEngine::tick(int fixationWidth)
{
    goOnFromDisplayed();
    if (BlankNext) {
        BlankNext = false;
        return TachiFlash{TachiFlash::Kind::Blank, QString(), 0};
    }
    ++TickCount;
    if (EndReached) {
        EndReached = false;
        return TachiFlash{TachiFlash::Kind::End, QString(), 100};
    }
    return nextPiece(fixationWidth);
}

TachiFlash TTachiEngine::nextPiece(int fixationWidth)
{
    const int progress = progressPercent(FlashPos, static_cast<int>(FlashText.size()));

    const int length = pieceLength(FlashText, FlashPos, fixationWidth);
    QString piece = leftChars(FlashText.mid(FlashPos - 1, length), kMaxPiece);
    const int after = FlashPos - 1 + length;
    if (FlashText.mid(after, 2) == kBreak || FlashText.mid(after, 3) == QStringLiteral(" ^^"))
        BlankNext = true;

    // Markers are found and skipped in the flash text itself, so the next piece always starts after a whole
    // chain of breaks and no part of a marker can reach the display.
    qsizetype from = 0;
    QString shown;
    if (const qsizetype lead = piece.indexOf(kBreak); lead >= 0 && leadsPiece(piece, lead)) {
        // The break the blank flash already stood for: its markers go, the spaces around them stay.
        from = std::min(skipBreaks(piece, lead), piece.size());
        shown = piece.left(from).remove(u'^');
    }
    if (const qsizetype marker = piece.indexOf(kBreak, from); marker >= 0) {
        // The paragraph ends inside the piece: show up to the break, go on after it.
        shown += piece.mid(from, marker - from);
        qsizetype next = skipBreaks(FlashText, FlashPos - 1 + marker);
        if (next < FlashText.size() && FlashText.at(next) == u' ')
            ++next;
        FlashPos = static_cast<int>(next) + 1;
        BlankNext = true;
    } else {
        shown += piece.mid(from);
        FlashPos += length;
    }
    piece = shown;

    if (const qsizetype end = piece.indexOf(kEnd); end >= 0) {
        piece.truncate(end);
        EndReached = true;
    }
    // The text's last piece ends its last paragraph.
    PieceEnding ending = PieceEnding::Paragraph;
    if (!BlankNext && !EndReached)
        ending =
            pieceEnding(piece, EndReached ? QStringView(kEnd) : QStringView(FlashText).mid(FlashPos - 1, 8));
    const TachiFlash flash{TachiFlash::Kind::Piece, piece, progress, ending};
    m_shown.push_back(Shown{flash, FlashPos, BlankNext, EndReached});
    m_onDisplay = m_shown.size();
    return flash;
}

#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <utility>

// The reading-comfort options the user turns on in the Options menu, and where each text opened from a file
// was left. They live in a small INI file of their own beside the settings record, so the record's fixed
// layout never changes; every option is off until the user turns it on.
// The options' file, beside the settings record.
inline constexpr char kOptionsFileName[] = "options.ini";

class ReadingOptions
{
public:
    static constexpr int kMaxPlaces = 50;
    // The readers that keep places in books, in the order of their modes: tachistoscope, horizontal,
    // vertical, speed test.
    static constexpr int kBookReaders = 4;
    // Far above what 50 places take; a larger file is not ours.
    static constexpr qint64 kMaxFileBytes = 256 * 1024;

    // The tachistoscope holds a piece that ends a sentence, or a paragraph, a little longer.
    bool pauseAtSentenceEnds = false;
    // While a reading is paused, Left and Right step one piece or fixation back or forward.
    bool stepWhilePaused = false;
    // A text opened from a file offers to continue where its last reading stopped.
    bool rememberPlaces = false;
    // Where the user last opened a text file; the open dialogs start there.
    QString lastFolder;

    // The word-flash exercise's extras (ExerciseOptions).
    bool exerciseStaircase = false;
    bool exerciseFastRhythm = false;
    bool exerciseBackwardMask = false;
    bool exerciseFixationMark = false;
    bool exerciseForeperiod = false;
    bool exerciseFrameLocked = false;
    // What the exercise's last answers were practised at, for its last-session message: the lowest and
    // highest flash time in ms (0: not known), and the staircase's threshold (0: none).
    int exerciseLastFlashMin = 0;
    int exerciseLastFlashMax = 0;
    double exerciseLastThreshold = 0;

    // Where a reading of `file` stopped: a 1-based line of the reader identified by `reader`.
    struct Place
    {
        QString file;
        int reader = 0;
        int line = 0;
    };

    // A book (a text of more than one part) and where each reader stopped in it: the part and the line
    // there, both from 1. Keyed by the content's hash, so a renamed copy is the same book.
    struct Book
    {
        QString hash;
        QString path;
        QString title;
        int reader = 0;                    // the reader it was last read in
        QList<std::pair<int, int>> places; // per reader: part, line (0, 0: not read there)
    };
    // Keeps where `reader` stopped in a book; the book becomes the most recent (at most kMaxPlaces kept).
    void rememberBook(const Book &book, int reader, int part, int line);
    // Where `reader` stopped in the book with `hash`, if it has read it.
    std::optional<std::pair<int, int>> bookPlace(const QString &hash, int reader) const;
    // Most recent first.
    const QList<Book> &books() const { return m_books; }

    // Keeps `line` as the place of `file` (most recent first, at most kMaxPlaces files); a line below 2
    // means the top, so the file's place is forgotten.
    void rememberPlace(const QString &file, int reader, int line);
    void forgetPlace(const QString &file);
    // The line to offer for `file` in `reader`, if one was kept there.
    std::optional<int> placeFor(const QString &file, int reader) const;
    const QList<Place> &places() const { return m_places; }

    // A missing or damaged file gives the defaults at once; values out of range are dropped one by one, and
    // at most kMaxPlaces entries are read whatever count the file states.
    static ReadingOptions load(const QString &path);
    // False when the file could not be written.
    bool save(const QString &path) const;

private:
    QList<Place> m_places;
    QList<Book> m_books;
};

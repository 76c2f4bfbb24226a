#include "ReadingOptions.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

const QString kOptions = QStringLiteral("options");
const QString kPlaces = QStringLiteral("places");
const QString kBooks = QStringLiteral("books");

// A file name as a key: the same file opened through another relative path is the same place.
QString fileKey(const QString &file)
{
    return QDir::cleanPath(QFileInfo(file).absoluteFilePath());
}

std::optional<bool> readBool(const QSettings &ini, const QString &key)
{
    const QVariant v = ini.value(key);
    if (!v.isValid())
        return std::nullopt;
    const QString s = v.toString().trimmed().toLower();
    if (s == QLatin1String("true") || s == QLatin1String("1"))
        return true;
    if (s == QLatin1String("false") || s == QLatin1String("0"))
        return false;
    return std::nullopt;
}

// The exercise's checkable extras, by their keys in the file.
constexpr std::pair<const char *, bool ReadingOptions::*> kExerciseFlags[] = {
    {"exerciseStaircase", &ReadingOptions::exerciseStaircase},
    {"exerciseFastRhythm", &ReadingOptions::exerciseFastRhythm},
    {"exerciseBackwardMask", &ReadingOptions::exerciseBackwardMask},
    {"exerciseFixationMark", &ReadingOptions::exerciseFixationMark},
    {"exerciseForeperiod", &ReadingOptions::exerciseForeperiod},
    {"exerciseFrameLocked", &ReadingOptions::exerciseFrameLocked},
};

// A flash time within the exercise's bar, or 0.
int flashOrNone(const QVariant &v)
{
    bool ok = false;
    const int ms = v.toInt(&ok);
    return ok && ms >= 5 && ms <= 1000 ? ms : 0;
}

} // namespace

void ReadingOptions::forgetPlace(const QString &file)
{
    const QString key = fileKey(file);
    m_places.removeIf([&](const Place &p) { return p.file == key; });
}

void ReadingOptions::rememberPlace(const QString &file, int reader, int line)
{
    forgetPlace(file);
    if (line < 2 || file.isEmpty())
        return;
    m_places.prepend(Place{fileKey(file), reader, line});
    while (m_places.size() > kMaxPlaces)
        m_places.removeLast();
}

std::optional<int> ReadingOptions::placeFor(const QString &file, int reader) const
{
    const QString key = fileKey(file);
    for (const Place &p : m_places) {
        if (p.file == key)
            return p.reader == reader ? std::optional<int>(p.line) : std::nullopt;
    }
    return std::nullopt;
}

void ReadingOptions::rememberBook(const Book &book, int reader, int part, int line)
{
    if (book.hash.isEmpty() || reader < 0 || reader >= kBookReaders)
        return;
    Book kept = book;
    for (const Book &b : std::as_const(m_books)) {
        if (b.hash == book.hash)
            kept.places = b.places;
    }
    m_books.removeIf([&](const Book &b) { return b.hash == book.hash; });
    kept.places.resize(kBookReaders);
    kept.places[reader] = {std::max(1, part), std::max(1, line)};
    kept.reader = reader;
    m_books.prepend(kept);
    while (m_books.size() > kMaxPlaces)
        m_books.removeLast();
}

std::optional<std::pair<int, int>> ReadingOptions::bookPlace(const QString &hash, int reader) const
{
    for (const Book &b : m_books) {
        if (b.hash == hash && reader >= 0 && reader < b.places.size() && b.places.at(reader).first > 0)
            return b.places.at(reader);
    }
    return std::nullopt;
}

ReadingOptions ReadingOptions::load(const QString &path)
{
    ReadingOptions out;
    // The file is ours and small; anything else is damage, read as the defaults without parsing it.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxFileBytes)
        return out;
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return out;
    ini.beginGroup(kOptions);
    out.pauseAtSentenceEnds = readBool(ini, QStringLiteral("pauseAtSentenceEnds")).value_or(false);
    out.stepWhilePaused = readBool(ini, QStringLiteral("stepWhilePaused")).value_or(false);
    out.rememberPlaces = readBool(ini, QStringLiteral("rememberPlaces")).value_or(false);
    out.lastFolder = ini.value(QStringLiteral("lastFolder")).toString();
    for (const auto &[key, flag] : kExerciseFlags)
        out.*flag = readBool(ini, QString::fromLatin1(key)).value_or(false);
    out.exerciseLastFlashMin = flashOrNone(ini.value(QStringLiteral("exerciseLastFlashMin")));
    out.exerciseLastFlashMax = flashOrNone(ini.value(QStringLiteral("exerciseLastFlashMax")));
    if (out.exerciseLastFlashMin == 0 || out.exerciseLastFlashMax < out.exerciseLastFlashMin)
        out.exerciseLastFlashMin = out.exerciseLastFlashMax = 0;
    bool thresholdOk = false;
    const double threshold = ini.value(QStringLiteral("exerciseLastThreshold")).toDouble(&thresholdOk);
    out.exerciseLastThreshold = thresholdOk && threshold >= 5 && threshold <= 1000 ? threshold : 0;
    ini.endGroup();
    // Whatever count the file states, no more entries than can be kept are looked at.
    const int count = std::min(ini.beginReadArray(kPlaces), static_cast<int>(kMaxPlaces));
    for (int i = 0; i < count; ++i) {
        ini.setArrayIndex(i);
        bool lineOk = false;
        bool readerOk = false;
        const QString file = ini.value(QStringLiteral("file")).toString();
        const int line = ini.value(QStringLiteral("line")).toInt(&lineOk);
        const int reader = ini.value(QStringLiteral("reader")).toInt(&readerOk);
        if (!lineOk || !readerOk || line < 2 || file.isEmpty() || out.placeFor(file, reader))
            continue;
        out.m_places.append(Place{fileKey(file), reader, line});
    }
    ini.endArray();
    const int books = std::min(ini.beginReadArray(kBooks), static_cast<int>(kMaxPlaces));
    for (int i = 0; i < books; ++i) {
        ini.setArrayIndex(i);
        Book b{ini.value(QStringLiteral("hash")).toString(),
               ini.value(QStringLiteral("path")).toString(),
               ini.value(QStringLiteral("title")).toString(),
               ini.value(QStringLiteral("reader")).toInt(),
               {}};
        const QStringList places = ini.value(QStringLiteral("places")).toString().split(u' ');
        for (int r = 0; r < kBookReaders; ++r) {
            const QStringList pl = places.value(r).split(u'/');
            b.places.append({std::max(0, pl.value(0).toInt()), std::max(0, pl.value(1).toInt())});
        }
        if (!b.hash.isEmpty() && !b.path.isEmpty() && b.reader >= 0 && b.reader < kBookReaders)
            out.m_books.append(b);
    }
    ini.endArray();
    return out;
}

bool ReadingOptions::save(const QString &path) const
{
    QSettings ini(path, QSettings::IniFormat);
    ini.clear();
    ini.beginGroup(kOptions);
    ini.setValue(QStringLiteral("pauseAtSentenceEnds"), pauseAtSentenceEnds);
    ini.setValue(QStringLiteral("stepWhilePaused"), stepWhilePaused);
    ini.setValue(QStringLiteral("rememberPlaces"), rememberPlaces);
    if (!lastFolder.isEmpty())
        ini.setValue(QStringLiteral("lastFolder"), lastFolder);
    for (const auto &[key, flag] : kExerciseFlags)
        ini.setValue(QString::fromLatin1(key), this->*flag);
    if (exerciseLastFlashMin > 0) {
        ini.setValue(QStringLiteral("exerciseLastFlashMin"), exerciseLastFlashMin);
        ini.setValue(QStringLiteral("exerciseLastFlashMax"), exerciseLastFlashMax);
    }
    if (exerciseLastThreshold > 0)
        ini.setValue(QStringLiteral("exerciseLastThreshold"), exerciseLastThreshold);
    ini.endGroup();
    ini.beginWriteArray(kPlaces, static_cast<int>(m_places.size()));
    for (int i = 0; i < m_places.size(); ++i) {
        ini.setArrayIndex(i);
        ini.setValue(QStringLiteral("file"), m_places.at(i).file);
        ini.setValue(QStringLiteral("reader"), m_places.at(i).reader);
        ini.setValue(QStringLiteral("line"), m_places.at(i).line);
    }
    ini.endArray();
    ini.beginWriteArray(kBooks, static_cast<int>(m_books.size()));
    for (int i = 0; i < m_books.size(); ++i) {
        const Book &b = m_books.at(i);
        ini.setArrayIndex(i);
        ini.setValue(QStringLiteral("hash"), b.hash);
        ini.setValue(QStringLiteral("path"), b.path);
        ini.setValue(QStringLiteral("title"), b.title);
        ini.setValue(QStringLiteral("reader"), b.reader);
        QStringList places;
        for (const auto &[part, line] : b.places)
            places.append(QStringLiteral("%1/%2").arg(part).arg(line));
        ini.setValue(QStringLiteral("places"), places.join(u' '));
    }
    ini.endArray();
    ini.sync();
    return ini.status() == QSettings::NoError;
}

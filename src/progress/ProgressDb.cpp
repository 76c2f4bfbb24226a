#include "ProgressDb.h"

#include "ChartData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QUuid>

namespace {

const QString kMemory = QStringLiteral(":memory:");
const QString kImportedKey = QStringLiteral("histories_imported");
// SQLite's codes for a file that is not (or no longer) a database.
const QStringList kDamageCodes = {QStringLiteral("11"), QStringLiteral("26")};

QVariant optionalInt(const std::optional<int> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Int));
}

QVariant optionalReal(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Double));
}

QVariant optionalId(const std::optional<qint64> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::LongLong));
}

// A null date (an undated score) stays null.
QVariant utcMs(const QDateTime &at)
{
    return at.isValid() ? QVariant(at.toMSecsSinceEpoch()) : QVariant(QMetaType(QMetaType::LongLong));
}

QString csvField(const QVariant &v, const QString &column)
{
    if (v.isNull())
        return {};
    if (column == QLatin1String("at_utc"))
        return QDateTime::fromMSecsSinceEpoch(v.toLongLong(), Qt::UTC).toString(Qt::ISODateWithMs);
    QString s = v.toString();
    if (s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"')) || s.contains(QLatin1Char('\n')))
        s = QLatin1Char('"') + s.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return s;
}

} // namespace

const ProgressText *ProgressData::text(int id) const
{
    for (const ProgressText &t : texts)
        if (t.id == id)
            return &t;
    return nullptr;
}

const std::vector<QStringList> &ProgressDb::migrations()
{
    static const std::vector<QStringList> steps = {
        {
            QStringLiteral("CREATE TABLE schema_version(version INTEGER NOT NULL)"),
            QStringLiteral("INSERT INTO schema_version VALUES (0)"),
            QStringLiteral("CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT)"),
            QStringLiteral(
                "CREATE TABLE readings(id INTEGER PRIMARY KEY, at_utc INTEGER, utc_offset INTEGER NOT NULL "
                "DEFAULT 0, mode INTEGER NOT NULL, imported INTEGER NOT NULL DEFAULT 0, text_kind INTEGER, "
                "text_key TEXT, title TEXT, part INTEGER NOT NULL DEFAULT 1, parts INTEGER NOT NULL DEFAULT "
                "1, "
                "words REAL, seconds REAL, wpm REAL, flash_ms INTEGER, fixation_width INTEGER, fixations "
                "INTEGER, interval_ms INTEGER, down_sweep INTEGER, sweep_interval_ms INTEGER, kept INTEGER "
                "NOT "
                "NULL DEFAULT 1, stepped INTEGER NOT NULL DEFAULT 0, continued INTEGER NOT NULL DEFAULT 0)"),
            QStringLiteral("CREATE TABLE tests(id INTEGER PRIMARY KEY, reading_id INTEGER REFERENCES "
                           "readings(id) ON DELETE CASCADE, at_utc INTEGER, utc_offset INTEGER NOT NULL "
                           "DEFAULT 0, mode INTEGER NOT NULL, imported INTEGER NOT NULL DEFAULT 0, story "
                           "INTEGER, score REAL NOT NULL, kept INTEGER NOT NULL DEFAULT 1)"),
            QStringLiteral("CREATE TABLE answers(test_id INTEGER NOT NULL REFERENCES tests(id) ON DELETE "
                           "CASCADE, question INTEGER NOT NULL, given INTEGER NOT NULL, right INTEGER NOT "
                           "NULL, PRIMARY KEY(test_id, question)) WITHOUT ROWID"),
            QStringLiteral("CREATE TABLE exercise_items(id INTEGER PRIMARY KEY, at_utc INTEGER NOT NULL, "
                           "utc_offset INTEGER NOT NULL DEFAULT 0, flash_ms INTEGER NOT NULL, word_group "
                           "INTEGER NOT NULL, shown TEXT NOT NULL, answer TEXT NOT NULL, right INTEGER NOT "
                           "NULL, response_ms INTEGER)"),
        },
        // Texts get a table of their own: a book read a hundred times keeps its title once, and the
        // window's load reads numbers only.
        {
            QStringLiteral("CREATE TABLE texts(id INTEGER PRIMARY KEY, kind INTEGER NOT NULL, key TEXT NOT "
                           "NULL, title TEXT NOT NULL, path TEXT, parts INTEGER NOT NULL DEFAULT 1, "
                           "UNIQUE(kind, key))"),
            QStringLiteral("INSERT INTO texts(kind, key, title, parts) SELECT text_kind, text_key, "
                           "COALESCE(MAX(title), text_key), MAX(parts) FROM readings WHERE text_key IS NOT "
                           "NULL GROUP BY text_kind, text_key"),
            QStringLiteral("ALTER TABLE readings ADD COLUMN text_id INTEGER REFERENCES texts(id)"),
            QStringLiteral("UPDATE readings SET text_id = (SELECT id FROM texts WHERE kind = "
                           "readings.text_kind AND key = readings.text_key)"),
            QStringLiteral("ALTER TABLE readings DROP COLUMN text_kind"),
            QStringLiteral("ALTER TABLE readings DROP COLUMN text_key"),
            QStringLiteral("ALTER TABLE readings DROP COLUMN title"),
            QStringLiteral("ALTER TABLE readings DROP COLUMN parts"),
            QStringLiteral("CREATE INDEX readings_by_time ON readings(at_utc)"),
            QStringLiteral("CREATE INDEX tests_by_reading ON tests(reading_id, kept)"),
            QStringLiteral("CREATE INDEX exercise_by_flash ON exercise_items(flash_ms, right)"),
            QStringLiteral("CREATE INDEX exercise_by_group ON exercise_items(word_group, right)"),
        },
        // Exercise answers keep the flash time in frames and the staircase's threshold.
        {
            QStringLiteral("ALTER TABLE exercise_items ADD COLUMN frames REAL"),
            QStringLiteral("ALTER TABLE exercise_items ADD COLUMN threshold_ms REAL"),
        },
    };
    return steps;
}

ProgressDb::ProgressDb(QString path)
    : m_path(std::move(path)), m_name(QStringLiteral("progress-") + QUuid::createUuid().toString())
{
}

ProgressDb::~ProgressDb()
{
    if (QSqlDatabase::contains(m_name)) {
        db().close();
        QSqlDatabase::removeDatabase(m_name);
    }
}

QSqlDatabase ProgressDb::db() const
{
    return QSqlDatabase::database(m_name, false);
}

bool ProgressDb::isOpen() const
{
    return QSqlDatabase::contains(m_name) && db().isOpen();
}

bool ProgressDb::fail(const QString &what, const QString &detail)
{
    m_error = what + QStringLiteral(": ") + detail;
    return false;
}

bool ProgressDb::fail(const QString &what, const QSqlError &error)
{
    m_errorCode = error.nativeErrorCode();
    return fail(what, error.text());
}

bool ProgressDb::exec(const QString &sql)
{
    QSqlQuery q(db());
    return q.exec(sql) || fail(sql.left(60), q.lastError());
}

ProgressDb::Opened ProgressDb::open(bool readOnly)
{
    const bool memory = m_path == kMemory;
    if (!memory && !readOnly) {
        m_lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".lock"));
        // A lock is another copy's as long as that copy runs, however long; a killed copy's lock is taken
        // over.
        m_lock->setStaleLockTime(0);
        if (!m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError) {
            // A copy killed between creating its lock and writing its name in it leaves an empty lock that
            // would never count as stale. A running copy writes its name at once; give it a moment.
            qint64 pid = 0;
            QString host, app;
            for (int wait = 0; wait < 4 && !m_lock->getLockInfo(&pid, &host, &app); ++wait)
                QThread::msleep(50);
            if (!m_lock->getLockInfo(&pid, &host, &app) && m_lock->removeStaleLockFile())
                m_lock->tryLock(0);
        }
        if (!m_lock->isLocked()) {
            const bool held = m_lock->error() == QLockFile::LockFailedError;
            m_lock.reset();
            if (!held) {
                fail(QStringLiteral("lock"), QStringLiteral("the folder cannot be written"));
                return Opened::Failed;
            }
            readOnly = true;
        }
    }
    m_created = memory || !QFileInfo::exists(m_path);
    if (readOnly && m_created) {
        fail(QStringLiteral("open"), QStringLiteral("no database to read"));
        return Opened::Failed;
    }
    QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    d.setDatabaseName(m_path);
    d.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=100")
                                 : QStringLiteral("QSQLITE_BUSY_TIMEOUT=200"));
    if (!d.open()) {
        fail(QStringLiteral("open"), d.lastError());
    } else if (configure(readOnly) && (readOnly || migrate())) {
        // A database of a newer program is read, never written.
        m_recording = !readOnly && schemaVersion() == kSchemaVersion;
        if (!readOnly && !m_recording)
            m_error = QStringLiteral("made by a newer version of the program");
        return m_recording ? Opened::Recording : Opened::ReadOnly;
    }
    const bool damaged = kDamageCodes.contains(m_errorCode) || m_error.startsWith(QLatin1String("damaged"));
    if (!damaged || readOnly || memory || !m_damagedPath.isEmpty())
        return Opened::Failed;
    // Set aside, never deleted: the file may still hold what someone can rescue.
    d = QSqlDatabase();
    db().close();
    QSqlDatabase::removeDatabase(m_name);
    const QString aside = m_path + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        if (QFile::exists(m_path + suffix) && !QFile::rename(m_path + suffix, aside + suffix))
            return Opened::Failed;
    m_damagedPath = aside;
    m_error.clear();
    m_errorCode.clear();
    m_lock.reset();
    return open() == Opened::Recording ? Opened::ReplacedDamaged : Opened::Failed;
}

bool ProgressDb::configure(bool readOnly)
{
    QSqlQuery q(db());
    if (!q.exec(QStringLiteral("PRAGMA foreign_keys = ON")))
        return fail(QStringLiteral("foreign keys"), q.lastError());
    if (readOnly)
        return true;
    if (!q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !q.next())
        return fail(QStringLiteral("journal"), q.lastError());
    if (!q.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return fail(QStringLiteral("synchronous"), q.lastError());
    if (!q.exec(QStringLiteral("PRAGMA quick_check")))
        return fail(QStringLiteral("check"), q.lastError());
    if (!q.next() || q.value(0).toString() != QLatin1String("ok"))
        return fail(QStringLiteral("damaged"), q.value(0).toString());
    return true;
}

int ProgressDb::schemaVersion() const
{
    QSqlQuery q(db());
    if (!db().tables().contains(QStringLiteral("schema_version")))
        return 0;
    return q.exec(QStringLiteral("SELECT version FROM schema_version")) && q.next() ? q.value(0).toInt() : -1;
}

bool ProgressDb::transaction(const std::function<bool()> &work)
{
    m_error.clear();
    m_errorCode.clear();
    QSqlDatabase d = db();
    if (!d.transaction())
        return fail(QStringLiteral("begin"), d.lastError());
    if (work() && d.commit())
        return true;
    if (m_error.isEmpty())
        fail(QStringLiteral("commit"), d.lastError());
    d.rollback();
    return false;
}

bool ProgressDb::migrate()
{
    const int version = schemaVersion();
    if (version < 0)
        return fail(QStringLiteral("damaged"), QStringLiteral("no schema version"));
    if (version > kSchemaVersion)
        return true;
    const auto &steps = migrations();
    for (int v = version; v < kSchemaVersion; ++v) {
        const bool done = transaction([&] {
            for (const QString &sql : steps[static_cast<std::size_t>(v)])
                if (!exec(sql))
                    return false;
            return exec(QStringLiteral("UPDATE schema_version SET version = %1").arg(v + 1));
        });
        if (!done)
            return false;
    }
    return true;
}

std::optional<int> ProgressDb::upsertText(const TextRef &text)
{
    if (text.key.isEmpty())
        return std::nullopt;
    QSqlQuery q(db());
    q.prepare(QStringLiteral("INSERT INTO texts(kind, key, title, path, parts) VALUES (?, ?, ?, ?, ?) ON "
                             "CONFLICT(kind, key) DO UPDATE SET title = excluded.title, path = "
                             "COALESCE(excluded.path, texts.path), parts = excluded.parts RETURNING id"));
    q.addBindValue(int(text.kind));
    q.addBindValue(text.key);
    q.addBindValue(text.title.isEmpty() ? text.key : text.title);
    q.addBindValue(text.path.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text.path));
    q.addBindValue(text.parts);
    if (!q.exec() || !q.next()) {
        fail(QStringLiteral("text"), q.lastError());
        return -1;
    }
    return q.value(0).toInt();
}

std::optional<qint64> ProgressDb::recordReading(const ReadingRecord &r)
{
    if (!m_recording)
        return std::nullopt;
    std::optional<qint64> id;
    transaction([&] {
        const std::optional<int> text = upsertText(r.text);
        if (text && *text < 0)
            return false;
        QSqlQuery q(db());
        q.prepare(QStringLiteral(
            "INSERT INTO readings(at_utc, utc_offset, mode, text_id, part, words, seconds, wpm, flash_ms, "
            "fixation_width, fixations, interval_ms, down_sweep, sweep_interval_ms, kept, stepped, "
            "continued) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const QVariant &v :
             {utcMs(r.at), QVariant(r.at.offsetFromUtc()), QVariant(int(r.mode)), optionalInt(text),
              QVariant(r.text.part), QVariant(r.words), QVariant(r.seconds),
              r.wpm ? QVariant(*r.wpm) : QVariant(QMetaType(QMetaType::Double)),
              optionalInt(r.settings.flashMs), optionalInt(r.settings.fixationWidth),
              optionalInt(r.settings.fixations), optionalInt(r.settings.intervalMs),
              optionalInt(r.settings.downSweep), optionalInt(r.settings.sweepIntervalMs),
              QVariant(int(r.kept)), QVariant(int(r.stepped)), QVariant(int(r.continued))})
            q.addBindValue(v);
        if (!q.exec())
            return fail(QStringLiteral("reading"), q.lastError());
        id = q.lastInsertId().toLongLong();
        return true;
    });
    return m_error.isEmpty() ? id : std::nullopt;
}

bool ProgressDb::setKept(const QString &table, qint64 id, bool kept)
{
    return m_recording && transaction([&] {
               QSqlQuery q(db());
               q.prepare(QStringLiteral("UPDATE %1 SET kept = ? WHERE id = ?").arg(table));
               q.addBindValue(int(kept));
               q.addBindValue(id);
               return q.exec() || fail(QStringLiteral("kept"), q.lastError());
           });
}

bool ProgressDb::setReadingKept(qint64 id, bool kept)
{
    return setKept(QStringLiteral("readings"), id, kept);
}

std::optional<qint64> ProgressDb::recordTest(const TestRecord &t)
{
    if (!m_recording)
        return std::nullopt;
    std::optional<qint64> id;
    transaction([&] {
        QSqlQuery q(db());
        q.prepare(
            QStringLiteral("INSERT INTO tests(reading_id, at_utc, utc_offset, mode, story, score, kept) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (const QVariant &v :
             {optionalId(t.readingId), utcMs(t.at), QVariant(t.at.offsetFromUtc()), QVariant(int(t.mode)),
              QVariant(t.story), QVariant(t.score), QVariant(int(t.kept))})
            q.addBindValue(v);
        if (!q.exec())
            return fail(QStringLiteral("test"), q.lastError());
        id = q.lastInsertId().toLongLong();
        q.prepare(QStringLiteral("INSERT INTO answers(test_id, question, given, right) VALUES (?, ?, ?, ?)"));
        for (std::size_t i = 0; i < t.answers.size(); ++i) {
            for (const QVariant &v : {QVariant(*id), QVariant(int(i) + 1), QVariant(t.answers[i].given),
                                      QVariant(int(t.answers[i].right))})
                q.addBindValue(v);
            if (!q.exec())
                return fail(QStringLiteral("answer"), q.lastError());
        }
        return true;
    });
    return m_error.isEmpty() ? id : std::nullopt;
}

bool ProgressDb::setTestKept(qint64 id, bool kept)
{
    return setKept(QStringLiteral("tests"), id, kept);
}

bool ProgressDb::recordExerciseItem(const ExerciseRecord &e)
{
    return m_recording && transaction([&] {
               QSqlQuery q(db());
               q.prepare(QStringLiteral(
                   "INSERT INTO exercise_items(at_utc, utc_offset, flash_ms, word_group, "
                   "shown, answer, right, response_ms, frames, threshold_ms) VALUES (?, ?, ?, ?, "
                   "?, ?, ?, ?, ?, ?)"));
               for (const QVariant &v :
                    {utcMs(e.at), QVariant(e.at.offsetFromUtc()), QVariant(e.flashMs), QVariant(e.group),
                     QVariant(e.shown), QVariant(e.answer), QVariant(int(e.right)), QVariant(e.responseMs),
                     optionalReal(e.frames), optionalReal(e.thresholdMs)})
                   q.addBindValue(v);
               return q.exec() || fail(QStringLiteral("exercise"), q.lastError());
           });
}

bool ProgressDb::importHistories(const TSettings &settings)
{
    bool imported = false;
    const bool ok =
        m_recording && transaction([&] {
            QSqlQuery q(db());
            q.prepare(QStringLiteral("SELECT 1 FROM meta WHERE key = ?"));
            q.addBindValue(kImportedKey);
            if (!q.exec())
                return fail(QStringLiteral("meta"), q.lastError());
            if (q.next())
                return true;
            for (const ModeInfo &m : modeTable()) {
                if (!m.scored())
                    continue;
                for (const ChartKind kind : {ChartKind::Wpm, ChartKind::Comprehension}) {
                    const bool wpm = kind == ChartKind::Wpm;
                    q.prepare(
                        wpm ? QStringLiteral("INSERT INTO readings(mode, imported, wpm) VALUES (?, 1, ?)")
                            : QStringLiteral("INSERT INTO tests(mode, imported, score) VALUES (?, 1, ?)"));
                    for (const double v : settings.*(wpm ? m.wpmHistory : m.comprehensionHistory)) {
                        if (v == 0.0)
                            continue;
                        q.addBindValue(int(m.mode));
                        q.addBindValue(v);
                        if (!q.exec())
                            return fail(QStringLiteral("import"), q.lastError());
                    }
                }
            }
            q.prepare(QStringLiteral("INSERT INTO meta(key, value) VALUES (?, ?)"));
            q.addBindValue(kImportedKey);
            q.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
            imported = true;
            return q.exec() || fail(QStringLiteral("meta"), q.lastError());
        });
    return ok && imported;
}

ProgressData ProgressDb::load() const
{
    ProgressData out;
    QSqlQuery q(db());
    q.setForwardOnly(true);
    auto failed = [&] {
        out.error = q.lastError().text();
        if (out.error.trimmed().isEmpty())
            out.error = QStringLiteral("the database is not open");
        return out;
    };
    // Few columns, some packed: at 100,000 rows the cost is in the values handed over, not in SQLite.
    if (!q.exec(
            QStringLiteral("SELECT r.at_utc, r.utc_offset, r.mode + 16 * r.kept + 32 * r.part + 67108864 * "
                           "IFNULL(r.text_id, 0), r.wpm, r.seconds, t.score, r.id FROM readings r LEFT JOIN "
                           "tests t ON t.reading_id = r.id AND t.kept = 1 ORDER BY r.at_utc, r.id")))
        return failed();
    while (q.next()) {
        ProgressReading r;
        if (!q.isNull(0))
            r.atMs = q.value(0).toLongLong();
        r.offsetSec = q.value(1).toInt();
        const qint64 packed = q.value(2).toLongLong();
        const int mode = int(packed % 16);
        r.mode = mode < int(kModeCount) ? Mode(mode) : Mode::None;
        r.kept = (packed / 16) % 2 != 0;
        r.part = int((packed / 32) % 2097152);
        r.textId = int(packed / 67108864);
        r.wpm = q.isNull(3) ? kNoValue : q.value(3).toDouble();
        r.seconds = q.value(4).toDouble();
        r.comprehension = q.isNull(5) ? kNoValue : q.value(5).toDouble();
        r.id = q.value(6).toLongLong();
        // A reading tested twice comes twice: the later test counts.
        if (!out.readings.empty() && out.readings.back().id == r.id)
            out.readings.back() = r;
        else if (r.mode != Mode::None)
            out.readings.push_back(r);
    }
    if (!q.exec(QStringLiteral("SELECT mode, score FROM tests WHERE reading_id IS NULL AND imported = 1 "
                               "ORDER BY id")))
        return failed();
    while (q.next())
        if (const int mode = q.value(0).toInt(); mode >= 0 && mode < int(kModeCount))
            out.importedComprehension[static_cast<std::size_t>(mode)].push_back(q.value(1).toDouble());
    if (!q.exec(QStringLiteral("SELECT id, kind, key, title, path, parts FROM texts ORDER BY id")))
        return failed();
    while (q.next())
        out.texts.push_back(ProgressText{q.value(0).toInt(), TextKind(q.value(1).toInt()),
                                         q.value(2).toString(), q.value(3).toString(), q.value(4).toString(),
                                         q.value(5).toInt()});
    for (const auto &[column, target] : {std::pair{QStringLiteral("flash_ms"), &out.byFlashTime},
                                         std::pair{QStringLiteral("word_group"), &out.byWordGroup}}) {
        if (!q.exec(
                QStringLiteral("SELECT %1, COUNT(*), SUM(right) FROM exercise_items GROUP BY %1 ORDER BY %1")
                    .arg(column)))
            return failed();
        while (q.next())
            target->push_back(AnswerCount{q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt()});
    }
    return out;
}

std::optional<QStringList> ProgressDb::exportCsv(const QString &base) const
{
    QStringList written;
    for (const QString &table : {QStringLiteral("readings"), QStringLiteral("texts"), QStringLiteral("tests"),
                                 QStringLiteral("answers"), QStringLiteral("exercise_items")}) {
        QSqlQuery q(db());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT * FROM %1").arg(table)))
            return std::nullopt;
        const QSqlRecord record = q.record();
        QStringList columns;
        for (int i = 0; i < record.count(); ++i)
            columns << record.fieldName(i);
        QSaveFile file(base + QLatin1Char('-') + table + QStringLiteral(".csv"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return std::nullopt;
        file.write(columns.join(QLatin1Char(',')).toUtf8() + '\n');
        QStringList row;
        while (q.next()) {
            row.clear();
            for (int i = 0; i < columns.size(); ++i)
                row << csvField(q.value(i), columns[i]);
            file.write(row.join(QLatin1Char(',')).toUtf8() + '\n');
        }
        if (!file.commit())
            return std::nullopt;
        written << file.fileName();
    }
    return written;
}

ProgressData loadProgressData(const QString &path)
{
    ProgressDb db(path);
    if (db.open(true) == ProgressDb::Opened::Failed) {
        ProgressData none;
        none.error = db.error();
        return none;
    }
    return db.load();
}

#pragma once

#include "ProgressData.h"
#include "Settings.h"

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QSqlDatabase;
class QSqlError;

// The progress database: every reading, comprehension test and exercise answer, one file per user beside the
// settings record. The class owns its connection (a name of its own), so each thread that needs the data
// opens its own ProgressDb. Windows never see SQL: they record and load through here.
class ProgressDb
{
public:
    static constexpr int kSchemaVersion = 3;

    enum class Opened
    {
        Recording,       // ours to write
        ReadOnly,        // another copy holds the lock (or the caller asked): queries only
        ReplacedDamaged, // the damaged file was renamed aside (damagedPath()) and a new one started
        Failed,          // nothing can be read or written (error())
    };

    // `path` is a file, or ":memory:" for a database that lives as long as this object.
    explicit ProgressDb(QString path);
    ~ProgressDb();
    ProgressDb(const ProgressDb &) = delete;
    ProgressDb &operator=(const ProgressDb &) = delete;

    // Opens (creating and migrating as needed). A copy that cannot take the lock beside the file opens it
    // read-only and never waits for the other.
    Opened open(bool readOnly = false);
    bool canRecord() const { return m_recording; }
    bool isOpen() const;
    bool isNew() const { return m_created; }
    int schemaVersion() const;
    const QString &error() const { return m_error; }
    const QString &damagedPath() const { return m_damagedPath; }

    // Each in one transaction. A failure leaves the database as it was and sets error().
    std::optional<qint64> recordReading(const ReadingRecord &reading);
    bool setReadingKept(qint64 id, bool kept);
    std::optional<qint64> recordTest(const TestRecord &test);
    bool setTestKept(qint64 id, bool kept);
    bool recordExerciseItem(const ExerciseRecord &item);
    // The score histories of an existing record, once in the database's life, as undated scores marked
    // imported; the words-per-minute and comprehension histories stay separate series. True when done now.
    bool importHistories(const TSettings &settings);

    ProgressData load() const;
    // One CSV file per table, named `base` + "-" + table + ".csv"; the paths written, or none on a failure.
    std::optional<QStringList> exportCsv(const QString &base) const;

    // The schema's steps: step i (0-based) brings a database from version i to version i + 1.
    static const std::vector<QStringList> &migrations();

private:
    QSqlDatabase db() const;
    bool configure(bool readOnly);
    bool migrate();
    bool exec(const QString &sql);
    bool transaction(const std::function<bool()> &work);
    bool fail(const QString &what, const QString &detail);
    // A reading's or a test's kept flag, by its table.
    bool setKept(const QString &table, qint64 id, bool kept);
    bool fail(const QString &what, const QSqlError &error);
    std::optional<int> upsertText(const TextRef &text);

    QString m_path;
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    bool m_recording = false;
    bool m_created = false;
    QString m_error;
    QString m_errorCode; // SQLite's, of the last failure
    QString m_damagedPath;
};

// The Progress window's data, read through a connection of this thread's own (for a worker thread).
ProgressData loadProgressData(const QString &path);

#include "ProgressDb.h"
#include "ProgressStats.h"
#include "SettingsFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimeZone>

#include <csignal>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Opened = ProgressDb::Opened;

struct Folder
{
    QTemporaryDir dir;
    QString db = dir.filePath(QStringLiteral("progress.sqlite"));
};

ReadingRecord reading(Mode mode, double wpm, const QDateTime &at = QDateTime::currentDateTime())
{
    ReadingRecord r;
    r.at = at;
    r.mode = mode;
    r.text = TextRef{TextKind::Story, QStringLiteral("3"), QStringLiteral("The Lighthouse"), {}, 1, 1};
    r.seconds = 60;
    r.words = wpm;
    r.wpm = wpm;
    return r;
}

QStringList csvLines(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                       : QStringList();
}

} // namespace

TEST(ProgressDb, RecordsEveryKindOfReadingAndExportsEachTable)
{
    Folder f;
    ProgressDb db(f.db);
    ASSERT_EQ(db.open(), Opened::Recording);
    EXPECT_EQ(db.schemaVersion(), ProgressDb::kSchemaVersion);
    ReadingRecord tachi = reading(Mode::Tachi, 412.5);
    tachi.settings.flashMs = 750;
    tachi.settings.fixationWidth = 12;
    ReadingRecord book = reading(Mode::Vert, 300);
    book.text = TextRef{TextKind::Book,
                        QStringLiteral("ab12"),
                        QStringLiteral("Moby, \"the\" Whale"),
                        QStringLiteral("/b/moby.epub"),
                        3,
                        12};
    book.settings = {{}, {}, 2, 250, 3, 150};
    book.continued = true;
    ReadingRecord stepped = reading(Mode::Horiz, 0);
    stepped.text = TextRef{TextKind::File, QStringLiteral("a.txt"), {}, {}, 1, 1};
    stepped.wpm.reset();
    stepped.stepped = true;
    const auto a = db.recordReading(tachi), b = db.recordReading(book), c = db.recordReading(stepped);
    ASSERT_TRUE(a && b && c) << qPrintable(db.error());
    ASSERT_TRUE(db.setReadingKept(*a, false));
    const auto test = db.recordTest(TestRecord{b,
                                               QDateTime::currentDateTime(),
                                               Mode::Vert,
                                               3,
                                               0.75,
                                               {{1, true}, {2, false}, {3, true}, {1, true}},
                                               true});
    ASSERT_TRUE(test);
    ASSERT_TRUE(db.recordExerciseItem(
        {QDateTime::currentDateTime(), 60, 1, "zymase", "zymosan", false, 840, 3.6, 52.5}));

    const ProgressData data = db.load();
    ASSERT_EQ(data.readings.size(), 3u);
    EXPECT_FALSE(data.readings[0].kept);
    EXPECT_EQ(data.readings[1].comprehension, 0.75);
    EXPECT_EQ(data.readings[1].part, 3);
    EXPECT_FALSE(data.readings[2].hasWpm());
    ASSERT_EQ(data.texts.size(), 3u);
    EXPECT_EQ(data.text(data.readings[1].textId)->parts, 12);
    ASSERT_EQ(data.byFlashTime.size(), 1u);
    EXPECT_EQ(data.byFlashTime[0].right, 0);

    ASSERT_TRUE(db.setTestKept(*test, false));
    EXPECT_FALSE(db.load().readings[1].hasComprehension());

    const auto files = db.exportCsv(f.dir.filePath(QStringLiteral("out")));
    ASSERT_TRUE(files);
    ASSERT_EQ(files->size(), 5);
    const QStringList readings = csvLines(f.dir.filePath(QStringLiteral("out-readings.csv")));
    ASSERT_EQ(readings.size(), 4);
    EXPECT_TRUE(readings[0].contains(QStringLiteral("flash_ms,fixation_width,fixations,interval_ms")));
    EXPECT_TRUE(readings[1].contains(QStringLiteral(",412.5,750,12,,,,,0,0,0,"))) << qPrintable(readings[1]);
    EXPECT_TRUE(readings[2].contains(QStringLiteral(",300,,,2,250,3,150,1,0,1,"))) << qPrintable(readings[2]);
    EXPECT_TRUE(csvLines(f.dir.filePath(QStringLiteral("out-texts.csv")))
                    .join('\n')
                    .contains(QStringLiteral("\"Moby, \"\"the\"\" Whale\",/b/moby.epub,12")));
    EXPECT_EQ(csvLines(f.dir.filePath(QStringLiteral("out-answers.csv"))).size(), 5);
}

TEST(ProgressDb, ImportsTheHistoriesOfAnExistingSettingsFileOnceAsUndatedSeries)
{
    Folder f;
    TSettings crafted = defaultSettings(96);
    crafted.HorizWpmHistory[0] = 250;
    crafted.HorizWpmHistory[1] = 310.4;
    crafted.HorizComprehensionHistory[0] = 0.8;
    crafted.SpeedTestWpmHistory[0] = 220;
    const QString settings = f.dir.filePath(QString::fromLatin1(kSettingsFileName));
    ASSERT_EQ(saveSettingsFile(settings, crafted), SettingsSaveResult::Saved);

    ProgressDb db(f.db);
    ASSERT_EQ(db.open(), Opened::Recording);
    ASSERT_TRUE(db.recordReading(reading(Mode::Horiz, 400)));
    EXPECT_TRUE(db.importHistories(loadSettingsFile(settings, 96)));
    EXPECT_FALSE(db.importHistories(loadSettingsFile(settings, 96)));

    const ProgressData data = db.load();
    ASSERT_EQ(data.readings.size(), 4u);
    const std::vector<WeekStat> weeks = weeklyStats(data, Mode::Horiz);
    ASSERT_EQ(weeks.size(), 2u);
    EXPECT_FALSE(weeks[0].monday.isValid());
    EXPECT_EQ(weeks[0].readings, 2);
    EXPECT_EQ(weeks[0].best, 310.4);
    EXPECT_EQ(weeks[0].comprehension, 0.8);
    EXPECT_EQ(weeks[1].readings, 1);
    EXPECT_EQ(weeklyStats(data, Mode::SpeedTest).size(), 1u);
}

// Local weeks across both clock changes of a year: the UTC day of a reading just after midnight local time
// lies in the week before.
TEST(ProgressDb, WeeksAreIsoWeeksInTheLocalTimeOfEachReading)
{
    const QTimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(berlin.isValid());
    struct Case
    {
        const char *name;
        QDate lastSunday; // the clocks change this night
    };
    for (const Case &c : {Case{"spring", QDate(2026, 3, 29)}, Case{"autumn", QDate(2026, 10, 25)}}) {
        Folder f;
        ProgressDb db(f.db);
        ASSERT_EQ(db.open(), Opened::Recording);
        const QDate monday = c.lastSunday.addDays(1);
        for (const auto &[day, time, wpm] :
             {std::tuple{c.lastSunday, QTime(1, 30), 100.0}, std::tuple{c.lastSunday, QTime(23, 30), 300.0},
              std::tuple{monday, QTime(0, 30), 500.0}, std::tuple{monday, QTime(9, 0), 700.0}})
            ASSERT_TRUE(db.recordReading(reading(Mode::Horiz, wpm, QDateTime(day, time, berlin))));
        const std::vector<WeekStat> weeks = weeklyStats(db.load(), Mode::Horiz);
        ASSERT_EQ(weeks.size(), 2u) << c.name;
        EXPECT_EQ(weeks[0].monday, c.lastSunday.addDays(-6)) << c.name;
        EXPECT_EQ(weeks[0].median, 200.0) << c.name;
        EXPECT_EQ(weeks[1].monday, monday) << c.name;
        EXPECT_EQ(weeks[1].best, 700.0) << c.name;
        EXPECT_EQ(weeks[1].secondsTrained, 120.0) << c.name;
    }
}

TEST(ProgressDb, MigratesADatabaseOfVersionOneKeepingItsReadings)
{
    Folder f;
    {
        QSqlDatabase v1 = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
        v1.setDatabaseName(f.db);
        ASSERT_TRUE(v1.open());
        QSqlQuery q(v1);
        for (const QString &sql : ProgressDb::migrations()[0])
            ASSERT_TRUE(q.exec(sql)) << qPrintable(sql);
        ASSERT_TRUE(q.exec("UPDATE schema_version SET version = 1"));
        ASSERT_TRUE(q.exec("INSERT INTO readings(at_utc, mode, text_kind, text_key, title, part, parts, wpm, "
                           "seconds) VALUES (1700000000000, 1, 1, 'ab12', 'Moby Dick', 2, 9, 350, 60), "
                           "(1700000100000, 1, 1, 'ab12', 'Moby Dick', 3, 9, 370, 60), "
                           "(1700000200000, 2, NULL, NULL, NULL, 1, 1, 280, 60)"));
        v1.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v1"));

    ProgressDb db(f.db);
    ASSERT_EQ(db.open(), Opened::Recording) << qPrintable(db.error());
    EXPECT_EQ(db.schemaVersion(), ProgressDb::kSchemaVersion);
    const ProgressData data = db.load();
    ASSERT_EQ(data.readings.size(), 3u);
    ASSERT_EQ(data.texts.size(), 1u);
    EXPECT_EQ(data.texts[0].title, QStringLiteral("Moby Dick"));
    EXPECT_EQ(data.readings[1].textId, data.texts[0].id);
    EXPECT_EQ(data.readings[2].textId, 0);
    EXPECT_TRUE(db.recordReading(reading(Mode::Horiz, 390)));
}

TEST(ProgressDb, ADamagedFileIsSetAsideAndANewOneStarted)
{
    Folder f;
    QFile garbage(f.db);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray("not a database ").repeated(400));
    garbage.close();
    {
        ProgressDb db(f.db);
        ASSERT_EQ(db.open(), Opened::ReplacedDamaged) << qPrintable(db.error());
        EXPECT_TRUE(db.damagedPath().startsWith(f.db + QStringLiteral(".damaged-")));
        QFile aside(db.damagedPath());
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_TRUE(aside.readAll().startsWith("not a database"));
        EXPECT_TRUE(db.recordReading(reading(Mode::Tachi, 500)));
    }
    // A copy killed before it wrote its name into its lock leaves an empty one: it is not a live copy's.
    QFile emptyLock(f.db + QStringLiteral(".lock"));
    ASSERT_TRUE(emptyLock.open(QIODevice::WriteOnly));
    emptyLock.close();
    ProgressDb next(f.db);
    EXPECT_EQ(next.open(), Opened::Recording);
}

TEST(ProgressDb, ASecondCopyReadsWithoutRecordingAndAFolderInTheWayFailsQuietly)
{
    Folder f;
    ProgressDb first(f.db);
    ASSERT_EQ(first.open(), Opened::Recording);
    ASSERT_TRUE(first.recordReading(reading(Mode::Vert, 321)));
    ProgressDb second(f.db);
    EXPECT_EQ(second.open(), Opened::ReadOnly);
    EXPECT_FALSE(second.canRecord());
    EXPECT_FALSE(second.recordReading(reading(Mode::Vert, 1)));
    EXPECT_EQ(second.load().readings.size(), 1u);
    EXPECT_EQ(loadProgressData(f.db).readings.size(), 1u);

    const QString folder = f.dir.filePath(QStringLiteral("folder.sqlite"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ProgressDb blocked(folder);
    EXPECT_EQ(blocked.open(), Opened::Failed);
    EXPECT_FALSE(blocked.recordReading(reading(Mode::Vert, 1)));
    EXPECT_FALSE(blocked.load().error.isEmpty());
}

// A writer killed at random moments (during its start, its transactions or between them): every next open
// finds a sound database holding every reading whose commit had returned.
TEST(ProgressDb, AKilledWriterLosesNoCommittedReading)
{
    Folder f;
    QRandomGenerator random(QRandomGenerator::global()->generate());
    std::set<qint64> committed;
    for (int kill = 0; kill < 20; ++kill) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(fds[0]);
            ProgressDb db(f.db);
            if (db.open() != Opened::Recording)
                _exit(2);
            for (int i = 0;; ++i) {
                const auto id = i % 3 == 2 ? (db.recordExerciseItem({QDateTime::currentDateTime(), 50, 2,
                                                                     "yak", "yam", false, 900})
                                                  ? std::optional<qint64>(0)
                                                  : std::nullopt)
                                           : db.recordReading(reading(Mode::Horiz, 200 + i));
                if (!id || (*id > 0 && write(fds[1], &*id, sizeof *id) != sizeof *id))
                    _exit(3);
            }
        }
        close(fds[1]);
        usleep(random.bounded(1000u, 40000u));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << WEXITSTATUS(status);
        qint64 id = 0;
        while (read(fds[0], &id, sizeof id) == sizeof id)
            committed.insert(id);
        close(fds[0]);

        ProgressDb next(f.db);
        ASSERT_EQ(next.open(), Opened::Recording) << "kill " << kill << ": " << qPrintable(next.error());
        std::set<qint64> held;
        for (const ProgressReading &r : next.load().readings)
            held.insert(r.id);
        ASSERT_TRUE(std::includes(held.begin(), held.end(), committed.begin(), committed.end()))
            << "kill " << kill;
    }
    EXPECT_GT(committed.size(), 20u);
}

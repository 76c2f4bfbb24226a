// progressbench                   inserts (median, p99), the Progress window's data for 100,000 readings and
//                                 200,000 exercise answers, open time and database size
// progressbench --kills N         a writer killed N times at random moments; counts damaged databases
// progressbench --generate DIR [WEEKS]  records WEEKS (1) of realistic sessions ending today in
// DIR/progress.sqlite

#include "ProgressDb.h"
#include "ProgressStats.h"
#include "SettingsFile.h"
#include "StoryLibrary.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <set>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Opened = ProgressDb::Opened;

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

ReadingRecord sampleReading(int i, const QDateTime &at)
{
    ReadingRecord r;
    r.at = at;
    r.mode = Mode(i % 4);
    r.text = TextRef{TextKind::Story, QString::number(i % 16 + 1), QStringLiteral("Story"), {}, 1, 1};
    r.words = 600;
    r.seconds = 120 + i % 60;
    r.wpm = r.words / (r.seconds / 60);
    r.settings.intervalMs = 250;
    r.settings.fixations = 3;
    return r;
}

// Many rows in one transaction each table, straight through SQL: building the data is not what is measured.
bool fill(const QString &path, int readings, int exerciseItems)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        if (!db.open())
            return false;
        QSqlQuery q(db);
        db.transaction();
        for (int t = 1; t <= 40; ++t)
            q.exec(
                QStringLiteral("INSERT INTO texts(kind, key, title, parts) VALUES (%1, '%2', 'Text %2', 12)")
                    .arg(t % 2)
                    .arg(t));
        q.prepare(QStringLiteral(
            "INSERT INTO readings(at_utc, utc_offset, mode, text_id, part, words, seconds, "
            "wpm, fixations, interval_ms, kept) VALUES (?, 3600, ?, ?, ?, 600, ?, ?, 3, 250, 1)"));
        const qint64 start = QDateTime::currentMSecsSinceEpoch() - qint64(readings) * 600000;
        for (int i = 0; i < readings; ++i) {
            const double seconds = 120 + i % 60;
            for (const QVariant &v :
                 {QVariant(start + qint64(i) * 600000), QVariant(i % 4), QVariant(i % 40 + 1),
                  QVariant(i % 12 + 1), QVariant(seconds), QVariant(600 / (seconds / 60))})
                q.addBindValue(v);
            q.exec();
        }
        q.prepare(QStringLiteral(
            "INSERT INTO tests(reading_id, at_utc, mode, story, score) VALUES (?, ?, ?, 3, 0.8)"));
        for (int i = 1; i <= readings; i += 3) {
            q.addBindValue(i);
            q.addBindValue(start + qint64(i) * 600000);
            q.addBindValue(i % 4);
            q.exec();
        }
        q.prepare(
            QStringLiteral("INSERT INTO exercise_items(at_utc, flash_ms, word_group, shown, answer, right, "
                           "response_ms) VALUES (?, ?, ?, 'zymogram', 'zymosan', ?, 900)"));
        for (int i = 0; i < exerciseItems; ++i) {
            const int flash = 10 + 10 * (i % 30);
            for (const QVariant &v :
                 {QVariant(start + qint64(i) * 300000), QVariant(flash), QVariant(i % 26 + 1),
                  QVariant(int((i * 7919) % 100 < 100 - 6000 / (flash + 20)))})
                q.addBindValue(v);
            q.exec();
        }
        db.commit();
        q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return true;
}

int benchmark()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("progress.sqlite"));
    {
        ProgressDb db(path);
        if (db.open() != Opened::Recording)
            return 1;
        std::vector<double> ms;
        // Enough inserts that the write-ahead log reaches its size and is checkpointed many times over.
        for (int i = 0; i < 10000; ++i) {
            QElapsedTimer t;
            t.start();
            if (!db.recordReading(sampleReading(i, QDateTime::currentDateTime())))
                return 1;
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::printf(
            "insert one reading: median %.3f ms, p99 %.3f ms, p99.9 %.3f ms, max %.3f ms (10000 inserts)\n",
            percentile(ms, 0.5), percentile(ms, 0.99), percentile(ms, 0.999), percentile(ms, 1.0));
    }
    const QString big = dir.filePath(QStringLiteral("big.sqlite"));
    {
        ProgressDb db(big);
        db.open();
    }
    if (!fill(big, 100000, 0))
        return 1;
    std::printf("database size: %.1f MB per 100,000 readings (a test for every third)\n",
                double(QFileInfo(big).size()) / 1e6);
    if (!fill(big, 0, 200000))
        return 1;
    std::printf("with 200,000 exercise answers: %.1f MB\n", double(QFileInfo(big).size()) / 1e6);
    {
        QElapsedTimer t;
        t.start();
        ProgressDb db(big);
        const Opened opened = db.open();
        std::printf("open with its check: %.1f ms (%s)\n", double(t.nsecsElapsed()) / 1e6,
                    opened == Opened::Recording ? "recording" : "not recording");
    }
    std::vector<double> load, stats;
    std::size_t count = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        const ProgressData data = loadProgressData(big);
        load.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        for (Mode m : {Mode::Tachi, Mode::Horiz, Mode::Vert, Mode::SpeedTest})
            count += weeklyStats(data, m).size();
        count += textStats(data).size() + (flashTimeFor(data.byFlashTime) ? 1 : 0);
        stats.push_back(double(t.nsecsElapsed()) / 1e6);
        if (data.readings.size() != 100000 || !data.error.isEmpty())
            return 1;
    }
    std::printf(
        "the Progress window's data (100,000 readings, 200,000 answers): read %.1f ms + worked out %.1f ms "
        "(median of 5; %zu rows of results)\n",
        percentile(load, 0.5), percentile(stats, 0.5), count / 5);
    return 0;
}

int kills(int n)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("progress.sqlite"));
    QRandomGenerator random(QRandomGenerator::global()->generate());
    std::set<qint64> committed;
    int damaged = 0, lost = 0;
    for (int kill = 0; kill < n; ++kill) {
        int fds[2];
        if (pipe(fds) != 0)
            return 1;
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            ProgressDb db(path);
            if (db.open() != Opened::Recording)
                _exit(2);
            for (int i = 0;; ++i) {
                const auto id = db.recordReading(sampleReading(i, QDateTime::currentDateTime()));
                if (!id || write(fds[1], &*id, sizeof *id) != sizeof *id)
                    _exit(3);
            }
        }
        close(fds[1]);
        usleep(random.bounded(1000u, 40000u));
        ::kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFSIGNALED(status))
            std::printf("kill %d: the writer stopped by itself (%d)\n", kill, WEXITSTATUS(status));
        qint64 id = 0;
        while (read(fds[0], &id, sizeof id) == sizeof id)
            committed.insert(id);
        close(fds[0]);
        ProgressDb next(path);
        if (next.open() != Opened::Recording) {
            ++damaged;
            continue;
        }
        std::set<qint64> held;
        for (const ProgressReading &r : next.load().readings)
            held.insert(r.id);
        lost +=
            int(std::count_if(committed.begin(), committed.end(), [&](qint64 c) { return !held.count(c); }));
    }
    std::printf("%d kills during writes: %zu readings committed, %d lost, %d damaged databases\n", n,
                committed.size(), lost, damaged);
    return damaged == 0 && lost == 0 ? 0 : 1;
}

// A reader who trains most days: a session of one to three readings in the evening (sometimes the morning),
// faster week by week, a comprehension test after each story, an exercise practice now and then, and a
// book read part by part.
int generate(const QString &folder, int weeks)
{
    QDir().mkpath(folder);
    ProgressDb db(QDir(folder).filePath(QStringLiteral("progress.sqlite")));
    if (db.open() != Opened::Recording)
        return 1;
    TSettings old = defaultSettings(96);
    for (int i = 0; i < 6; ++i) {
        old.HorizWpmHistory[std::size_t(i)] = 240 + 7 * i;
        old.HorizComprehensionHistory[std::size_t(i)] = 0.6 + 0.05 * (i % 3);
    }
    db.importHistories(old);
    // The settings record of the same user, with a main window large enough to look at the charts.
    const QString settings = QDir(folder).filePath(QString::fromLatin1(kSettingsFileName));
    if (!QFileInfo::exists(settings)) {
        old.UseDefaultMainPlacement = 0;
        old.MainBounds = TBounds{0, 0, 1260, 1000};
        saveSettingsFile(settings, old);
    }
    QRandomGenerator random(20261208);
    std::vector<StoryEntry> stories(kLongerClassics.begin(), kLongerClassics.end());
    stories.insert(stories.end(), kShorterClassics.begin(), kShorterClassics.end());
    stories.insert(stories.end(), kModernStories.begin(), kModernStories.end());
    const double base[] = {260, 300, 340, 230};
    const QDate first = QDate::currentDate().addDays(-7 * weeks + 1);
    int bookPart = 1, flash = 180, readings = 0, answers = 0;
    for (QDate day = first; day <= QDate::currentDate(); day = day.addDays(1)) {
        if (random.generateDouble() < 0.2)
            continue;
        QDateTime at(day, QTime(random.generateDouble() < 0.25 ? 7 : 19, int(random.bounded(50))));
        const double weeksIn = first.daysTo(day) / 7.0;
        for (int n = 1 + int(random.bounded(3)); n > 0; --n) {
            const double pick = random.generateDouble();
            const Mode mode = pick < 0.25  ? Mode::Tachi
                              : pick < 0.6 ? Mode::Horiz
                              : pick < 0.8 ? Mode::Vert
                                           : Mode::SpeedTest;
            ReadingRecord r;
            r.at = at;
            r.mode = mode;
            const bool book = mode == Mode::Horiz && random.generateDouble() < 0.4;
            const StoryEntry &story = stories[random.bounded(int(stories.size()))];
            r.text = book ? TextRef{TextKind::Book,
                                    QStringLiteral("5f2c9e01"),
                                    QStringLiteral("Moby-Dick"),
                                    QStringLiteral("/home/reader/Books/moby-dick.epub"),
                                    bookPart,
                                    24}
                          : TextRef{TextKind::Story,
                                    QString::number(story.number),
                                    QString::fromLatin1(story.title),
                                    {},
                                    1,
                                    1};
            bookPart = book ? std::min(24, bookPart + 1) : bookPart;
            r.seconds = 150 + random.bounded(300);
            r.wpm = base[int(mode)] * (1 + 0.03 * weeksIn) * (0.88 + 0.24 * random.generateDouble());
            r.words = *r.wpm * r.seconds / 60;
            if (mode == Mode::Tachi)
                r.settings = {std::max(100, 750 - int(40 * weeksIn)), 12, {}, {}, {}, {}};
            else if (mode != Mode::SpeedTest)
                r.settings = {{},
                              {},
                              3,
                              int(60000 / *r.wpm),
                              mode == Mode::Vert ? std::optional(3) : std::nullopt,
                              mode == Mode::Vert ? std::optional(150) : std::nullopt};
            r.kept = random.generateDouble() > 0.08;
            const auto id = db.recordReading(r);
            ++readings;
            if (!book && id) {
                TestRecord t{id, r.at.addSecs(int(r.seconds) + 90), mode, story.number, 0, {}, r.kept};
                int right = 0;
                for (int q = 0; q < 5; ++q) {
                    const bool ok = random.generateDouble() < 0.78 - 0.02 * weeksIn + 0.05;
                    right += ok;
                    t.answers.push_back({1 + int(random.bounded(3)), ok});
                }
                t.score = right / 5.0;
                db.recordTest(t);
            }
            at = at.addSecs(int(r.seconds) + 240);
        }
        if (random.generateDouble() < 0.5) {
            for (int item = 0; item < 40; ++item) {
                const double p = 1.0 / 3 + 2.0 / 3 / (1 + std::pow(70.0 / flash, 3.2));
                const bool right = random.generateDouble() < p;
                db.recordExerciseItem({at.addSecs(item * 4), flash, 1 + int(random.bounded(26)),
                                       QStringLiteral("word"),
                                       right ? QStringLiteral("word") : QStringLiteral("ward"), right,
                                       600 + int(random.bounded(900))});
                ++answers;
                flash = std::clamp(flash + (right ? -10 : 10), 20, 300);
            }
        }
    }
    std::printf("%d readings and %d exercise answers over %d weeks in %s\n", readings, answers, weeks,
                qPrintable(QDir::toNativeSeparators(folder)));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("--kills"))
        return kills(argc > 2 ? std::atoi(argv[2]) : 200);
    if (mode == QLatin1String("--generate") && argc > 2)
        return generate(QString::fromLocal8Bit(argv[2]), argc > 3 ? std::max(1, std::atoi(argv[3])) : 1);
    return benchmark();
}

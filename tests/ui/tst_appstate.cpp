#include "TestSupport.h"

#include "app/AppState.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

const QString kCannotMake = QStringLiteral("The file \"settings2.dat\" cannot be made.");
const QString kCannotSave = QStringLiteral("Your settings cannot be Saved.");

} // namespace

class AppStateTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aFailedSaveAfterAScoreIsReportedOnce();
    void aSaveFallsBackInPlaceAndNamesWhatFailed();
};

void AppStateTest::aFailedSaveAfterAScoreIsReportedOnce()
{
    TestApp app;
    AppState &state = *app.state;
    // A folder in the file's place: nothing can be written there, whatever the rights.
    QVERIFY(QDir(app.dir.path()).mkdir(QStringLiteral("settings2.dat")));
    app.fakes.messages.expect(MessageKind::Error, kCannotMake);
    state.historyAppend(state.Settings.HorizWpmHistory, 250.0);
    state.historyAppend(state.Settings.HorizWpmHistory, 260.0);
    state.historyRemoveLast(state.Settings.HorizWpmHistory, 260.0);
    QVERIFY2(app.fakes.verify(), qPrintable(app.fakes.report()));

    // Once a save works again, the next failure is news and is told again.
    QVERIFY(QDir(app.dir.path()).rmdir(QStringLiteral("settings2.dat")));
    state.historyAppend(state.Settings.VertWpmHistory, 300.0);
    QVERIFY(QDir(app.dir.path()).rename(QStringLiteral("settings2.dat"), QStringLiteral("x")));
    QVERIFY(QDir(app.dir.path()).mkdir(QStringLiteral("settings2.dat")));
    app.fakes.messages.expect(MessageKind::Error, kCannotMake);
    state.historyClear(state.Settings.VertWpmHistory);
    QVERIFY2(app.fakes.verify(), qPrintable(app.fakes.report()));
}

void AppStateTest::aSaveFallsBackInPlaceAndNamesWhatFailed()
{
    struct Case
    {
        const char *what;
        bool noTemporaryFile;
        QString target; // what settings2.dat is: "file", "folder" or a link to /dev/full
        QString message;
    };
    const Case cases[] = {
        {"the folder allows no temporary file: the file is updated in place", true, "file", QString()},
        {"nothing can be made", false, "folder", kCannotMake},
        {"the file takes no data", true, "full", kCannotSave},
    };
    for (const Case &c : cases) {
        TestApp app;
        const QString path = app.path(QStringLiteral("settings2.dat"));
        if (c.target == QLatin1String("file")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(2568, '\x7f'));
        } else if (c.target == QLatin1String("folder")) {
            QVERIFY(QDir(app.dir.path()).mkdir(QStringLiteral("settings2.dat")));
        } else if (!QFile::link(QStringLiteral("/dev/full"), path)) {
            QSKIP("no /dev/full to link to");
        }
        if (c.noTemporaryFile)
            app.state->settingsWriter.atomic = [](const QString &, const QByteArray &) {
                return AtomicWriteResult::NoTemporaryFile;
            };
        app.state->Settings.SpeedTestWpmHistory[0] = 412.5;
        if (!c.message.isEmpty())
            app.fakes.messages.expect(MessageKind::Error, c.message);
        QCOMPARE(app.state->saveSettingsFile(), c.message.isEmpty());
        QVERIFY2(app.fakes.verify(), qPrintable(QString::fromLatin1(c.what) + app.fakes.report()));
        if (c.message.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), encodeSettings(app.state->Settings));
        }
    }
}

QTEST_MAIN(AppStateTest)
#include "tst_appstate.moc"

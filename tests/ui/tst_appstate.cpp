#include "TestSupport.h"

#include "app/AppState.h"

#include <QDir>
#include <QFile>
#include <QtTest>

const QString kCannotMake = QStringLiteral("The file \"settings2.dat\" cannot be made.");

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
    QDir dir(app.dir.path());
    // A folder in the file's place: nothing can be written there, whatever the rights.
    QVERIFY(dir.mkdir(QStringLiteral("settings2.dat")));
    app.fakes.messages.expect(MessageKind::Error, kCannotMake);
    state.historyAppend(Mode::Horiz, ChartKind::Wpm, 250.0);
    state.historyAppend(Mode::Horiz, ChartKind::Wpm, 260.0);
    state.historyRemoveLast(Mode::Horiz, ChartKind::Wpm, 260.0);
    QVERIFY2(app.fakes.verify(), qPrintable(app.fakes.report()));

    // Once a save works again, the next failure is news and is told again.
    QVERIFY(dir.rmdir(QStringLiteral("settings2.dat")));
    state.historyAppend(Mode::Vert, ChartKind::Wpm, 300.0);
    QVERIFY(dir.rename(QStringLiteral("settings2.dat"), QStringLiteral("x")));
    QVERIFY(dir.mkdir(QStringLiteral("settings2.dat")));
    app.fakes.messages.expect(MessageKind::Error, kCannotMake);
    state.historyClear(Mode::Vert, ChartKind::Wpm);
    QVERIFY2(app.fakes.verify(), qPrintable(app.fakes.report()));
}

void AppStateTest::aSaveFallsBackInPlaceAndNamesWhatFailed()
{
    // What settings2.dat is, whether the folder allows a temporary file, and what the user is told.
    const std::tuple<QString, bool, QString> cases[] = {
        {"file", false, QString()}, // updated in place
        {"folder", true, kCannotMake},
        {"/dev/full", false, QStringLiteral("Your settings cannot be Saved.")},
    };
    for (const auto &[target, temporaryFile, message] : cases) {
        TestApp app;
        const QString path = app.path(QStringLiteral("settings2.dat"));
        if (target == QLatin1String("file"))
            app.writeLines(QStringLiteral("settings2.dat"), {QString(2567, u'\x7f')});
        else if (target == QLatin1String("folder"))
            QVERIFY(QDir(app.dir.path()).mkdir(QStringLiteral("settings2.dat")));
        else if (!QFile::link(target, path))
            QSKIP("no /dev/full to link to");
        if (!temporaryFile)
            app.state->settingsWriter.atomic = [](const QString &, const QByteArray &) {
                return AtomicWriteResult::NoTemporaryFile;
            };
        editSettings(*app.state, [&](TSettings &s) { s.SpeedTestWpmHistory[0] = 412.5; });
        if (!message.isEmpty())
            app.fakes.messages.expect(MessageKind::Error, message);
        QCOMPARE(app.state->saveSettingsFile(), message.isEmpty());
        QVERIFY2(app.fakes.verify(), qPrintable(target + app.fakes.report()));
        QVERIFY(!message.isEmpty() ||
                app.readBytes(QStringLiteral("settings2.dat")) == encodeSettings(app.state->Settings));
    }
}

QTEST_MAIN(AppStateTest)
#include "tst_appstate.moc"

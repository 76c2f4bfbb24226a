#include "TestSupport.h"

#include "ChartData.h"
#include "SettingsFile.h"
#include "app/AppState.h"
#include "app/mainwindow.h"
#include "charts/ChartBitmap.h"
#include "charts/chartsView.h"

#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QLineEdit>
#include <QLineSeries>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QValueAxis>
#include <QtTest>

namespace {

const char *const kNoScores = "You don't have any passages recorded for charting.";
const char *const kSure = "Are you sure you want to delete your past history?";

// A started program and its chart window.
struct Charts
{
    TestApp app;
    const bool started = app.start();

    TForm10 *window() const { return app.form()->findChild<TForm10 *>(QStringLiteral("chartsWindow")); }
    QChart *chart(ChartKind kind) const { return window()->chartView(kind)->chart(); }
    QLineSeries *line(ChartKind kind) const { return qobject_cast<QLineSeries *>(chart(kind)->series()[0]); }
    QValueAxis *values(ChartKind kind) const
    {
        return qobject_cast<QValueAxis *>(chart(kind)->axes(Qt::Vertical).constFirst());
    }
    QString edit(const char *name) const { return window()->findChild<QLineEdit *>(name)->text(); }
    bool menuEnabled(const char *name) const
    {
        return app.form()->findChild<QMenu *>(name)->menuAction()->isEnabled();
    }
    void click(const char *name)
    {
        QTest::mouseClick(window()->findChild<QPushButton *>(name), Qt::LeftButton);
    }
    // Opens the window on `command`, with `wpm` as `mode`'s WPM scores.
    void open(const char *command, Mode mode, std::initializer_list<double> wpm)
    {
        app.state->historyClear(mode, ChartKind::Wpm);
        for (double v : wpm)
            app.state->historyAppend(mode, ChartKind::Wpm, v);
        QVERIFY(triggerAction(app.form(), command) && window() != nullptr);
    }
    void close(const char *closeButton)
    {
        click(closeButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window(), nullptr);
    }
};

} // namespace

class ChartsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menusAreHeldUntilCloseAndShortStoriesWaitForReading();
    void chartsShowAndClearOnlyTheShownModesHistories();
    void savedBitmapIsTheChartAndItsFolderIsRemembered();
};

void ChartsTest::menusAreHeldUntilCloseAndShortStoriesWaitForReading()
{
    Charts c;
    QVERIFY(c.started);
    const char *held[] = {"chartsMenu", "readingMenu", "optionsMenu", "shortStoriesMenu"};
    // Whether a reading holds the menus before the charts open, and while they are open.
    for (const auto &[before, under] :
         {std::pair{false, false}, {true, true}, {true, false}, {false, true}}) {
        c.app.form()->setHold(MenuHold::Reading, before);
        // A mode with no scores is told so, and its empty charts still open.
        c.app.fakes.messages.expect(MessageKind::Information, kNoScores);
        QVERIFY(triggerAction(c.app.form(), "chartTachiAction"));
        QCOMPARE(c.values(ChartKind::Wpm)->max(), 1000.0); // a 0-to-0 axis cannot be drawn
        QCOMPARE(c.edit("wpmAverageEdit") + c.edit("percentAverageEdit"), QString());
        c.app.form()->setHold(MenuHold::Reading, under);
        for (const char *menu : held)
            QVERIFY2(!c.menuEnabled(menu), menu);
        QVERIFY(c.menuEnabled("helpMenu"));
        // No system buttons: the window closes through its own buttons only.
        QVERIFY(!(c.window()->frame()->windowFlags() & Qt::WindowCloseButtonHint));
        c.close("percentCloseButton");
        // Short Stories come back only when no reading holds them any more.
        for (const char *menu : held)
            QVERIFY2(c.menuEnabled(menu) == (menu != held[3] || !under), menu);
    }
}

void ChartsTest::chartsShowAndClearOnlyTheShownModesHistories()
{
    Charts c;
    QVERIFY(c.started);
    const TSettings &s = c.app.state->Settings;
    for (const double v : {0.875, 0.5, 0.7})
        c.app.state->historyAppend(Mode::Horiz, ChartKind::Comprehension, v);
    c.app.state->historyAppend(Mode::Vert, ChartKind::Wpm, 900);
    c.app.state->historyAppend(Mode::Tachi, ChartKind::Comprehension, 0.6);
    c.open("chartHorizAction", Mode::Horiz, {250.4, 0.4, 312.5, 413.5, 180.0});
    // Rounding and averages are the core's test; here, that the shown mode's scores reach the charts.
    QCOMPARE(c.line(ChartKind::Wpm)->points(), (QList<QPointF>{{1, 250}, {2, 312}, {3, 414}, {4, 180}}));
    QCOMPARE(c.values(ChartKind::Wpm)->max(), 414.0);
    QCOMPARE(c.line(ChartKind::Comprehension)->points(), (QList<QPointF>{{1, 88}, {2, 50}, {3, 70}}));
    QCOMPARE(c.edit("wpmAverageEdit") + ' ' + c.edit("percentAverageEdit"), QStringLiteral("289 69%"));
    for (const bool yes : {false, true}) {
        c.app.fakes.messages.expect(MessageKind::Confirm, kSure, yes);
        c.click("percentClearButton");
        QCOMPARE(historyCount(s.HorizComprehensionHistory), yes ? 0 : 3);
    }
    QVERIFY(historyCount(s.HorizWpmHistory) == 5 && historyCount(s.TachiComprehensionHistory) == 1);
    // Written at once, so a crash cannot bring the scores back.
    QCOMPARE(historyCount(decodeSettings(c.app.readBytes("settings2.dat"), 96).HorizComprehensionHistory), 0);
    c.app.fakes.messages.expect(MessageKind::Confirm, kSure, true);
    c.click("wpmClearButton");
    QVERIFY(historyCount(s.HorizWpmHistory) == 0 && historyCount(s.VertWpmHistory) == 1);
    // A line of one point would draw nothing: a lone score is marked, a line of several is plain.
    QVERIFY(!c.line(ChartKind::Wpm)->pointsVisible());
    c.close("wpmCloseButton");
    c.open("chartTachiAction", Mode::Tachi, {300.0, 280.0});
    QVERIFY(c.line(ChartKind::Comprehension)->pointsVisible() && !c.line(ChartKind::Wpm)->pointsVisible());
}

void ChartsTest::savedBitmapIsTheChartAndItsFolderIsRemembered()
{
    Charts c;
    QVERIFY(c.started);
    TestApp &app = c.app;
    c.open("chartTachiAction", Mode::Tachi, {150, 180, 210, 260});
    const QStringList before = QDir(app.dir.path()).entryList(QDir::Files);
    app.fakes.dialogs.saveNames.push_back(QString());
    c.click("wpmSaveButton");
    QCOMPARE(QDir(app.dir.path()).entryList(QDir::Files), before);
    const QString proposed = proposedChartFileName(ChartKind::Wpm, QDate::currentDate(), QLocale::system());
    QCOMPARE(app.fakes.dialogs.saveProposalsSeen, QStringList{app.path(proposed)});
    const QString unwritable = app.path("no such folder/chart.bmp");
    app.fakes.dialogs.saveNames.push_back(unwritable);
    app.fakes.messages.expect(MessageKind::Error,
                              QStringLiteral("The chart cannot be saved as \"%1\".").arg(unwritable));
    c.click("wpmSaveButton");
    // A name typed without an extension gets ".bmp", and an existing file of that name is not lost unasked.
    app.writeLines("mine.bmp", {"keep"});
    for (const bool replace : {false, true}) {
        app.fakes.dialogs.saveNames.push_back(app.path("mine"));
        app.fakes.messages.expect(MessageKind::Confirm,
                                  "mine.bmp already exists.\nDo you want to replace it?", replace);
        c.click("percentSaveButton");
        QCOMPARE(loadChartBitmap(app.path("mine.bmp")).has_value(), replace);
    }

    const QSize chartSize = c.window()->chartView(ChartKind::Wpm)->size();
    QVERIFY(QDir(app.dir.path()).mkdir("saved"));
    const QString path = app.path("saved/week one.bmp");
    app.fakes.dialogs.saveNames.push_back(path);
    c.click("wpmSaveButton");
    // What was saved is the chart, as a bitmap on white, with the red line on it.
    const QImage saved(path, "BMP");
    QVERIFY(saved.size() == chartSize && saved.pixelColor(0, 0) == QColor(Qt::white));
    bool red = false;
    for (int i = 0; i < saved.width() * saved.height() && !red; ++i)
        red = saved.pixelColor(i % saved.width(), i / saved.width()) == QColor(Qt::red);
    QVERIFY(red);

    c.close("wpmCloseButton");
    // The next chart window's save dialog opens where the last chart went (reopening it is the user walk's).
    QVERIFY(triggerAction(app.form(), "chartTachiAction"));
    app.fakes.dialogs.saveNames.push_back(QString());
    c.click("percentSaveButton");
    QCOMPARE(QFileInfo(app.fakes.dialogs.saveProposalsSeen.last()).absolutePath(), app.path("saved"));
}

QTEST_MAIN(ChartsTest)
#include "tst_charts.moc"

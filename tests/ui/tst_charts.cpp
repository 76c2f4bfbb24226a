#include "TestSupport.h"

#include "ChartData.h"
#include "SettingsFile.h"
#include "app/AppState.h"
#include "app/mainwindow.h"
#include "charts/ChartBitmap.h"
#include "charts/ChartCommands.h"
#include "charts/ChartViewer.h"
#include "charts/chartsView.h"

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QValueAxis>
#include <QtTest>

namespace {

const char *const kNoScores = "You don't have any passages recorded for charting.";
const char *const kSure = "Are you sure you want to delete your past history?";

void fill(THistory &h, std::initializer_list<double> values)
{
    historyClear(h);
    for (double v : values)
        historyAppend(h, v);
}

TForm10 *chartsOf(TestApp &app)
{
    return app.form()->findChild<TForm10 *>(QStringLiteral("chartsWindow"));
}

QLineSeries *lineOf(TForm10 *w, ChartKind kind)
{
    return qobject_cast<QLineSeries *>(w->chartView(kind)->chart()->series().constFirst());
}

bool menuEnabled(TestApp &app, const char *name)
{
    return app.form()->findChild<QMenu *>(QString::fromLatin1(name))->menuAction()->isEnabled();
}

void click(QWidget *root, const char *name)
{
    auto *button = root->findChild<QPushButton *>(QString::fromLatin1(name));
    QVERIFY2(button != nullptr, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void closeCharts(TestApp &app, TForm10 *w, const char *closeButton)
{
    click(w, closeButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(chartsOf(app), nullptr);
}

} // namespace

class ChartsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyModeTellsButStillOpensAndCloseRestoresTheMenus();
    void chartsShowTheModesHistories();
    void clearAsksAndClearsOnlyThatHistoryOfTheShownMode();
    void savedBitmapReopensInTheViewerWithTheChartsSize();
    void saveCancelOrFailure();
    void printGivesOneLandscapePdfPage();
    void shortStoriesComeBackOnlyWhenNothingHoldsThem_data();
    void shortStoriesComeBackOnlyWhenNothingHoldsThem();
};

void ChartsTest::emptyModeTellsButStillOpensAndCloseRestoresTheMenus()
{
    TestApp app;
    QVERIFY(app.start());
    app.fakes.messages.expect(MessageKind::Information, kNoScores);
    QVERIFY(triggerAction(app.form(), "chartTachiAction"));
    TForm10 *w = chartsOf(app);
    QVERIFY(w != nullptr);
    QCOMPARE(app.state->ChartShowsTachi, 1);
    QCOMPARE(app.state->ChartShowsHoriz + app.state->ChartShowsVert + app.state->ChartShowsSpeedTest, 0);
    QCOMPARE(lineOf(w, ChartKind::Wpm)->count(), 0);
    // A 0-to-0 axis cannot be drawn: the empty chart keeps its usual top.
    auto *values =
        qobject_cast<QValueAxis *>(w->chartView(ChartKind::Wpm)->chart()->axes(Qt::Vertical).constFirst());
    QCOMPARE(values->max(), 1000.0);
    QCOMPARE(w->findChild<QLineEdit *>("wpmAverageEdit")->text(), QString());
    QCOMPARE(w->findChild<QLineEdit *>("percentAverageEdit")->text(), QString());
    for (const char *menu : {"chartsMenu", "readingMenu", "optionsMenu", "shortStoriesMenu"})
        QVERIFY2(!menuEnabled(app, menu), menu);
    QVERIFY(menuEnabled(app, "helpMenu"));
    // No system buttons: the window closes through its own buttons only.
    QVERIFY(!(w->frame()->windowFlags() & Qt::WindowCloseButtonHint));

    // F1 opens the manual at the charts.
    app.form()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(app.form()));
    w->findChild<QPushButton *>("wpmSaveButton")->setFocus();
    QTest::keyClick(w->findChild<QPushButton *>("wpmSaveButton"), Qt::Key_F1);
    QVERIFY(!app.fakes.shell.opened.isEmpty());
    QCOMPARE(app.fakes.shell.opened.last().fragment(), QStringLiteral("context-110"));

    closeCharts(app, w, "percentCloseButton");
    QCOMPARE(app.state->ChartShowsTachi, 0);
    for (const char *menu : {"chartsMenu", "readingMenu", "optionsMenu", "shortStoriesMenu"})
        QVERIFY2(menuEnabled(app, menu), menu);
}

void ChartsTest::chartsShowTheModesHistories()
{
    TestApp app;
    QVERIFY(app.start());
    TSettings &s = app.state->Settings;
    fill(s.HorizWpmHistory, {250.4, 0.4, 312.5, 413.5, 180.0});
    fill(s.HorizComprehensionHistory, {0.875, 0.5, 0.7});
    fill(s.VertWpmHistory, {900});
    QVERIFY(triggerAction(app.form(), "chartHorizAction"));
    TForm10 *w = chartsOf(app);
    QVERIFY(w != nullptr);
    QCOMPARE(app.state->ChartShowsHoriz, 1);

    QChart *wpm = w->chartView(ChartKind::Wpm)->chart();
    QLineSeries *wpmLine = lineOf(w, ChartKind::Wpm);
    QCOMPARE(wpmLine->points(), (QList<QPointF>{{1, 250}, {2, 312}, {3, 414}, {4, 180}}));
    auto *slots = qobject_cast<QCategoryAxis *>(wpm->axes(Qt::Horizontal).constFirst());
    w->setPlacedGeometry(QRect(0, 0, 1100, 600));
    const QStringList allSlots{"1", "3", "4", "5"};
    QCOMPARE(slots->categoriesLabels(), allSlots);
    // Too narrow for thirty numbers: only some are shown, none cut short.
    w->setPlacedGeometry(QRect(0, 0, 460, 400));
    const QStringList some = slots->categoriesLabels();
    QVERIFY(!some.isEmpty() && some.size() < allSlots.size());
    for (const QString &label : some)
        QVERIFY(allSlots.contains(label));
    w->setPlacedGeometry(QRect(0, 0, 1100, 600));
    QCOMPARE(slots->categoriesLabels(), allSlots);
    QCOMPARE(slots->max(), 30.0);
    QCOMPARE(qobject_cast<QValueAxis *>(wpm->axes(Qt::Vertical).constFirst())->max(), 414.0);
    QCOMPARE(w->findChild<QLineEdit *>("wpmAverageEdit")->text(), QStringLiteral("289"));

    QChart *percent = w->chartView(ChartKind::Comprehension)->chart();
    QCOMPARE(lineOf(w, ChartKind::Comprehension)->points(), (QList<QPointF>{{1, 88}, {2, 50}, {3, 70}}));
    QCOMPARE(qobject_cast<QValueAxis *>(percent->axes(Qt::Vertical).constFirst())->max(), 100.0);
    QCOMPARE(w->findChild<QLineEdit *>("percentAverageEdit")->text(), QStringLiteral("69%"));

    closeCharts(app, w, "wpmCloseButton");
}

void ChartsTest::clearAsksAndClearsOnlyThatHistoryOfTheShownMode()
{
    TestApp app;
    QVERIFY(app.start());
    TSettings &s = app.state->Settings;
    fill(s.VertWpmHistory, {300, 320});
    fill(s.VertComprehensionHistory, {0.8, 0.9});
    fill(s.TachiComprehensionHistory, {0.6});
    QVERIFY(triggerAction(app.form(), "chartVertAction"));
    TForm10 *w = chartsOf(app);

    app.fakes.messages.expect(MessageKind::Confirm, kSure, false);
    click(w, "percentClearButton");
    QCOMPARE(historyCount(s.VertComprehensionHistory), 2);

    app.fakes.messages.expect(MessageKind::Confirm, kSure, true);
    click(w, "percentClearButton");
    QCOMPARE(historyCount(s.VertComprehensionHistory), 0);
    QCOMPARE(historyCount(s.VertWpmHistory), 2);
    QCOMPARE(historyCount(s.TachiComprehensionHistory), 1);
    // Written at once, so a crash cannot bring the scores back.
    QFile file(app.path("settings2.dat"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(historyCount(decodeSettings(file.readAll(), 96).VertComprehensionHistory), 0);
    // The chart on screen is not redrawn.
    QCOMPARE(lineOf(w, ChartKind::Comprehension)->count(), 2);

    app.fakes.messages.expect(MessageKind::Confirm, kSure, true);
    click(w, "wpmClearButton");
    QCOMPARE(historyCount(s.VertWpmHistory), 0);
    closeCharts(app, w, "wpmCloseButton");

    // Opened again, the mode has nothing left to chart.
    app.fakes.messages.expect(MessageKind::Information, kNoScores);
    QVERIFY(triggerAction(app.form(), "chartVertAction"));
    QCOMPARE(lineOf(chartsOf(app), ChartKind::Comprehension)->count(), 0);
}

void ChartsTest::savedBitmapReopensInTheViewerWithTheChartsSize()
{
    TestApp app;
    QVERIFY(app.start());
    fill(app.state->Settings.TachiWpmHistory, {150, 180, 210, 260});
    QVERIFY(triggerAction(app.form(), "chartTachiAction"));
    TForm10 *w = chartsOf(app);
    const QSize chartSize = w->chartView(ChartKind::Wpm)->size();
    QVERIFY(chartSize.width() > 100 && chartSize.height() > 50);

    QVERIFY(QDir(app.dir.path()).mkdir("saved"));
    const QString path = app.path("saved/week one.bmp");
    app.fakes.dialogs.saveNames.push_back(path);
    click(w, "wpmSaveButton");
    const QString proposed = proposedChartFileName(ChartKind::Wpm, QDate::currentDate(), QLocale::system());
    QCOMPARE(app.fakes.dialogs.saveProposalsSeen, QStringList{app.path(proposed)});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
    file.close();
    // What was saved is the chart, on white, with the red line on it.
    const QImage saved(path, "BMP");
    QCOMPARE(saved.size(), chartSize);
    QCOMPARE(saved.pixelColor(0, 0), QColor(Qt::white));
    bool red = false;
    for (int y = 0; y < saved.height() && !red; ++y)
        for (int x = 0; x < saved.width() && !red; ++x)
            red = saved.pixelColor(x, y) == QColor(Qt::red);
    QVERIFY(red);

    closeCharts(app, w, "wpmCloseButton");
    QVERIFY(triggerAction(app.form(), "chartViewerAction"));
    auto *commands = app.form()->findChild<ChartCommands *>();
    TChartForm1 *viewer = commands->viewer();
    QVERIFY(viewer != nullptr);
    app.fakes.dialogs.openNames.push_back(path);
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QCOMPARE(app.fakes.dialogs.openFoldersSeen, QStringList{app.path("saved")});
    auto *image = viewer->chartSlot(0)->findChild<QLabel *>("chartSlot1Image");
    QVERIFY(viewer->chartSlot(0)->isVisible());
    QCOMPARE(image->pixmap().size(), chartSize);
    QCOMPARE(viewer->chartSlot(0)->width(), chartSize.width() + 4);

    // The save dialog of the next chart window opens where the last chart went.
    QVERIFY(triggerAction(app.form(), "chartTachiAction"));
    app.fakes.dialogs.saveNames.push_back(QString());
    click(chartsOf(app), "percentSaveButton");
    QCOMPARE(QFileInfo(app.fakes.dialogs.saveProposalsSeen.last()).absolutePath(), app.path("saved"));
}

void ChartsTest::saveCancelOrFailure()
{
    TestApp app;
    QVERIFY(app.start());
    fill(app.state->Settings.HorizWpmHistory, {200, 220});
    QVERIFY(triggerAction(app.form(), "chartHorizAction"));
    TForm10 *w = chartsOf(app);
    const QStringList before = QDir(app.dir.path()).entryList(QDir::Files);

    app.fakes.dialogs.saveNames.push_back(QString());
    click(w, "wpmSaveButton");
    QCOMPARE(QDir(app.dir.path()).entryList(QDir::Files), before);

    const QString unwritable = app.path("no such folder/chart.bmp");
    app.fakes.dialogs.saveNames.push_back(unwritable);
    app.fakes.messages.expect(MessageKind::Error,
                              QStringLiteral("The chart cannot be saved as \"%1\".").arg(unwritable));
    click(w, "wpmSaveButton");
    QVERIFY(!QFile::exists(unwritable));

    // A name typed without an extension gets ".bmp", and an existing file of that name is not lost unasked.
    QFile existing(app.path("mine.bmp"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    app.fakes.dialogs.saveNames.push_back(app.path("mine"));
    app.fakes.messages.expect(MessageKind::Confirm, "mine.bmp already exists.\nDo you want to replace it?",
                              false);
    click(w, "percentSaveButton");
    QCOMPARE(QFileInfo(app.path("mine.bmp")).size(), 4);
    app.fakes.dialogs.saveNames.push_back(app.path("mine"));
    app.fakes.messages.expect(MessageKind::Confirm, "mine.bmp already exists.\nDo you want to replace it?",
                              true);
    click(w, "percentSaveButton");
    QVERIFY(loadChartBitmap(app.path("mine.bmp")).has_value());
}

void ChartsTest::printGivesOneLandscapePdfPage()
{
    TestApp app;
    QVERIFY(app.start());
    fill(app.state->Settings.TachiWpmHistory, {150, 180, 210});
    QVERIFY(triggerAction(app.form(), "chartTachiAction"));
    TForm10 *w = chartsOf(app);
    const QString pdf = app.path("chart.pdf");
    app.fakes.dialogs.printTargets = {QString(), pdf}; // cancelled, then printed
    click(w, "wpmPrintButton");
    QVERIFY(!QFile::exists(pdf));
    const QRectF plotOnScreen = w->chartView(ChartKind::Wpm)->chart()->plotArea();
    click(w, "wpmPrintButton");
    QCOMPARE(app.fakes.dialogs.printTargets.size(), std::size_t(0));
    // Laid out for the page while printing, the chart on screen is back as it was.
    QCOMPARE(w->chartView(ChartKind::Wpm)->chart()->plotArea(), plotOnScreen);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.count(QByteArray("/Type /Page\n")) + bytes.count(QByteArray("/Type /Page ")) +
                 bytes.count(QByteArray("/Type /Page/")),
             1);
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
            .match(QString::fromLatin1(bytes));
    QVERIFY(box.hasMatch());
    QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble());
}

void ChartsTest::shortStoriesComeBackOnlyWhenNothingHoldsThem_data()
{
    QTest::addColumn<bool>("readingBefore");
    QTest::addColumn<bool>("readingUnderCharts");
    QTest::addColumn<bool>("storiesAfterClose");
    QTest::newRow("no reading") << false << false << true;
    QTest::newRow("reading runs on") << true << true << false;
    QTest::newRow("reading ends under the charts") << true << false << true;
    QTest::newRow("reading starts under the charts") << false << true << false;
}

void ChartsTest::shortStoriesComeBackOnlyWhenNothingHoldsThem()
{
    QFETCH(bool, readingBefore);
    QFETCH(bool, readingUnderCharts);
    QFETCH(bool, storiesAfterClose);
    TestApp app;
    QVERIFY(app.start());
    app.form()->setHold(MenuHold::Reading, readingBefore);
    app.fakes.messages.expect(MessageKind::Information, kNoScores);
    QVERIFY(triggerAction(app.form(), "chartHorizAction"));
    app.form()->setHold(MenuHold::Reading, readingUnderCharts);
    QVERIFY(!menuEnabled(app, "shortStoriesMenu"));
    closeCharts(app, chartsOf(app), "wpmCloseButton");
    QCOMPARE(menuEnabled(app, "shortStoriesMenu"), storiesAfterClose);
    QVERIFY(menuEnabled(app, "readingMenu"));
}

QTEST_MAIN(ChartsTest)
#include "tst_charts.moc"

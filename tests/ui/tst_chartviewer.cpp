#include "TestSupport.h"

#include "app/AppState.h"
#include "app/mainwindow.h"
#include "charts/ChartBitmap.h"
#include "charts/ChartCommands.h"
#include "charts/ChartViewer.h"

#include <QBuffer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

namespace {

QString makeBitmap(TestApp &app, const QString &name, QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = app.path(name);
    return saveChartBitmap(image, path) ? path : QString();
}

TChartForm1 *openViewer(TestApp &app)
{
    if (!triggerAction(app.form(), "chartViewerAction"))
        return nullptr;
    return app.form()->findChild<ChartCommands *>()->viewer();
}

QString caption(QFrame *slot, int n)
{
    return slot->findChild<QLabel *>(QStringLiteral("chartSlot%1Caption").arg(n))->text();
}

} // namespace

class ChartViewerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openOpenCloseFirstOpen();
    void filesThatAreNotBitmapsAreRefused_data();
    void filesThatAreNotBitmapsAreRefused();
};

void ChartViewerTest::openOpenCloseFirstOpen()
{
    TestApp app;
    QVERIFY(app.start());
    TChartForm1 *viewer = openViewer(app);
    QVERIFY(openViewer(app) == viewer && app.form()->findChildren<TChartForm1 *>().size() == 1);
    // Nothing saved yet: the dialog starts in the program's data folder. Cancelled, it changes nothing.
    app.fakes.dialogs.openNames = {QString()};
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QCOMPARE(app.fakes.dialogs.openFoldersSeen, QStringList{app.dir.path()});
    QCOMPARE(app.fakes.dialogs.openFiltersSeen, QStringList{"Bitmap Files (*.bmp)"});
    QFrame *first = viewer->chartSlot(0);
    QFrame *second = viewer->chartSlot(1);
    QVERIFY(!first->isVisible());

    // A name typed without its extension finds the bitmap.
    const QString a = makeBitmap(app, "a.bmp", QSize(300, 120), Qt::red);
    const QString b = makeBitmap(app, "b.bmp", QSize(280, 100), Qt::blue);
    const QString c = makeBitmap(app, "c.bmp", QSize(260, 90), Qt::green);
    app.fakes.dialogs.openNames = {app.path("a"), b};
    const int titleBar = first->findChild<QFrame *>("chartSlot1TitleBar")->height();
    QTest::mouseClick(viewer->findChild<QPushButton *>("openChartButton"), Qt::LeftButton);
    QCOMPARE(first->geometry(), QRect(1, 0, 304, 120 + 2 + titleBar));
    QVERIFY(first->isVisible() && caption(first, 1) == a);
    QVERIFY(triggerAction(viewer, "openChartAction") && second->isVisible());
    QCOMPARE(second->geometry(), QRect(1, first->height(), 284, 100 + 2 + titleBar));

    // Closed while scrolled down to the second chart on a small screen: the chart moved up shows whole.
    app.fakes.screen.screenSize = QSize(500, 360);
    viewer->resize(400, 300);
    QScrollBar *bar = viewer->findChild<QScrollArea *>("chartScrollArea")->verticalScrollBar();
    bar->setValue(bar->maximum());
    QVERIFY(bar->value() > 0);
    QTest::mouseClick(first->findChild<QPushButton *>("chartSlot1CloseButton"), Qt::LeftButton);
    QVERIFY(!first->isVisible());
    QCOMPARE(second->y(), 0);
    QCOMPARE(bar->value(), 0);

    app.fakes.dialogs.openNames = {c};
    QVERIFY(triggerAction(viewer, "openChartAction") && first->isVisible());
    QCOMPARE(first->geometry(), QRect(1, second->height(), 264, 90 + 2 + titleBar));
    QCOMPARE(caption(first, 1), c);
    QCOMPARE(first->findChild<QLabel *>("chartSlot1Image")->pixmap().toImage().pixelColor(5, 5),
             QColor(Qt::green));
    QCOMPARE(caption(second, 2), b);
    // Both in use: the file is chosen, then refused.
    app.fakes.dialogs.openNames = {a};
    app.fakes.messages.expect(MessageKind::Error,
                              "You must close one of the other two charts before opening another.");
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QCOMPARE(caption(first, 1), c);
}

void ChartViewerTest::filesThatAreNotBitmapsAreRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    const auto encoded = [](const char *format) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        image.save(&buffer, format);
        return bytes;
    };
    QByteArray hugeHeader = encoded("BMP").left(54);
    hugeHeader[18] = '\xff'; // width far beyond any real chart, with no pixels behind it
    hugeHeader[21] = '\x7f';
    QTest::newRow("missing") << QByteArray("-");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("Words Per Minute\r\n412\r\n");
    QTest::newRow("png named .bmp") << encoded("PNG");
    QTest::newRow("header only") << encoded("BMP").left(20);
    QTest::newRow("absurd size") << hugeHeader;
}

void ChartViewerTest::filesThatAreNotBitmapsAreRefused()
{
    QFETCH(QByteArray, content);
    TestApp app;
    QVERIFY(app.start());
    const QString path = app.path("broken.bmp");
    QFile f(path);
    QVERIFY(content == "-" || (f.open(QIODevice::WriteOnly) && f.write(content) == content.size()));
    f.close();
    TChartForm1 *viewer = openViewer(app);
    app.fakes.dialogs.openNames = {path};
    app.fakes.messages.expect(
        MessageKind::Error,
        QStringLiteral("The file \"%1\" is not a chart bitmap that can be shown.").arg(path));
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QVERIFY(!viewer->chartSlot(0)->isVisible() && !viewer->chartSlot(1)->isVisible());
}

QTEST_MAIN(ChartViewerTest)
#include "tst_chartviewer.moc"

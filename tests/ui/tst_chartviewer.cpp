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

const char *const kBothInUse = "You must close one of the other two charts before opening another.";

QString makeBitmap(TestApp &app, const QString &name, QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = app.path(name);
    return saveChartBitmap(image, path) ? path : QString();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TChartForm1 *openViewer(TestApp &app)
{
    if (!triggerAction(app.form(), "chartViewerAction"))
        return nullptr;
    return app.form()->findChild<ChartCommands *>()->viewer();
}

} // namespace

class ChartViewerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensCentredOnTopAndOnce();
    void openOpenCloseFirstOpen();
    void filesThatAreNotBitmapsAreRefused_data();
    void filesThatAreNotBitmapsAreRefused();
    void cancelledDialogChangesNothing();
};

void ChartViewerTest::opensCentredOnTopAndOnce()
{
    TestApp app;
    QVERIFY(app.start());
    TChartForm1 *viewer = openViewer(app);
    QVERIFY(viewer != nullptr);
    QVERIFY(viewer->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(viewer->isWindow());
    const QSize screen = app.fakes.screen.screenSize;
    QCOMPARE(viewer->x(), (screen.width() - viewer->width()) / 2);
    QCOMPARE(viewer->y(), (screen.height() - viewer->height()) / 2);
    QVERIFY(!viewer->chartSlot(0)->isVisible());
    QVERIFY(!viewer->chartSlot(1)->isVisible());
    QCOMPARE(openViewer(app), viewer);
    QCOMPARE(app.form()->findChildren<TChartForm1 *>().size(), 1);
    // Nothing saved yet: the dialog starts in the program's data folder.
    app.fakes.dialogs.openNames.push_back(QString());
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QCOMPARE(app.fakes.dialogs.openFoldersSeen, QStringList{app.dir.path()});
    QCOMPARE(app.fakes.dialogs.openFiltersSeen, QStringList{"Bitmap Files (*.bmp)"});
}

void ChartViewerTest::openOpenCloseFirstOpen()
{
    TestApp app;
    QVERIFY(app.start());
    const QString a = makeBitmap(app, "a.bmp", QSize(300, 120), Qt::red);
    const QString b = makeBitmap(app, "b.bmp", QSize(280, 100), Qt::blue);
    const QString c = makeBitmap(app, "c.bmp", QSize(260, 90), Qt::green);
    TChartForm1 *viewer = openViewer(app);
    QFrame *first = viewer->chartSlot(0);
    QFrame *second = viewer->chartSlot(1);
    const int titleBar = first->findChild<QFrame *>("chartSlot1TitleBar")->height();

    app.fakes.dialogs.openNames = {a, b};
    QTest::mouseClick(viewer->findChild<QPushButton *>("openChartButton"), Qt::LeftButton);
    QCOMPARE(first->geometry(), QRect(1, 0, 304, 120 + 2 + titleBar));
    QCOMPARE(first->findChild<QLabel *>("chartSlot1Caption")->text(), a);
    QCOMPARE(first->findChild<QLabel *>("chartSlot1Image")->geometry().top(), titleBar + 1);
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QVERIFY(second->isVisible());
    QCOMPARE(second->geometry(), QRect(1, first->height(), 284, 100 + 2 + titleBar));

    // Closed while scrolled down to the second chart, on a screen too small for the window to grow to
    // the charts: the chart moved up shows from its title bar.
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
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QVERIFY(first->isVisible());
    QCOMPARE(first->geometry(), QRect(1, second->height(), 264, 90 + 2 + titleBar));
    QCOMPARE(first->findChild<QLabel *>("chartSlot1Caption")->text(), c);
    QCOMPARE(first->findChild<QLabel *>("chartSlot1Image")->pixmap().toImage().pixelColor(5, 5),
             QColor(Qt::green));
    QCOMPARE(second->findChild<QLabel *>("chartSlot2Caption")->text(), b);

    // Both in use: the file is chosen, then refused.
    app.fakes.dialogs.openNames = {a};
    app.fakes.messages.expect(MessageKind::Error, kBothInUse);
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QCOMPARE(first->findChild<QLabel *>("chartSlot1Caption")->text(), c);
}

void ChartViewerTest::filesThatAreNotBitmapsAreRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    QImage png(20, 20, QImage::Format_RGB32);
    png.fill(Qt::red);
    QByteArray pngBytes;
    QBuffer buffer(&pngBytes);
    buffer.open(QIODevice::WriteOnly);
    png.save(&buffer, "PNG");
    QImage bmp(40, 30, QImage::Format_RGB32);
    bmp.fill(Qt::red);
    QByteArray bmpBytes;
    QBuffer bmpBuffer(&bmpBytes);
    bmpBuffer.open(QIODevice::WriteOnly);
    bmp.save(&bmpBuffer, "BMP");
    QByteArray hugeHeader = bmpBytes.left(54);
    hugeHeader[18] = '\xff'; // width far beyond any real chart, with no pixels behind it
    hugeHeader[21] = '\x7f';

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("Words Per Minute\r\n412\r\n");
    QTest::newRow("png named .bmp") << pngBytes;
    QTest::newRow("header only") << bmpBytes.left(20);
    QTest::newRow("absurd size") << hugeHeader;
}

void ChartViewerTest::filesThatAreNotBitmapsAreRefused()
{
    QFETCH(QByteArray, content);
    TestApp app;
    QVERIFY(app.start());
    const QString path = app.path("broken.bmp");
    writeFile(path, content);
    QVERIFY(!loadChartBitmap(path).has_value());
    TChartForm1 *viewer = openViewer(app);
    app.fakes.dialogs.openNames = {path, app.path("missing.bmp")};
    app.fakes.messages.expect(
        MessageKind::Error,
        QStringLiteral("The file \"%1\" is not a chart bitmap that can be shown.").arg(path));
    app.fakes.messages.expect(MessageKind::Error,
                              QStringLiteral("The file \"%1\" is not a chart bitmap that can be shown.")
                                  .arg(app.path("missing.bmp")));
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QVERIFY(!viewer->chartSlot(0)->isVisible());
    QVERIFY(!viewer->chartSlot(1)->isVisible());
}

void ChartViewerTest::cancelledDialogChangesNothing()
{
    TestApp app;
    QVERIFY(app.start());
    TChartForm1 *viewer = openViewer(app);
    app.fakes.dialogs.openNames = {QString()};
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QVERIFY(!viewer->chartSlot(0)->isVisible());
    // A name typed without its extension finds the bitmap.
    makeBitmap(app, "typed.bmp", QSize(50, 40), Qt::blue);
    app.fakes.dialogs.openNames = {app.path("typed")};
    QVERIFY(triggerAction(viewer, "openChartAction"));
    QVERIFY(viewer->chartSlot(0)->isVisible());
}

QTEST_MAIN(ChartViewerTest)
#include "tst_chartviewer.moc"

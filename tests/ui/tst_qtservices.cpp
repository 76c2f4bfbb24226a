#include "app/ProgramIcon.h"
#include "QtServices.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QtTest>

// The real services, on a 96-dpi screen scaled by 1.25 as a 120-dpi desktop setting scales it.
class QtServicesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theDpiIsTheScreensOwnUnderScaling();
    void messagesBelongToTheActiveWindowAndCarryTheProgramName();
    void theProgramHasItsOwnIcon();
};

void QtServicesTest::theDpiIsTheScreensOwnUnderScaling()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen != nullptr);
    QCOMPARE(screen->devicePixelRatio(), 1.25);
    // The text is drawn at 120 pixels to the inch, as on a 120-dpi desktop: the font rule must see that, not
    // the toolkit's logical 96.
    QtScreenService service;
    QCOMPARE(service.dpi(), 120);
}

void QtServicesTest::messagesBelongToTheActiveWindowAndCarryTheProgramName()
{
    QMainWindow main;
    QMainWindow viewer(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    main.show();
    viewer.show();
    QtServiceSet services([&main] { return &main; });

    struct Seen
    {
        QWidget *parent = nullptr;
        QString title;
    };
    const auto showAndRecord = [&](QWidget *active) {
        Seen seen;
        QApplication::setActiveWindow(active);
        QTimer::singleShot(0, [&seen] {
            QWidget *box = QApplication::activeModalWidget();
            if (box == nullptr)
                return;
            seen = Seen{box->parentWidget(), box->windowTitle()};
            static_cast<QDialog *>(box)->accept();
        });
        services.messages.error(QStringLiteral("You must close one of the other two charts before opening "
                                               "another."));
        return seen;
    };
    const Seen fromViewer = showAndRecord(&viewer);
    QCOMPARE(fromViewer.parent, &viewer);
    QCOMPARE(fromViewer.title, QStringLiteral("Brindlewick"));
    const Seen fromMain = showAndRecord(&main);
    QCOMPARE(fromMain.parent, &main);
}

void QtServicesTest::theProgramHasItsOwnIcon()
{
    const QIcon icon = programIcon();
    QVERIFY(!icon.isNull());
    const QImage image = icon.pixmap(32, 32).toImage();
    // Drawn, and not a plain square: the corners are rounded off.
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QVERIFY(qAlpha(image.pixel(16, 16)) == 255);
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "1.25");
    QApplication app(argc, argv);
    QtServicesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qtservices.moc"

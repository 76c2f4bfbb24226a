#include "QtServices.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
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
};

void QtServicesTest::theDpiIsTheScreensOwnUnderScaling()
{
    QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), 1.25);
    // Text is drawn at 120 pixels to the inch: the font rule must see that, not the toolkit's logical 96.
    QCOMPARE(QtScreenService().dpi(), 120);
}

void QtServicesTest::messagesBelongToTheActiveWindowAndCarryTheProgramName()
{
    QMainWindow main;
    QMainWindow viewer(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    main.show();
    viewer.show();
    QtServiceSet services([&main] { return &main; });
    for (QWidget *active : {static_cast<QWidget *>(&viewer), static_cast<QWidget *>(&main)}) {
        QApplication::setActiveWindow(active);
        QWidget *parent = nullptr;
        QString title;
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                parent = box->parentWidget();
                title = box->windowTitle();
                box->accept();
            }
        });
        services.messages.error(QStringLiteral("You must close one of the other two charts before opening "
                                               "another."));
        QCOMPARE(std::pair(parent, title), std::pair(active, QStringLiteral("Brindlewick")));
    }
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "1.25");
    QApplication app(argc, argv);
    QtServicesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qtservices.moc"

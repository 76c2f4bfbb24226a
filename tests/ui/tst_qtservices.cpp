#include "FontDialog.h"
#include "QtServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QProgressDialog>
#include <QPushButton>
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
    void theFontDialogOffersWhatTheModeKeeps();
    void longWorkShowsItsProgressAndStopsOnCancel();
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

void QtServicesTest::theFontDialogOffersWhatTheModeKeeps()
{
    // A stored family that is not installed: shown as the family used in its place, kept when not changed.
    const FontChoice stored{QFont(QStringLiteral("Brindlewick No Such Face"), 20), Qt::red};
    for (const bool effects : {false, true}) {
        FontDialog d(stored, FontDialogOptions{8, 14, effects});
        auto *sizes = d.findChild<QComboBox *>(QStringLiteral("fontSizeBox"));
        QCOMPARE(sizes->count(), 7);
        QCOMPARE(sizes->currentText(), QStringLiteral("14")); // a stored 20 shows as the largest on offer
        QCOMPARE(d.findChild<QCheckBox *>(QStringLiteral("fontUnderlineBox")) != nullptr, effects);
        QVERIFY(d.findChild<QFontComboBox *>()->currentFont().family() != stored.font.family());
        const FontChoice kept = d.choice();
        QCOMPARE(kept.font.family(), stored.font.family());
        QCOMPARE(kept.font.pointSize(), 14);
        auto *family = d.findChild<QFontComboBox *>();
        family->setCurrentIndex(family->currentIndex() == 0 ? 1 : 0);
        QVERIFY(d.choice().font.family() != stored.font.family());
    }
    // Enter is OK and Escape is Cancel, the chooser staying whole.
    for (const auto &[key, result] : {std::pair{Qt::Key_Return, int(QDialog::Accepted)},
                                      std::pair{Qt::Key_Escape, int(QDialog::Rejected)}}) {
        FontDialog d(stored, FontDialogOptions{8, 14, true});
        QTimer::singleShot(0, &d,
                           [&d, key = key] { QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, key); });
        QCOMPARE(d.exec(), result);
        QVERIFY(d.findChild<QFontComboBox *>() != nullptr);
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

// Work runs on another thread while the interface thread goes on; long work shows a progress dialog whose
// Cancel the work hears; short work returns without one.
void QtServicesTest::longWorkShowsItsProgressAndStopsOnCancel()
{
    QMainWindow main;
    main.show();
    QtDialogService dialogs([&main] { return &main; });
    const Qt::HANDLE interfaceThread = QThread::currentThreadId();
    Qt::HANDLE workThread = interfaceThread;
    QVERIFY(dialogs.runWork(QStringLiteral("short"),
                            [&](const WorkControl &) { workThread = QThread::currentThreadId(); }));
    QVERIFY(workThread != interfaceThread);
    QVERIFY(QApplication::activeModalWidget() == nullptr);

    QString shown;
    int percent = -1;
    bool heardCancel = false;
    // The dialog is looked for until it appears, then cancelled: the work itself runs until it hears that.
    QTimer look;
    connect(&look, &QTimer::timeout, &look, [&] {
        if (auto *d = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            d != nullptr && d->value() == 40) {
            shown = d->labelText();
            percent = d->value();
            d->findChild<QPushButton *>()->click();
            look.stop();
        }
    });
    look.start(20);
    const bool finished =
        dialogs.runWork(QStringLiteral("Opening \"book.epub\"..."), [&](const WorkControl &c) {
            c.progress(40);
            while (!c.cancelled())
                QThread::msleep(5);
            heardCancel = true;
        });
    QVERIFY(!finished && heardCancel);
    QCOMPARE(std::pair(shown, percent), std::pair(QStringLiteral("Opening \"book.epub\"..."), 40));
}

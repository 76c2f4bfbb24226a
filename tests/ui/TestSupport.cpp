#include "TestSupport.h"

#include "app/AppState.h"
#include "app/mainwindow.h"
#include "assess/exercise.h"
#include "control/ControlPage.h"
#include "control/control.h"
#include "readers/PacedReader.h"
#include "readers/SpeedTest.h"
#include "readers/tacky.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

TestApp::TestApp(bool withDataFiles) : program(fakes.services(), dir.path())
{
    if (withDataFiles) {
        for (const char *name : {"click_1.wav", "click_2.wav", "tap4.wav", "2.wav", "bwread.html"})
            copyDataFile(QString::fromLatin1(name));
    }
}

TestApp::~TestApp()
{
    program.end();
    if (!fakes.verify())
        QTest::qFail(qPrintable(fakes.report()), __FILE__, __LINE__);
}

void TestApp::copyDataFile(const QString &name)
{
    QFile::copy(QDir(QStringLiteral(BW_DATA_DIR)).filePath(name), dir.filePath(name));
}

void TestApp::writeLines(const QString &name, const QStringList &lines)
{
    QFile f(dir.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write((lines.join(u'\n') + u'\n').toUtf8());
}

QString TestApp::writeBytes(const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        QTest::qFail("cannot write a test file", __FILE__, __LINE__);
    return f.fileName();
}

QByteArray TestApp::readBytes(const QString &name) const
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::ReadOnly))
        QTest::qFail("cannot read a test file", __FILE__, __LINE__);
    return f.readAll();
}

bool TestApp::storiesEnabled() const
{
    return form()->shortStoriesMenu()->menuAction()->isEnabled();
}

bool TestApp::fontsEnabled() const
{
    return form()->findChild<QAction *>(QStringLiteral("fontsAction"))->isEnabled();
}

QString notFoundMessage(const QString &name)
{
    return QString(QStringLiteral("The file \"") + name + u'"').left(110) +
           QStringLiteral(" was not found, or else the file is not an ascii text file. Be sure that the file "
                          "exists, and was not deleted.");
}

bool triggerAction(QObject *root, const char *objectName)
{
    auto *action = root->findChild<QAction *>(QString::fromLatin1(objectName));
    if (action == nullptr)
        return false;
    action->trigger();
    return true;
}

void paceToTheEnd(PacedReader &reader)
{
    for (int tick = 1; reader.isPacing() && tick < 100000; ++tick) {
        reader.Timer1Timer();
        if (tick % 3 == 0)
            reader.Timer2Timer();
    }
}

void flashToTheEnd(TTachiForm &reader, int seconds)
{
    for (int second = 0; second < seconds; ++second)
        reader.Timer2Timer();
    for (int flash = 0; reader.isInRun() && flash < 100000; ++flash)
        reader.Timer1Timer();
}

void submitTest(TestApp &app, QWidget *test, std::initializer_list<int> choices, int percent, bool save)
{
    int q = 0;
    for (const int c : choices)
        child<QRadioButton>(test, qPrintable(QStringLiteral("RadioButton%1").arg(3 * q++ + c)))->click();
    if (percent >= 0) {
        app.fakes.messages.expect(MessageKind::Information,
                                  QStringLiteral("Your comprehension was %1%.").arg(percent));
        app.fakes.messages.expect(MessageKind::Confirm,
                                  "Do you want to save this test score and WPM score on chart?", save);
    }
    child<QPushButton>(test, "BitBtn2")->click();
}

void exerciseToChoices(TestApp &app, TExerciseForm &form)
{
    for (int i = 0; i < 4; ++i)
        form.countdownTimer();
    form.flashTimer();
    app.fakes.clock.now += form.engine().flashTime();
    form.flashTimer();
    form.answerDelayTimer();
}

void answerExercise(TExerciseForm &form, bool right)
{
    const auto box = [&form](int n) {
        return child<QRadioButton>(&form, qPrintable(QStringLiteral("choiceBox%1").arg(n)));
    };
    int target = 1;
    while (target < 3 && box(target)->text() != form.engine().targetWordText())
        ++target;
    box(right ? target : target % 3 + 1)->click();
    child<QPushButton>(&form, "enterButton")->click();
}

QPushButton *speedTestToTheEnd(Program &program, FakeDialogService &dialogs, const QString &file, int seconds)
{
    if (!triggerAction(program.frame(), "speedTestAction"))
        return nullptr;
    ControlPage *page = pageOf(program.state, Mode::SpeedTest);
    dialogs.openNames.push_back(file);
    triggerAction(page, "openFileAction");
    page->findChild<QPushButton *>(QStringLiteral("startReadButton"))->click();
    auto *stop = page->findChild<QPushButton *>(QStringLiteral("stopReadingButton"));
    for (int pages = 0; !stop->isEnabled() && pages < 100; ++pages)
        page->findChild<QPushButton *>(QStringLiteral("pgDownButton"))->click();
    for (int second = 0; second < seconds; ++second)
        qobject_cast<TSpeedTestForm *>(program.state.modeWindow.data())->Timer1Timer();
    return stop;
}

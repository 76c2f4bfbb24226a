// Prints the resident memory of the program before and after the speed test lays out a 1000-line text of
// 80-character lines at the largest font the font dialog offers, with the window filling the screen.
#include "FakeServices.h"
#include "Program.h"
#include "app/mainwindow.h"
#include "readers/SpeedTest.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QFile text(dir.filePath(QStringLiteral("long.txt")));
    if (!text.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < 1000; ++i)
        text.write(QByteArray(79, 'W') + " \n");
    text.close();

    FakeServiceSet fakes;
    fakes.sound.devices = 0;
    Program program(fakes.services(), dir.path());
    if (!program.start())
        return 1;
    TForm1 &form = *program.frame();
    AppState &state = program.state;
    form.showMaximized();
    editSettings(state, [&](TSettings &s) { s.SpeedTestFont.Size = 14; });
    form.findChild<QAction *>(QStringLiteral("speedTestAction"))->trigger();
    auto *reader = form.findChild<TSpeedTestForm *>();
    reader->setPlacedGeometry(QRect(QPoint(0, 0), form.clientSize()));
    QApplication::processEvents();
    const long before = residentKiB();

    state.StoryFileName = text.fileName();
    reader->LoadSpeedTestText();
    for (int i = 0; i < 20; ++i) {
        reader->view()->setPosition(reader->view()->scrollMaximum() * i / 19);
        reader->view()->viewport()->repaint();
        QApplication::processEvents();
    }
    const long after = residentKiB();
    std::printf("scale %.1f, window %dx%d, page end %d px\n", reader->devicePixelRatioF(), reader->width(),
                reader->height(), reader->values().SpeedTestPageEnd);
    std::printf("resident before layout %ld KiB, after %ld KiB\n", before, after);
    return 0;
}

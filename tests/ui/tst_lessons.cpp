#include "TestSupport.h"

#include "RtfReader.h"
#include "app/AppState.h"
#include "app/HelpWindow.h"
#include "app/mainwindow.h"
#include "lessons/LessonDocument.h"
#include "lessons/LessonsForm.h"

#include <QMdiSubWindow>
#include <QMenu>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

namespace {

TLessonForm *lessonsOf(TestApp &app)
{
    return qobject_cast<TLessonForm *>(app.state->lessonWindow.data());
}

} // namespace

class LessonsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lessonsShowTheirRunsOrNameTheMissingFile();
    void contributorsHoldTheirMenuAndOpenLinksThroughTheShell();
};

void LessonsTest::lessonsShowTheirRunsOrNameTheMissingFile()
{
    TestApp app;
    QStringList files;
    for (const auto &lesson : TLessonForm::kLessons)
        files.append(QString::fromLatin1(lesson.fileName));
    for (const QString &file : files.mid(1))
        app.copyDataFile(file);
    QVERIFY(app.start());
    QCOMPARE(lessonsOf(app)->lessonView(0)->document()->toPlainText(), missingLessonNotice(files[0]));
    for (int i = 1; i < 5; ++i) {
        // Every paragraph keeps its text and alignment, every run its format.
        const QTextDocument *doc = lessonsOf(app)->lessonView(i)->document();
        const auto rtf = readRtfFile(app.path(files[i]));
        QCOMPARE(doc->blockCount(), rtf->paragraphs.size());
        QTextBlock block = doc->begin();
        for (const RtfParagraph &p : rtf->paragraphs) {
            QCOMPARE(std::pair(block.text(), bool(block.blockFormat().alignment() & Qt::AlignHCenter)),
                     std::pair(p.text(), p.alignment == RtfAlignment::Centre));
            QTextCursor c(block);
            for (const RtfRun &run : p.runs) {
                c.setPosition(c.position() + 1);
                const QTextCharFormat f = c.charFormat();
                QCOMPARE(std::tuple(f.fontWeight() == QFont::Bold, f.fontItalic(), f.fontUnderline(),
                                    f.fontPointSize()),
                         std::tuple(run.format.bold, run.format.italic, run.format.underline,
                                    run.format.pointSize()));
                c.setPosition(c.position() - 1 + int(run.text.size()));
            }
            block = block.next();
        }
    }
    // A word longer than a line gets places to break, so that its layout stays linear.
    QTextDocument doc;
    fillTextDocument(doc, parseRtf(QByteArray(130, 'a').prepend("{\\rtf1 ").append(" b}")));
    QCOMPARE(doc.toPlainText(),
             QString(64, u'a') + u'\u200b' + QString(64, u'a') + QStringLiteral("\u200baa b"));
}

void LessonsTest::contributorsHoldTheirMenuAndOpenLinksThroughTheShell()
{
    TestApp app;
    QVERIFY(app.start());
    // The hidden List command opens the window, whose web links open through the shell and whose link to the
    // manual opens the help window; closing it gives the Contributors menu back.
    auto *menu = app.form()->findChild<QMenu *>(QStringLiteral("contributorsMenu"));
    QVERIFY(triggerAction(app.form(), "contributorsAction") && !menu->isEnabled());
    auto *view = app.form()->findChild<QTextBrowser *>(QStringLiteral("contributorsView"));
    Q_EMIT view->anchorClicked(QUrl(QStringLiteral("https://www.qt.io/")));
    Q_EMIT view->anchorClicked(QUrl(QStringLiteral("bwread.html")));
    QCOMPARE(app.fakes.shell.opened, (QList<QUrl>{QUrl(QStringLiteral("https://www.qt.io/"))}));
    QVERIFY(app.state->helpWindow != nullptr && app.state->helpWindow->isVisible());
    qobject_cast<QMdiSubWindow *>(view->parentWidget()->parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(menu->isEnabled());
}

QTEST_MAIN(LessonsTest)
#include "tst_lessons.moc"

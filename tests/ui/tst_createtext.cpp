#include "TestSupport.h"

#include "CreateText.h"
#include "TextFile.h"
#include "app/MemoWrap.h"
#include "app/mainwindow.h"
#include "control/CreateTextPage.h"
#include "control/MakeText.h"
#include "control/control.h"

#include <QDir>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QtTest>

namespace {

// Paragraphs of ordinary words (none longer than 9 letters), one empty line between them; with a `column`,
// hard-wrapped there, as text files and mail hold them.
QString prose(int paragraphs, int wordsEach, quint32 seed, int column = 1 << 20)
{
    static const QStringList words =
        QStringLiteral("the harbour light was burning over a quiet sea and keeper walked slowly along")
            .split(' ');
    QStringList out(paragraphs);
    for (QString &paragraph : out) {
        for (qsizetype w = 0, lineStart = 0; w < wordsEach; ++w, seed = seed * 1103515245u + 12345u) {
            const QString &word = words.at(int(seed >> 16) % words.size());
            const bool breaks = paragraph.size() - lineStart + 1 + word.size() > column;
            lineStart = breaks ? paragraph.size() + 1 : lineStart;
            paragraph += (w == 0 ? "" : breaks ? "\n" : " ") + word;
        }
    }
    return out.join(QStringLiteral("\n\n"));
}

// The lines the box itself lays out, paragraph by paragraph.
QStringList shownLines(QPlainTextEdit *memo)
{
    auto *layout = qobject_cast<QPlainTextDocumentLayout *>(memo->document()->documentLayout());
    QStringList shown;
    for (QTextBlock block = memo->document()->begin(); block.isValid(); block = block.next()) {
        layout->ensureBlockLayout(block);
        for (int i = 0; i < block.layout()->lineCount(); ++i)
            shown.append(block.text().mid(block.layout()->lineAt(i).textStart(),
                                          block.layout()->lineAt(i).textLength()));
    }
    return shown;
}

// The create-text mode opened through the Reading menu, its window `width` pixels wide.
struct CreateText : ModeApp<TCreateTextForm, CreateTextPage>
{
    explicit CreateText(int width = 360) : ModeApp("createTextAction")
    {
        if (window != nullptr)
            window->setPlacedGeometry(QRect(0, 0, width, 300));
    }
    QString box(const char *name) const { return child<QLineEdit>(page, name)->text(); }
    QPlainTextEdit *memo() const { return window->memo(); }
    bool sendEnabled() const { return button("sendTachiButton")->isEnabled(); }
};

} // namespace

class CreateTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void formatOffersSendingAndKeepsEveryWord_data();
    void formatOffersSendingAndKeepsEveryWord();
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();
    void narrowingEnds();
    void openedFilesFillTheBoxAndAreSavedAsShown();

private:
    QTemporaryDir m_home;
};

void CreateTextTest::initTestCase()
{
    // The save dialog starts in the documents folder: keep it out of the real home.
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(m_home.path()).filePath(QStringLiteral(".config")).toUtf8());
}

void CreateTextTest::formatOffersSendingAndKeepsEveryWord_data()
{
    QTest::addColumn<QString>("text"); // pasted into the untouched box, or typed where it has no line end
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("indent");
    QTest::addColumn<QString>("told"); // after Format Text
    QTest::newRow("four lines: too few") << QStringLiteral("one\ntwo\nthree\nfour") << 360 << 0 << "";
    QTest::newRow("five lines") << QStringLiteral("one\ntwo\nthree\nfour\nfive") << 360 << 0 << "";
    QTest::newRow("five wrapped lines of one paragraph, typed") << prose(1, 50, 7) << 360 << 0 << "";
    // Paragraphs of doubled blanks, with empty lines before and after them, in a window made narrower.
    QTest::newRow("wide window, indent 5")
        << "\n\n" + prose(6, 45, 1005).replace(u' ', QStringLiteral("  ")) + "\n\n\n"
        << 1000 << 5 << "";
    // Joined, its paragraphs wrap wider than 80 before the window narrows: no line is cut, no word glued.
    QTest::newRow("70 columns, wide window, indent 0")
        << prose(8, 90, 26, 70) + "\n\n" + QString(120, u'w') + " tail" << 1000 << 0 << "";
    QStringList many;
    for (int i = 1; i <= 502; ++i)
        many << QStringLiteral("w%1").arg(i) << QString();
    QTest::newRow("1003 lines")
        << many.mid(0, 1003).join(u'\n') << 360 << 0
        << "Format Text keeps the first 1000 lines of a text, the most the readers take. "
           "Kept: 999 lines, 500 words. Left out: 3 lines, 2 words.";
}

void CreateTextTest::formatOffersSendingAndKeepsEveryWord()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, indent);
    QFETCH(QString, told);
    const bool formats = text.count(u'\n') != 3;
    CreateText c(width);
    editSettings(*c.app.state, [&](TSettings &s) { s.CreateTextIndent = indent; });
    // The starting line is a prompt, not text: what comes in replaces it.
    QVERIFY(c.memo()->toPlainText().isEmpty() && !c.memo()->placeholderText().isEmpty());
    c.app.fakes.clipboard.content = text;
    if (text.contains(u'\n'))
        QVERIFY(triggerAction(c.page, "createTextPasteAction"));
    else
        QTest::keyClicks(c.memo(), text);
    QCOMPARE(c.memo()->toPlainText(), text);
    // The lines worked on, saved and sent are those the box shows.
    QCOMPARE(memoLinesOf(*c.memo()).lines(), shownLines(c.memo()));
    if (!formats)
        c.app.fakes.messages.expect(MessageKind::Information, tooFewLinesMessage());
    if (width > 360)
        c.app.fakes.messages.expect(MessageKind::Information, autoResizeMessage());
    if (!told.isEmpty())
        c.app.fakes.messages.expect(MessageKind::Information, told);
    c.button("formatTextButton")->click();
    QCOMPARE(c.sendEnabled(), formats);
    QCOMPARE(c.memo()->toPlainText() == text, !formats);
    if (!formats)
        return;
    const auto words = [](const QString &t) { return t.simplified().split(u' '); };
    const QStringList out = words(c.memo()->toPlainText());
    QCOMPARE(out, words(text).mid(0, told.isEmpty() ? -1 : out.size()));
    QVERIFY(c.memo()->toPlainText().startsWith(QString(indent, u' ') + words(text).first()));
    QVERIFY(c.window->longestLineLength() <= kReaderMaxLineLength);
    QCOMPARE(c.box("numberOfLinesBox"), QString::number(c.window->memoLineCount()));
    // Any edit takes the offer back; a resize does not.
    c.window->setPlacedGeometry(QRect(0, 0, 340, 300));
    QVERIFY(c.sendEnabled());
    c.memo()->insertPlainText(QStringLiteral("x"));
    QVERIFY(!c.sendEnabled());
}

void CreateTextTest::refusalsChangeNothing_data()
{
    QTest::addColumn<QString>("text"); // "long", "wide" (in a window that can get no narrower) or formatted
    QTest::addColumn<bool>("send");
    QTest::addColumn<QString>("message");
    QTest::newRow("save 1001 lines") << "long" << false
                                     << "The text is longer than 1000 lines and will Not be saved.";
    QTest::newRow("send 1001 lines")
        << "long" << true
        << "The text is longer than 1000 lines. Click the \"Format Text\" button "
           "to the right to trim to 1000 lines.";
    QTest::newRow("save wide lines") << "wide" << false
                                     << "The text has lines longer than 80 characters and will Not be saved.";
    QTest::newRow("send wide lines") << "wide" << true
                                     << "The text has lines longer than 80 characters. Click the \"Format "
                                        "Text\" button to the right to shorten the lines.";
    // A folder where the transfer file goes: it cannot be written.
    QTest::newRow("transfer file blocked") << "" << true << "The file can't be saved and transfered.";
}

void CreateTextTest::refusalsChangeNothing()
{
    QFETCH(QString, text);
    QFETCH(bool, send);
    QFETCH(QString, message);
    CreateText c(text == "wide" ? 1000 : 360);
    c.memo()->setPlainText(text == "wide"   ? prose(1, 60, 3)
                           : text == "long" ? QStringList(kReaderMaxLines + 1, "word").join(u'\n')
                                            : prose(12, 30, 11));
    c.window->setMinimumWidth(c.window->width());
    if (text.isEmpty()) {
        c.button("formatTextButton")->click();
        QVERIFY(QDir(c.app.dir.path()).mkdir(QStringLiteral("temp.txt")));
    }
    if (text == "wide")
        c.app.fakes.messages.expect(MessageKind::Information, autoResizeMessage());
    c.app.fakes.messages.expect(MessageKind::Information, message);
    const QString before = c.memo()->toPlainText();
    if (send)
        QVERIFY(!c.window->TransferCreateText());
    else
        c.window->SaveCreateText();
    QVERIFY(c.memo()->toPlainText() == before && c.app.fakes.dialogs.saveProposalsSeen.isEmpty());
    // Format Text blinks after a refused send of an unformatted text; a formatted one may be sent again.
    QCOMPARE(std::tuple(c.page->isBlinking(), c.sendEnabled(), currentMode(*c.app.state)),
             std::tuple(send && !text.isEmpty(), text.isEmpty(), Mode::CreateText));
    QVERIFY(!QFileInfo(c.app.path(QStringLiteral("temp.txt"))).isFile() && c.app.state->LoadTempFile == 0);
    QCOMPARE(c.window->windowTitle(), QStringLiteral("Create Text File"));
}

void CreateTextTest::narrowingEnds()
{
    const QString text(200, u'x'); // no place to break it
    CreateText c(1000);
    c.memo()->setPlainText(text);
    const int before = c.window->width();
    c.app.fakes.messages.expect(MessageKind::Information, autoResizeMessage());
    c.window->MeasureWidth();
    QCOMPARE(c.memo()->toPlainText(), text);
    QCOMPARE(c.box("widthOfLinesBox"), QString::number(c.window->longestLineLength()));
    QVERIFY(!c.window->isAutoResizing() && c.window->width() < before);
    QVERIFY(measureLines(memoLinesOf(*c.memo()).lines()).longestLine <= kReaderMaxLineLength);
    // It stopped at the first width that fits: a resize two pixels wider narrows back to it.
    const QRect end = c.window->placedGeometry();
    c.app.fakes.messages.expect(MessageKind::Information, autoResizeMessage());
    c.window->setPlacedGeometry(end.adjusted(0, 0, 2, 0));
    QCOMPARE(c.window->placedGeometry(), end);
    // Maximized, the box wraps wide: it comes back to its own size, where the lines fit, and narrows by one.
    c.app.fakes.messages.expect(MessageKind::Information, autoResizeMessage());
    c.window->frame()->showMaximized();
    QCoreApplication::processEvents();
    QVERIFY(!c.window->frame()->isMaximized());
    QCOMPARE(c.window->placedGeometry(), end.adjusted(0, 0, -1, 0));
}

void CreateTextTest::openedFilesFillTheBoxAndAreSavedAsShown()
{
    // A file that cannot be read leaves the box as it was (the importers try most kinds of damaged file).
    CreateText c;
    c.app.writeLines(QStringLiteral("data.txt"), {QStringLiteral("abc") + QChar(0) + QStringLiteral("def")});
    c.app.writeLines(QStringLiteral("page.html"), {"<html><body><h1>The Keeper</h1><p>The light   burned",
                                                   "all night.</p><p>Morning came.</p></body></html>"});
    c.app.fakes.dialogs.openNames.push_back(c.app.path(QStringLiteral("data.txt")));
    c.app.fakes.messages.expect(MessageKind::Information,
                                "The file \"" + c.app.path(QStringLiteral("data.txt")) +
                                    "\" was not found, or else the file is not an ascii text file. Be sure "
                                    "that the file exists, and was not deleted.");
    QVERIFY(triggerAction(c.page, "createTextOpenAction"));
    QVERIFY(c.memo()->toPlainText().isEmpty() && !c.page->isBlinking());
    QCOMPARE(c.memo()->placeholderText(), QStringLiteral("Paste text goes here or load from file."));
    // A text file comes in whole however long its lines, as lines of at most 80 characters; one longer than a
    // reader takes comes in the part the user picks.
    const QStringList paragraphs = prose(5, 450, 5).split(QStringLiteral("\n\n"));
    c.app.writeLines(QStringLiteral("long.txt"), paragraphs);
    c.app.fakes.dialogs.openNames.push_back(c.app.path(QStringLiteral("long.txt")));
    QVERIFY(triggerAction(c.page, "createTextOpenAction"));
    QCOMPARE(c.memo()->toPlainText().simplified(), paragraphs.join(u' ').simplified());
    QStringList numbered;
    for (int i = 1; i <= 2500; ++i)
        numbered << QStringLiteral("line %1").arg(i) << QString();
    c.app.writeLines(QStringLiteral("book.txt"), numbered);
    c.app.fakes.dialogs.openNames.push_back(c.app.path(QStringLiteral("book.txt")));
    c.app.fakes.dialogs.items.push_back(2);
    QVERIFY(triggerAction(c.page, "createTextOpenAction"));
    QCOMPARE(c.app.fakes.dialogs.itemsSeen.value(0).size(), 5);
    QVERIFY(c.memo()->toPlainText().startsWith(QStringLiteral("line 1001\n")));
    c.app.fakes.dialogs.openNames.push_back(c.app.path(QStringLiteral("page.html")));
    QVERIFY(triggerAction(c.page, "createTextOpenAction"));
    QCOMPARE(c.memo()->toPlainText(),
             QStringLiteral("The Keeper\n\nThe light burned all night.\n\nMorning came."));
    QPushButton *format = c.button("formatTextButton");
    c.page->blinkTick();
    QCOMPARE(format->text(), QString());
    format->click();
    QVERIFY(!c.page->isBlinking() && format->text() == QStringLiteral("Format Text"));

    const QString folder = QDir(m_home.path()).filePath(QStringLiteral("Documents/Your Text"));
    const QString missing = c.app.path(QStringLiteral("gone/story.txt"));
    c.app.fakes.dialogs.saveNames = {missing, QDir(folder).filePath(QStringLiteral("story.txt"))};
    c.app.fakes.messages.expect(MessageKind::Information, "The file " + missing + " cannot be made. ");
    c.button("saveToFileButton")->click();
    QCOMPARE(c.window->windowTitle(), QStringLiteral("Create Text File"));
    c.button("saveToFileButton")->click();
    QCOMPARE(c.app.fakes.dialogs.saveProposalsSeen, QStringList(2, folder));
    QCOMPARE(readTextFileLines(QDir(folder).filePath(QStringLiteral("story.txt"))).value_or(QStringList()),
             fileLines(c.window->memoLines().lines()));
    QCOMPARE(c.window->windowTitle(), QStringLiteral("Create Text File / story.txt"));
    QVERIFY(c.sendEnabled()); // saving is not sending: the text stays formatted
}

QTEST_MAIN(CreateTextTest)
#include "tst_createtext.moc"

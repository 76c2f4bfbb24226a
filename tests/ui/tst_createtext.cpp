#include "TestSupport.h"

#include "CreateText.h"
#include "TextFile.h"
#include "TextImport.h"
#include "app/AppState.h"
#include "app/MemoWrap.h"
#include "app/mainwindow.h"
#include "control/CreateTextPage.h"
#include "control/HorizControlPage.h"
#include "control/MakeText.h"
#include "control/control.h"
#include "readers/longread.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QtTest>

namespace {

const QString kSendRefusalWide = QStringLiteral("The text has lines longer than 80 characters. Click the "
                                                "\"Format Text\" button to the right to shorten the "
                                                "lines.");
const QString kSendRefusalLong = QStringLiteral("The text is longer than 1000 lines. Click the \"Format "
                                                "Text\" button to the right to trim to 1000 lines.");

// Paragraphs of ordinary words (none longer than 9 letters), one empty line between them.
QString prose(int paragraphs, int wordsEach, quint32 seed)
{
    static const QStringList words = {"the",    "harbour", "light", "was", "burning", "over",
                                      "a",      "quiet",   "sea",   "and", "keeper",  "walked",
                                      "slowly", "along",   "stone", "pier"};
    QRandomGenerator rng(seed);
    QStringList out;
    for (int p = 0; p < paragraphs; ++p) {
        QStringList paragraph;
        for (int w = 0; w < wordsEach; ++w)
            paragraph.append(words.at(rng.bounded(static_cast<int>(words.size()))));
        out.append(paragraph.join(u' '));
    }
    return out.join(QStringLiteral("\n\n"));
}

// The create-text mode opened through the Reading menu, its window `width` pixels wide.
struct CreateText
{
    TestApp app;
    TCreateTextForm *window = nullptr;
    CreateTextPage *page = nullptr;

    explicit CreateText(int width = 360)
    {
        if (!app.start() || !triggerAction(app.form(), "createTextAction"))
            return;
        window = qobject_cast<TCreateTextForm *>(app.state->modeWindow.data());
        page = app.state->controlPanel->findChild<CreateTextPage *>();
        window->setPlacedGeometry(QRect(0, 0, width, 300));
    }
    QPushButton *button(const char *name) const
    {
        return page->findChild<QPushButton *>(QLatin1String(name));
    }
    QString box(const char *name) const { return page->findChild<QLineEdit *>(QLatin1String(name))->text(); }
    QPlainTextEdit *memo() const { return window->memo(); }
    bool sendEnabled() const { return button("sendTachiButton")->isEnabled(); }
};

} // namespace

class CreateTextTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void formatNeedsFiveLines_data();
    void formatNeedsFiveLines();
    void formatKeepsEveryWord_data();
    void formatKeepsEveryWord();
    void refusalsChangeNothing_data();
    void refusalsChangeNothing();
    void sendOpensTheReaderWithTheText_data();
    void sendOpensTheReaderWithTheText();
    void narrowingEnds_data();
    void narrowingEnds();
    void openedFilesFillTheBox_data();
    void openedFilesFillTheBox();
    void saveWritesTheShownLines();
    void fontsForCreateText();
    void sharedWrapEqualsTheBoxLayout();

private:
    QTemporaryDir m_home;
};

void CreateTextTest::initTestCase()
{
    // The save dialog starts in the documents folder: keep it out of the real home.
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(m_home.path()).filePath(QStringLiteral(".config")).toUtf8());
}

void CreateTextTest::formatNeedsFiveLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("formats");
    QTest::newRow("four lines") << QStringLiteral("one\ntwo\nthree\nfour") << false;
    QTest::newRow("five lines") << QStringLiteral("one\ntwo\nthree\nfour\nfive") << true;
    QTest::newRow("five wrapped lines of one paragraph") << prose(1, 50, 7) << true;
}

void CreateTextTest::formatNeedsFiveLines()
{
    QFETCH(QString, text);
    QFETCH(bool, formats);
    CreateText c;
    c.memo()->setPlainText(text);
    QVERIFY(c.window->memoLineCount() >= 4);
    if (!formats)
        c.app.fakes.messages.expect(MessageKind::Information, tooFewLinesMessage());
    c.button("formatTextButton")->click();

    QCOMPARE(c.sendEnabled(), formats);
    QCOMPARE(c.memo()->toPlainText() == text, !formats);
    if (!formats)
        return;
    QCOMPARE(c.box("numberOfLinesBox"), QString::number(c.window->memoLineCount()));
    QVERIFY(c.box("widthOfLinesBox").toInt() <= kReaderMaxLineLength);
    // Any edit takes the offer back; a resize does not.
    c.window->setPlacedGeometry(QRect(0, 0, 340, 300));
    QVERIFY(c.sendEnabled());
    c.memo()->insertPlainText(QStringLiteral("x"));
    QVERIFY(!c.sendEnabled());
    QCOMPARE(c.page->text(), CreateTextPage::Text::Unformatted);
}

void CreateTextTest::formatKeepsEveryWord_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("indent");
    QTest::addColumn<bool>("narrows");
    QTest::newRow("narrow window") << 360 << 0 << false;
    QTest::newRow("wide window") << 1000 << 0 << true;
    QTest::newRow("wide window, indent 5") << 1000 << 5 << true;
}

void CreateTextTest::formatKeepsEveryWord()
{
    QFETCH(int, width);
    QFETCH(int, indent);
    QFETCH(bool, narrows);
    CreateText c(width);
    c.app.state->Settings.CreateTextIndent = indent;
    // Paragraphs of doubled blanks, with empty lines before and after them.
    const QString text =
        "\n\n" + prose(6, 45, quint32(width + indent)).replace(u' ', QStringLiteral("  ")) + "\n\n\n";
    c.memo()->setPlainText(text);
    if (narrows)
        c.app.fakes.messages.expect(MessageKind::Information, autoResizeMessage());
    QVERIFY(c.window->FormatCreateText());

    const auto words = [](const QString &t) {
        return t.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    };
    QCOMPARE(words(c.memo()->toPlainText()), words(text));
    QVERIFY(c.window->longestLineLength() <= kReaderMaxLineLength);
    QVERIFY(c.memo()->toPlainText().startsWith(QString(indent, u' ') + words(text).first()));
}

void CreateTextTest::refusalsChangeNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("send");
    QTest::addColumn<QStringList>("messages");
    const QString longText = QStringList(kReaderMaxLines + 1, QStringLiteral("word")).join(u'\n');
    const QString wideText = prose(1, 60, 3);
    QTest::newRow("save 1001 lines") << longText << 360 << false
                                     << QStringList{
                                            "The text is longer than 1000 lines and will Not be saved."};
    QTest::newRow("send 1001 lines") << longText << 360 << true << QStringList{kSendRefusalLong};
    QTest::newRow("save wide lines") << wideText << 1000 << false
                                     << QStringList{autoResizeMessage(), "The text has lines longer than 80 "
                                                                         "characters and will Not be saved."};
    QTest::newRow("send wide lines") << wideText << 1000 << true
                                     << QStringList{autoResizeMessage(), kSendRefusalWide};
}

void CreateTextTest::refusalsChangeNothing()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(bool, send);
    QFETCH(QStringList, messages);
    CreateText c(width);
    c.memo()->setPlainText(text);
    // A window that can get no narrower keeps its wide lines.
    c.window->setMinimumWidth(c.window->width());
    for (const QString &m : messages)
        c.app.fakes.messages.expect(MessageKind::Information, m);
    if (send)
        QVERIFY(!c.window->TransferCreateText());
    else
        c.window->SaveCreateText();

    QCOMPARE(c.page->isBlinking(), send);
    QCOMPARE(c.memo()->toPlainText(), text);
    QVERIFY(!QFile::exists(c.app.path(QStringLiteral("temp.txt"))));
    QCOMPARE(currentMode(*c.app.state), Mode::CreateText);
    QCOMPARE(int(c.app.state->LoadTempFile), 0);
    QCOMPARE(c.window->windowTitle(), QStringLiteral("Create Text File"));
}

void CreateTextTest::sendOpensTheReaderWithTheText_data()
{
    QTest::addColumn<int>("readerIndex");
    QTest::addColumn<bool>("blocked");
    QTest::newRow("tachistoscope") << int(Mode::Tachi) << false;
    QTest::newRow("horizontal") << int(Mode::Horiz) << false;
    QTest::newRow("vertical") << int(Mode::Vert) << false;
    QTest::newRow("tachistoscope, transfer file blocked") << int(Mode::Tachi) << true;
    QTest::newRow("horizontal, transfer file blocked") << int(Mode::Horiz) << true;
}

void CreateTextTest::sendOpensTheReaderWithTheText()
{
    QFETCH(int, readerIndex);
    QFETCH(bool, blocked);
    const auto reader = static_cast<Mode>(readerIndex);
    CreateText c;
    if (!c.app.form()->hasMode(reader))
        QSKIP("this reader is not part of the program yet");
    QCOMPARE(int(c.app.state->CreateTextOpen), 1);
    QVERIFY(!c.app.form()->shortStoriesMenu()->menuAction()->isEnabled());
    c.memo()->setPlainText(prose(12, 30, 11));
    c.button("formatTextButton")->click();
    QVERIFY(c.sendEnabled());
    const QStringList shown = fileLines(c.window->memoLines().lines());
    TControlForm *panel = c.app.state->controlPanel;
    QPointer<TCreateTextForm> window = c.window;
    if (blocked) {
        // A folder where the transfer file should go: it cannot be written.
        QVERIFY(QDir(c.app.dir.path()).mkdir(QStringLiteral("temp.txt")));
        c.app.fakes.messages.expect(MessageKind::Information,
                                    QStringLiteral("The file can't be saved and transfered."));
    }
    const char *buttons[] = {"sendTachiButton", "sendHorizButton", "sendVertButton"};
    c.button(buttons[readerIndex])->click();

    QCOMPARE(c.app.state->controlPanel.data(), panel);
    if (blocked) {
        QCOMPARE(c.app.state->modeWindow.data(), window.data());
        QCOMPARE(panel->visiblePage(), Mode::CreateText);
        QCOMPARE(currentMode(*c.app.state), Mode::CreateText);
        QCOMPARE(c.app.state->TachiOpen + c.app.state->HorizOpen + c.app.state->VertOpen, 0);
        QCOMPARE(int(c.app.state->LoadTempFile), 0);
        QVERIFY(!c.page->isBlinking());
        QVERIFY(c.sendEnabled());
        return;
    }
    QVERIFY(window.isNull());
    QCOMPARE(panel->visiblePage(), reader);
    QCOMPARE(c.app.state->modeWindow->mode(), reader);
    QCOMPARE(currentMode(*c.app.state), reader);
    QCOMPARE(c.app.state->CreateTextOpen + c.app.state->SpeedTestOpen + c.app.state->ExerciseOpen, 0);
    // The reader took the transfer file.
    QCOMPARE(int(c.app.state->LoadTempFile), 0);
    QVERIFY(c.app.form()->shortStoriesMenu()->menuAction()->isEnabled());
    QCOMPARE(readTextFileLines(c.app.path(QStringLiteral("temp.txt"))).value_or(QStringList()), shown);
    if (reader == Mode::Tachi) {
        auto *memo = c.app.state->modeWindow->findChild<QPlainTextEdit *>(QStringLiteral("tachiMemo"));
        QCOMPARE(memo->toPlainText(), shown.join(u'\n'));
    } else if (reader == Mode::Horiz) {
        auto *horiz = qobject_cast<THorizonForm *>(c.app.state->modeWindow.data());
        QCOMPARE(c.app.state->StoryFileName, QStringLiteral("temp.txt"));
        QCOMPARE(horiz->reading().text().LineCount, int(shown.size()));
        QCOMPARE(panel->page(Mode::Horiz)->findChild<QLineEdit *>(QStringLiteral("lineCountBox"))->text(),
                 QString::number(shown.size()));
    }
}

void CreateTextTest::narrowingEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pinned");
    QTest::newRow("unbreakable 200-character word") << QString(200, u'x') << false;
    QTest::newRow("prose") << prose(3, 60, 5) << false;
    QTest::newRow("window at its narrowest") << QString(200, u'x') << true;
}

void CreateTextTest::narrowingEnds()
{
    QFETCH(QString, text);
    QFETCH(bool, pinned);
    CreateText c(1000);
    c.memo()->setPlainText(text);
    if (pinned)
        c.window->setMinimumWidth(c.window->width());
    const int before = c.window->width();
    c.app.fakes.messages.expect(MessageKind::Information, autoResizeMessage());
    c.window->MeasureWidth();

    QCOMPARE(c.memo()->toPlainText(), text);
    QCOMPARE(c.box("widthOfLinesBox"), QString::number(c.window->longestLineLength()));
    QVERIFY(!c.window->isAutoResizing());
    if (pinned) {
        QCOMPARE(c.window->width(), before);
        QVERIFY(c.window->longestLineLength() > kReaderMaxLineLength);
        return;
    }
    QVERIFY(c.window->width() < before);
    QVERIFY(c.window->longestLineLength() <= kReaderMaxLineLength);
    QVERIFY(measureLines(memoLinesOf(*c.memo()).lines()).longestLine <= kReaderMaxLineLength);
    // It stopped at the first width that fits: two pixels wider the lines were too long again, and a resize
    // there narrows back to the same width.
    const QRect end = c.window->placedGeometry();
    c.app.fakes.messages.expect(MessageKind::Information, autoResizeMessage());
    c.window->setPlacedGeometry(end.adjusted(0, 0, 2, 0));
    QCOMPARE(c.window->placedGeometry(), end);
}

void CreateTextTest::openedFilesFillTheBox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("message");
    const QString fail = QStringLiteral("Paste text goes here or load from file.");
    QTest::newRow("web page") << "page.html"
                              << QByteArray(
                                     "<html><head><title>Tides</title><style>p{color:red}</style></head>"
                                     "<body><h1>The Keeper</h1><p>The light   burned\nall night.</p>"
                                     "<p>Morning came.</p><script>var x;</script></body></html>")
                              << "The Keeper\n\nThe light burned all night.\n\nMorning came." << QString();
    QTest::newRow("text file") << "notes.txt" << QByteArray("one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n")
                               << "one\ntwo\nthree\nfour\nfive" << QString();
    QTest::newRow("damaged book") << "broken.epub" << QByteArray("just letters, not an archive") << fail
                                  << " cannot be read as an EPUB book. It may be damaged or incomplete.";
    QTest::newRow("damaged PDF") << "broken.pdf" << QByteArray("%PDF-1.4\n1 0 obj << /Type /Catalog") << fail
                                 << " cannot be read as a PDF document. It may be damaged or incomplete.";
    QTest::newRow("binary text file") << "data.txt" << QByteArray("abc\0def", 7) << fail
                                      << " was not found, or else the file is not an ascii text file. Be "
                                         "sure that the file exists, and was "
                                         "not deleted.";
}

void CreateTextTest::openedFilesFillTheBox()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, memo);
    QFETCH(QString, message);
    CreateText c;
    const QString path = c.app.path(name);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();
    c.app.fakes.dialogs.openNames.push_back(path);
    if (!message.isEmpty())
        c.app.fakes.messages.expect(MessageKind::Information, "The file \"" + path + '"' + message);
    QVERIFY(triggerAction(c.page, "createTextOpenAction"));

    QCOMPARE(c.app.fakes.dialogs.openFoldersSeen, QStringList{c.app.state->workingDir()});
    QCOMPARE(c.app.fakes.dialogs.openFiltersSeen, QStringList{createTextOpenFilter()});
    QCOMPARE(c.memo()->toPlainText(), memo);
    QCOMPARE(c.page->isBlinking(), message.isEmpty());
    if (!message.isEmpty())
        return;
    QPushButton *format = c.button("formatTextButton");
    for (const QString &caption : QStringList{"", "Format Text", ""}) {
        c.page->blinkTick();
        QCOMPARE(format->text(), caption);
    }
    format->click();
    QVERIFY(!c.page->isBlinking());
    QCOMPARE(format->text(), QStringLiteral("Format Text"));
    QVERIFY(c.sendEnabled());
}

void CreateTextTest::saveWritesTheShownLines()
{
    CreateText c;
    c.memo()->setPlainText(prose(4, 40, 21));
    c.button("formatTextButton")->click();
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
    // Saving is not sending: the text stays formatted.
    QVERIFY(c.sendEnabled());
}

void CreateTextTest::fontsForCreateText()
{
    CreateText c;
    const TFontGroup before = c.app.state->Settings.CreateTextFont;
    c.app.fakes.dialogs.fonts.push_back(std::nullopt);
    QVERIFY(triggerAction(c.app.form(), "fontsAction"));
    QCOMPARE(c.app.state->Settings.CreateTextFont.Name, before.Name);
    QCOMPARE(c.app.state->Settings.CreateTextFont.Size, before.Size);

    const QString longName(50, u'F');
    QFont font(longName);
    font.setPointSize(20);
    c.app.fakes.dialogs.fonts.push_back(FontChoice{font, Qt::blue});
    QVERIFY(triggerAction(c.app.form(), "fontsAction"));
    const TFontGroup &stored = c.app.state->Settings.CreateTextFont;
    QCOMPARE(stored.Name, longName.left(40));
    QCOMPARE(stored.Size, 12);
    QCOMPARE(c.memo()->font().pointSize(), 12);
    QCOMPARE(c.memo()->palette().color(QPalette::Text), QColor(Qt::blue));
    for (const FontDialogOptions &o : c.app.fakes.dialogs.fontOptionsSeen)
        QVERIFY(o.minSize == 8 && o.maxSize == 12 && o.effects);
}

void CreateTextTest::sharedWrapEqualsTheBoxLayout()
{
    for (const int width : {160, 333, 517}) {
        CreateText c(width);
        c.memo()->setPlainText(prose(5, 30, quint32(width)) + "\n" + QString(120, u'w') +
                               " tail\n\n  two  spaces");
        auto *layout = qobject_cast<QPlainTextDocumentLayout *>(c.memo()->document()->documentLayout());
        QVERIFY(layout != nullptr);
        for (QTextBlock block = c.memo()->document()->begin(); block.isValid(); block = block.next()) {
            layout->ensureBlockLayout(block);
            QStringList shown;
            for (int i = 0; i < block.layout()->lineCount(); ++i) {
                const QTextLine line = block.layout()->lineAt(i);
                shown.append(block.text().mid(line.textStart(), line.textLength()));
            }
            const QStringList wrapped =
                block.text().isEmpty() ? QStringList{QString()} : wrapMemoParagraph(*c.memo(), block.text());
            QCOMPARE(wrapped, shown);
        }
    }
}

QTEST_MAIN(CreateTextTest)
#include "tst_createtext.moc"

#include "TextImport.h"

#include <quazip.h>
#include <quazipfile.h>

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::string shown(const QStringList &list)
{
    return QString(QLatin1Char('[') + list.join(QStringLiteral("] [")) + QLatin1Char(']')).toStdString();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

using Members = QList<std::pair<QString, QByteArray>>;

bool writeZip(const QString &path, const Members &members)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const auto &[name, bytes] : members) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)) || file.write(bytes) != bytes.size())
            return false;
        file.close();
    }
    zip.close();
    return zip.getZipError() == 0;
}

QByteArray chapter(const char *body)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                      "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>t</title></head><body>") +
           body + "</body></html>";
}

// A small book whose spine order differs from its manifest order, with a chapter in a sub-folder named by a
// percent-encoded href, a spine entry the archive lacks and a stylesheet the spine does not name.
Members sampleBook()
{
    const QByteArray container =
        "<?xml version=\"1.0\"?><container version=\"1.0\" "
        "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
        "<rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
        "</rootfiles></container>";
    const QByteArray opf =
        "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
        "<metadata/><manifest>"
        "<item id=\"two\" href=\"text/chapter%202.xhtml\" media-type=\"application/xhtml+xml\"/>"
        "<item id=\"one\" href=\"text/one.xhtml\" media-type=\"application/xhtml+xml\"/>"
        "<item id=\"gone\" href=\"text/gone.xhtml\" media-type=\"application/xhtml+xml\"/>"
        "<item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>"
        "</manifest><spine><itemref idref=\"one\"/><itemref idref=\"gone\"/><itemref idref=\"two\"/>"
        "<itemref idref=\"css\"/></spine></package>";
    return {{"mimetype", "application/epub+zip"},
            {"META-INF/container.xml", container},
            {"OEBPS/content.opf", opf},
            {"OEBPS/style.css", "p { margin: 0 }"},
            {"OEBPS/text/one.xhtml", chapter("<h1>Chapter One</h1><p>The tide came in.</p>")},
            {"OEBPS/text/chapter 2.xhtml", chapter("<h1>Chapter Two</h1><p>The tide went out.</p>")}};
}

bool writePdf(const QString &path, const QList<QStringList> &pages)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    painter.setFont(QFont(QStringLiteral("Liberation Serif"), 11));
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0)
            writer.newPage();
        int y = 60;
        for (const QString &line : pages.at(p)) {
            if (!line.isEmpty())
                painter.drawText(60, y, line);
            y += 16;
        }
    }
    return painter.end();
}

class Import : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Import, WebPageGivesItsHeadingsAndParagraphsWithoutScriptsOrStyles)
{
    const ImportedText page = importText(QStringLiteral(BW_IMPORT_SAMPLES "/lighthouse.html"));
    ASSERT_TRUE(page.ok()) << page.error.toStdString();
    const QStringList expected{"The Keeper\u2019s Log",
                               "The lamp was lit at dusk, as it had been every evening for forty years.",
                               "Wind from the north east; the sea rising.",
                               "Second Night",
                               "A ship\u2019s bell rang twice.",
                               "Then silence.",
                               "Oil: half a barrel",
                               "Wicks: seven spare"};
    EXPECT_EQ(page.paragraphs, expected) << shown(page.paragraphs);
    EXPECT_EQ(memoTextOf({"a", "b"}), QStringLiteral("a\n\nb"));
}

TEST_F(Import, PageTextIsDecodedByItsDeclarationOrAsWindows1252)
{
    struct Case
    {
        const char *what;
        QByteArray bytes;
        QStringList paragraphs;
    };
    const Case cases[] = {
        {"undeclared, not UTF-8", "<p>caf\xe9 \x93quoted\x94</p>", {"caf\u00e9 \u201cquoted\u201d"}},
        {"UTF-8", "<p>caf\xc3\xa9</p>", {"caf\u00e9"}},
        {"declared Latin-1, meaning Windows-1252",
         "<meta charset=\"iso-8859-1\"><p>na\xefve \x96 it</p>",
         {"na\u00efve \u2013 it"}},
        {"UTF-16 with its byte order mark", QByteArray("\xff\xfe<\0p\0>\0h\0i\0", 12), {"hi"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(htmlParagraphs(c.bytes).value_or(QStringList{"<not text>"}), c.paragraphs) << c.what;
}

TEST_F(Import, BookGivesItsSpineChaptersInOrder)
{
    ASSERT_TRUE(writeZip(path("tides.epub"), sampleBook()));
    const ImportedText book = importText(path("tides.epub"));
    ASSERT_TRUE(book.ok()) << book.error.toStdString();
    EXPECT_EQ(book.paragraphs,
              (QStringList{"Chapter One", "The tide came in.", "Chapter Two", "The tide went out."}))
        << shown(book.paragraphs);
}

TEST_F(Import, PdfGivesItsParagraphsPageByPage)
{
    const QList<QStringList> pages{{"The harbour lay quiet under a grey morning sky while the fishing",
                                    "boats waited for the turn of the tide.", "Nobody spoke.", "", "1"},
                                   {"A gull cried once over the water and then the bell of the old",
                                    "chapel began to ring across the sleeping town."}};
    ASSERT_TRUE(writePdf(path("harbour.pdf"), pages));
    const ImportedText pdf = importText(path("harbour.pdf"));
    ASSERT_TRUE(pdf.ok()) << pdf.error.toStdString();
    EXPECT_EQ(
        pdf.paragraphs,
        (QStringList{"The harbour lay quiet under a grey morning sky while the fishing boats waited for "
                     "the turn of the tide.",
                     "Nobody spoke.",
                     "A gull cried once over the water and then the bell of the old chapel began to ring "
                     "across the sleeping town."}))
        << shown(pdf.paragraphs);
}

TEST_F(Import, PrintedLinesJoinIntoParagraphs)
{
    struct Case
    {
        const char *what;
        QList<QStringList> pages;
        QStringList paragraphs;
    };
    const QString full = QStringLiteral("a line as long as the longest one in this text");
    const Case cases[] = {
        {"a short line ends a paragraph", {{full, "end.", full, "x"}}, {full + " end.", full + " x"}},
        {"an empty line ends a paragraph", {{full, "", full}}, {full, full}},
        {"a hyphenated word is joined", {{full + " inter-", "rupted here"}}, {full + " interrupted here"}},
        {"a hyphen before a capital stays", {{full + " Anglo-", "Saxon"}}, {full + " Anglo-Saxon"}},
        {"a paragraph goes on over a page break",
         {{"12", full}, {full, "done", "13"}},
         {full + " " + full + " done"}},
        {"no lines", {{}, {"", "  "}}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(paragraphsFromPageLines(c.pages), c.paragraphs)
            << c.what << shown(paragraphsFromPageLines(c.pages));
}

TEST_F(Import, FilesThatCannotBeReadGiveAMessageNamingThem)
{
    ASSERT_TRUE(writeZip(path("whole.epub"), sampleBook()));
    QFile whole(path("whole.epub"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray book = whole.readAll();
    ASSERT_TRUE(writeFile(path("truncated.epub"), book.left(book.size() / 2)));
    const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10";
    ASSERT_TRUE(writeFile(path("picture.html"), QByteArray(png, sizeof png - 1)));
    ASSERT_TRUE(
        writeFile(path("empty.html"), "<html><head><script>var x = 1;</script></head><body></body></html>"));
    ASSERT_TRUE(writePdf(path("scanned.pdf"), {{}}));
    ASSERT_TRUE(writeFile(path("broken.pdf"), "%PDF-1.4\n1 0 obj << /Type /Catalog"));
    ASSERT_TRUE(writeFile(path("letters.epub"), "just some letters, not an archive"));
    ASSERT_TRUE(writeFile(path("binary.txt"), QByteArray("ab\0cd", 5)));
    Members noContainer = sampleBook();
    noContainer.removeAt(1);
    ASSERT_TRUE(writeZip(path("nocontainer.epub"), noContainer));

    struct Case
    {
        const char *name;
        const char *says;
    };
    const Case cases[] = {
        {"truncated.epub", " cannot be read as an EPUB book. It may be damaged or incomplete."},
        {"letters.epub", " cannot be read as an EPUB book. It may be damaged or incomplete."},
        {"nocontainer.epub", " cannot be read as an EPUB book. It may be damaged or incomplete."},
        {"picture.html", " is not a web page: it does not hold text."},
        {"empty.html", " holds no text to read."},
        {"scanned.pdf", " holds no text to read. Its pages may be pictures of text, such as scanned pages."},
        {"broken.pdf", " cannot be read as a PDF document. It may be damaged or incomplete."},
        {"missing.pdf", " cannot be opened."},
        {"missing.htm", " cannot be opened."},
        {"missing.epub", " cannot be opened."},
        {"binary.txt",
         " was not found, or else the file is not an ascii text file. Be sure that the file exists, "
         "and was not deleted."},
    };
    for (const Case &c : cases) {
        const OpenedText text = openCreateTextFile(path(c.name));
        EXPECT_TRUE(text.text.isEmpty()) << c.name;
        EXPECT_EQ(text.error, "The file \"" + path(c.name) + '"' + QString::fromUtf8(c.says)) << c.name;
    }
}

TEST_F(Import, ALongDocumentIsOpenedWholeAndATextFileLineForLine)
{
    // Far beyond the readers' 1000 lines: trimming is the create-text box's business.
    QByteArray page("<html><body>");
    for (int i = 0; i < 1500; ++i)
        page += "<p>Paragraph " + QByteArray::number(i) + "</p>";
    ASSERT_TRUE(writeFile(path("long.htm"), page + "</body></html>"));
    const OpenedText opened = openCreateTextFile(path("long.htm"));
    ASSERT_TRUE(opened.ok()) << opened.error.toStdString();
    const QStringList lines = opened.text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2999);
    EXPECT_EQ(lines.first(), QStringLiteral("Paragraph 0"));
    EXPECT_EQ(lines.at(2), QStringLiteral("Paragraph 1"));
    EXPECT_EQ(lines.last(), QStringLiteral("Paragraph 1499"));

    ASSERT_TRUE(writeFile(path("story.bwr"), "One line\r\n\r\n  Next\r\n"));
    EXPECT_EQ(openCreateTextFile(path("story.bwr")).text, QStringLiteral("One line\n\n  Next"));
}

int main(int argc, char **argv)
{
    // The HTML parser and the PDF painter need a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

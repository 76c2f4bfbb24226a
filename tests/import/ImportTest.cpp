#include "TextChars.h"
#include "TextImport.h"
#include "TextSource.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::StringLiterals;

// Readable failure output for Qt strings, and so for lists of them.
void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QString kSamples = QStringLiteral(BW_IMPORT_SAMPLES);

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

TEST(Import, WebPageGivesItsParagraphsWithoutScriptsDecodedByItsDeclarationOrAsWindows1252)
{
    const ImportedText page = importText(kSamples + QStringLiteral("/lighthouse.html"));
    ASSERT_TRUE(page.ok()) << page.error.toStdString();
    const QStringList expected{"The Keeper\u2019s Log",
                               "The lamp was lit at dusk, as it had been every evening for forty years.",
                               "Wind from the north east; the sea rising.",
                               "Second Night",
                               "A ship\u2019s bell rang twice.",
                               "Then silence.",
                               "Oil: half a barrel",
                               "Wicks: seven spare"};
    EXPECT_EQ(page.paragraphs, expected);

    const std::pair<QByteArray, QString> cases[] = {
        {"<p>caf\xe9 \x93quoted\x94</p>", u"caf\u00e9 \u201cquoted\u201d"_s}, // undeclared, not UTF-8
        {"<p>caf\xc3\xa9</p>", u"caf\u00e9"_s},
        {"<meta charset=\"iso-8859-1\"><p>na\xefve \x96 it</p>", u"na\u00efve \u2013 it"_s},
        {QByteArray("\xff\xfe<\0p\0>\0h\0i\0", 12), u"hi"_s}, // UTF-16 with its byte order mark
    };
    for (const auto &[bytes, paragraph] : cases)
        EXPECT_EQ(htmlParagraphs(bytes).value_or(QStringList{"<not text>"}), QStringList{paragraph});
}

// The samples are written by tools/importsamples, which says what troubles they hold.
TEST(Import, BookGivesItsSpineChaptersInOrderAndPdfItsParagraphsFromItsPrintedLines)
{
    const ImportedText book = importText(kSamples + QStringLiteral("/night-ferry.epub"));
    ASSERT_TRUE(book.ok()) << book.error.toStdString();
    ASSERT_EQ(book.paragraphs.size(), 7);
    EXPECT_EQ(book.paragraphs.at(0), QStringLiteral("Chapter One: The Crossing"));
    EXPECT_TRUE(book.paragraphs.at(1).startsWith(QStringLiteral("The ferry left the north pier")));
    EXPECT_EQ(book.paragraphs.at(5), QStringLiteral("Chapter Two: The Island"));
    EXPECT_EQ(book.paragraphs.at(6), QStringLiteral("The harbour light was the only one still burning."));

    const ImportedText pdf = importText(kSamples + QStringLiteral("/lock-keeper.pdf"));
    ASSERT_TRUE(pdf.ok()) << pdf.error.toStdString();
    // Three paragraphs, hyphenated words whole again, the page number gone.
    ASSERT_EQ(pdf.paragraphs.size(), 3);
    EXPECT_TRUE(pdf.paragraphs.at(0).startsWith(
        QStringLiteral("The lock on the upper canal is worked by hand, and ")));
    EXPECT_TRUE(pdf.paragraphs.at(0).endsWith(QStringLiteral(" the sound it makes against the sill.")));
    EXPECT_TRUE(pdf.paragraphs.at(1).endsWith(QStringLiteral(
        " swings. Most remember. The ones who do not are remembered for a long time afterwards.")));
    EXPECT_TRUE(pdf.paragraphs.at(2).contains(QStringLiteral(" closed for repairs. Then ")));
    EXPECT_TRUE(pdf.paragraphs.at(2).endsWith(QStringLiteral("on the way past and is gone.")));

    const QString full = QStringLiteral("a line as long as the longest one in this text");
    const std::tuple<const char *, QList<QStringList>, QStringList> cases[] = {
        {"a short line ends a paragraph", {{full, "end.", full, "x"}}, {full + " end.", full + " x"}},
        {"a hyphen before a capital stays", {{full + " Anglo-", "Saxon"}}, {full + " Anglo-Saxon"}},
        {"page numbers go, a paragraph goes on over a page break",
         {{"12", full}, {full, "done", "13"}},
         {full + " " + full + " done"}},
        {"no lines", {{}, {"", "  "}}, {}},
    };
    for (const auto &[what, pages, paragraphs] : cases)
        EXPECT_EQ(paragraphsFromPageLines(pages), paragraphs) << what;
}

// A file of letters named .epub and a binary text file are tried by the create-text window's tests.
TEST(Import, FilesThatCannotBeReadGiveAMessageNamingThem)
{
    QTemporaryDir dir;
    auto path = [&dir](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    QFile sample(kSamples + QStringLiteral("/night-ferry.epub"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray book = sample.readAll();
    ASSERT_TRUE(writeFile(path("truncated.epub"), book.left(book.size() / 2)));
    // Renamed in the local header and the central directory alike: the archive stays whole.
    ASSERT_TRUE(writeFile(path("nocontainer.epub"),
                          QByteArray(book).replace("META-INF/container.xml", "META-INF/containex.xml")));
    const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10";
    ASSERT_TRUE(writeFile(path("picture.html"), QByteArray(png, sizeof png - 1)));
    ASSERT_TRUE(
        writeFile(path("empty.html"), "<html><head><script>var x = 1;</script></head><body></body></html>"));
    ASSERT_TRUE(writeFile(path("broken.pdf"), "%PDF-1.4\n1 0 obj << /Type /Catalog"));
    {
        QPdfWriter scanned(path("scanned.pdf"));
        ASSERT_TRUE(QPainter(&scanned).isActive()); // one empty page
    }

    const std::pair<const char *, const char *> cases[] = {
        {"truncated.epub", " cannot be read as an EPUB book. It may be damaged or incomplete."},
        {"nocontainer.epub", " cannot be read as an EPUB book. It may be damaged or incomplete."},
        {"picture.html", " is not a web page: it does not hold text."},
        {"empty.html", " holds no text to read."},
        {"scanned.pdf", " holds no text to read. Its pages may be pictures of text, such as scanned pages."},
        {"broken.pdf", " cannot be read as a PDF document. It may be damaged or incomplete."},
        {"missing.pdf", " cannot be opened."},
        {"missing.htm", " cannot be opened."},
        {"missing.epub", " cannot be opened."},
    };
    for (const auto &[name, says] : cases) {
        const SourceText text = readSourceText(path(name));
        EXPECT_TRUE(text.text.lines.isEmpty()) << name;
        EXPECT_EQ(text.error, "The file \"" + path(name) + '"' + QString::fromUtf8(says)) << name;
    }
}

// A long document comes in whole, as lines of at most 80 characters with every word; a text file over the
// cap is refused with the cap named, never cut.
TEST(Import, ALongDocumentComesInWholeAndAHugeTextFileIsRefused)
{
    QTemporaryDir dir;
    auto path = [&dir](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    const QByteArray line = QByteArray("word ").repeated(400) + '\n';
    const std::tuple<const char *, QByteArray, qsizetype, QString> cases[] = {
        {"long.htm", "<html><body>" + QByteArray("<p>Paragraph</p>").repeated(1500), 1500, ""},
        {"long.txt", line.repeated(1500), 600000, ""},
        {"huge.txt", line.repeated(2500), 0,
         "\" is larger than 4 MB, the most a text file can bring in. Open it in a text editor and save a "
         "part "
         "of it as a file of its own."},
    };
    for (const auto &[name, bytes, words, told] : cases) {
        ASSERT_TRUE(writeFile(path(name), bytes));
        const SourceText source = readSourceText(path(name));
        EXPECT_EQ(source.error, told.isEmpty() ? told : "The file \"" + path(name) + told) << name;
        EXPECT_EQ(wordCount(source.text.lines.join(u' ')), words) << name;
        for (const QString &l : source.text.lines)
            ASSERT_LE(l.size(), kReaderLineWidth) << name;
    }
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

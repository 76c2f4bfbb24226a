#include "TextImport.h"

#include <QDir>
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

// Every sample beside a NAME.expected file (written with it by tools/importsamples, which says what each
// holds) gives those paragraphs, chapter marks and title, and a control that cancels at once stops it.
TEST(Import, EverySampleGivesTheParagraphsAReaderOfItSeesAndStopsWhenCancelled)
{
    const QStringList expectations = QDir(kSamples).entryList({"*.expected"}, QDir::Files);
    ASSERT_GE(expectations.size(), 8);
    for (const QString &name : expectations) {
        QFile file(kSamples + '/' + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        ImportedText expected;
        if (lines.value(0).startsWith("title: "))
            expected.title = lines.takeFirst().mid(7);
        for (QString &line : lines) {
            if (line.startsWith("# "))
                expected.chapterStarts.append(int(expected.paragraphs.size()));
            expected.paragraphs.append(line.startsWith("# ") ? line.mid(2) : line);
        }
        const QString sample = kSamples + '/' + name.chopped(9);
        const ImportedText text = importText(sample);
        EXPECT_EQ(text.error, QString()) << qPrintable(name);
        EXPECT_EQ(text.paragraphs, expected.paragraphs) << qPrintable(name);
        EXPECT_EQ(text.title, expected.title) << qPrintable(name);
        if (!sample.endsWith(".pdf")) { // a PDF's chapters are not marked
            EXPECT_EQ(text.chapterStarts, expected.chapterStarts) << qPrintable(name);
        }

        int reports = 0;
        const ImportedText cancelled =
            importText(sample, {[&reports](int) { ++reports; }, [] { return true; }});
        EXPECT_TRUE(cancelled.wasCancelled() && cancelled.paragraphs.isEmpty()) << qPrintable(name);
        EXPECT_EQ(reports, 0) << qPrintable(name);
    }

    const std::pair<QByteArray, QString> cases[] = {
        {"<p>caf\xe9 \x93quoted\x94</p>", u"caf\u00e9 \u201cquoted\u201d"_s}, // undeclared, not UTF-8
        {"<p>caf\xc3\xa9</p>", u"caf\u00e9"_s},
        {"<meta charset=\"iso-8859-1\"><p>na\xefve \x96 it</p>", u"na\u00efve \u2013 it"_s},
        {QByteArray("\xff\xfe<\0p\0>\0h\0i\0", 12), u"hi"_s}, // UTF-16 with its byte order mark
    };
    for (const auto &[bytes, paragraph] : cases)
        EXPECT_EQ(htmlParagraphs(bytes).value_or(QStringList{"<not text>"}), QStringList{paragraph});
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
        const OpenedText text = openCreateTextFile(path(name));
        EXPECT_TRUE(text.text.isEmpty()) << name;
        EXPECT_EQ(text.error, "The file \"" + path(name) + '"' + QString::fromUtf8(says)) << name;
    }
}

TEST(Import, ALongDocumentIsOpenedWholeAndAHugeTextFileUpToItsCapWithTheUserTold)
{
    QTemporaryDir dir;
    auto path = [&dir](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    // Far beyond the readers' 1000 lines of 80 characters: trimming is the create-text box's business.
    const QByteArray line = QByteArray("word ").repeated(400) + '\n';
    const std::tuple<const char *, QByteArray, QString, QString> cases[] = {
        {"long.htm", "<html><body>" + QByteArray("<p>Paragraph</p>").repeated(1500),
         QStringList(1500, QStringLiteral("Paragraph")).join(QStringLiteral("\n\n")), ""},
        {"long.txt", line.repeated(1500), QString::fromLatin1(line.repeated(1500)).chopped(1), ""},
        // 5 MB: the first 4 MB of text (line ends not counted) end in byte 304 of line 2098.
        {"huge.txt", line.repeated(2500), QString::fromLatin1(line.repeated(2097) + line.left(304)),
         "\" is larger than 4 MB, the most a text file can bring in: only its first 4 MB were opened. Kept: "
         "2098 lines, 838861 words. Left out: 402 lines, 161139 words."},
    };
    for (const auto &[name, bytes, text, told] : cases) {
        ASSERT_TRUE(writeFile(path(name), bytes));
        const OpenedText opened = openCreateTextFile(path(name));
        ASSERT_TRUE(opened.ok()) << opened.error.toStdString();
        EXPECT_EQ(opened.text, text) << name;
        EXPECT_EQ(opened.notice, told.isEmpty() ? told : "The file \"" + path(name) + told) << name;
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

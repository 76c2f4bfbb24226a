#include "MiniPdf.h"
#include "TextChars.h"
#include "TextImport.h"
#include "TextSource.h"

#include <quazip.h>
#include <quazipfile.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <future>
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

// A book whose reading order lists `spine` (chapter names, each holding `chapter`), its members packed.
QByteArray book(const QStringList &spine, const QByteArray &chapter)
{
    QBuffer buffer;
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    QByteArray items, refs;
    for (const QString &name : spine) {
        items += "<item id=\"" + name.toUtf8() + "\" href=\"" + name.toUtf8() + "\"/>";
        refs += "<itemref idref=\"" + name.toUtf8() + "\"/>";
    }
    QList<std::pair<QString, QByteArray>> members{
        {"META-INF/container.xml",
         "<container><rootfiles><rootfile full-path=\"p.opf\"/></rootfiles></container>"},
        {"p.opf", "<package><manifest>" + items + "</manifest><spine>" + refs + "</spine></package>"}};
    for (const QString &name : spine)
        members.append({name, "<p>" + chapter + "</p>"});
    for (const auto &[name, bytes] : members) {
        QuaZipFile file(&zip);
        file.open(QIODevice::WriteOnly, QuaZipNewInfo(name));
        file.write(bytes);
    }
    zip.close();
    return buffer.data();
}

// The archive's directory made to claim `size` bytes unpacked for every member named *.xhtml.
QByteArray claiming(QByteArray zip, quint32 size)
{
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0; at = zip.indexOf("PK\x01\x02", at + 4)) {
        const auto nameLength = qFromLittleEndian<quint16>(zip.constData() + at + 28);
        if (zip.mid(at + 46, nameLength).endsWith(".xhtml"))
            qToLittleEndian(size, zip.data() + at + 24);
    }
    return zip;
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
        // Opened on a thread of its own while the next opens here: no importer needs the interface thread.
        std::future<ImportedText> opening =
            std::async(std::launch::async, [&] { return importText(sample); });
        QList<int> said;
        const ImportedText text = importText(sample, {[&said](int percent) { said.append(percent); }, {}});
        EXPECT_EQ(opening.get().paragraphs, text.paragraphs) << qPrintable(name);
        EXPECT_TRUE(!said.isEmpty() && said.last() == 100 && std::is_sorted(said.begin(), said.end()) &&
                    std::adjacent_find(said.begin(), said.end()) == said.end())
            << qPrintable(name);
        EXPECT_EQ(text.error, QString()) << qPrintable(name);
        EXPECT_EQ(text.paragraphs, expected.paragraphs) << qPrintable(name);
        EXPECT_EQ(text.title, expected.title) << qPrintable(name);
        EXPECT_EQ(text.chapterStarts, expected.chapterStarts) << qPrintable(name);

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

// Random books set as printers set them, in one or two columns, with a running head, page numbers, indented
// paragraphs and words hyphenated where they do not fit: every word comes back once, in order, whole, and
// every paragraph as it was written.
TEST(Import, APrintedBookGivesBackItsParagraphsWhateverItsLayout)
{
    QTemporaryDir dir;
    for (quint32 seed = 1; seed <= 12; ++seed) {
        QRandomGenerator random(seed);
        QStringList paragraphs;
        for (int p = 0; p < 40; ++p) {
            QStringList words;
            for (int w = random.bounded(4, 90); w > 0; --w) {
                QString word;
                for (int c = random.bounded(1, 12); c > 0; --c)
                    word += QChar(u'a' + random.bounded(26));
                if (random.bounded(8) == 0)
                    word[0] = word[0].toUpper();
                words.append(word + (random.bounded(10) == 0 ? "," : ""));
            }
            paragraphs.append(words.join(' ') + '.');
        }
        const int columns = 1 + int(seed % 2), rows = 30 + int(seed % 3) * 8;
        const double measure = columns == 1 ? 400 : 190;
        QList<minipdf::Page> pages;
        int row = rows, column = columns;
        auto place = [&](const QString &text, bool first) {
            if (row == rows && ++column >= columns) {
                // Some books set the title over the left pages and the author over the right ones.
                const QByteArray head = seed % 3 == 0 && pages.size() % 2 == 1 ? "ITS AUTHOR" : "A RANDOM BOOK";
                pages.append({{250, 40, 9, head}, {300, 760, 9, QByteArray::number(pages.size() + 1)}});
                column = 0;
            }
            row = row == rows ? 0 : row;
            pages.last().append(
                {54.0 + column * 264 + (first ? 14 : 0), 80.0 + 14 * row++, 10, text.toLatin1()});
        };
        // Lines are filled by the width of Times-Roman's letters at 10 points, as a typesetter fills them.
        auto width = [](const QString &text) {
            static const int kLower[] = {444, 500, 444, 500, 444, 333, 500, 500, 278, 278, 500, 278, 778,
                                         500, 500, 500, 500, 333, 389, 278, 500, 500, 722, 500, 500, 444};
            double w = 0;
            for (const QChar c : text)
                w += c.isLower() ? kLower[c.unicode() - 'a'] : c.isUpper() ? 667 : c == '-' ? 333 : 250;
            return w / 100;
        };
        for (const QString &paragraph : std::as_const(paragraphs)) {
            QString line;
            bool first = true;
            for (QString word : paragraph.split(' ')) {
                const QString lead = line.isEmpty() ? QString() : QString(line + ' ');
                const double room = measure - (first ? 14 : 0);
                if (width(lead + word) <= room) {
                    line = lead + word;
                    continue;
                }
                qsizetype cut = word.size() - 3;
                while (cut >= 3 && width(lead + word.left(cut) + '-') > room)
                    --cut;
                if (cut >= 3) { // hyphenated to fill the line
                    place(lead + word.left(cut) + '-', first);
                    word = word.mid(cut);
                } else {
                    place(line, first);
                }
                first = false;
                line = word;
            }
            place(line, first);
        }
        const QString path = dir.filePath(QStringLiteral("random%1.pdf").arg(seed));
        ASSERT_TRUE(writeFile(path, minipdf::document(pages)));
        const ImportedText text = importText(path);
        EXPECT_EQ(text.paragraphs.join(' ').split(' '), paragraphs.join(' ').split(' ')) << "seed " << seed;
        EXPECT_EQ(text.paragraphs, paragraphs) << "seed " << seed;
    }
}

// A file of letters named .epub and a binary text file are tried by the create-text window's tests.
TEST(Import, FilesThatCannotBeReadGiveAMessageNamingThem)
{
    QTemporaryDir dir;
    auto path = [&dir](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    QFile sample(kSamples + QStringLiteral("/night-ferry.epub"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray ferry = sample.readAll();
    ASSERT_TRUE(writeFile(path("truncated.epub"), ferry.left(ferry.size() / 2)));
    // Renamed in the local header and the central directory alike: the archive stays whole.
    ASSERT_TRUE(writeFile(path("nocontainer.epub"),
                          QByteArray(ferry).replace("META-INF/container.xml", "META-INF/containex.xml")));
    const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10";
    ASSERT_TRUE(writeFile(path("picture.html"), QByteArray(png, sizeof png - 1)));
    ASSERT_TRUE(
        writeFile(path("empty.html"), "<html><head><script>var x = 1;</script></head><body></body></html>"));
    ASSERT_TRUE(writeFile(path("broken.pdf"), "%PDF-1.4\n1 0 obj << /Type /Catalog"));
    {
        QPdfWriter scanned(path("scanned.pdf"));
        ASSERT_TRUE(QPainter(&scanned).isActive()); // one empty page
    }

    ASSERT_TRUE(writeFile(path("repeated.epub"), book({"a.xhtml", "b.xhtml", "a.xhtml"}, "Again")));
    const QByteArray bomb = book({"a.xhtml"}, QByteArray(65 << 20, ' ') + "x"); // 65 MB, packed to 64 KB
    ASSERT_TRUE(writeFile(path("bomb.epub"), bomb));
    ASSERT_TRUE(writeFile(path("lying.epub"), claiming(bomb, 1000)));
    ASSERT_TRUE(
        writeFile(path("claims.epub"),
                  claiming(book({"1.xhtml", "2.xhtml", "3.xhtml", "4.xhtml", "5.xhtml"}, "a"), 60 << 20)));
    ASSERT_TRUE(writeFile(path("pages.pdf"), minipdf::document(QList<minipdf::Page>(20001))));
    QFile huge(path("huge.html"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(65 << 20));
    huge.close();

    const std::pair<const char *, const char *> cases[] = {
        {"repeated.epub",
         " cannot be read as an EPUB book: its reading order lists \"a.xhtml\" more than once."},
        {"bomb.epub",
         " is too large to open: one of its chapters is larger than 64 MB, the most a chapter can hold."},
        {"lying.epub", " cannot be read as an EPUB book. It may be damaged or incomplete."},
        {"claims.epub",
         " is too large to open: its chapters come to more than 256 MB, the most a book can hold."},
        {"pages.pdf", " is too large to open: it has 20001 pages, and a document can have at most 20000."},
        {"huge.html", " is too large to open: it is larger than 64 MB, the most a web page can hold."},
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

// importsamples FOLDER: writes the import tests' corpus (see Corpus.cpp), night-ferry.epub (two chapters),
// lock-keeper.pdf (one printed page) and allotments.txt (an article as one long line per paragraph, as text
// copied from a web page comes). The book and the page are also the import tests' samples
// (tests/import/samples): the book's spine order differs from its manifest order, its second chapter sits in
// a sub-folder under a percent-encoded href, and its spine names a chapter the archive lacks and a
// stylesheet; the page has hyphenated line ends and a page number at its foot.
#include "Corpus.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

namespace {

const char *const kChapter[] = {
    "The ferry left the north pier at a quarter to midnight, as it had every night for thirty-one years, and "
    "Ada Venn stood at the rail with her collar turned up against a wind that smelled of diesel and kelp.",
    "She had bought the ticket without meaning to. The clerk had asked where to, and she had heard herself "
    "say "
    "the island, the way a person answers a question in a dream before they have understood it.",
    "Below her the water folded and unfolded in the lights of the car deck. A boy with a thermos was "
    "counting "
    "the buoys out loud, losing his place, beginning again, and his father let him do it without a word.",
    "When the town had shrunk to a row of yellow windows she went inside, took the seat nearest the heater "
    "and opened the letter for the fourth time. It still said the same thing. It still did not say why.",
};

const char *const kPage[] = {
    "The lock on the upper canal is worked by hand, and has been since it was cut",
    "in the spring of 1821. Its keeper lives in the brick cottage beside the top",
    "gate, grows leeks in a strip of garden no wider than a narrowboat, and knows",
    "the draught of every vessel that passes by the sound it makes against the",
    "sill.",
    "",
    "Traffic is lighter now than it was. A busy summer day brings perhaps twenty",
    "boats, most of them hired for the week by families who have never handled",
    "a windlass before. The keeper shows each of them how to wind the paddles up",
    "slowly, so that the water comes in without throwing the boat against the",
    "wall, and how to stand clear of the beam when the gate swings. Most remem-",
    "ber. The ones who do not are remembered for a long time after-",
    "wards.",
    "",
    "In winter the canal freezes along its edges and the lock is closed for re-",
    "pairs. Then the keeper paints the balance beams white, oils the gear and",
    "reads by the stove, and the towpath belongs to herons and the occasional",
    "runner who nods on the way past and is gone.",
};

const char *const kArticle[] = {
    "Allotments return to favour as waiting lists grow",
    "Across the county, the demand for a patch of ground to grow vegetables on has never been higher. Parish "
    "councils report waiting lists of two and three years, and some have begun to split the traditional "
    "ten-rod plot into halves so that more people can be given a start.",
    "The reasons people give are many. Some want to know where their food comes from; others want an hour in "
    "the "
    "open air after a day at a screen. Several newcomers said simply that they had enjoyed the company: an "
    "allotment site, one of them said, is the last place where strangers will stop to talk about the weather "
    "and mean it.",
    "Older plot holders are mostly glad of the new arrivals, though not all of them. A man who has kept the "
    "same "
    "plot since 1979 said the young ones give up in August, when the weeds outgrow the enthusiasm, but he "
    "admitted that this year's group had surprised him. Their beans, he said, were better than his.",
    "The council will open a new site on the old rectory field next spring. Applications close at the end of "
    "the month, and the first forty plots will be given out by lot.",
};

QByteArray xhtml(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>The Night Ferry</title>"
           "<link rel=\"stylesheet\" href=\"../style.css\"/></head><body>" +
           body + "</body></html>";
}

bool writeEpub(const QString &path)
{
    QByteArray body;
    body += "<h1>Chapter One: The Crossing</h1>";
    for (const char *p : kChapter)
        body += QByteArray("<p>") + p + "</p>";
    const QList<std::pair<QString, QByteArray>> members = {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml",
         "<?xml version=\"1.0\"?><container version=\"1.0\" "
         "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
         "<rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
         "</rootfiles></container>"},
        {"OEBPS/content.opf",
         "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
         "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>The Night Ferry</dc:title>"
         "</metadata><manifest>"
         "<item id=\"ch2\" href=\"text/chapter%202.xhtml\" media-type=\"application/xhtml+xml\"/>"
         "<item id=\"ch1\" href=\"text/chapter1.xhtml\" media-type=\"application/xhtml+xml\"/>"
         "<item id=\"gone\" href=\"text/notes.xhtml\" media-type=\"application/xhtml+xml\"/>"
         "<item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>"
         "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>"
         "</manifest><spine toc=\"ncx\"><itemref idref=\"ch1\"/><itemref idref=\"gone\"/><itemref "
         "idref=\"ch2\"/>"
         "<itemref idref=\"css\"/></spine></package>"},
        {"OEBPS/toc.ncx",
         "<?xml version=\"1.0\"?><ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\">"
         "<navMap><navPoint id=\"n1\"><navLabel><text>The Crossing</text></navLabel>"
         "<content src=\"text/chapter1.xhtml\"/></navPoint><navPoint id=\"n2\"><navLabel><text>The Island"
         "</text></navLabel><content src=\"text/chapter%202.xhtml#top\"/></navPoint></navMap></ncx>"},
        {"OEBPS/style.css", "p { text-indent: 1em; margin: 0 }"},
        {"OEBPS/text/chapter1.xhtml", xhtml(body)},
        {"OEBPS/text/chapter 2.xhtml", xhtml("<h1 id=\"top\">Chapter Two: The Island</h1><p>The harbour "
                                             "light was the only one still burning.</p>")},
    };
    return writeZip(path, members);
}

bool writePdf(const QString &path)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    painter.setFont(QFont(QStringLiteral("Liberation Serif"), 11));
    int y = 60;
    for (const char *line : kPage) {
        painter.drawText(60, y, QString::fromUtf8(line));
        y += 16;
    }
    // The page number alone at the foot of the page.
    painter.drawText(290, y + 40, QStringLiteral("17"));
    return painter.end();
}

bool writeArticle(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const char *p : kArticle)
        file.write(QByteArray(p) + "\n\n");
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: importsamples FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QStringList chapters{QStringLiteral("Chapter One: The Crossing")};
    for (const char *p : kChapter)
        chapters.append(QString::fromUtf8(p));
    chapters += {QStringLiteral("Chapter Two: The Island"),
                 QStringLiteral("The harbour light was the only one still burning.")};
    // The page's paragraphs are its runs of lines, the hyphenated words whole again.
    QStringList page;
    for (const char *line : kPage)
        page.append(QString::fromUtf8(line));
    const QStringList pageParagraphs = page.join(QLatin1Char('\n'))
                                           .replace(QStringLiteral("-\n"), QString())
                                           .split(QStringLiteral("\n\n"))
                                           .replaceInStrings(QStringLiteral("\n"), QStringLiteral(" "));
    const QString book = dir.filePath(QStringLiteral("night-ferry.epub"));
    const QString pdf = dir.filePath(QStringLiteral("lock-keeper.pdf"));
    const bool ok = writeEpub(book) &&
                    writeExpectedFile(book, QStringLiteral("The Night Ferry"), chapters, {0, 5}) &&
                    writePdf(pdf) && writeExpectedFile(pdf, QString(), pageParagraphs) && writeCorpus(dir) &&
                    writeArticle(dir.filePath(QStringLiteral("allotments.txt")));
    std::fprintf(stderr, ok ? "written\n" : "could not write the samples\n");
    return ok ? 0 : 1;
}

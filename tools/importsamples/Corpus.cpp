// The import tests' corpus: documents laid out the way books and pages are, each written beside the
// paragraphs a reader of it sees (NAME.expected: "title: " and the title where the document gives one, then
// one paragraph a line, "# " before a paragraph that begins a chapter). The test opens every sample that has
// such a file and compares.

#include "Corpus.h"

#include "MiniPdf.h"

#include <quazip.h>
#include <quazipfile.h>

#include <QFile>
#include <QRegularExpression>

#include <cstdio>

namespace {

// Prose with the places a word may be hyphenated marked by '|'; "-|" marks a compound that may break after
// its own hyphen. A paragraph starting '#' is a heading.
const char *const kBook[] = {
    "#The Lock Keeper's Year",
    "In January the canal is a grey road of ice, and the keeper walks it every mor|ning with a long pole, "
    "sound|ing the edges for the places where the water still moves under|neath. Holi|day|makers do not "
    "come. The "
    "lock stands open to the sky and fills with snow, and he counts the days to the thaw on the calen|dar "
    "that hangs by the stove.",
    "February brings the first re|pairs. The paddle gear is taken apart on the kit|chen table, piece by "
    "piece, "
    "clean|ed in par|af|fin and laid out on news|pa|per in the order it came apart, because a well-known "
    "keeper once lost a summer to a pinion put back the wrong way round. The story is told along the whole "
    "length of the canal, and every keeper has heard it.",
    "By March the herons are back on the tow|path, standing in the reeds as still as posts. The keeper's "
    "daugh|ter, who is nine, keeps a tally of them in a school ex|er|cise book, and she has de|cid|ed that "
    "the "
    "tallest one is the same bird every year. Nobody has the heart to tell her other|wise, and she may "
    "even be right: herons are crea|tures of habit, and this one always stands in the same place.",
    "#The Boats Return",
    "The first hired boat of the year comes through in April, usually on the Satur|day before Easter, and "
    "usually crewed by a family who have never worked a lock before. The keeper shows them the wind|lass, "
    "the paddles, the beam and the step where a careless foot slips, and then he stands back and lets them "
    "do it them|selves, because that is the only way anyone learns. He has seen every possible mistake, and "
    "he has watched a wedding party and a "
    "well-|known tele|vi|sion pre|sent|er make most of them in a single after|noon.",
    "Summer is long and loud. On the busiest days the boats queue below the bottom gate from ten in the "
    "morning until the light goes, and the keeper eats his lunch standing up. He does not mind. He likes "
    "the noise of engines idling and chil|dren arguing about whose turn it is, and he likes the moment when "
    "the water levels and the gate swings open with hardly a push.",
    "In the au|tumn the leaves come down in such numbers that the keeper has to clear the paddle holes twice "
    "a day. The hired boats thin out, the owners of the old working boats come through on their way to "
    "winter moor|ings, and each of them stops for tea and the news of the canal. By November the lock is "
    "quiet again, and the ice is not far off.",
};

// A newspaper page of two columns under one title.
const char *const kColumns[] = {
    "Light burning on the headland through the winter storms",
    "Every evening since the first of October the keeper of the old lighthouse has climbed the hundred and "
    "twelve steps of the tower to light the lamp by hand, as keepers did before the light was made "
    "automatic. The trust that owns the tower asked him to keep it burning through the storms, when the "
    "modern beacon on the point has failed twice in as many years.",
    "He keeps a log, as the keepers before him did, with the weather, the wind and the ships he sees. Most "
    "nights he sees none at all. On clear nights he counts the fishing boats going out from the harbour, "
    "and on wild ones he does not see the sea, only hears it against the rocks below the tower.",
    "The trust hopes to raise enough money to keep the old lamp in working order for good. It has already "
    "paid for new glass in the lantern room and for the brass to be polished, and it will open the tower "
    "to visitors on the first Sunday of every month from the spring.",
    "Winters on the headland are hard, but the keeper says that he has never once thought of giving up. "
    "The light, he says, is the one thing on the coast that everybody can see.",
};

// Paragraphs told apart only by their short last lines, and one line wider than all the others.
const char *const kWideLine[] = {
    "The station's readings are kept in a ledger for every day since it opened: the highest and lowest "
    "temperature, the rain in millimetres, the wind at nine in the morning and the hours of sunshine "
    "burned into a card by the glass ball on the roof.",
    "Anyone may read them. The whole record, scanned page by page, can be downloaded from the address "
    "https://weather.example.org/stations/brindlewick-point/ledgers/1921-2021/daily-readings-complete.csv "
    "where it has been since the centenary.",
    "The ledgers themselves stay in the station, in a cupboard that is kept locked.",
    "Visitors who ask to see them are shown the first page.",
};

QByteArray latin1(const QString &text)
{
    return text.toLatin1();
}

struct Line
{
    QString text;
    bool first = false; // the first line of a paragraph
    bool heading = false;
};

// Lines of at most `width` characters; a word that does not fit is hyphenated at its last mark that fits.
QList<Line> wrap(const char *const *paragraphs, qsizetype count, qsizetype width)
{
    QList<Line> lines;
    for (qsizetype p = 0; p < count; ++p) {
        QString text = QString::fromUtf8(paragraphs[p]);
        const bool heading = text.startsWith(QLatin1Char('#'));
        if (heading)
            text.remove(0, 1);
        QString line;
        bool first = true;
        auto flush = [&] {
            lines.append({line, first, heading});
            line.clear();
            first = false;
        };
        for (QString word : text.split(QLatin1Char(' '))) {
            while (!word.isEmpty()) {
                const QString whole = QString(word).remove(QLatin1Char('|'));
                const qsizetype room = width - line.size() - (line.isEmpty() ? 0 : 1);
                if (whole.size() <= room) {
                    line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + whole;
                    break;
                }
                qsizetype mark = word.lastIndexOf(QLatin1Char('|'));
                while (mark > 0) {
                    QString head = word.left(mark).remove(QLatin1Char('|'));
                    if (!head.endsWith(QLatin1Char('-')))
                        head += QLatin1Char('-');
                    if (head.size() <= room) {
                        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + head;
                        word = word.mid(mark + 1);
                        break;
                    }
                    mark = word.lastIndexOf(QLatin1Char('|'), mark - 1);
                }
                if (mark <= 0 && line.isEmpty()) { // a word longer than a line stands alone
                    line = whole;
                    break;
                }
                flush();
            }
        }
        flush();
    }
    return lines;
}

QStringList expectedOf(const char *const *paragraphs, qsizetype count)
{
    QStringList out;
    for (qsizetype p = 0; p < count; ++p)
        out.append(QString::fromUtf8(paragraphs[p]).remove(QLatin1Char('|')).remove(QLatin1Char('#')));
    return out;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writeExpected(const QString &path, const QString &title, const QStringList &paragraphs,
                   const QList<int> &chapters = {})
{
    QString text = title.isEmpty() ? QString() : QStringLiteral("title: ") + title + QLatin1Char('\n');
    for (int i = 0; i < paragraphs.size(); ++i)
        text +=
            (chapters.contains(i) ? QStringLiteral("# ") : QString()) + paragraphs.at(i) + QLatin1Char('\n');
    return writeFile(path + QStringLiteral(".expected"), text.toUtf8());
}

// A small book: a running head on every page but the first, the page number at every foot, indented
// paragraphs, larger chapter headings, and words hyphenated at line and page ends.
bool writeBook(const QString &path)
{
    constexpr int kLinesPerPage = 10;
    const QList<Line> lines = wrap(kBook, std::size(kBook), 46);
    QList<minipdf::Page> pages(1);
    QList<minipdf::Mark> outline;
    int slot = 0;
    for (const Line &line : lines) {
        const int needs = line.heading ? 3 : 1;
        if (slot + needs > kLinesPerPage) {
            pages.append(minipdf::Page());
            slot = 0;
        }
        if (line.heading)
            outline.append({latin1(line.text), int(pages.size() - 1)});
        const double top = 80 + 14 * slot + (line.heading ? 14 : 0);
        pages.last().append(
            {line.first && !line.heading ? 64.0 : 48.0, top, line.heading ? 16.0 : 11.0, latin1(line.text)});
        slot += needs;
    }
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            pages[i].append({120, 40, 9, "THE LOCK KEEPER'S YEAR"});
        pages[i].append({176, 300, 9, QByteArray::number(i + 1)});
    }
    for (int i = 0; i + 1 < pages.size(); ++i) {
        const QByteArray last = pages.at(i).at(pages.at(i).size() - 3).text; // before the head and number
        std::fprintf(stderr, "book page %d ends \"%s\"\n", i + 1, last.right(20).constData());
    }
    return writeFile(path, minipdf::document(pages, 360, 320, outline, "The Lock Keeper's Year")) &&
           writeExpected(path, QStringLiteral("The Lock Keeper's Year"), expectedOf(kBook, std::size(kBook)),
                         {0, 4});
}

// A title across the page, then the text in two columns; a paragraph goes on from the foot of the left
// column to the head of the right one.
bool writeColumns(const QString &path)
{
    const QList<Line> lines = wrap(kColumns + 1, std::size(kColumns) - 1, 44);
    minipdf::Page page{{90, 60, 18, latin1(QString::fromUtf8(kColumns[0]))}};
    const qsizetype half = (lines.size() + 1) / 2;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool right = i >= half;
        const double x = (right ? 318 : 54) + (lines.at(i).first ? 12 : 0);
        page.append({x, 100 + 13.0 * double(right ? i - half : i), 10, latin1(lines.at(i).text)});
    }
    return writeFile(path, minipdf::document({page})) &&
           writeExpected(path, QString(), expectedOf(kColumns, std::size(kColumns)));
}

bool writeWideLine(const QString &path)
{
    const QList<Line> lines = wrap(kWideLine, std::size(kWideLine), 70);
    minipdf::Page page;
    for (qsizetype i = 0; i < lines.size(); ++i)
        page.append({54, 80 + 14.0 * double(i), 11, latin1(lines.at(i).text)});
    return writeFile(path, minipdf::document({page})) &&
           writeExpected(path, QString(), expectedOf(kWideLine, std::size(kWideLine)));
}

// A web page that nests deep and holds what a reader never sees.
bool writeNestedPage(const QString &path)
{
    QByteArray page = "<!DOCTYPE html [ <!ENTITY station \"Brindlewick Point\"> ]>\n"
                      "<html><head><title>Deep Water</title><style>p { margin: 0 }</style>"
                      "<script>if (a<b) document.write(\"<p>written</p>\");</script></head><body>"
                      "<h1>Deep Water</h1>";
    page += QByteArray("<div>").repeated(2000) + "<p>At the bottom of two thousand boxes.</p>" +
            QByteArray("</div>").repeated(2000);
    page += QByteArray("<ul><li>").repeated(500) + "Five hundred lists down." +
            QByteArray("</li></ul>").repeated(500);
    page += QByteArray("<span>").repeated(1000) +
            "<p>Soft\xc2\xad"
            "ly un&shy;closed spans." +
            "<p>Fish &amp; chips &mdash; &#8220;quoted&#x201D; &unknown; caf&eacute;</p>";
    page += "<noscript><p>Turn scripts on.</p></noscript><template><p>Template.</p></template>"
            "<svg><text>Drawing</text></svg><p hidden>Hidden.</p><div style=\"color: red; DISPLAY : none\">"
            "<p>Not shown.</p></div><div aria-hidden=\"false\">Shown.</div>";
    page += "<h2>Steps</h2><ol><li>Open the gate<li>Close the gate</ol><ol start=\"7\"><li>Seventh</li></ol>"
            "<ul><li>No number</li></ul>";
    page += "<table><tr><th>Day<th>Rain</tr><tr><td>Monday</td><td>4 mm</td></tr>"
            "<tr><td>Tuesday<td>none</table>";
    page += "<p>The keeper wrote it down<sup><a href=\"#n1\">1</a></sup> at once, and E = mc<sup>2</sup>.</p>"
            "<pre>first line\n  second line</pre><p>one<br>two<br/>three</p>"
            "<h2>Notes</h2><p id=\"n1\">1. Every evening.</p><!-- <p>a comment</p> --></body></html>";
    const QStringList expected{"Deep Water",
                               "At the bottom of two thousand boxes.",
                               "Five hundred lists down.",
                               "Softly unclosed spans.",
                               "Fish & chips \u2014 \u201cquoted\u201d &unknown; caf\u00e9",
                               "Shown.",
                               "Steps",
                               "1. Open the gate",
                               "2. Close the gate",
                               "7. Seventh",
                               "No number",
                               "Day | Rain",
                               "Monday | 4 mm",
                               "Tuesday | none",
                               "The keeper wrote it down [1] at once, and E = mc2.",
                               "first line",
                               "second line",
                               "one",
                               "two",
                               "three",
                               "Notes",
                               "1. Every evening."};
    return writeFile(path, page) && writeExpected(path, QStringLiteral("Deep Water"), expected, {0, 6, 20});
}

QByteArray page(const QByteArray &title, const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" "
           "\"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\" "
           "[\n<!ENTITY nbsp \"&#160;\">\n]>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\"><head>"
           "<title>" +
           title + "</title></head><body>" + body + "</body></html>";
}

// An EPUB 3 book: a cover, a contents page and notes out of the reading order, a navigation document whose
// second entry points into the middle of a chapter, notes referred to from the text, a table and a list.
bool writeAlmanac(const QString &path)
{
    const QList<std::pair<QString, QByteArray>> members = {
        {"mimetype", "application/epub+zip"},
        {"META-INF/container.xml",
         "<?xml version=\"1.0\"?><container version=\"1.0\" "
         "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
         "<rootfile full-path=\"book/package.opf\" media-type=\"application/oebps-package+xml\"/>"
         "</rootfiles></container>"},
        {"book/package.opf",
         "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
         "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>The Keeper\xe2\x80\x99s Almanac"
         "</dc:title><dc:creator>A. Venn</dc:creator></metadata><manifest>"
         "<item id=\"cover\" href=\"cover.xhtml\" media-type=\"application/xhtml+xml\"/>"
         "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>"
         "<item id=\"c1\" href=\"one.xhtml\" media-type=\"application/xhtml+xml\"/>"
         "<item id=\"c2\" href=\"two.xhtml\" media-type=\"application/xhtml+xml\"/>"
         "<item id=\"notes\" href=\"notes.xhtml\" media-type=\"application/xhtml+xml\"/>"
         "</manifest><spine><itemref idref=\"cover\" linear=\"no\"/><itemref idref=\"nav\" linear=\"no\"/>"
         "<itemref idref=\"c1\"/><itemref idref=\"c2\" linear=\"yes\"/><itemref idref=\"notes\" "
         "linear=\"no\"/>"
         "</spine></package>"},
        {"book/cover.xhtml",
         page("Cover", "<div><img src=\"cover.jpg\" alt=\"The cover\"/><p>Cover</p></div>")},
        {"book/nav.xhtml",
         page("Contents", "<nav epub:type=\"toc\"><h1>Contents</h1><ol><li><a href=\"one.xhtml\">January</a>"
                          "</li><li><a href=\"two.xhtml#spring\">Spring</a></li></ol></nav>"
                          "<nav epub:type=\"landmarks\" hidden=\"\"><ol><li><a href=\"two.xhtml\">Start</a>"
                          "</li></ol></nav>")},
        {"book/one.xhtml",
         page("January",
              "<h1>January</h1><p>The canal froze on the ninth.<a epub:type=\"noteref\" "
              "href=\"notes.xhtml#n1\">"
              "1</a> The keeper sound\xc2\xad"
              "ed the ice every morning.</p>"
              "<p>What he carried:</p><ol><li><p>a long pole,</p></li><li>a rope, and</li><li><p>a flask "
              "of tea.</p><p>He drank it at "
              "noon.</p></li></ol><table><thead><tr><th>Day</th><th>Ice</th></tr></"
              "thead><tbody><tr><td>Ninth</td>"
              "<td>2&nbsp;cm</td></tr><tr><td>Tenth</td><td>5 cm</td></tr></tbody></table>"
              "<p class=\"x\" style=\"display:none\">Hidden by its style.</p>"
              "<aside epub:type=\"footnote\" hidden=\"hidden\"><p>A hidden aside.</p></aside>")},
        {"book/two.xhtml",
         page("Spring",
              "<blockquote><p>A thaw is a promise.</p></blockquote><section id=\"spring\">"
              "<h1>Spring</h1><p>The ice went out in March<sup><a href=\"notes.xhtml#n2\">[2]</a></sup>"
              " with a sound like a shot.</p></section>")},
        {"book/notes.xhtml", page("Notes", "<aside id=\"n1\"><p>1. The earliest in ten years.</p></aside>"
                                           "<aside id=\"n2\"><p>2. On the fourth.</p></aside>")},
    };
    const QStringList expected{"January",
                               "The canal froze on the ninth. [1] The keeper sounded the ice every morning.",
                               "What he carried:",
                               "1. a long pole,",
                               "2. a rope, and",
                               "3. a flask of tea.",
                               "He drank it at noon.",
                               "Day | Ice",
                               "Ninth | 2 cm",
                               "Tenth | 5 cm",
                               "A thaw is a promise.",
                               "Spring",
                               "The ice went out in March [2] with a sound like a shot."};
    return writeZip(path, members) &&
           writeExpected(path, QStringLiteral("The Keeper\u2019s Almanac"), expected, {0, 11});
}

} // namespace

bool writeZip(const QString &path, const QList<std::pair<QString, QByteArray>> &members)
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

bool writeCorpus(const QDir &dir)
{
    return writeBook(dir.filePath(QStringLiteral("book.pdf"))) &&
           writeColumns(dir.filePath(QStringLiteral("columns.pdf"))) &&
           writeWideLine(dir.filePath(QStringLiteral("wide-line.pdf"))) &&
           writeNestedPage(dir.filePath(QStringLiteral("nested.html"))) &&
           writeAlmanac(dir.filePath(QStringLiteral("almanac.epub")));
}

bool writeExpectedFile(const QString &path, const QString &title, const QStringList &paragraphs,
                       const QList<int> &chapters)
{
    return writeExpected(path, title, paragraphs, chapters);
}

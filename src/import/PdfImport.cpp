#include "HtmlReader.h"
#include "ImportMessages.h"
#include "TextImport.h"

#include <poppler-qt6.h>

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Past these a document is refused, as a page or a book over its cap is: the pages are counted before any
// is read, the text as it is read.
constexpr int kMaxPdfPages = 20'000;
constexpr qint64 kMaxPdfCharacters = 100'000'000;

template <typename T> T median(std::vector<T> values, T fallback)
{
    if (values.empty())
        return fallback;
    const auto mid = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

double height(const PageLine &l)
{
    return l.bottom - l.top;
}

// A run of words poppler puts on one line, or such runs side by side at one height.
struct Segment
{
    QRectF box;
    QString text;
};

QString joined(std::vector<Segment> row)
{
    std::sort(row.begin(), row.end(),
              [](const Segment &a, const Segment &b) { return a.box.left() < b.box.left(); });
    QString text;
    for (const Segment &s : row)
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + s.text;
    return text;
}

bool sameRow(const QRectF &a, const QRectF &b)
{
    const double overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
    return overlap > 0.5 * std::min(a.height(), b.height());
}

// Segments in order from the top; those at one height make a row.
std::vector<std::vector<Segment>> rowsOf(std::vector<Segment> segments)
{
    std::stable_sort(segments.begin(), segments.end(), [](const Segment &a, const Segment &b) {
        return a.box.center().y() < b.box.center().y();
    });
    std::vector<std::vector<Segment>> rows;
    QRectF rowBox;
    for (Segment &s : segments) {
        if (rows.empty() || !sameRow(rowBox, s.box)) {
            rows.emplace_back();
            rowBox = s.box;
        } else {
            rowBox = rowBox.united(s.box);
        }
        rows.back().push_back(std::move(s));
    }
    return rows;
}

PageLine lineOf(const std::vector<Segment> &row, int column)
{
    QRectF box = row.front().box;
    for (const Segment &s : row)
        box = box.united(s.box);
    return {box.left(), box.top(), box.right(), box.bottom(), joined(row), column};
}

// The gutters between columns: bands of the page that no run of words crosses (a title across the page
// may), with runs wholly on either side at overlapping heights. Returns their middles, left to right. A page
// with too few lines to show its columns (a chapter's end) keeps the previous page's, if none of its lines
// crosses them.
std::vector<double> gutters(const std::vector<Segment> &segments, double pageWidth,
                            const std::vector<double> &previous)
{
    const auto allowed = std::max<std::ptrdiff_t>(1, std::ptrdiff_t(segments.size() / 20));
    const bool keepsPrevious =
        !previous.empty() && std::all_of(previous.begin(), previous.end(), [&](double cut) {
            return std::count_if(segments.begin(), segments.end(), [cut](const Segment &s) {
                       return s.box.left() < cut && s.box.right() > cut;
                   }) <= allowed;
        });
    // Wider than the largest page a PDF may declare (200 inches), or not a number: no columns looked for.
    if (segments.size() < 6 || !(pageWidth > 0 && pageWidth <= 14400))
        return keepsPrevious ? previous : std::vector<double>();
    constexpr double kBin = 2;
    const auto bins = std::size_t(std::ceil(pageWidth / kBin)) + 1;
    std::vector<int> crossing(bins, 0);
    std::vector<double> heights;
    double textLeft = pageWidth, textRight = 0;
    // A damaged file's boxes may lie off the page, or not be numbers at all.
    const auto binOf = [bins](double x) {
        const double bin = x / kBin;
        return bin > 0 ? std::size_t(std::min(bin, double(bins - 1))) : std::size_t(0);
    };
    for (const Segment &s : segments) {
        const std::size_t from = binOf(s.box.left());
        const std::size_t to = binOf(s.box.right());
        for (std::size_t b = from; b <= to; ++b)
            ++crossing[b];
        heights.push_back(s.box.height());
        textLeft = std::min(textLeft, s.box.left());
        textRight = std::max(textRight, s.box.right());
    }
    const double minWidth = std::max(6.0, 0.8 * median(heights, 10.0));
    std::vector<double> found;
    std::size_t b = binOf(textLeft) + 1;
    const std::size_t end = binOf(textRight);
    while (b < end) {
        if (crossing[b] > int(allowed)) {
            ++b;
            continue;
        }
        const std::size_t start = b;
        while (b < end && crossing[b] <= int(allowed))
            ++b;
        const double left = double(start) * kBin, right = double(b) * kBin;
        if (right - left < minWidth || b >= end)
            continue;
        int leftCount = 0, rightCount = 0;
        double leftTop = 1e9, leftBottom = -1e9, rightTop = 1e9, rightBottom = -1e9;
        for (const Segment &s : segments) {
            if (s.box.right() <= right && s.box.right() <= left + kBin) {
                ++leftCount;
                leftTop = std::min(leftTop, s.box.top());
                leftBottom = std::max(leftBottom, s.box.bottom());
            } else if (s.box.left() >= left - kBin) {
                ++rightCount;
                rightTop = std::min(rightTop, s.box.top());
                rightBottom = std::max(rightBottom, s.box.bottom());
            }
        }
        const double overlap = std::min(leftBottom, rightBottom) - std::max(leftTop, rightTop);
        const double shorter = std::min(leftBottom - leftTop, rightBottom - rightTop);
        if (leftCount >= 3 && rightCount >= 3 && overlap > 0.5 * shorter)
            found.push_back((left + right) / 2);
    }
    return found.empty() && keepsPrevious ? previous : found;
}

// A page's lines in reading order: runs across a gutter stand where they are; between them, each column
// is read to its foot before the next.
QList<PageLine> readingOrder(std::vector<Segment> segments, double pageWidth, std::vector<double> &cuts)
{
    cuts = gutters(segments, pageWidth, cuts);
    auto columnOf = [&cuts](const QRectF &box) {
        int column = 0;
        for (const double cut : cuts) {
            if (box.left() < cut && box.right() > cut)
                return -1; // across a gutter
            if (box.left() >= cut)
                ++column;
        }
        return column;
    };
    std::stable_sort(segments.begin(), segments.end(),
                     [](const Segment &a, const Segment &b) { return a.box.top() < b.box.top(); });
    QList<PageLine> lines;
    std::vector<std::vector<Segment>> columns(cuts.size() + 1);
    auto flush = [&] {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            for (const std::vector<Segment> &row : rowsOf(std::move(columns[c])))
                lines.append(lineOf(row, int(c)));
            columns[c].clear();
        }
    };
    for (Segment &s : segments) {
        const int column = columnOf(s.box);
        if (column < 0) {
            flush();
            lines.append(lineOf({s}, -1));
        } else {
            columns[std::size_t(column)].push_back(std::move(s));
        }
    }
    flush();
    return lines;
}

// Runs of words on one line, from poppler's words in its order (each knows the next word on its line).
std::vector<Segment> segmentsOf(const std::vector<std::unique_ptr<Poppler::TextBox>> &words)
{
    std::vector<Segment> segments;
    const Poppler::TextBox *previous = nullptr;
    for (const auto &word : words) {
        const QRectF box = word->boundingBox();
        const bool sameLine = previous && previous->nextWord() == word.get();
        if (sameLine) {
            Segment &s = segments.back();
            const bool space = previous->hasSpaceAfter() || box.left() - s.box.right() > 0.15 * box.height();
            s.text += (space ? QStringLiteral(" ") : QString()) + word->text();
            s.box = s.box.united(box);
        } else {
            segments.push_back({box, word->text()});
        }
        previous = word.get();
    }
    for (Segment &s : segments)
        s.text = s.text.simplified();
    std::erase_if(segments, [](const Segment &s) { return s.text.isEmpty(); });
    return segments;
}

QString withoutDigits(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (!c.isDigit())
            out += c.toLower();
    }
    return out.simplified();
}

bool isPageNumber(const QString &line)
{
    static const QRegularExpression number(
        QStringLiteral("^[-\u2013\u2014 ]*(page\\s*)?\\d{1,5}[-\u2013\u2014 ]*$"),
        QRegularExpression::CaseInsensitiveOption);
    return number.match(line).hasMatch();
}

// Drops running heads and feet (up to two lines at a page's top and foot that recur, digits aside, at the
// same height on more than half of the pages, or of the left or the right pages where a book sets its title
// over one and its author or chapter over the other) and page numbers alone at a page's top or foot.
void dropFurniture(QList<QList<PageLine>> &pages)
{
    struct Place
    {
        int page;
        int line;
        double y;
    };
    QHash<QString, std::vector<Place>> candidates;
    QList<QSet<int>> drop(pages.size());
    for (int p = 0; p < pages.size(); ++p) {
        const QList<PageLine> &lines = pages.at(p);
        // Lines in reading order; the page's top and foot are by height.
        std::vector<int> byHeight(std::size_t(lines.size()));
        for (int i = 0; i < lines.size(); ++i)
            byHeight[std::size_t(i)] = i;
        std::sort(byHeight.begin(), byHeight.end(),
                  [&lines](int a, int b) { return lines.at(a).top < lines.at(b).top; });
        QSet<int> edge;
        for (std::size_t k = 0; k < byHeight.size() && k < 2; ++k) {
            edge.insert(byHeight[k]);
            edge.insert(byHeight[byHeight.size() - 1 - k]);
        }
        for (const int i : std::as_const(edge)) {
            const PageLine &l = lines.at(i);
            candidates[withoutDigits(l.text)].push_back({p, i, l.bottom});
        }
        if (!byHeight.empty()) {
            for (const int i : {byHeight.front(), byHeight.back()}) {
                if (isPageNumber(lines.at(i).text))
                    drop[p].insert(i);
            }
        }
    }
    for (auto it = candidates.begin(); it != candidates.end(); ++it) {
        std::vector<Place> &places = it.value();
        if (pages.size() < 2 || places.size() * 4 <= std::size_t(pages.size()))
            continue;
        std::sort(places.begin(), places.end(), [](const Place &a, const Place &b) { return a.y < b.y; });
        // The widest set of places within 3 points of height of one another.
        std::size_t bestFrom = 0, bestTo = 0, from = 0;
        for (std::size_t to = 0; to < places.size(); ++to) {
            while (places[to].y - places[from].y > 3)
                ++from;
            if (to + 1 - from > bestTo - bestFrom)
                bestFrom = from, bestTo = to + 1;
        }
        QSet<int> onPages;
        std::array<int, 2> onSide{0, 0};
        for (std::size_t k = bestFrom; k < bestTo; ++k) {
            if (!onPages.contains(places[k].page))
                ++onSide[std::size_t(places[k].page % 2)];
            onPages.insert(places[k].page);
        }
        // A side counts from three pages on, so that a short document's lines are not taken for heads.
        const std::array<int, 2> sidePages{int((pages.size() + 1) / 2), int(pages.size() / 2)};
        const auto onMostOf = [&](std::size_t side) {
            return sidePages[side] >= 3 && onSide[side] * 2 > sidePages[side];
        };
        if (onPages.size() * 2 <= pages.size() && !onMostOf(0) && !onMostOf(1))
            continue;
        for (std::size_t k = bestFrom; k < bestTo; ++k)
            drop[places[k].page].insert(places[k].line);
    }
    for (int p = 0; p < pages.size(); ++p) {
        QList<PageLine> kept;
        for (int i = 0; i < pages.at(p).size(); ++i) {
            if (!drop.at(p).contains(i))
                kept.append(pages.at(p).at(i));
        }
        pages[p] = kept;
    }
}

// How a page's text is usually set: line height, spacing, left edge, right edge and width, by the median
// (one long line, such as an address, does not stretch the page's measure).
struct Measure
{
    double height = 12;
    double spacing = 14;
    double left = 0;
    double right = 0;
    double width = 0;
};

// The measure of one column's lines (a line across the columns is measured with the first column).
Measure measureOf(const QList<PageLine> &all, int column)
{
    QList<PageLine> lines;
    for (const PageLine &l : all) {
        if (std::max(l.column, 0) == column)
            lines.append(l);
    }
    Measure m;
    std::vector<double> heights, spacings, lefts, rights;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const PageLine &l = lines.at(i);
        heights.push_back(height(l));
        lefts.push_back(l.left);
        rights.push_back(l.right);
        if (i > 0) {
            const double step = l.bottom - lines.at(i - 1).bottom;
            if (step > 0 && std::abs(height(l) - height(lines.at(i - 1))) < 0.2 * height(l))
                spacings.push_back(step);
        }
    }
    m.height = median(heights, 12.0);
    m.spacing = median(spacings, m.height * 1.2);
    // The left edge is where most lines start; indented first lines are fewer.
    std::sort(lefts.begin(), lefts.end());
    m.left = lefts.empty() ? 0 : lefts[lefts.size() / 4];
    const double medianRight = median(rights, 0.0);
    // The measure is the longest line not far past the usual one.
    m.right = medianRight;
    for (const double r : rights) {
        if (r <= medianRight + 0.1 * (medianRight - m.left))
            m.right = std::max(m.right, r);
    }
    m.width = std::max(1.0, m.right - m.left);
    return m;
}

bool isHyphen(QChar c)
{
    return c == u'-' || c == QChar(0x2010) || c == QChar(0x00AD);
}

QString hyphenatedForm(const QString &head, const QString &tail)
{
    QString word = head.section(u' ', -1) + tail.section(u' ', 0, 0);
    while (!word.isEmpty() && !word.back().isLetterOrNumber())
        word.chop(1);
    while (!word.isEmpty() && !word.front().isLetterOrNumber())
        word.remove(0, 1);
    return word.toLower();
}

// Every word written with a hyphen inside it ("well-known"), in lower case.
QSet<QString> hyphenatedWords(const QList<QList<PageLine>> &pages)
{
    QSet<QString> out;
    for (const QList<PageLine> &page : pages) {
        for (const PageLine &l : page) {
            for (QString word : l.text.split(u' ')) {
                while (!word.isEmpty() && !word.back().isLetterOrNumber())
                    word.chop(1);
                while (!word.isEmpty() && !word.front().isLetterOrNumber())
                    word.remove(0, 1);
                const qsizetype hyphen = word.indexOf(u'-');
                if (hyphen > 0 && hyphen + 1 < word.size())
                    out.insert(word.toLower());
            }
        }
    }
    return out;
}

// Where a paragraph begins: its page and its first line's top.
struct Start
{
    int page;
    double top;
};

QStringList paragraphsOf(const QList<QList<PageLine>> &source, QList<Start> *starts)
{
    QList<QList<PageLine>> pages = source;
    for (QList<PageLine> &page : pages) {
        for (PageLine &l : page)
            l.text = l.text.simplified();
        page.removeIf([](const PageLine &l) { return l.text.isEmpty(); });
    }
    dropFurniture(pages);
    const QSet<QString> hyphenated = hyphenatedWords(pages);

    QStringList paragraphs;
    QString current;
    Start start{0, 0};
    auto endParagraph = [&] {
        if (!current.isEmpty()) {
            paragraphs.append(current);
            if (starts)
                starts->append(start);
        }
        current.clear();
    };
    // A column with few lines on its page (the end of a chapter) is measured with the document's.
    QList<PageLine> all;
    int columns = 1;
    for (const QList<PageLine> &page : std::as_const(pages)) {
        all += page;
        for (const PageLine &l : page)
            columns = std::max(columns, l.column + 1);
    }
    std::vector<Measure> documentMeasures;
    for (int c = 0; c < columns; ++c)
        documentMeasures.push_back(measureOf(all, c));
    all.clear();

    const PageLine *previous = nullptr;
    Measure previousMeasure;
    for (int pageIndex = 0; pageIndex < pages.size(); ++pageIndex) {
        const QList<PageLine> &page = pages.at(pageIndex);
        std::vector<Measure> measures;
        for (int c = 0; c < columns; ++c) {
            const auto inColumn = std::count_if(
                page.begin(), page.end(), [c](const PageLine &l) { return std::max(l.column, 0) == c; });
            measures.push_back(inColumn >= 5 ? measureOf(page, c) : documentMeasures[std::size_t(c)]);
        }
        for (const PageLine &line : page) {
            const Measure &m = measures[std::size_t(std::max(line.column, 0))];
            if (!previous) {
                current = line.text;
                start = {pageIndex, line.top};
                previous = &line;
                previousMeasure = m;
                continue;
            }
            const PageLine &a = *previous;
            const Measure &am = previousMeasure;
            const bool hyphenEnd = a.text.size() > 1 && isHyphen(a.text.back()) &&
                                   a.text.at(a.text.size() - 2).isLetter() && line.text.front().isLower();
            bool breaks = false;
            if (!hyphenEnd) {
                const bool flowsOn = line.top > a.top && &line != &page.front(); // same page, same column
                const bool otherSize =
                    std::abs(height(line) - height(a)) > 0.2 * std::max(height(line), height(a));
                const bool gap = flowsOn && line.bottom - a.bottom > 1.4 * m.spacing;
                const bool indented =
                    line.left > m.left + 0.6 * m.height && line.left < m.left + 0.5 * m.width;
                const double charWidth =
                    (line.right - line.left) / double(std::max<qsizetype>(1, line.text.size()));
                const double nextWord = double(line.text.section(u' ', 0, 0).size() + 1) * charWidth;
                const bool shortLine = a.right - am.left < 0.8 * am.width && am.right - a.right > nextWord;
                breaks = otherSize || gap || indented || shortLine;
            }
            if (breaks) {
                endParagraph();
                current = line.text;
                start = {pageIndex, line.top};
            } else if (hyphenEnd) {
                // Joined, keeping the hyphen where the text writes the word with one elsewhere.
                const bool keep = hyphenated.contains(hyphenatedForm(a.text, line.text));
                current.chop(1);
                if (keep)
                    current += u'-';
                current += line.text;
            } else {
                current += u' ' + line.text;
            }
            previous = &line;
            previousMeasure = m;
        }
    }
    endParagraph();
    return paragraphs;
}

// The paragraphs the outline's top entries lead to: the first that begins at or after the place each names.
QList<int> chaptersOf(const Poppler::Document &doc, const QList<Start> &starts)
{
    QList<int> chapters;
    for (const Poppler::OutlineItem &item : doc.outline()) {
        const QSharedPointer<const Poppler::LinkDestination> to = item.destination();
        if (!to || to->pageNumber() < 1)
            continue;
        const int page = to->pageNumber() - 1;
        const std::unique_ptr<Poppler::Page> p = doc.page(page);
        const double top = to->isChangeTop() && p ? to->top() * p->pageSizeF().height() : 0;
        const auto at = std::find_if(starts.begin(), starts.end(), [&](const Start &s) {
            return s.page > page || (s.page == page && s.top >= top - 2);
        });
        if (at != starts.end())
            chapters.append(int(at - starts.begin()));
    }
    std::sort(chapters.begin(), chapters.end());
    chapters.erase(std::unique(chapters.begin(), chapters.end()), chapters.end());
    return chapters;
}

} // namespace

QStringList paragraphsFromPages(const QList<QList<PageLine>> &pages)
{
    return paragraphsOf(pages, nullptr);
}

ImportedText importPdf(const QString &path, const ImportControl &control)
{
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return ImportedText::failed(importmsg::cannotOpen(path));
    probe.close();
    // poppler reports every flaw of a damaged file on stderr; the user gets one message instead.
    static std::once_flag quiet;
    std::call_once(
        quiet, [] { Poppler::setDebugErrorFunction([](const QString &, const QVariant &) {}, QVariant()); });
    const std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path);
    if (!doc)
        return ImportedText::failed(importmsg::damagedPdf(path));
    if (doc->isLocked())
        return ImportedText::failed(importmsg::locked(path));
    ImportWatch watch(control);
    const QVariant closure = QVariant::fromValue(reinterpret_cast<quintptr>(&watch));
    auto abort = [](const QVariant &c) {
        return reinterpret_cast<const ImportWatch *>(c.value<quintptr>())->cancelled();
    };
    QList<QList<PageLine>> pages;
    std::vector<double> cuts;
    qint64 characters = 0;
    const int count = doc->numPages();
    if (count > kMaxPdfPages)
        return ImportedText::failed(importmsg::tooManyPages(path, count, kMaxPdfPages));
    for (int i = 0; i < count; ++i) {
        if (watch.cancelled())
            return ImportedText::failed(importCancelled());
        const std::unique_ptr<Poppler::Page> page = doc->page(i);
        if (!page) {
            pages.append(QList<PageLine>());
            continue;
        }
        const auto words = page->textList(Poppler::Page::Rotate0, abort, closure);
        if (watch.cancelled())
            return ImportedText::failed(importCancelled());
        pages.append(readingOrder(segmentsOf(words), page->pageSizeF().width(), cuts));
        for (const PageLine &l : std::as_const(pages.last()))
            characters += l.text.size() + 1;
        if (characters > kMaxPdfCharacters)
            return ImportedText::failed(importmsg::pdfTooLarge(path, kMaxPdfCharacters));
        watch.progress(double(i + 1) / double(count) * 0.95);
    }
    QList<Start> starts;
    ImportedText out = ImportedText::of(paragraphsOf(pages, &starts));
    if (out.paragraphs.isEmpty())
        return ImportedText::failed(importmsg::noPdfText(path));
    out.title = doc->info(QStringLiteral("Title")).simplified();
    out.chapterStarts = chaptersOf(*doc, starts);
    watch.progress(1);
    return out;
}

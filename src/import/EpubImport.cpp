#include "HtmlReader.h"
#include "ImportMessages.h"
#include "TextImport.h"

#include <quazip.h>
#include <quazipfile.h>

#include <QFile>
#include <QHash>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>
#include <optional>

namespace {

// Limits against archives that unpack to far more than any book (a "zip bomb"). The book's limit counts
// every member read, as it is read, so that reading stops at the limit whatever the members claim.
constexpr qint64 kMaxEntryBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxBookBytes = 256 * 1024 * 1024;
constexpr qint64 kReadBlockBytes = 64 * 1024;

enum class EntryError
{
    None,
    Missing,
    Damaged,
    EntryTooLarge,
    BookTooLarge,
    Cancelled,
};

class Book;

// One member, read as it is parsed.
class MemberSource final : public ByteSource
{
public:
    MemberSource(Book &book, QString name, qint64 size) : m_book(book), m_name(std::move(name)), m_size(size)
    {
    }
    bool rewind() override;
    qint64 read(char *buffer, qint64 max) override;
    bool finish() override;
    qint64 size() const override { return m_size; }

private:
    Book &m_book;
    QString m_name;
    qint64 m_size;
    qint64 m_read = 0;
    std::unique_ptr<QuaZipFile> m_file;
};

class Book
{
public:
    explicit Book(const QString &path) : m_zip(path) {}

    bool open()
    {
        if (!m_zip.open(QuaZip::mdUnzip))
            return false;
        // One pass over the directory: names, in any letter case, and the sizes they claim (read from the
        // record itself: QuaZip's full record converts dates, ten times the cost for 10,000 members).
        unz_file_info64 info;
        for (bool more = m_zip.goToFirstFile(); more; more = m_zip.goToNextFile()) {
            const QString name = m_zip.getCurrentFileName();
            if (unzGetCurrentFileInfo64(m_zip.getUnzFile(), &info, nullptr, 0, nullptr, 0, nullptr, 0) ==
                UNZ_OK) {
                m_sizes.insert(name, qint64(info.uncompressed_size));
                m_lowerNames.insert(name.toLower(), name);
            }
        }
        return m_zip.getZipError() == UNZ_OK;
    }

    // The member's name as the archive has it (a name that differs only in letter case is taken too, as
    // readers do), or an empty string.
    QString find(const QString &name) const
    {
        if (m_sizes.contains(name))
            return name;
        return m_lowerNames.value(name.toLower());
    }
    qint64 claimedSize(const QString &name) const { return m_sizes.value(name); }

    std::unique_ptr<QuaZipFile> openMember(const QString &name)
    {
        if (!m_zip.setCurrentFile(name, QuaZip::csSensitive)) {
            m_error = EntryError::Missing;
            return nullptr;
        }
        auto file = std::make_unique<QuaZipFile>(&m_zip);
        if (!file->open(QIODevice::ReadOnly)) {
            m_error = EntryError::Damaged;
            return nullptr;
        }
        return file;
    }

    // Counts bytes read against both limits: false, with the error set, past either.
    bool take(qint64 entryBytes, qint64 bytes)
    {
        m_total += bytes;
        if (entryBytes > kMaxEntryBytes)
            m_error = EntryError::EntryTooLarge;
        else if (m_total > kMaxBookBytes)
            m_error = EntryError::BookTooLarge;
        else
            return true;
        return false;
    }
    void untake(qint64 bytes) { m_total -= bytes; }
    qint64 left() const { return kMaxBookBytes - m_total; }

    // Reads a small member whole (the container, the package, the navigation document).
    std::optional<QByteArray> read(const QString &wanted)
    {
        const QString name = find(wanted);
        if (name.isEmpty()) {
            m_error = EntryError::Missing;
            return std::nullopt;
        }
        const qint64 claimed = claimedSize(name);
        if (claimed > kMaxEntryBytes || claimed > left()) {
            m_error = claimed > kMaxEntryBytes ? EntryError::EntryTooLarge : EntryError::BookTooLarge;
            return std::nullopt;
        }
        const std::unique_ptr<QuaZipFile> file = openMember(name);
        if (!file)
            return std::nullopt;
        // The stated size may lie; read no more than the limits allow either way.
        QByteArray bytes;
        for (;;) {
            const QByteArray block = file->read(kReadBlockBytes);
            if (block.isEmpty())
                break;
            bytes += block;
            if (!take(bytes.size(), block.size()))
                return std::nullopt;
        }
        file->close();
        if (file->getZipError() != UNZ_OK) { // a CRC mismatch shows on close
            m_error = EntryError::Damaged;
            return std::nullopt;
        }
        return bytes;
    }

    EntryError error() const { return m_error; }
    void setError(EntryError e) { m_error = e; }

private:
    QuaZip m_zip;
    QHash<QString, qint64> m_sizes;
    QHash<QString, QString> m_lowerNames;
    qint64 m_total = 0;
    EntryError m_error = EntryError::None;
};

bool MemberSource::rewind()
{
    if (m_file) {
        m_file->close();
        m_book.untake(m_read);
        m_read = 0;
    }
    m_file = m_book.openMember(m_name);
    return m_file != nullptr;
}

qint64 MemberSource::read(char *buffer, qint64 max)
{
    const qint64 got = m_file->read(buffer, max);
    if (got > 0) {
        m_read += got;
        if (!m_book.take(m_read, got))
            return -1;
    }
    return got;
}

bool MemberSource::finish()
{
    m_file->close();
    if (m_file->getZipError() != UNZ_OK) {
        m_book.setError(EntryError::Damaged);
        return false;
    }
    return true;
}

QString rootFilePath(const QByteArray &container)
{
    QXmlStreamReader xml(container);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("rootfile"))
            return xml.attributes().value(QLatin1String("full-path")).toString();
    }
    return QString();
}

struct SpineItem
{
    QString id;
    bool linear = true;
};

struct Package
{
    QHash<QString, QString> hrefById;
    QHash<QString, QString> typeById;
    QString navId;
    QString ncxId;
    QString title;
    QList<SpineItem> spine;
};

Package readPackage(const QByteArray &opf)
{
    Package pkg;
    QXmlStreamReader xml(opf);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("item")) {
            const QString id = a.value(QLatin1String("id")).toString();
            pkg.hrefById.insert(id, a.value(QLatin1String("href")).toString());
            pkg.typeById.insert(id, a.value(QLatin1String("media-type")).toString());
            if (a.value(QLatin1String("properties")).split(QLatin1Char(' ')).contains(QLatin1String("nav")))
                pkg.navId = id;
            if (a.value(QLatin1String("media-type")) == QLatin1String("application/x-dtbncx+xml") &&
                pkg.ncxId.isEmpty())
                pkg.ncxId = id;
        } else if (xml.name() == QLatin1String("spine")) {
            if (a.hasAttribute(QLatin1String("toc")))
                pkg.ncxId = a.value(QLatin1String("toc")).toString();
        } else if (xml.name() == QLatin1String("itemref")) {
            pkg.spine.append({a.value(QLatin1String("idref")).toString(),
                              a.value(QLatin1String("linear")).trimmed() != QLatin1String("no")});
        } else if (xml.name() == QLatin1String("title") && pkg.title.isEmpty() &&
                   xml.namespaceUri() == QLatin1String("http://purl.org/dc/elements/1.1/")) {
            pkg.title = xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified();
        }
    }
    return pkg;
}

QString folderOf(const QString &memberPath)
{
    return memberPath.contains(QLatin1Char('/')) ? memberPath.section(QLatin1Char('/'), 0, -2) : QString();
}

// A href is a URL relative to the member it is written in: the member it names, and the fragment apart.
std::pair<QString, QString> resolve(const QString &dir, const QString &href)
{
    QString relative = QUrl::fromPercentEncoding(href.toUtf8());
    QString fragment;
    const qsizetype hash = relative.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        fragment = relative.mid(hash + 1);
        relative.truncate(hash);
    }
    const QString joined = dir.isEmpty() ? relative : dir + QLatin1Char('/') + relative;
    QString clean = QDir::cleanPath(joined);
    while (clean.startsWith(QLatin1String("../")))
        clean.remove(0, 3);
    return {clean, fragment};
}

bool isPage(const QString &mediaType, const QString &path)
{
    if (mediaType == QLatin1String("application/xhtml+xml") || mediaType == QLatin1String("text/html"))
        return true;
    const QString lower = path.toLower();
    return mediaType.isEmpty() &&
           (lower.endsWith(QLatin1String(".xhtml")) || lower.endsWith(QLatin1String(".html")) ||
            lower.endsWith(QLatin1String(".htm")));
}

// The contents' targets in order: the EPUB 3 navigation document's table of contents (its nav marked "toc",
// else its first nav), or an NCX's navigation points. What stands after a flaw in the file is not read.
QList<std::pair<QString, QString>> tableOfContents(const QByteArray &doc, const QString &dir, bool ncx)
{
    QList<std::pair<QString, QString>> targets;
    QList<std::pair<QString, QString>> firstNav;
    QXmlStreamReader xml(doc);
    int navDepth = 0;
    bool inToc = false;
    bool firstSeen = false;
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("nav") && navDepth > 0 && --navDepth == 0) {
            inToc = false;
            firstSeen = true;
        }
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (ncx) {
            if (xml.name() == QLatin1String("content"))
                targets.append(resolve(dir, a.value(QLatin1String("src")).toString()));
            continue;
        }
        if (xml.name() == QLatin1String("nav")) {
            if (navDepth++ == 0) {
                const QString type =
                    a.value(QLatin1String("http://www.idpf.org/2007/ops"), QLatin1String("type")).toString();
                inToc = type.split(QLatin1Char(' ')).contains(QLatin1String("toc"));
            }
        } else if (xml.name() == QLatin1String("a") && navDepth > 0) {
            const auto target = resolve(dir, a.value(QLatin1String("href")).toString());
            if (inToc)
                targets.append(target);
            else if (!firstSeen)
                firstNav.append(target);
        }
    }
    return targets.isEmpty() ? firstNav : targets;
}

ImportedText failure(const QString &path, EntryError error)
{
    switch (error) {
    case EntryError::EntryTooLarge:
        return ImportedText::failed(importmsg::chapterTooLarge(path, kMaxEntryBytes));
    case EntryError::BookTooLarge:
        return ImportedText::failed(importmsg::bookTooLarge(path, kMaxBookBytes));
    case EntryError::Cancelled:
        return ImportedText::failed(importCancelled());
    case EntryError::None:
    case EntryError::Missing:
    case EntryError::Damaged:
        break;
    }
    return ImportedText::failed(importmsg::damagedBook(path));
}

} // namespace

ImportedText importEpub(const QString &path, const ImportControl &control)
{
    if (!QFile::exists(path))
        return ImportedText::failed(importmsg::cannotOpen(path));
    ImportWatch watch(control);
    Book book(path);
    if (!book.open())
        return ImportedText::failed(importmsg::damagedBook(path));

    const std::optional<QByteArray> container = book.read(QStringLiteral("META-INF/container.xml"));
    if (!container)
        return failure(path, book.error());
    const QString opfPath = rootFilePath(*container);
    if (opfPath.isEmpty())
        return ImportedText::failed(importmsg::damagedBook(path));
    const std::optional<QByteArray> opf = book.read(opfPath);
    if (!opf)
        return failure(path, book.error());
    const Package pkg = readPackage(*opf);
    const QString packageDir = folderOf(opfPath);

    // The pages of the reading order as the archive names them; a page named twice is refused before any is
    // read, and so is a book whose pages claim more than the limits.
    struct Page
    {
        QString member;
        bool linear;
        qint64 size;
    };
    QList<Page> pages;
    QSet<QString> seen;
    qint64 claimed = 0;
    for (const SpineItem &item : pkg.spine) {
        if (!pkg.hrefById.contains(item.id))
            continue;
        const QString member = resolve(packageDir, pkg.hrefById.value(item.id)).first;
        if (!isPage(pkg.typeById.value(item.id), member))
            continue;
        const QString name = book.find(member);
        if (seen.contains(member.toLower()))
            return ImportedText::failed(importmsg::repeatedChapter(path, member));
        seen.insert(member.toLower());
        if (name.isEmpty())
            continue; // a chapter the spine names but the archive lacks is skipped
        const qint64 size = book.claimedSize(name);
        if (size > kMaxEntryBytes)
            return failure(path, EntryError::EntryTooLarge);
        claimed += size;
        pages.append({name, item.linear, size});
    }
    if (claimed > book.left())
        return failure(path, EntryError::BookTooLarge);

    // The contents: which paragraph each entry points at is known once its page is read.
    QList<std::pair<QString, QString>> toc;
    const QString navId = !pkg.navId.isEmpty() ? pkg.navId : pkg.ncxId;
    if (!navId.isEmpty() && pkg.hrefById.contains(navId)) {
        const QString navMember = resolve(packageDir, pkg.hrefById.value(navId)).first;
        if (const std::optional<QByteArray> nav = book.read(navMember))
            toc = tableOfContents(*nav, folderOf(navMember), pkg.navId.isEmpty());
        else if (book.error() != EntryError::Missing && book.error() != EntryError::Damaged)
            return failure(path, book.error());
    }
    QHash<QString, QSet<QString>> wantedIds;
    for (const auto &[member, fragment] : std::as_const(toc)) {
        if (!fragment.isEmpty())
            wantedIds[book.find(member)].insert(fragment);
    }

    // Items out of the reading order (a cover, the contents, notes) are read only when nothing else is.
    HtmlDocument doc;
    QHash<QString, int> pageStarts; // the first paragraph of each page read
    QHash<QString, QHash<QString, int>> anchors;
    const bool anyLinear = std::any_of(pages.begin(), pages.end(), [](const Page &p) { return p.linear; });
    for (int pass = anyLinear ? 0 : 1; pass < 2 && doc.paragraphs.isEmpty(); ++pass) {
        double done = 0;
        for (const Page &page : std::as_const(pages)) {
            if (pass == 0 && !page.linear)
                continue;
            const double share = claimed > 0 ? double(page.size) / double(claimed) : 0;
            MemberSource source(book, page.member, page.size);
            const auto wanted = wantedIds.constFind(page.member);
            doc.anchors.clear();
            const int start = int(doc.paragraphs.size());
            const PageResult result =
                readHtmlPage(source, std::min(kMaxEntryBytes, book.left()), doc,
                             wanted == wantedIds.constEnd() ? nullptr : &*wanted, watch, done, share);
            done += share;
            switch (result) {
            case PageResult::Read:
                break;
            case PageResult::NotText: // a picture under a page's name is no chapter
                continue;
            case PageResult::Cancelled:
                return failure(path, EntryError::Cancelled);
            case PageResult::TooLarge:
                return failure(path, book.error() == EntryError::BookTooLarge ? EntryError::BookTooLarge
                                                                              : EntryError::EntryTooLarge);
            case PageResult::Damaged:
                if (book.error() == EntryError::Missing)
                    continue;
                return failure(path, book.error() == EntryError::None ? EntryError::Damaged : book.error());
            }
            pageStarts.insert(page.member, start);
            anchors.insert(page.member, doc.anchors);
        }
    }
    if (doc.paragraphs.isEmpty())
        return ImportedText::failed(importmsg::noText(path));
    watch.progress(1);

    ImportedText out = ImportedText::of(std::move(doc.paragraphs));
    out.title = pkg.title; // a chapter's own <title> names the chapter, not the book
    for (const auto &[member, fragment] : std::as_const(toc)) {
        const QString name = book.find(member);
        if (!pageStarts.contains(name))
            continue;
        const int at = fragment.isEmpty() ? pageStarts.value(name)
                                          : anchors.value(name).value(fragment, pageStarts.value(name));
        if (at < out.paragraphs.size())
            out.chapterStarts.append(at);
    }
    if (out.chapterStarts.isEmpty()) { // no contents to go by: each page of the reading order begins one
        for (const int start : std::as_const(pageStarts))
            out.chapterStarts.append(start);
    }
    std::sort(out.chapterStarts.begin(), out.chapterStarts.end());
    out.chapterStarts.erase(std::unique(out.chapterStarts.begin(), out.chapterStarts.end()),
                            out.chapterStarts.end());
    out.chapterStarts.removeIf([&out](int i) { return i >= out.paragraphs.size(); });
    return out;
}

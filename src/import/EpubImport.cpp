#include "ImportMessages.h"
#include "TextImport.h"

#include <quazip.h>
#include <quazipfile.h>

#include <QFile>
#include <QHash>
#include <QUrl>
#include <QXmlStreamReader>

#include <optional>

namespace {

// Limits against archives that unpack to far more than any book (a "zip bomb").
constexpr qint64 kMaxEntryBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxBookBytes = 256 * 1024 * 1024;
constexpr qint64 kReadBlockBytes = 64 * 1024;

enum class EntryError
{
    None,
    Missing,
    Damaged,
    TooLarge,
};

class Book
{
public:
    explicit Book(const QString &path) : m_zip(path) {}

    bool open() { return m_zip.open(QuaZip::mdUnzip); }

    // Reads one member whole; a name that differs only in letter case is taken too, as readers do.
    std::optional<QByteArray> read(const QString &name)
    {
        if (!m_zip.setCurrentFile(name, QuaZip::csSensitive) &&
            !m_zip.setCurrentFile(name, QuaZip::csInsensitive)) {
            m_error = EntryError::Missing;
            return std::nullopt;
        }
        QuaZipFile file(&m_zip);
        if (!file.open(QIODevice::ReadOnly)) {
            m_error = EntryError::Damaged;
            return std::nullopt;
        }
        const qint64 size = file.usize();
        if (size > kMaxEntryBytes || m_total + size > kMaxBookBytes) {
            m_error = EntryError::TooLarge;
            return std::nullopt;
        }
        // The stated size may lie; read no more than the limit allows either way. Reading in blocks keeps a
        // small member from reserving the whole limit.
        QByteArray bytes;
        while (bytes.size() <= kMaxEntryBytes) {
            const QByteArray block = file.read(kReadBlockBytes);
            if (block.isEmpty())
                break;
            bytes += block;
        }
        file.close();
        if (bytes.size() > kMaxEntryBytes) {
            m_error = EntryError::TooLarge;
            return std::nullopt;
        }
        if (file.getZipError() != UNZ_OK) { // a CRC mismatch shows on close
            m_error = EntryError::Damaged;
            return std::nullopt;
        }
        m_total += bytes.size();
        return bytes;
    }

    EntryError error() const { return m_error; }

private:
    QuaZip m_zip;
    qint64 m_total = 0;
    EntryError m_error = EntryError::None;
};

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

struct Package
{
    QHash<QString, QString> hrefById;
    QHash<QString, QString> typeById;
    QStringList spine;
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
        } else if (xml.name() == QLatin1String("itemref")) {
            pkg.spine.append(a.value(QLatin1String("idref")).toString());
        }
    }
    return pkg;
}

// A manifest href is a URL relative to the package file.
QString memberPath(const QString &packageDir, const QString &href)
{
    QString relative = QUrl::fromPercentEncoding(href.toUtf8());
    const qsizetype fragment = relative.indexOf(QLatin1Char('#'));
    if (fragment >= 0)
        relative.truncate(fragment);
    const QString joined = packageDir.isEmpty() ? relative : packageDir + QLatin1Char('/') + relative;
    QString clean = QDir::cleanPath(joined);
    while (clean.startsWith(QLatin1String("../")))
        clean.remove(0, 3);
    return clean;
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

} // namespace

ImportedText importEpub(const QString &path)
{
    if (!QFile::exists(path))
        return ImportedText::failed(importmsg::cannotOpen(path));
    Book book(path);
    if (!book.open())
        return ImportedText::failed(importmsg::damagedBook(path));

    auto failure = [&book, &path]() -> ImportedText {
        return ImportedText::failed(book.error() == EntryError::TooLarge ? importmsg::tooLarge(path)
                                                                         : importmsg::damagedBook(path));
    };
    const std::optional<QByteArray> container = book.read(QStringLiteral("META-INF/container.xml"));
    if (!container)
        return failure();
    const QString opfPath = rootFilePath(*container);
    if (opfPath.isEmpty())
        return ImportedText::failed(importmsg::damagedBook(path));
    const std::optional<QByteArray> opf = book.read(opfPath);
    if (!opf)
        return failure();

    const Package pkg = readPackage(*opf);
    const QString packageDir =
        opfPath.contains(QLatin1Char('/')) ? opfPath.section(QLatin1Char('/'), 0, -2) : QString();
    QStringList paragraphs;
    for (const QString &id : pkg.spine) {
        const QString member = memberPath(packageDir, pkg.hrefById.value(id));
        if (!pkg.hrefById.contains(id) || !isPage(pkg.typeById.value(id), member))
            continue;
        const std::optional<QByteArray> chapter = book.read(member);
        if (!chapter) {
            // A chapter the spine names but the archive lacks is skipped; a damaged one spoils the book.
            if (book.error() == EntryError::Missing)
                continue;
            return failure();
        }
        if (const std::optional<QStringList> text = htmlParagraphs(*chapter))
            paragraphs.append(*text);
    }
    if (paragraphs.isEmpty())
        return ImportedText::failed(importmsg::noText(path));
    return ImportedText::of(paragraphs);
}

#include "HtmlReader.h"
#include "ImportMessages.h"
#include "TextImport.h"

#include <QFileInfo>

namespace {

// A page larger than this is not a page a person reads; it is refused rather than stall the program.
constexpr qint64 kMaxPageBytes = 64 * 1024 * 1024;

} // namespace

std::optional<QStringList> htmlParagraphs(const QByteArray &html)
{
    HtmlDocument doc;
    const ImportControl none;
    ImportWatch watch(none);
    const std::unique_ptr<ByteSource> source = bytesSource(html);
    if (readHtmlPage(*source, html.size(), doc, nullptr, watch) != PageResult::Read)
        return std::nullopt;
    return doc.paragraphs;
}

ImportedText importHtml(const QString &path, const ImportControl &control)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return ImportedText::failed(importmsg::cannotOpen(path));
    if (info.size() > kMaxPageBytes)
        return ImportedText::failed(importmsg::pageTooLarge(path, kMaxPageBytes));
    HtmlDocument doc;
    ImportWatch watch(control);
    const std::unique_ptr<ByteSource> source = fileSource(path);
    switch (readHtmlPage(*source, kMaxPageBytes, doc, nullptr, watch)) {
    case PageResult::Read:
        break;
    case PageResult::NotText:
        return ImportedText::failed(importmsg::notAWebPage(path));
    case PageResult::TooLarge: // grown since it was measured
        return ImportedText::failed(importmsg::pageTooLarge(path, kMaxPageBytes));
    case PageResult::Cancelled:
        return ImportedText::failed(importCancelled());
    case PageResult::Damaged:
        return ImportedText::failed(importmsg::cannotOpen(path));
    }
    if (doc.paragraphs.isEmpty())
        return ImportedText::failed(importmsg::noText(path));
    watch.progress(1);
    ImportedText out = ImportedText::of(std::move(doc.paragraphs));
    out.chapterStarts = doc.headings;
    out.title = doc.title;
    return out;
}

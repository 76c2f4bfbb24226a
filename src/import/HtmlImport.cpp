#include "Cp1252.h"
#include "ImportMessages.h"
#include "TextImport.h"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// A page larger than this is not a page a person reads; it is refused rather than stall the program.
constexpr qint64 kMaxPageBytes = 64 * 1024 * 1024;

// Text has no NUL bytes and few control characters; pictures, archives and programs have many.
bool looksBinary(const QByteArray &bytes)
{
    if (bytes.contains('\0'))
        return true;
    qsizetype controls = 0;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f')
            ++controls;
    }
    return controls * 100 > bytes.size();
}

std::optional<QString> decodePage(const QByteArray &bytes)
{
    const std::optional<QStringConverter::Encoding> declared = QStringConverter::encodingForHtml(bytes);
    const bool wide =
        declared && (*declared == QStringConverter::Utf16 || *declared == QStringConverter::Utf16LE ||
                     *declared == QStringConverter::Utf16BE || *declared == QStringConverter::Utf32 ||
                     *declared == QStringConverter::Utf32LE || *declared == QStringConverter::Utf32BE);
    if (!wide && looksBinary(bytes))
        return std::nullopt;
    // Pages that say Latin-1 mean Windows-1252, as browsers take them: curly quotes and dashes included.
    if (declared == QStringConverter::Latin1)
        return cp1252::decode(bytes);
    if (declared && *declared != QStringConverter::Utf8) {
        QStringDecoder decoder(*declared);
        return decoder.decode(bytes);
    }
    // Undeclared or UTF-8: old pages are often Windows-1252 whatever they claim.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = cp1252::decode(bytes);
    return text;
}

} // namespace

std::optional<QStringList> htmlParagraphs(const QByteArray &html)
{
    const std::optional<QString> page = decodePage(html);
    if (!page)
        return std::nullopt;
    QTextDocument doc;
    doc.setHtml(*page);
    QStringList paragraphs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QString text = block.text();
        text.remove(QChar::ObjectReplacementCharacter);
        // A line break inside a block (<br>) starts a paragraph of its own.
        text.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
        for (const QString &piece : text.split(QChar::ParagraphSeparator)) {
            QString clean = piece;
            clean.replace(QChar::Nbsp, QLatin1Char(' '));
            clean = clean.simplified();
            if (!clean.isEmpty())
                paragraphs.append(clean);
        }
    }
    return paragraphs;
}

ImportedText importHtml(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ImportedText::failed(importmsg::cannotOpen(path));
    if (file.size() > kMaxPageBytes)
        return ImportedText::failed(importmsg::tooLarge(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ImportedText::failed(importmsg::cannotOpen(path));
    const std::optional<QStringList> paragraphs = htmlParagraphs(bytes);
    if (!paragraphs)
        return ImportedText::failed(importmsg::notAWebPage(path));
    if (paragraphs->isEmpty())
        return ImportedText::failed(importmsg::noText(path));
    return ImportedText::of(*paragraphs);
}

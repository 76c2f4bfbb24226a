#include "FuzzSupport.h"

#include "TextImport.h"

// No application object: the importers need none, and may run on any thread.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray page = fuzzBytes(data, size);
    const std::optional<QStringList> paragraphs = htmlParagraphs(page);
    if (paragraphs)
        checkParagraphs(*paragraphs);
    // Only bytes that are not text are refused: a page without control bytes always reads.
    bool text = true;
    for (const char c : page)
        text = text && (static_cast<unsigned char>(c) >= 0x20 || QByteArrayView("\t\n\r\f").contains(c));
    FUZZ_CHECK(paragraphs || !text);
    const ImportedText doc = importHtml(fuzzFile(page, ".html"));
    FUZZ_CHECK(doc.paragraphs == paragraphs.value_or(QStringList()));
    checkChapters(doc);
    return 0;
}

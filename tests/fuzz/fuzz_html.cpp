#include "FuzzSupport.h"

#include "TextImport.h"

#include <QGuiApplication>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv); // the HTML parser needs one; it lives as long as the process
    return 0;
}

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
    return 0;
}

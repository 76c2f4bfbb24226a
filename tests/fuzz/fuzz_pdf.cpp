#include "FuzzSupport.h"

#include "TextImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ImportedText doc = importPdf(fuzzFile(fuzzBytes(data, size), ".pdf"));
    FUZZ_CHECK(doc.ok() != doc.paragraphs.isEmpty());
    checkParagraphs(doc.paragraphs);
    checkChapters(doc);
    return 0;
}

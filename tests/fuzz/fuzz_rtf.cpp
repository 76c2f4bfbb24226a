#include "FuzzSupport.h"

#include "Cp1252.h"
#include "RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const RtfDocument doc = parseRtf(bytes);
    // Every character of the text came from at least one input byte.
    FUZZ_CHECK(doc.plainText().size() <= bytes.size());
    // Bytes without markup are plain Windows-1252 text in one paragraph: line ends and control bytes other
    // than the tab are dropped.
    if (!bytes.contains('\\') && !bytes.contains('{') && !bytes.contains('}')) {
        QByteArray text;
        for (const char c : bytes)
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                text += c;
        FUZZ_CHECK(doc.complete && !doc.hasHeader && doc.plainText() == cp1252::decode(text));
    }
    return 0;
}

#include "FuzzSupport.h"

#include "Settings.h"

// Any bytes decode; the record then saves at its fixed size and reads back to the same record.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const int dpi = size > 0 ? 96 + data[0] % 64 : 96;
    const QByteArray saved = encodeSettings(decodeSettings(bytes, dpi));
    FUZZ_CHECK(saved.size() == kSettingsRecordSize);
    FUZZ_CHECK(encodeSettings(decodeSettings(saved, dpi)) == saved);
    return 0;
}

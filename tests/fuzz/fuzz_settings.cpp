#include "FuzzSupport.h"

#include "Settings.h"

#include <cmath>

// Any bytes decode; the record then saves at its fixed size and reads back to the same record.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const int dpi = size > 0 ? 96 + data[0] % 64 : 96;
    const TSettings record = decodeSettings(bytes, dpi);
    for (const double score : record.TachiWpmHistory)
        FUZZ_CHECK(std::isfinite(score) && score >= 0.0);
    const QByteArray saved = encodeSettings(record);
    FUZZ_CHECK(saved.size() == kSettingsRecordSize);
    FUZZ_CHECK(encodeSettings(decodeSettings(saved, dpi)) == saved);
    return 0;
}

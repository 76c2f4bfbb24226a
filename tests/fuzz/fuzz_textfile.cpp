#include "FuzzSupport.h"

#include "Cp1252.h"
#include "TextFile.h"

#include <QStringDecoder>

// Any file reads within the limits it is given (UTF-8 or Windows-1252, any line ends), and a file within
// them reads whole: its own characters line for line, a tab as a space and a leading byte-order mark dropped.
// What is kept and what is counted as left out make up the whole file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString path = fuzzFile(bytes, ".txt");
    constexpr TextReadLimits small{7, 13, 50};
    for (const TextReadLimits &limits : {kReaderTextLimits, small}) {
        TextLeftOut leftOut;
        const std::optional<QStringList> lines = readTextFileLines(path, limits, &leftOut);
        // A file with a NUL byte is not text (the reader looks at the first 64 KiB block whole).
        FUZZ_CHECK(lines.has_value() != bytes.contains('\0') || bytes.size() > 64 * 1024);
        if (!lines)
            continue;
        FUZZ_CHECK(lines->size() <= limits.maxLines);
        for (const QString &line : *lines)
            FUZZ_CHECK(line.size() <= limits.maxLineBytes && !line.contains(u'\t'));
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString text = utf8.decode(bytes);
        if (utf8.hasError())
            text = cp1252::decode(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        const QStringList whole = splitTextLines(text.replace(u'\t', u' '));
        bool fits = whole.size() <= limits.maxLines && bytes.size() < limits.maxTotalBytes;
        for (const QByteArray &line : bytes.split('\n'))
            for (const QByteArray &piece : line.split('\r'))
                fits = fits && piece.size() <= limits.maxLineBytes;
        if (fits)
            FUZZ_CHECK(*lines == whole && !leftOut.any());
        // A file read as Windows-1252 has no byte-order mark; what is kept of it may have read as UTF-8 with
        // one.
        FUZZ_CHECK(lines->size() + leftOut.lines == whole.size() &&
                   (bytes.startsWith("\xef\xbb\xbf") ||
                    wordCount(lines->join(u'\n')) + leftOut.words == wordCount(text)));
    }
    return 0;
}

#include "FuzzSupport.h"

#include "TextImport.h"

#include <quazip.h>
#include <quazipfile.h>

// An input that starts "PK" is a whole archive. Any other is the members of a book, stored unpacked so that
// the search reaches the package and the chapters past the archive's checksums: "name\ncontent", NUL between.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString path = fuzzFile(bytes, ".epub");
    if (!bytes.startsWith("PK")) {
        QuaZip zip(path);
        FUZZ_CHECK(zip.open(QuaZip::mdCreate));
        for (const QByteArray &member : bytes.split('\0')) {
            const qsizetype eol = member.indexOf('\n');
            QuaZipFile file(&zip);
            if (eol > 0 && file.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromUtf8(member.left(eol))),
                                     nullptr, 0, 0)) {
                file.write(member.mid(eol + 1));
                file.close();
            }
        }
        zip.close();
    }
    const ImportedText book = importEpub(path);
    FUZZ_CHECK(book.ok() != book.paragraphs.isEmpty());
    checkParagraphs(book.paragraphs);
    checkChapters(book);
    return 0;
}

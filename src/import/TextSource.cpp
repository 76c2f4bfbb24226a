#include "TextSource.h"

#include "ImportMessages.h"
#include "TextFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

QString contentHash(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace

SourceText readSourceText(const QString &path, const ImportControl &control)
{
    SourceText out;
    out.path = path;
    out.title = QFileInfo(path).completeBaseName();
    if (isImportedKind(path)) {
        const ImportedText imported = importText(path, control);
        if (!imported.ok()) {
            out.error = imported.error;
            return out;
        }
        if (!imported.title.isEmpty())
            out.title = imported.title;
        out.text = readerLinesFromParagraphs(imported.paragraphs, imported.chapterStarts);
    } else {
        if (QFileInfo(path).size() > kCreateTextFileCap) {
            out.error = importmsg::overCap(path, kCreateTextFileCap);
            return out;
        }
        const std::optional<QStringList> lines = readTextFileLines(path, kCreateTextLimits);
        if (!lines) {
            out.error = importmsg::notText(path);
            out.notText = true;
            return out;
        }
        out.text = readerLinesFromFile(*lines);
    }
    out.hash = contentHash(path);
    return out;
}

QStringList partLines(const ReaderLines &text, const TextPart &part, int fromLine)
{
    const int skip = std::clamp(fromLine - 1, 0, std::max(0, part.count - 1));
    return text.lines.mid(part.first + skip, part.count - skip);
}

#include "TextImport.h"

#include "ImportMessages.h"
#include "TextFile.h"

#include <QFileInfo>

namespace {

enum class Kind
{
    Html,
    Epub,
    Pdf,
    Other,
};

Kind kindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm") || suffix == QLatin1String("xhtml"))
        return Kind::Html;
    if (suffix == QLatin1String("epub"))
        return Kind::Epub;
    if (suffix == QLatin1String("pdf"))
        return Kind::Pdf;
    return Kind::Other;
}

} // namespace

bool isImportedKind(const QString &path)
{
    return kindOf(path) != Kind::Other;
}

QString importCancelled()
{
    return QStringLiteral("Opening was cancelled.");
}

ImportedText importText(const QString &path, const ImportControl &control)
{
    switch (kindOf(path)) {
    case Kind::Html:
        return importHtml(path, control);
    case Kind::Epub:
        return importEpub(path, control);
    case Kind::Pdf:
        return importPdf(path, control);
    case Kind::Other:
        break;
    }
    return ImportedText::failed(importmsg::unknownKind(path));
}

QString memoTextOf(const QStringList &paragraphs)
{
    return paragraphs.join(QStringLiteral("\n\n"));
}

QString readableKinds()
{
    return QStringLiteral("*.txt *.bwr *.html *.htm *.xhtml *.epub *.pdf");
}

QString createTextOpenFilter()
{
    return QStringLiteral("Text files (*.txt);;BWR text files (*.bwr);;Web pages (*.html *.htm *.xhtml);;"
                          "EPUB books (*.epub);;PDF documents (*.pdf)");
}

OpenedText openCreateTextFile(const QString &path)
{
    if (isImportedKind(path)) {
        const ImportedText imported = importText(path);
        return {memoTextOf(imported.paragraphs), imported.error, QString()};
    }
    TextLeftOut leftOut;
    const std::optional<QStringList> lines = readTextFileLines(path, kCreateTextLimits, &leftOut);
    if (!lines)
        return {QString(), importmsg::notText(path), QString()};
    const QString text = lines->join(QLatin1Char('\n'));
    return {text, QString(),
            leftOut.any()
                ? importmsg::cutAtCap(path, kCreateTextFileCap, lines->size(), wordCount(text), leftOut)
                : QString()};
}

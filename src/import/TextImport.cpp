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

QString readableKinds()
{
    return QStringLiteral("*.txt *.bwr *.html *.htm *.xhtml *.epub *.pdf");
}

QString createTextOpenFilter()
{
    return QStringLiteral("Text files (*.txt);;BWR text files (*.bwr);;Web pages (*.html *.htm *.xhtml);;"
                          "EPUB books (*.epub);;PDF documents (*.pdf)");
}

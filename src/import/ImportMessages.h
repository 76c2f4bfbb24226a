#pragma once

#include "TextChars.h"

#include <QDir>
#include <QString>

// The messages an import gives; each names the file as the user chose it.
namespace importmsg {

inline QString quoted(const QString &path)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

inline QString cannotOpen(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) + QStringLiteral(" cannot be opened.");
}

inline QString tooLarge(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) + QStringLiteral(" is too large to open.");
}

inline QString notAWebPage(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" is not a web page: it does not hold text.");
}

inline QString damagedBook(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" cannot be read as an EPUB book. It may be damaged or incomplete.");
}

inline QString damagedPdf(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" cannot be read as a PDF document. It may be damaged or incomplete.");
}

inline QString locked(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) + QStringLiteral(" is protected by a password.");
}

inline QString noText(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) + QStringLiteral(" holds no text to read.");
}

inline QString noPdfText(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(
               " holds no text to read. Its pages may be pictures of text, such as scanned pages.");
}

// As the readers say it of a text file they cannot read.
inline QString notText(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" was not found, or else the file is not an ascii text file. Be sure that the file "
                          "exists, and was not deleted.");
}

// A text file larger than a reader takes, refused whole.
inline QString overCap(const QString &path, qint64 capBytes)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(
               " is larger than %1 MB, the most a text file can bring in. Open it in a text editor "
               "and save a part of it as a file of its own.")
               .arg(capBytes / (1024 * 1024));
}

inline QString unknownKind(const QString &path)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" is not a web page, an EPUB book or a PDF document.");
}

} // namespace importmsg

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

inline QString megabytes(qint64 bytes)
{
    return QString::number(bytes / (1024 * 1024)) + QStringLiteral(" MB");
}

inline QString pageTooLarge(const QString &path, qint64 cap)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" is too large to open: it is larger than ") + megabytes(cap) +
           QStringLiteral(", the most a web page can hold.");
}

inline QString chapterTooLarge(const QString &path, qint64 cap)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" is too large to open: one of its chapters is larger than ") + megabytes(cap) +
           QStringLiteral(", the most a chapter can hold.");
}

inline QString bookTooLarge(const QString &path, qint64 cap)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" is too large to open: its chapters come to more than ") + megabytes(cap) +
           QStringLiteral(", the most a book can hold.");
}

inline QString pdfTooLarge(const QString &path, qint64 capCharacters)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" is too large to open: its text is longer than %1 million characters, the most a "
                          "document can hold.")
               .arg(capCharacters / 1000000);
}

inline QString tooManyPages(const QString &path, int pages, int cap)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" is too large to open: it has %1 pages, and a document can have at most %2.")
               .arg(pages)
               .arg(cap);
}

inline QString repeatedChapter(const QString &path, const QString &member)
{
    return QStringLiteral("The file ") + quoted(path) +
           QStringLiteral(" cannot be read as an EPUB book: its reading order lists \"") + member +
           QStringLiteral("\" more than once.");
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

#pragma once

#include "BookText.h"
#include "TextImport.h"

#include <QString>

// Any file a reader can open, as the readers take it: a text file (UTF-8 or Windows-1252) line for line, a
// web page, an EPUB book or a PDF document as paragraphs with their chapters, all as lines of at most 80
// characters. A file over a size cap is refused with a message naming the cap, never cut.
struct SourceText
{
    QString path;
    QString title;
    // The content's hash: a renamed or moved copy is the same text.
    QString hash;
    ReaderLines text;
    QString error;
    // The file could not be read as text at all (missing, unreadable, or binary), rather than refused.
    bool notText = false;

    bool ok() const { return error.isEmpty(); }
};

SourceText readSourceText(const QString &path, const ImportControl &control = {});

// The lines of `part`, for a reader that starts at its (1-based) `fromLine`.
QStringList partLines(const ReaderLines &text, const TextPart &part, int fromLine = 1);

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Reading other kinds of documents for the create-text box. The HTML parser needs a running QGuiApplication.

// A document read as plain paragraphs, one string each, or the message that says why it could not be read.
struct ImportedText
{
    QStringList paragraphs;
    QString error;
    // Paragraphs that begin a chapter (indexes into `paragraphs`, ascending), where the document marks them.
    QList<int> chapterStarts;
    // The document's own title, where it gives one.
    QString title;

    bool ok() const { return error.isEmpty(); }
    static ImportedText failed(const QString &message)
    {
        ImportedText out;
        out.error = message;
        return out;
    }
    static ImportedText of(QStringList paragraphs)
    {
        ImportedText out;
        out.paragraphs = std::move(paragraphs);
        return out;
    }
};

// What a caller running an import on a worker thread hears of it and can ask of it.
struct ImportControl
{
    std::function<void(int percent)> progress;
    std::function<bool()> cancelled;
};

// True for the kinds importText reads: .html, .htm, .xhtml, .epub and .pdf (any letter case).
bool isImportedKind(const QString &path);
// Reads a web page, an EPUB book or a PDF document whole, however long; other kinds give an error.
ImportedText importText(const QString &path, const ImportControl &control = {});

ImportedText importHtml(const QString &path);
ImportedText importEpub(const QString &path);
ImportedText importPdf(const QString &path);

// The paragraphs of an HTML or XHTML page: headings, paragraphs, list items and line breaks start paragraphs,
// scripts, styles and the title are dropped, runs of white space become one blank. Bytes that are not text
// (NUL bytes in a page that is not UTF-16) give nullopt.
std::optional<QStringList> htmlParagraphs(const QByteArray &html);

// Paragraphs from the hard-wrapped lines of printed pages: a paragraph ends at an empty line or at a line
// clearly shorter than the text's full lines; a word hyphenated at a line end is joined; a page number alone
// on a page's first or last line is dropped.
QStringList paragraphsFromPageLines(const QList<QStringList> &pages);

// Every kind of file a text can come from, as a dialog's patterns.
QString readableKinds();
// The open dialog's filters for the create-text box: its own text kinds first, then the imported ones.
QString createTextOpenFilter();

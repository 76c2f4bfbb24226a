#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Reading other kinds of documents. Every importer may run on a worker thread: none needs a QGuiApplication.

// How a caller follows an import and stops it. `cancelled` is asked often enough that an import ends within a
// fifth of a second of its saying true (between blocks of a page, members of a book, pages of a PDF, and
// inside a PDF page's text); the import then gives the message importCancelled(). `progress` hears the
// share done, 0 to 100, each value once, rising. Either may be empty; both are called on the import's thread.
struct ImportControl
{
    std::function<void(int percent)> progress;
    std::function<bool()> cancelled;
};

// What a cancelled import gives as its error.
QString importCancelled();

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
    bool wasCancelled() const { return error == importCancelled(); }
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

// True for the kinds importText reads: .html, .htm, .xhtml, .epub and .pdf (any letter case).
bool isImportedKind(const QString &path);
// Reads a web page, an EPUB book or a PDF document whole, up to the caps each states when it refuses; other
// kinds give an error.
ImportedText importText(const QString &path, const ImportControl &control = {});

// A web page's paragraphs; its first- and second-level headings begin chapters, its <title> is the title.
ImportedText importHtml(const QString &path, const ImportControl &control = {});
// A book's reading order (items marked linear="no", such as a cover or notes, left out), its chapters from
// its navigation document (EPUB 3 nav or NCX), its title from its metadata.
ImportedText importEpub(const QString &path, const ImportControl &control = {});
// A PDF's text in reading order: columns one after the other, running heads and feet and page numbers left
// out, paragraphs from gaps and indents, words hyphenated at a line's end whole again; chapters where the
// outline's top entries lead, the title from the document's information.
ImportedText importPdf(const QString &path, const ImportControl &control = {});

// The paragraphs of an HTML or XHTML page: headings, paragraphs, list items, table rows and line breaks
// start paragraphs ("1. " before a numbered item, " | " between cells, a note reference as "[1]"); scripts,
// styles, the head and hidden content are dropped, as are soft hyphens; runs of white space become one blank.
// Bytes that are not text (NUL bytes in a page that is not UTF-16) give nullopt.
std::optional<QStringList> htmlParagraphs(const QByteArray &html);

// Where a printed line stands on its page, in points from the page's top left, and what it says.
struct PageLine
{
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    QString text;
    int column = 0; // counted from the left; -1 for a line across the columns
};

// The paragraphs of printed pages whose lines are given in reading order (each page's columns one after
// the other): running heads and feet (the same text but for its digits, at the same height, on more than
// half of the pages) and lone page numbers are dropped; a paragraph ends at a larger gap than the page's
// usual one, before an indented line, and after a line clearly shorter than the page's usual line when the
// next line's first word would have fitted in it; a word hyphenated at a line's end is joined, unless the
// hyphenated form occurs elsewhere in the text.
QStringList paragraphsFromPages(const QList<QList<PageLine>> &pages);

// Every kind of file a text can come from, as a dialog's patterns.
QString readableKinds();
// The open dialog's filters for the create-text box: its own text kinds first, then the imported ones.
QString createTextOpenFilter();

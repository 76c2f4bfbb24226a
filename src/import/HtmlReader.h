#pragma once

#include "TextImport.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// What the importers share: reading web pages (alone or as a book's chapters) as they come, without a
// document tree, so that the work stays linear in the page's size however deep its elements nest, and with
// no QtGui object, so that it may run on any thread.

// Asks the caller's control often and turns a share of the work done into a whole percentage, said once.
class ImportWatch
{
public:
    explicit ImportWatch(const ImportControl &control) : m_control(control) {}
    bool cancelled() const { return m_control.cancelled && m_control.cancelled(); }
    void progress(double done);

private:
    const ImportControl &m_control;
    int m_percent = -1;
};

// The bytes of a page, readable from the start again (a page that is not UTF-8 after all is decoded anew).
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual bool rewind() = 0;
    // Up to `max` bytes; 0 at the end, below 0 on a read error.
    virtual qint64 read(char *buffer, qint64 max) = 0;
    // Whether what was read is sound (a packed member's checksum is checked when it is closed).
    virtual bool finish() { return true; }
    // The size it says it has, for the progress; 0 if unknown.
    virtual qint64 size() const = 0;
};

std::unique_ptr<ByteSource> bytesSource(const QByteArray &bytes);
std::unique_ptr<ByteSource> fileSource(const QString &path);

// Paragraphs as a reader sees them, gathered over one page or over a book's chapters in turn.
struct HtmlDocument
{
    QStringList paragraphs;
    QList<int> headings; // paragraphs that are first- or second-level headings
    QString title;       // the first page's <title>
    // Where the elements with the ids asked for begin: the index of the first paragraph at or after them.
    QHash<QString, int> anchors;
    qint64 characters = 0;
};

enum class PageResult
{
    Read,
    NotText,   // bytes that are not text: NUL bytes, or many control bytes, in a page not in UTF-16
    TooLarge,  // more than maxBytes
    Cancelled, // the control said so
    Damaged,   // the source could not be read, or failed its checksum
};

// Reads one page into `doc`: decoded by its byte order mark or declared charset, else as UTF-8, else (when
// that fails) as Windows-1252. `progressFrom` and `progressSpan` place this page's share of the whole.
// `wantedIds` (may be null) are the ids whose positions go to doc.anchors.
PageResult readHtmlPage(ByteSource &source, qint64 maxBytes, HtmlDocument &doc,
                        const QSet<QString> *wantedIds, ImportWatch &watch, double progressFrom = 0,
                        double progressSpan = 1);

#pragma once

// A PDF writer just large enough for test documents: pages of text runs in Times-Roman (a standard font, so
// nothing is embedded), each run drawn with one Tj at a position given from the page's top left. The
// output is plain and deterministic, and small: a page of prose is a couple of kilobytes.

#include <QByteArray>
#include <QList>

namespace minipdf {

struct Run
{
    double x = 0;
    double top = 0; // the baseline's distance from the page's top
    double size = 11;
    QByteArray text; // Windows-1252
};

using Page = QList<Run>;

// An entry of the document's outline (its bookmarks): a title and the page it leads to.
struct Mark
{
    QByteArray title;
    int page = 0;
};

inline QByteArray escaped(const QByteArray &text)
{
    QByteArray out;
    for (const char c : text) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

inline QByteArray document(const QList<Page> &pages, double width = 612, double height = 792,
                           const QList<Mark> &outline = {}, const QByteArray &title = {})
{
    QByteArray out = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    auto object = [&out, &offsets](const QByteArray &body) {
        offsets.append(out.size());
        out += QByteArray::number(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    const qsizetype count = pages.size();
    QByteArray kids;
    for (qsizetype i = 0; i < count; ++i)
        kids += QByteArray::number(4 + 2 * i) + " 0 R ";
    const qsizetype outlineRoot = 4 + 2 * count, info = outlineRoot + 1 + outline.size();
    auto ref = [](qsizetype n) -> QByteArray { return QByteArray::number(n) + " 0 R"; };
    object("<< /Type /Catalog /Pages 2 0 R" +
           (outline.isEmpty() ? QByteArray() : " /Outlines " + ref(outlineRoot)) + " >>");
    object("<< /Type /Pages /Count " + QByteArray::number(count) + " /Kids [" + kids + "] >>");
    object("<< /Type /Font /Subtype /Type1 /BaseFont /Times-Roman /Encoding /WinAnsiEncoding >>");
    for (qsizetype i = 0; i < count; ++i) {
        object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + QByteArray::number(width) + ' ' +
               QByteArray::number(height) + "] /Resources << /Font << /F1 3 0 R >> >> /Contents " +
               QByteArray::number(5 + 2 * i) + " 0 R >>");
        QByteArray content;
        for (const Run &run : pages.at(i))
            content += "BT /F1 " + QByteArray::number(run.size) + " Tf " + QByteArray::number(run.x) + ' ' +
                       QByteArray::number(height - run.top) + " Td (" + escaped(run.text) + ") Tj ET\n";
        object("<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content + "endstream");
    }
    if (!outline.isEmpty()) {
        object("<< /Type /Outlines /First " + ref(outlineRoot + 1) + " /Last " +
               ref(outlineRoot + outline.size()) + " /Count " + QByteArray::number(outline.size()) + " >>");
        for (qsizetype k = 0; k < outline.size(); ++k) {
            const qsizetype self = outlineRoot + 1 + k;
            object("<< /Title (" + escaped(outline.at(k).title) + ") /Parent " + ref(outlineRoot) +
                   (k > 0 ? " /Prev " + ref(self - 1) : QByteArray()) +
                   (k + 1 < outline.size() ? " /Next " + ref(self + 1) : QByteArray()) + " /Dest [" +
                   ref(4 + 2 * outline.at(k).page) + " /XYZ 0 " + QByteArray::number(height) + " 0] >>");
        }
    }
    if (!title.isEmpty())
        object("<< /Title (" + escaped(title) + ") >>");
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(offsets.size() + 1) + " /Root 1 0 R" +
           (title.isEmpty() ? QByteArray() : " /Info " + ref(info)) + " >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

} // namespace minipdf

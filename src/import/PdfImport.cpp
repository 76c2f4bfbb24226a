#include "ImportMessages.h"
#include "TextImport.h"

#include <poppler-qt6.h>

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace {

// A line shorter than this share of the text's full lines ends its paragraph.
constexpr double kShortLineShare = 0.7;

bool isPageNumber(const QString &line)
{
    static const QRegularExpression number(QStringLiteral("^(page\\s*)?\\d{1,4}$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return number.match(line).hasMatch();
}

// Words split at a line end ("exam-" / "ple") are whole again; a hyphen before a capital or a digit stays, as
// in "Anglo-" / "Saxon".
bool joinsHyphenated(const QString &line, const QString &next)
{
    return line.size() > 1 && line.endsWith(QLatin1Char('-')) && line.at(line.size() - 2).isLetter() &&
           !next.isEmpty() && next.at(0).isLower();
}

} // namespace

QStringList paragraphsFromPageLines(const QList<QStringList> &pages)
{
    QList<QStringList> cleaned;
    qsizetype fullLine = 0;
    for (const QStringList &page : pages) {
        QStringList lines;
        for (const QString &line : page)
            lines.append(line.simplified());
        // Page numbers sit on the first or last line that holds anything.
        auto firstText =
            std::find_if(lines.begin(), lines.end(), [](const QString &l) { return !l.isEmpty(); });
        if (firstText != lines.end() && isPageNumber(*firstText))
            firstText->clear();
        auto lastText =
            std::find_if(lines.rbegin(), lines.rend(), [](const QString &l) { return !l.isEmpty(); });
        if (lastText != lines.rend() && isPageNumber(*lastText))
            lastText->clear();
        for (const QString &line : lines)
            fullLine = std::max(fullLine, line.size());
        cleaned.append(lines);
    }

    QStringList paragraphs;
    QString current;
    auto endParagraph = [&paragraphs, &current]() {
        if (!current.isEmpty())
            paragraphs.append(current);
        current.clear();
    };
    for (const QStringList &lines : cleaned) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &line = lines.at(i);
            if (line.isEmpty()) {
                endParagraph();
                continue;
            }
            const QString next = i + 1 < lines.size() ? lines.at(i + 1) : QString();
            if (joinsHyphenated(line, next)) {
                current += line.left(line.size() - 1);
                continue;
            }
            current += line;
            if (static_cast<double>(line.size()) < kShortLineShare * static_cast<double>(fullLine))
                endParagraph();
            else if (!line.endsWith(QLatin1Char('-')))
                current += QLatin1Char(' ');
        }
        // A paragraph may go on over the page break; trailing blanks are tidied when it ends.
    }
    endParagraph();
    for (QString &p : paragraphs)
        p = p.trimmed();
    paragraphs.removeAll(QString());
    return paragraphs;
}

ImportedText importPdf(const QString &path)
{
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return ImportedText::failed(importmsg::cannotOpen(path));
    probe.close();
    // poppler reports every flaw of a damaged file on stderr; the user gets one message instead.
    Poppler::setDebugErrorFunction([](const QString &, const QVariant &) {}, QVariant());
    const std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path);
    if (!doc)
        return ImportedText::failed(importmsg::damagedPdf(path));
    if (doc->isLocked())
        return ImportedText::failed(importmsg::locked(path));
    QList<QStringList> pages;
    for (int i = 0; i < doc->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = doc->page(i);
        if (page)
            pages.append(page->text(QRectF()).split(QLatin1Char('\n')));
    }
    const QStringList paragraphs = paragraphsFromPageLines(pages);
    if (paragraphs.isEmpty())
        return ImportedText::failed(importmsg::noPdfText(path));
    return ImportedText::of(paragraphs);
}

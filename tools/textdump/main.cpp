// textdump FILE [LINES_PER_PART]
// Reads FILE through the readers' text source (a text file, web page, EPUB book or PDF document) and prints
// its title and hash, then each part as the paced readers divide it (at most LINES_PER_PART lines, 1000 if
// not given): a "Part k of n (N lines)" heading, and every line numbered within its part, a chapter's first
// line marked "#" and a paragraph's first line marked "¶". With --paragraphs it prints the paragraphs
// instead, one a line, as an import gives them: a "title: " line first where the document has one, and a
// chapter's first paragraph marked "# " (the form of the import samples' expected files).

#include "TextSource.h"

#include <QCoreApplication>
#include <QSet>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    const bool paragraphs = args.removeAll(QStringLiteral("--paragraphs")) > 0;
    bool budgetOk = true;
    const int budget = args.size() > 2 ? args.at(2).toInt(&budgetOk) : 1000;
    if (args.size() < 2 || !budgetOk || budget < 1) {
        err << "usage: textdump FILE [LINES_PER_PART] | textdump --paragraphs FILE\n";
        return 2;
    }
    if (paragraphs) {
        const ImportedText imported = importText(args.at(1));
        if (!imported.ok()) {
            err << imported.error << '\n';
            return 1;
        }
        if (!imported.title.isEmpty())
            out << "title: " << imported.title << '\n';
        for (qsizetype i = 0; i < imported.paragraphs.size(); ++i)
            out << (imported.chapterStarts.contains(int(i)) ? "# " : "") << imported.paragraphs.at(i) << '\n';
        return 0;
    }
    const SourceText source = readSourceText(args.at(1));
    if (!source.ok()) {
        err << source.error << '\n';
        return 1;
    }
    const QList<TextPart> parts = splitIntoParts(
        source.text, [](const QString &) { return 1; }, budget);
    out << "Title: " << source.title << "\nHash: " << source.hash << "\nLines: " << source.text.lines.size()
        << ", chapters: " << source.text.chapterStarts.size() << ", parts: " << parts.size() << '\n';
    const QSet<int> chapters(source.text.chapterStarts.begin(), source.text.chapterStarts.end());
    const QSet<int> paragraphStarts(source.text.paragraphStarts.begin(), source.text.paragraphStarts.end());
    for (qsizetype k = 0; k < parts.size(); ++k) {
        const TextPart &part = parts.at(k);
        out << "\nPart " << k + 1 << " of " << parts.size() << " (" << part.count << " lines)\n";
        for (int i = 0; i < part.count; ++i) {
            const int line = part.first + i;
            const char *mark = chapters.contains(line) ? "#" : paragraphStarts.contains(line) ? "¶" : " ";
            out << QStringLiteral("%1 %2 ").arg(i + 1, 5).arg(QString::fromUtf8(mark))
                << source.text.lines.at(line) << '\n';
        }
    }
    return 0;
}

#pragma once

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

// Writes the import tests' generated documents and the paragraphs each should give into `dir`.
bool writeCorpus(const QDir &dir);
// A zip file (an EPUB's container) holding `members`, in their order.
bool writeZip(const QString &path, const QList<std::pair<QString, QByteArray>> &members);
// Writes PATH.expected: the title (if any), then one paragraph a line, "# " before each chapter's first.
bool writeExpectedFile(const QString &path, const QString &title, const QStringList &paragraphs,
                       const QList<int> &chapters = {});

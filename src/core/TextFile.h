#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Reads a text file as lines. Valid UTF-8 is taken as UTF-8, anything else as Windows-1252.
// A file that cannot be opened, or that is not text (it holds NUL bytes), gives nullopt.
std::optional<QStringList> readTextFileLines(const QString &path);

// Splits text into lines at CR LF, LF or CR; a final line break does not start another line.
QStringList splitTextLines(const QString &text);

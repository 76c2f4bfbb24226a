#pragma once

#include <QString>
#include <QStringList>

// The progress database, beside the settings record.
inline constexpr char kProgressFileName[] = "progress.sqlite";

// The files the program writes by name; they live in the user's folder, apart from the files it ships with.
bool isUserFile(const QString &name);

// An older copy kept settings2.dat (and options.ini) beside its executable. The first start that finds the
// user's folder without a mark copies both there when that folder has no settings2.dat yet, so scores survive
// the move, and then marks the folder: settings the user later restores to their defaults (which deletes the
// files) are not brought back. An existing file is never overwritten and the old ones are never removed; a
// failed copy leaves the folder unmarked, to be tried again. Returns the names copied.
QStringList takeOverOldSettings(const QString &oldDir, const QString &userDir);

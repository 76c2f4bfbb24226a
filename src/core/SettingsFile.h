#pragma once

#include "Settings.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The settings record's file, in the user's folder.
inline constexpr char kSettingsFileName[] = "settings2.dat";

enum class SettingsSaveResult
{
    Saved,
    CannotMake, // the file could neither be written whole nor opened in place nor created
    CannotSave, // writing or finishing the file failed
};

enum class AtomicWriteResult
{
    Written,
    NoTemporaryFile, // the folder allows no temporary file beside the target
    Failed,          // the temporary file was made but the write or the rename failed; the old file is whole
};

// Writes `bytes` whole or not at all through a temporary file in the target's folder.
AtomicWriteResult writeFileAtomically(const QString &path, const QByteArray &bytes);

// How a save reaches the disk. Tests replace the atomic step to reach the in-place fallback where the test
// runs with rights that let it create files anywhere.
struct SettingsFileWriter
{
    std::function<AtomicWriteResult(const QString &, const QByteArray &)> atomic = writeFileAtomically;
};

// A missing, unreadable or short file gives the defaults.
TSettings loadSettingsFile(const QString &path, int screenDpi);

// Writes the record whole through a temporary file. Where the folder allows no temporary file (a read-only
// folder holding a writable settings file), the existing file is updated in place instead, and failing that,
// created.
SettingsSaveResult saveSettingsFile(const QString &path, const TSettings &settings,
                                    const SettingsFileWriter &writer = {});

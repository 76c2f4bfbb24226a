#pragma once

#include "Settings.h"

#include <QString>

enum class SettingsSaveResult
{
    Saved,
    CannotMake, // the file could not be created or opened for writing
    CannotSave, // writing or finishing the file failed; the previous file is left whole
};

// A missing, unreadable or short file gives the defaults.
TSettings loadSettingsFile(const QString &path, int screenDpi);

// Writes the record whole or not at all.
SettingsSaveResult saveSettingsFile(const QString &path, const TSettings &settings);

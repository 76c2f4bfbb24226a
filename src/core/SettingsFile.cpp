#include "SettingsFile.h"

#include <QFile>
#include <QSaveFile>

TSettings loadSettingsFile(const QString &path, int screenDpi)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return defaultSettings(screenDpi);
    return decodeSettings(file.read(kSettingsRecordSize), screenDpi);
}

SettingsSaveResult saveSettingsFile(const QString &path, const TSettings &settings)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return SettingsSaveResult::CannotMake;
    const QByteArray image = encodeSettings(settings);
    if (file.write(image) != image.size()) {
        file.cancelWriting();
        file.commit();
        return SettingsSaveResult::CannotSave;
    }
    return file.commit() ? SettingsSaveResult::Saved : SettingsSaveResult::CannotSave;
}

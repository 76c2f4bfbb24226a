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

AtomicWriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return AtomicWriteResult::NoTemporaryFile;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        file.commit();
        return AtomicWriteResult::Failed;
    }
    return file.commit() ? AtomicWriteResult::Written : AtomicWriteResult::Failed;
}

namespace {

// Updates an existing file from position 0, or creates it; the record has a fixed size, so the old content
// is overwritten exactly.
SettingsSaveResult writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) && !file.open(QIODevice::WriteOnly))
        return SettingsSaveResult::CannotMake;
    const bool written = file.write(bytes) == bytes.size() && file.resize(bytes.size()) && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError ? SettingsSaveResult::Saved
                                                           : SettingsSaveResult::CannotSave;
}

} // namespace

SettingsSaveResult saveSettingsFile(const QString &path, const TSettings &settings, const SettingsFileWriter &writer)
{
    const QByteArray image = encodeSettings(settings);
    switch (writer.atomic(path, image)) {
    case AtomicWriteResult::Written:
        return SettingsSaveResult::Saved;
    case AtomicWriteResult::Failed:
        return SettingsSaveResult::CannotSave;
    case AtomicWriteResult::NoTemporaryFile:
        break;
    }
    return writeInPlace(path, image);
}

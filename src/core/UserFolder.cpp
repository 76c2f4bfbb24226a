#include "UserFolder.h"

#include "CreateText.h"
#include "ReadingOptions.h"
#include "SettingsFile.h"

#include <QDir>
#include <QFile>

namespace {

const QString kSettings = QString::fromLatin1(kSettingsFileName);
const QString kOptions = QString::fromLatin1(kOptionsFileName);
// Present once the user's folder has been offered the older copy's settings.
const QString kTakeOverMark = QStringLiteral(".old-settings-checked");

} // namespace

bool isUserFile(const QString &name)
{
    return name == kSettings || name == kOptions || name == QLatin1String(kTransferFileName) ||
           name == QLatin1String(kProgressFileName);
}

QStringList takeOverOldSettings(const QString &oldDir, const QString &userDir)
{
    const QDir from(oldDir);
    const QDir to(userDir);
    QStringList copied;
    if (to.exists(kTakeOverMark))
        return copied;
    if (from.exists(kSettings) && !to.exists(kSettings)) {
        for (const QString &name : {kSettings, kOptions}) {
            if (!from.exists(name) || to.exists(name))
                continue;
            if (!QFile::copy(from.filePath(name), to.filePath(name)))
                return copied;
            copied << name;
        }
    }
    // A folder that cannot be marked cannot keep settings either; it is offered the old ones again.
    QFile(to.filePath(kTakeOverMark)).open(QIODevice::WriteOnly);
    return copied;
}

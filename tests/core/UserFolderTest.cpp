#include "UserFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void write(const QDir &dir, const char *name, const QByteArray &bytes)
{
    QFile file(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray read(const QDir &dir, const char *name)
{
    QFile file(dir.filePath(QString::fromLatin1(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

// What the user's folder holds after the first start, and after a second start once the user's files were
// deleted (as restoring the default settings does): the old copy's files come over at most once.
TEST(UserFolder, TakesOverTheOldSettingsOnceAndNeverOverwrites)
{
    struct Case
    {
        const char *name;
        bool oldSettings, oldOptions, userSettings;
        QStringList copied;
        QByteArray settingsAfter, optionsAfter;
    };
    const QString settings = QStringLiteral("settings2.dat"), options = QStringLiteral("options.ini");
    const Case cases[] = {
        {"no old file", false, false, false, {}, "(none)", "(none)"},
        {"old files and empty user folder", true, true, false, {settings, options}, "old", "old options"},
        {"old settings without options", true, false, false, {settings}, "old", "(none)"},
        {"old options alone are not taken", false, true, false, {}, "(none)", "(none)"},
        {"user folder already has one", true, true, true, {}, "new", "(none)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir oldTmp, userTmp;
        const QDir oldDir(oldTmp.path()), userDir(userTmp.path());
        if (c.oldSettings)
            write(oldDir, "settings2.dat", "old");
        if (c.oldOptions)
            write(oldDir, "options.ini", "old options");
        if (c.userSettings)
            write(userDir, "settings2.dat", "new");

        EXPECT_EQ(takeOverOldSettings(oldDir.path(), userDir.path()), c.copied);
        EXPECT_EQ(read(userDir, "settings2.dat"), c.settingsAfter);
        EXPECT_EQ(read(userDir, "options.ini"), c.optionsAfter);

        // Second start after the user's files were deleted: nothing comes back, and the old copy keeps its
        // own.
        QFile::remove(userDir.filePath(settings));
        QFile::remove(userDir.filePath(options));
        EXPECT_TRUE(takeOverOldSettings(oldDir.path(), userDir.path()).isEmpty());
        EXPECT_EQ(read(userDir, "settings2.dat"), "(none)");
        EXPECT_EQ(read(userDir, "options.ini"), "(none)");
        EXPECT_EQ(read(oldDir, "settings2.dat"), c.oldSettings ? "old" : "(none)");
    }
}

#include "Cp1252.h"
#include "TextFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(cp1252::encode(cp1252::decode(all)), all);
}

TEST(Cp1252, MapsTheHighControlsToTheirCharacters)
{
    EXPECT_EQ(cp1252::decode(QByteArray("\x80\x93\x94\x85")), QString::fromUtf8("\u20ac\u201c\u201d\u2026"));
    EXPECT_EQ(cp1252::encode(QString::fromUtf8("\u2014 \u4e2d")), QByteArray("\x97 ?"));
}

TEST(TextFile, DecodesUtf8OrWindows1252AndRefusesBinary)
{
    QTemporaryDir dir;
    auto write = [&](const char *name, const QByteArray &bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const auto utf8 = readTextFileLines(write("u.txt", "caf\xc3\xa9\r\nline two\n\nend"));
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(*utf8, (QStringList{QString::fromUtf8("caf\u00e9"), QStringLiteral("line two"), QString(),
                                  QStringLiteral("end")}));

    const auto ansi = readTextFileLines(write("a.txt", "caf\xe9 \x93quoted\x94\n"));
    ASSERT_TRUE(ansi.has_value());
    EXPECT_EQ(ansi->value(0), QString::fromUtf8("caf\u00e9 \u201cquoted\u201d"));

    EXPECT_FALSE(readTextFileLines(write("b.bin", QByteArray("MZ\0\0\x90", 5))).has_value());
    EXPECT_FALSE(readTextFileLines(dir.filePath(QStringLiteral("none.txt"))).has_value());
}

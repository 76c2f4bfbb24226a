#include "TextFile.h"
#include "Cp1252.h"
#include "TestText.h"
#include "TextChars.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// Writes `count` copies of `piece` without holding the whole file in memory.
QString writeRepeated(const QTemporaryDir &dir, const char *name, const QByteArray &piece, qint64 count,
                      const QByteArray &tail = QByteArray())
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    const qint64 perChunk = std::max<qint64>(1, (1 << 20) / piece.size());
    const QByteArray chunk = piece.repeated(perChunk);
    qint64 left = count;
    for (; left >= perChunk; left -= perChunk)
        f.write(chunk);
    f.write(piece.repeated(left));
    f.write(tail);
    return path;
}

} // namespace

TEST(TextFileRead, KeepsWhatTheWindowsUseOfAnyFile)
{
    using Case = std::tuple<const char *, QByteArray, qint64, QByteArray, qsizetype, QString, QString>;
    const Case cases[] = {
        {"5000 lines give the first 1000", "line\n", 5000, "", 1000, "line", "line"},
        {"a 50 MB line is cut to its cap, the next one is kept", "x", 50 << 20, "\r\nnext", 2,
         QString(1024, QLatin1Char('x')), "next"},
        {"CR, LF and CR LF all end lines", "a\rb\nc\r\n", 2, "", 6, "a", "c"},
        {"UTF-8 is cut between characters, so it stays UTF-8", "\xe2\x82\xac", 2000, "\n", 1,
         QString(341, QChar(0x20ac)), QString(341, QChar(0x20ac))},
        {"Windows-1252 bytes decode as such after a cut", "\x93", 2000, "\n", 1, QString(1024, QChar(0x201c)),
         QString(1024, QChar(0x201c))},
        {"a tab reads as a space", "\ta\tb\n", 1, "", 1, " a b", " a b"},
    };
    for (const auto &[what, piece, count, tail, size, first, last] : cases) {
        QTemporaryDir dir;
        const auto lines = readTextFileLines(writeRepeated(dir, "t.txt", piece, count, tail));
        ASSERT_TRUE(lines.has_value()) << what;
        EXPECT_EQ(lines->size(), size) << what;
        EXPECT_EQ(lines->value(0), first) << what;
        EXPECT_EQ(lines->value(size - 1), last) << what;
    }
}

TEST(TextFileRead, RefusesBinaryAndMissingFilesAndReadsAHugeFileWithBoundedMemory)
{
    QTemporaryDir dir;
    EXPECT_FALSE(readTextFileLines(writeRepeated(dir, "b.bin", QByteArray("MZ\0\0\x90", 5), 1)).has_value());
    EXPECT_FALSE(readTextFileLines(dir.filePath(QStringLiteral("none.txt"))).has_value());

    const QString oneLine = writeRepeated(dir, "one.txt", "word ", 10 << 20); // 50 MB, no line end
    const QString manyLines = writeRepeated(dir, "many.txt", QByteArray(10000, 'w') + "\n", 5000);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto a = readTextFileLines(oneLine);
    const auto b = readTextFileLines(manyLines, kWrappedTextLimits);
    getrusage(RUSAGE_SELF, &after);
    ASSERT_TRUE(a.has_value() && b.has_value());
    EXPECT_EQ(a->size(), 1);
    // Bounded by the total cap; the file is 50 MB.
    EXPECT_EQ(b->size(), 105);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024) << "KiB of peak memory grown while reading";
}

TEST(TextChars, APairCountsAsOneAndIsNeverCutAndWindows1252RoundTrips)
{
    const QString smile = QString::fromUcs4(U"\U0001F600");
    const QString mixed = QStringLiteral("ab") + smile + QStringLiteral("cd") + smile;
    EXPECT_EQ(charCount(mixed), 6);
    EXPECT_EQ(leftChars(smile.repeated(45), 80), smile.repeated(45));
    EXPECT_EQ(leftChars(mixed, 3), QStringLiteral("ab") + smile);
    EXPECT_EQ(midChars(mixed, 2, 2), smile + QStringLiteral("c"));
    EXPECT_EQ(midChars(mixed, 3), QStringLiteral("cd") + smile);
    EXPECT_EQ(charOffsets(mixed), (std::vector<qsizetype>{0, 1, 2, 4, 5, 6, 8}));

    // Every Windows-1252 byte round-trips; the high controls are characters.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(cp1252::encode(cp1252::decode(all)), all);
    EXPECT_EQ(cp1252::decode(QByteArray("\x80\x93\x94\x85")), u"\u20ac\u201c\u201d\u2026"_s);
    EXPECT_EQ(cp1252::encode(u"\u2014 \u4e2d"_s), QByteArray("\x97 ?"));
}

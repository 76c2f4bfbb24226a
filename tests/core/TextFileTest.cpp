#include "TextFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST(TextFileRead, KeepsWhatTheWindowsUseOfAnyFile)
{
    struct Case
    {
        const char *what;
        QByteArray piece;
        qint64 count;
        QByteArray tail;
        TextReadLimits limits;
        qsizetype lines;
        QString first;
        QString last;
    };
    const QString e1000(1000, QLatin1Char('e'));
    const Case cases[] = {
        {"5000 lines give the first 1000", "line\n", 5000, "", kReaderTextLimits, 1000, "line", "line"},
        {"a 50 MB line is cut to the line cap, the line after it is kept", "x", 50 << 20, "\r\nnext",
         kReaderTextLimits, 2, QString(1024, QLatin1Char('x')), "next"},
        {"CR, LF and CR LF all end lines", "a\rb\nc\r\n", 2, "", kReaderTextLimits, 6, "a", "c"},
        {"UTF-8 is cut between characters, so it stays UTF-8", "\xe2\x82\xac", 2000, "\n", kReaderTextLimits,
         1, QString(341, QChar(0x20ac)), QString(341, QChar(0x20ac))},
        {"Windows-1252 bytes decode as such after a cut", "\xe9", 2000, "\n", kReaderTextLimits, 1,
         QString(1024, QChar(0xe9)), QString(1024, QChar(0xe9))},
        {"UTF-8 is decoded", "caf\xc3\xa9\r\nend", 1, "", kReaderTextLimits, 2, u"caf\u00e9"_s, "end"},
        {"other bytes are Windows-1252", "caf\xe9 \x93q\x94", 1, "", kReaderTextLimits, 1,
         u"caf\u00e9 \u201cq\u201d"_s, u"caf\u00e9 \u201cq\u201d"_s},
        {"a tab reads as a space", "\ta\tb\n", 1, "", kReaderTextLimits, 1, " a b", " a b"},
        {"the total cap stops the reading", QByteArray(1000, 'e') + "\n", 5000, "",
         TextReadLimits{100000, 4096, 10000}, 10, e1000, e1000},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QString path = writeRepeated(dir, "t.txt", c.piece, c.count, c.tail);
        const auto lines = readTextFileLines(path, c.limits);
        ASSERT_TRUE(lines.has_value()) << c.what;
        EXPECT_EQ(lines->size(), c.lines) << c.what;
        if (lines->isEmpty())
            continue;
        EXPECT_EQ(lines->front(), c.first) << c.what;
        EXPECT_EQ(lines->back(), c.last) << c.what;
    }
}

TEST(TextFileRead, RefusesBinaryAndMissingFiles)
{
    QTemporaryDir dir;
    EXPECT_FALSE(readTextFileLines(writeRepeated(dir, "b.bin", QByteArray("MZ\0\0\x90", 5), 1)).has_value());
    EXPECT_FALSE(readTextFileLines(dir.filePath(QStringLiteral("none.txt"))).has_value());
}

TEST(TextFileRead, AHugeFileIsReadWithBoundedMemory)
{
    QTemporaryDir dir;
    const QString oneLine = writeRepeated(dir, "one.txt", "word ", 10 << 20); // 50 MB, no line end
    const QString manyLines = writeRepeated(dir, "many.txt", QByteArray(10000, 'w') + "\n", 5000);
    const long before = peakResidentKiB();
    const auto a = readTextFileLines(oneLine);
    const auto b = readTextFileLines(manyLines, kWrappedTextLimits);
    const long grown = peakResidentKiB() - before;
    ASSERT_TRUE(a.has_value() && b.has_value());
    EXPECT_EQ(a->size(), 1);
    // Bounded by the total cap; the file is 50 MB.
    EXPECT_EQ(b->size(), 105);
    EXPECT_LT(grown, 16 * 1024) << "KiB of peak memory grown while reading";
}

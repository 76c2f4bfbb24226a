#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

// What the fuzz harnesses share. A harness defines LLVMFuzzerTestOneInput (and LLVMFuzzerInitialize when it
// needs an application object); libFuzzer drives it, or FuzzRunner.cpp feeds it every saved input.

// A broken invariant is a finding: abort so that libFuzzer keeps the input and ctest fails.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            std::abort();                                                                                    \
    } while (false)

inline QByteArray fuzzBytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// The readers take a path: the input goes to a file of this process (two fuzzers may run side by side).
inline QString fuzzFile(const QByteArray &bytes, const char *suffix)
{
    const QString path =
        QDir::tempPath() +
        QStringLiteral("/bwfuzz-%1%2").arg(QCoreApplication::applicationPid()).arg(QLatin1String(suffix));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
    return path;
}

// What every import gives: paragraphs of text tidied to single blanks, with no soft hyphen left, or a message
// and nothing.
inline void checkParagraphs(const QStringList &paragraphs)
{
    for (const QString &p : paragraphs)
        FUZZ_CHECK(!p.isEmpty() && p == p.simplified() && !p.contains(QChar(0x00AD)));
}

// Chapter marks point at paragraphs, in order, each once.
template <typename Text> void checkChapters(const Text &text)
{
    for (qsizetype i = 0; i < text.chapterStarts.size(); ++i) {
        FUZZ_CHECK(text.chapterStarts.at(i) >= 0 && text.chapterStarts.at(i) < text.paragraphs.size());
        FUZZ_CHECK(i == 0 || text.chapterStarts.at(i - 1) < text.chapterStarts.at(i));
    }
    FUZZ_CHECK(text.title == text.title.simplified());
}

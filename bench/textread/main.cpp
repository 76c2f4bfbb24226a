#include "TextFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &piece, int count)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        for (int i = 0; i < count; ++i)
            f.write(piece);
    }
    return path;
}

void readFile(benchmark::State &state, const QString &path, const TextReadLimits &limits)
{
    for (auto _ : state) {
        const auto lines = readTextFileLines(path, limits);
        benchmark::DoNotOptimize(lines);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString oneLine = writeFile(dir, "one.txt", QByteArray(1 << 20, 'w'), 50);
    const QString manyLines = writeFile(dir, "many.txt", QByteArray(79, 'w') + "\n", 5000);
    benchmark::RegisterBenchmark("OneLine50MB/reader", readFile, oneLine, kReaderTextLimits)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OneLine50MB/tachistoscope", readFile, oneLine, kWrappedTextLimits)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Lines5000/reader", readFile, manyLines, kReaderTextLimits)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// importbench [benchmark flags]
// Opens each case with importText and prints the time per opening, the peak memory it took above what the
// process held before (peak_MB, from the kernel's high-water mark, reset before every case, after the memory
// freed so far is handed back) and what came
// of it (paragraphs, or the start of the refusal). The large inputs are written to a temporary folder first.

#include "MiniPdf.h"
#include "TextImport.h"

#include <quazip.h>
#include <quazipfile.h>

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <thread>

namespace {

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return path;
}

// Members are written by functions so that a large one is made, packed and freed in turn.
using Member = std::pair<QString, std::function<QByteArray()>>;

QString writeEpub(const QString &path, const QList<Member> &members)
{
    QuaZip zip(path);
    zip.open(QuaZip::mdCreate);
    for (const auto &[name, make] : members) {
        QuaZipFile file(&zip);
        const QByteArray bytes = make();
        if (file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)))
            file.write(bytes);
        file.close();
    }
    zip.close();
    return path;
}

QByteArray chapter(qsizetype bytes)
{
    const QByteArray paragraph =
        "<p>The keeper walked the towpath every morning with a long pole, sounding the "
        "edges of the ice where the water still moved underneath.</p>\n";
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><html xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
           "<title>Chapter</title></head><body>" +
           paragraph.repeated(bytes / paragraph.size()) + "</body></html>";
}

// A book whose spine lists `spine` (ids of chapters c0, c1, ...), each chapter made by `make`.
QString writeBook(const QString &path, int chapters, const QStringList &spine,
                  const std::function<QByteArray()> &make, int extraMembers = 0)
{
    QByteArray manifest, itemrefs;
    for (int i = 0; i < chapters; ++i)
        manifest += "<item id=\"c" + QByteArray::number(i) + "\" href=\"c" + QByteArray::number(i) +
                    ".xhtml\" media-type=\"application/xhtml+xml\"/>";
    for (const QString &id : spine)
        itemrefs += "<itemref idref=\"" + id.toUtf8() + "\"/>";
    QList<Member> members = {
        {"mimetype", []() -> QByteArray { return "application/epub+zip"; }},
        {"META-INF/container.xml",
         [] {
             return QByteArray("<?xml version=\"1.0\"?><container version=\"1.0\" "
                               "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles>"
                               "<rootfile full-path=\"content.opf\"/></rootfiles></container>");
         }},
        {"content.opf",
         [=]() -> QByteArray {
             return "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
                    "<metadata/><manifest>" +
                    manifest + "</manifest><spine>" + itemrefs + "</spine></package>";
         }},
    };
    for (int i = 0; i < chapters; ++i)
        members.append({QStringLiteral("c%1.xhtml").arg(i), make});
    for (int i = 0; i < extraMembers; ++i)
        members.append({QStringLiteral("images/i%1.png").arg(i), [] { return QByteArray(64, 'x'); }});
    return writeEpub(path, members);
}

QString writePages(const QString &path, int count)
{
    QList<minipdf::Page> pages;
    for (int p = 0; p < count; ++p) {
        minipdf::Page page{{250, 40, 9, "A LONG BOOK"}, {300, 760, 9, QByteArray::number(p + 1)}};
        // Lines of different words, so that none recurs at the same height as a running head would.
        static const QList<QByteArray> words =
            QByteArray("the keeper walked along the towpath every morning of "
                       "winter sounding ice with a long pole and rope")
                .split(' ');
        for (int l = 0; l < 40; ++l) {
            QByteArray line;
            for (int w = 0; w < 13; ++w)
                line += words.at((p * 7 + l * 3 + w * 5) % words.size()) + ' ';
            page.append({l % 8 == 0 ? 90.0 : 72.0, 80 + 16.0 * l, 11, line.trimmed()});
        }
        pages.append(page);
    }
    return writeFile(path, minipdf::document(pages));
}

qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

void open(benchmark::State &state, const QString &path)
{
    malloc_trim(0); // what earlier cases freed goes back to the system, so that reuse of it shows
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5"); // resets the high-water mark to what is resident now
    clear.close();
    const qint64 before = statusKb("VmRSS:");
    ImportedText text;
    for (auto _ : state) {
        text = importText(path);
        benchmark::DoNotOptimize(text);
    }
    state.counters["peak_MB"] = double(statusKb("VmHWM:") - before) / 1024.0;
    state.SetLabel(text.ok() ? std::to_string(text.paragraphs.size()) + " paragraphs"
                             : text.error.section(QLatin1Char('"'), 2).left(60).toStdString());
}

// Cancels the opening 100 ms in, from another thread, as the interface's Cancel does: cancel_ms is the time
// from the request to the import's return (negative when it had finished first).
void cancel(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::atomic<qint64> askedAt{0};
        QElapsedTimer clock;
        clock.start();
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            askedAt = clock.nsecsElapsed();
            stop = true;
        });
        const ImportedText text = importText(path, {{}, [&stop] { return stop.load(); }});
        const qint64 done = clock.nsecsElapsed();
        canceller.join();
        state.counters["cancel_ms"] = double(done - askedAt) / 1e6;
        state.SetLabel(text.wasCancelled() ? "cancelled" : "finished first");
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the HTML parser of old needed one
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    auto at = [&dir](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    const QString samples = QStringLiteral(BW_IMPORT_SAMPLES "/");
    const QByteArray para = "<p>The keeper walked the towpath every morning.</p>\n";

    struct Case
    {
        const char *name;
        std::function<QString()> make;
        int iterations;         // 0: as many as the library wants
        bool cancelled = false; // also timed being cancelled
    };
    const Case cases[] = {
        {"pdf/book_7_pages_heads_numbers_hyphens", [&] { return samples + "book.pdf"; }, 0},
        {"pdf/two_columns", [&] { return samples + "columns.pdf"; }, 0},
        {"pdf/one_wide_line", [&] { return samples + "wide-line.pdf"; }, 0},
        {"pdf/2000_pages", [&] { return writePages(at("long.pdf"), 2000); }, 1, true},
        {"html/nested_div_10000",
         [&] { return writeFile(at("d1.html"), "<div>" + QByteArray("<div>").repeated(10000) + "deep"); }, 1},
        {"html/nested_div_30000",
         [&] { return writeFile(at("d3.html"), QByteArray("<div>").repeated(30000) + "deep"); }, 1},
        {"html/nested_div_100000",
         [&] { return writeFile(at("d10.html"), QByteArray("<div>").repeated(100000) + "deep"); }, 1, true},
        {"html/nested_ul_li_20000",
         [&] { return writeFile(at("l2.html"), QByteArray("<ul><li>").repeated(20000) + "deep"); }, 1},
        {"html/page_50MB",
         [&] { return writeFile(at("big.html"), para.repeated(50 * 1024 * 1024 / para.size())); }, 1, true},
        {"epub/five_60MB_chapters",
         [&] {
             return writeBook(at("five.epub"), 5, {"c0", "c1", "c2", "c3", "c4"},
                              [] { return chapter(60 * 1024 * 1024); });
         },
         1},
        {"epub/one_60MB_chapter",
         [&] { return writeBook(at("one.epub"), 1, {"c0"}, [] { return chapter(60 * 1024 * 1024); }); }, 1,
         true},
        {"epub/spine_one_chapter_10000_times",
         [&] {
             return writeBook(at("spine.epub"), 1, QStringList(10000, "c0"), [] { return chapter(4096); });
         },
         1},
        {"epub/10000_members",
         [&] {
             return writeBook(
                 at("members.epub"), 1, {"c0"}, [] { return chapter(4096); }, 10000);
         },
         1},
        {"epub/zip_bomb_1GB_member",
         [&] { return writeBook(at("bomb.epub"), 1, {"c0"}, [] { return QByteArray(1 << 30, ' '); }); }, 1},
    };
    const QString filter = QString::fromStdString(benchmark::GetBenchmarkFilter());
    for (const Case &c : cases) {
        // Only the cases asked for are written: the large ones take seconds and gigabytes of disk.
        if (!filter.isEmpty() && filter != QLatin1String("all") &&
            !QString::fromLatin1(c.name).contains(QRegularExpression(filter)))
            continue;
        std::fprintf(stderr, "writing %s\n", c.name);
        const QString path = c.make();
        auto *b = benchmark::RegisterBenchmark(c.name, open, path)->Unit(benchmark::kMillisecond);
        if (c.iterations > 0)
            b->Iterations(c.iterations);
        if (c.cancelled)
            benchmark::RegisterBenchmark((std::string("cancel/") + c.name).c_str(), cancel, path)
                ->Iterations(1);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "TextFile.h"

#include "Cp1252.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {

// Bytes that begin a character: a cut there leaves whole UTF-8 sequences (and any single-byte text whole).
bool startsCharacter(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

// Cuts a line to at most `max` bytes without splitting a UTF-8 sequence. A sequence is at most four bytes
// long: with no byte that begins one within reach, the line is not UTF-8 there (Windows-1252 text has
// letters and quotes in 0x80..0xBF) and is cut at `max`.
void cutLine(QByteArray &line, qsizetype max)
{
    if (line.size() <= max)
        return;
    qsizetype end = max;
    while (end > 0 && end > max - 3 && !startsCharacter(line.at(end)))
        --end;
    line.truncate(startsCharacter(line.at(end)) ? end : max);
}

// Collects lines from blocks of a file, keeping only what the limits allow; asked to, it counts the lines
// and words of every byte it is given, kept or not.
class LineCollector
{
public:
    LineCollector(const TextReadLimits &limits, bool countAll) : m_limits(limits), m_countAll(countAll) {}

    // Takes the next block; false once nothing more is wanted.
    bool add(const char *data, qsizetype size)
    {
        for (qsizetype i = 0; i < size; ++i) {
            const char c = data[i];
            if (m_countAll)
                count(c);
            if (m_full)
                continue;
            if (m_afterCr) {
                m_afterCr = false;
                if (c == '\n')
                    continue;
            }
            if (c == '\r' || c == '\n') {
                m_afterCr = c == '\r';
                m_full = !endLine();
                continue;
            }
            // The rest of a long line is skipped; only its line end matters.
            if (m_current.size() <= lineCap())
                m_current.append(c);
        }
        return m_countAll || !m_full;
    }

    QList<QByteArray> finish()
    {
        if (!m_full && !m_current.isEmpty())
            endLine();
        return std::move(m_lines);
    }

    bool collecting() const { return !m_full; }
    // Lines and words of all that was given (a final line break does not start another line).
    TextLeftOut counted() const { return {m_lineEnds + (m_inLine ? 1 : 0), m_words}; }

private:
    // A line may take what the total leaves, so the total is never passed.
    qsizetype lineCap() const { return std::min(m_limits.maxLineBytes, m_limits.maxTotalBytes - m_total); }

    bool endLine()
    {
        // One byte past the cap is kept so that the cut can look at the byte that follows it.
        cutLine(m_current, lineCap());
        m_total += m_current.size();
        m_lines.append(std::move(m_current));
        m_current = QByteArray();
        return m_lines.size() < m_limits.maxLines && m_total < m_limits.maxTotalBytes;
    }

    void count(char c)
    {
        const bool lineEnd = c == '\r' || c == '\n';
        const bool crLf = m_countAfterCr && c == '\n';
        m_countAfterCr = c == '\r';
        m_lineEnds += lineEnd && !crLf ? 1 : 0;
        m_inLine = !lineEnd;
        const bool blank = lineEnd || c == ' ' || c == '\t';
        m_words += m_blank && !blank ? 1 : 0;
        m_blank = blank;
    }

    const TextReadLimits &m_limits;
    const bool m_countAll;
    QList<QByteArray> m_lines;
    QByteArray m_current;
    qsizetype m_total = 0;
    bool m_afterCr = false;
    bool m_full = false;
    qint64 m_lineEnds = 0;
    qint64 m_words = 0;
    bool m_inLine = false;
    bool m_blank = true;
    bool m_countAfterCr = false;
};

} // namespace

std::optional<QStringList> readTextFileLines(const QString &path, const TextReadLimits &limits,
                                             TextLeftOut *leftOut)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    LineCollector collector(limits, leftOut != nullptr);
    bool collecting = true;
    QByteArray block(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        // Past what is kept, a file is only counted.
        if (collecting && std::memchr(block.constData(), '\0', static_cast<std::size_t>(got)) != nullptr)
            return std::nullopt;
        if (!collector.add(block.constData(), got))
            break;
        collecting = collector.collecting();
    }
    const QList<QByteArray> raw = collector.finish();

    // One decoding for the whole kept text, so that a file is UTF-8 or Windows-1252 throughout. Each line is
    // decoded on its own: the decoder must keep a U+FEFF that starts one, or every line would lose it; only
    // the file's own leading mark is dropped, below.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    bool isUtf8 = true;
    QStringList lines;
    lines.reserve(raw.size());
    for (const QByteArray &line : raw) {
        lines.append(utf8.decode(line));
        if (utf8.hasError()) {
            isUtf8 = false;
            break;
        }
    }
    if (!isUtf8) {
        lines.clear();
        for (const QByteArray &line : raw)
            lines.append(cp1252::decode(line));
    }
    // Counted as a word where a blank follows it; it is not one.
    bool markWord = false;
    if (!lines.isEmpty() && lines.front().startsWith(QChar(0xFEFF))) {
        lines.front().remove(0, 1);
        markWord = lines.front().isEmpty() || lines.front().front() == u' ' || lines.front().front() == u'\t';
    }
    // Every reader measures and paints a line as it is stored; a tab is a space for all of them.
    for (QString &line : lines)
        line.replace(u'\t', u' ');
    if (leftOut != nullptr) {
        const TextLeftOut all = collector.counted();
        *leftOut = {all.lines - lines.size(), all.words - (markWord ? 1 : 0) - wordCount(lines.join(u'\n'))};
    }
    return lines;
}

QStringList splitTextLines(const QString &text)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

#include "TextFile.h"

#include "Cp1252.h"

#include <QFile>
#include <QStringDecoder>

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

// Collects lines from blocks of a file, keeping only what the limits allow.
class LineCollector
{
public:
    explicit LineCollector(const TextReadLimits &limits) : m_limits(limits) {}

    // Takes the next block; false once no further line can be kept.
    bool add(const char *data, qsizetype size)
    {
        for (qsizetype i = 0; i < size; ++i) {
            const char c = data[i];
            if (m_afterCr) {
                m_afterCr = false;
                if (c == '\n')
                    continue;
            }
            if (c == '\r' || c == '\n') {
                m_afterCr = c == '\r';
                if (!endLine())
                    return false;
                continue;
            }
            // The rest of a long line is skipped; only its line end matters.
            if (m_current.size() <= m_limits.maxLineBytes)
                m_current.append(c);
        }
        return true;
    }

    QList<QByteArray> finish()
    {
        if (!m_current.isEmpty())
            endLine();
        return std::move(m_lines);
    }

private:
    bool endLine()
    {
        // One byte past the cap is kept so that the cut can look at the byte that follows it.
        cutLine(m_current, m_limits.maxLineBytes);
        m_total += m_current.size();
        m_lines.append(std::move(m_current));
        m_current = QByteArray();
        return m_lines.size() < m_limits.maxLines && m_total < m_limits.maxTotalBytes;
    }

    const TextReadLimits &m_limits;
    QList<QByteArray> m_lines;
    QByteArray m_current;
    qsizetype m_total = 0;
    bool m_afterCr = false;
};

} // namespace

std::optional<QStringList> readTextFileLines(const QString &path, const TextReadLimits &limits)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    LineCollector collector(limits);
    QByteArray block(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        if (std::memchr(block.constData(), '\0', static_cast<std::size_t>(got)) != nullptr)
            return std::nullopt;
        if (!collector.add(block.constData(), got))
            break;
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
    if (!lines.isEmpty() && lines.front().startsWith(QChar(0xFEFF)))
        lines.front().remove(0, 1);
    // Every reader measures and paints a line as it is stored; a tab is a space for all of them.
    for (QString &line : lines)
        line.replace(u'\t', u' ');
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

#include "TextChars.h"

#include <algorithm>

namespace {

bool startsPair(QStringView s, qsizetype i)
{
    return i + 1 < s.size() && s.at(i).isHighSurrogate() && s.at(i + 1).isLowSurrogate();
}

} // namespace

qsizetype advanceChars(QStringView s, qsizetype offset, int count)
{
    for (int c = 0; c < count && offset < s.size(); ++c)
        offset += startsPair(s, offset) ? 2 : 1;
    return std::min(offset, s.size());
}

int charCount(QStringView s)
{
    int n = 0;
    for (qsizetype i = 0; i < s.size(); ++n)
        i += startsPair(s, i) ? 2 : 1;
    return n;
}

QString leftChars(const QString &s, int n)
{
    return s.left(advanceChars(s, 0, n));
}

QString midChars(const QString &s, int from, int count)
{
    const qsizetype start = advanceChars(s, 0, from);
    if (count < 0)
        return s.mid(start);
    return s.mid(start, advanceChars(s, start, count) - start);
}

std::vector<qsizetype> charOffsets(QStringView s)
{
    std::vector<qsizetype> out;
    out.reserve(static_cast<std::size_t>(s.size()) + 1);
    for (qsizetype i = 0; i < s.size();) {
        out.push_back(i);
        i += startsPair(s, i) ? 2 : 1;
    }
    out.push_back(s.size());
    return out;
}

qint64 wordCount(QStringView s)
{
    qint64 words = 0;
    bool blank = true;
    for (const QChar c : s) {
        const bool b = c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
        words += blank && !b ? 1 : 0;
        blank = b;
    }
    return words;
}

QString countOf(qint64 n, const char *noun)
{
    return QString::number(n) + u' ' + QString::fromLatin1(noun) + (n == 1 ? QString() : QStringLiteral("s"));
}

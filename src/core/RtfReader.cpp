#include "RtfReader.h"

#include "Cp1252.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>
#include <vector>

namespace {

enum class Destination
{
    Text,
    FontTable,
    ColorTable,
    ListText, // the number or bullet an older writer puts before a list item, with a tab after it
    Skip
};

// Everything a group opens with and a closing brace gives back.
struct GroupState
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false;
    int halfPoints = 24;
    int font = -1; // -1: the document's default font
    int color = 0; // index into the colour table; 0 is the automatic colour
    int unicodeSkip = 1;
    RtfAlignment alignment = RtfAlignment::Left;
    Destination destination = Destination::Text;
};

// Deeper groups are counted but share their parent's state, so a flood of braces costs no memory.
constexpr std::size_t kMaxDepth = 256;
constexpr int kMaxWordLength = 32;
constexpr int kMaxFontNameLength = 128;
constexpr int kMaxListTextLength = 16;
// Every run is a format of its own to fill into a document and look up while laying it out; lessons come
// nowhere near this many in a paragraph.
constexpr int kMaxRunsPerParagraph = 256;

// Destinations whose content is never text we show.
bool isSkippedDestination(QByteArrayView word)
{
    static constexpr auto kWords = std::to_array<std::string_view>({"stylesheet",   "info",
                                                                    "pict",         "object",
                                                                    "header",       "headerl",
                                                                    "headerr",      "headerf",
                                                                    "footer",       "footerl",
                                                                    "footerr",      "footerf",
                                                                    "footnote",     "annotation",
                                                                    "listtable",    "listoverridetable",
                                                                    "revtbl",       "rsidtbl",
                                                                    "generator",    "xmlnstbl",
                                                                    "themedata",    "colorschememapping",
                                                                    "latentstyles", "datastore",
                                                                    "fldinst",      "filetbl",
                                                                    "pgdsctbl",     "atnid",
                                                                    "atnauthor",    "comment",
                                                                    "author",       "operator",
                                                                    "title",        "nonshppict"});
    return std::any_of(kWords.begin(), kWords.end(), [&](std::string_view w) {
        return word == QByteArrayView(w.data(), qsizetype(w.size()));
    });
}

QChar specialCharacter(QByteArrayView word)
{
    struct Entry
    {
        const char *word;
        char16_t ch;
    };
    static constexpr std::array<Entry, 9> kEntries = {{{"emdash", 0x2014},
                                                       {"endash", 0x2013},
                                                       {"lquote", 0x2018},
                                                       {"rquote", 0x2019},
                                                       {"ldblquote", 0x201C},
                                                       {"rdblquote", 0x201D},
                                                       {"bullet", 0x2022},
                                                       {"emspace", 0x2003},
                                                       {"enspace", 0x2002}}};
    for (const Entry &e : kEntries) {
        if (word == QByteArrayView(e.word))
            return QChar(e.ch);
    }
    return QChar();
}

bool isUnderlineWord(QByteArrayView word)
{
    return word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash" ||
           word == "ulwave" || word == "ulth";
}

// A surrogate without its partner cannot be shown; it becomes the replacement character.
void repairSurrogates(QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
}

class Parser
{
public:
    explicit Parser(QByteArrayView input) : m_in(input)
    {
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = static_cast<char>(b);
        const QString decoded = cp1252::decode(all);
        for (int b = 0; b < 256; ++b)
            m_cp1252[static_cast<std::size_t>(b)] = decoded.at(b);
    }

    RtfDocument run()
    {
        qsizetype lead = 0;
        while (lead < m_in.size() && (m_in[lead] == ' ' || m_in[lead] == '\r' || m_in[lead] == '\n'))
            ++lead;
        m_doc.hasHeader = m_in.sliced(lead).startsWith("{\\rtf");
        while (m_pos < m_in.size() && !m_finished) {
            const char c = m_in[m_pos++];
            if (c == '{')
                openGroup();
            else if (c == '}')
                closeGroup();
            else if (c == '\\')
                controlSequence();
            else
                byte(static_cast<unsigned char>(c));
        }
        if (!m_doc.hasHeader)
            m_doc.complete = m_stack.empty() && m_overflow == 0;
        if (!m_para.runs.isEmpty())
            endParagraph();
        for (RtfParagraph &p : m_doc.paragraphs) {
            for (RtfRun &r : p.runs)
                repairSurrogates(r.text);
        }
        return std::move(m_doc);
    }

private:
    void openGroup()
    {
        m_fallback = 0;
        if (m_stack.size() < kMaxDepth)
            m_stack.push_back(m_state);
        else
            ++m_overflow;
    }

    void closeGroup()
    {
        m_fallback = 0;
        if (m_state.destination == Destination::FontTable)
            commitFont();
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (m_stack.empty())
            return; // a stray closing brace: nothing to close
        if (m_stack.size() == 1 && !m_para.runs.isEmpty())
            endParagraph(); // a last paragraph without \par keeps the alignment it was written with
        const bool listText = m_state.destination == Destination::ListText;
        m_state = m_stack.back();
        m_stack.pop_back();
        m_formatValid = false;
        if (listText && m_state.destination != Destination::ListText)
            listMarker();
        if (m_stack.empty() && m_doc.hasHeader) {
            m_doc.complete = true;
            m_finished = true; // whatever follows the document's own group is not part of it
        }
    }

    void byte(unsigned char b)
    {
        if (b == '\r' || b == '\n')
            return;
        if (b == '\t') {
            character(QChar(u'\t'));
            return;
        }
        if (b < 0x20)
            return;
        character(m_cp1252[b]);
    }

    void controlSequence()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (!isLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && isLetter(m_in[m_pos]))
            ++m_pos;
        const QByteArrayView word = m_in.sliced(start, std::min<qsizetype>(m_pos - start, kMaxWordLength));
        bool hasParam = false;
        qint64 param = 0;
        bool negative = false;
        if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' && isDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_in.size() && isDigit(m_in[m_pos])) {
            hasParam = true;
            if (param < 10'000'000'000LL)
                param = param * 10 + (m_in[m_pos] - '0');
            ++m_pos;
        }
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        const qint64 clamped = std::clamp<qint64>(negative ? -param : param, -2'000'000'000, 2'000'000'000);
        controlWord(word, hasParam, static_cast<int>(clamped));
    }

    void controlSymbol(char c)
    {
        if (c == '\'') {
            if (m_pos + 1 < m_in.size() && isHex(m_in[m_pos]) && isHex(m_in[m_pos + 1])) {
                const int value = hexValue(m_in[m_pos]) * 16 + hexValue(m_in[m_pos + 1]);
                m_pos += 2;
                if (value >= 0x20 || value == '\t')
                    character(m_cp1252[static_cast<std::size_t>(value)]);
                else
                    consumeFallback();
            }
            return;
        }
        if (c == '\\' || c == '{' || c == '}') {
            character(QChar::fromLatin1(c));
            return;
        }
        if (consumeFallback())
            return;
        switch (c) {
        case '*':
            m_state.destination = Destination::Skip;
            break;
        case '~':
            character(QChar(0x00A0));
            break;
        case '_':
            character(QChar(0x2011));
            break;
        case '\r':
        case '\n':
            if (m_state.destination == Destination::Text)
                endParagraph();
            break;
        default:
            break; // optional hyphens, index marks and the rest show nothing
        }
    }

    void controlWord(QByteArrayView word, bool hasParam, int param)
    {
        m_formatValid = false;
        if (word == "bin") {
            // Binary data is skipped whole, wherever it stands.
            m_pos += std::min<qsizetype>(hasParam ? std::max(param, 0) : 0, m_in.size() - m_pos);
            return;
        }
        if (consumeFallback())
            return;
        switch (m_state.destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (word == "f" && hasParam) {
                commitFont();
                m_fontNumber = param;
            }
            return;
        case Destination::ColorTable:
            if (word == "red" || word == "green" || word == "blue") {
                const int value = std::clamp(hasParam ? param : 0, 0, 255);
                (word == "red"     ? m_pendingColor.red
                 : word == "green" ? m_pendingColor.green
                                   : m_pendingColor.blue) = value;
                m_pendingHasColor = true;
            }
            return;
        case Destination::ListText:
        case Destination::Text:
            break;
        }
        textControlWord(word, hasParam, param);
    }

    void textControlWord(QByteArrayView word, bool hasParam, int param)
    {
        const bool on = !hasParam || param != 0;
        if (word == "par" || word == "sect" || word == "page" || word == "row")
            endParagraph();
        else if (word == "line")
            character(QChar(QChar::LineSeparator));
        else if (word == "tab" || word == "cell")
            character(QChar(u'\t'));
        else if (word == "b")
            m_state.bold = on;
        else if (word == "i")
            m_state.italic = on;
        else if (isUnderlineWord(word))
            m_state.underline = on;
        else if (word == "ulnone")
            m_state.underline = false;
        else if (word == "v")
            m_state.hidden = on;
        else if (word == "fs")
            m_state.halfPoints = hasParam && param > 0 ? std::clamp(param, 2, 3276) : 24;
        else if (word == "f")
            m_state.font = hasParam ? std::max(param, 0) : -1;
        else if (word == "deff")
            m_defaultFont = hasParam ? param : 0;
        else if (word == "cf")
            m_state.color = hasParam ? std::max(param, 0) : 0;
        else if (word == "ql")
            m_state.alignment = RtfAlignment::Left;
        else if (word == "qc")
            m_state.alignment = RtfAlignment::Centre;
        else if (word == "qr")
            m_state.alignment = RtfAlignment::Right;
        else if (word == "qj")
            m_state.alignment = RtfAlignment::Justify;
        else if (word == "pard")
            m_state.alignment = RtfAlignment::Left;
        else if (word == "plain")
            plain();
        else if (word == "uc")
            m_state.unicodeSkip = std::clamp(hasParam ? param : 1, 0, 255);
        else if (word == "u")
            unicode(hasParam ? param : 0);
        else if (word == "fonttbl")
            m_state.destination = Destination::FontTable;
        else if (word == "colortbl")
            m_state.destination = Destination::ColorTable;
        else if ((word == "pntext" || word == "listtext") && m_state.destination == Destination::Text) {
            m_state.destination = Destination::ListText;
            m_listText.clear();
        } else if (isSkippedDestination(word))
            m_state.destination = Destination::Skip;
        else if (const QChar special = specialCharacter(word); !special.isNull())
            character(special);
    }

    void plain()
    {
        m_state.bold = m_state.italic = m_state.underline = m_state.hidden = false;
        m_state.halfPoints = 24;
        m_state.font = -1;
        m_state.color = 0;
    }

    void unicode(int value)
    {
        if (value < 0)
            value += 65536;
        if (value < 0 || value > 0xFFFF)
            value = QChar::ReplacementCharacter;
        if (value >= 0x20 || value == '\t')
            character(QChar(static_cast<char16_t>(value)));
        m_fallback = m_state.unicodeSkip;
    }

    // The characters after \uN that stand in for it in older readers; true when this one was such.
    bool consumeFallback()
    {
        if (m_fallback <= 0)
            return false;
        --m_fallback;
        return true;
    }

    void character(QChar c)
    {
        if (consumeFallback())
            return;
        switch (m_state.destination) {
        case Destination::Skip:
            return;
        case Destination::FontTable:
            if (c == u';')
                commitFont();
            else if (m_fontName.size() < kMaxFontNameLength)
                m_fontName.append(c);
            return;
        case Destination::ColorTable:
            if (c == u';') {
                m_colors.push_back(m_pendingHasColor ? std::optional<RtfColor>(m_pendingColor)
                                                     : std::nullopt);
                m_pendingColor = {};
                m_pendingHasColor = false;
            }
            return;
        case Destination::ListText:
            if (m_listText.size() < kMaxListTextLength)
                m_listText.append(c);
            return;
        case Destination::Text:
            break;
        }
        if (m_state.hidden)
            return;
        const RtfCharFormat &format = currentFormat();
        if (m_para.runs.isEmpty() ||
            (m_para.runs.back().format != format && m_para.runs.size() < kMaxRunsPerParagraph))
            m_para.runs.append(RtfRun{QString(), format});
        m_para.runs.back().text.append(c);
    }

    // A list item's number stays as it was written; a symbol (a bullet in whatever font) becomes a bullet.
    // Either is followed by one space instead of the tab, which would leave a gap as wide as a tab stop.
    void listMarker()
    {
        QString marker = m_listText.trimmed();
        if (marker.size() <= 1 && (marker.isEmpty() || !marker.front().isLetterOrNumber()))
            marker = QStringLiteral("\u2022");
        marker += u' ';
        for (const QChar c : std::as_const(marker))
            character(c);
    }

    const RtfCharFormat &currentFormat()
    {
        if (!m_formatValid) {
            m_format.bold = m_state.bold;
            m_format.italic = m_state.italic;
            m_format.underline = m_state.underline;
            m_format.halfPoints = m_state.halfPoints;
            m_format.fontFamily = m_fonts.value(m_state.font >= 0 ? m_state.font : m_defaultFont);
            const auto index = static_cast<std::size_t>(m_state.color);
            m_format.color = index < m_colors.size() ? m_colors[index] : std::nullopt;
            m_formatValid = true;
        }
        return m_format;
    }

    void commitFont()
    {
        const QString name = m_fontName.trimmed();
        if (!name.isEmpty() && m_fontNumber >= 0 && !m_fonts.contains(m_fontNumber))
            m_fonts.insert(m_fontNumber, name);
        m_fontName.clear();
    }

    void endParagraph()
    {
        m_para.alignment = m_state.alignment;
        m_doc.paragraphs.append(std::move(m_para));
        m_para = RtfParagraph();
    }

    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
    static int hexValue(char c)
    {
        if (isDigit(c))
            return c - '0';
        return (c >= 'a' ? c - 'a' : c - 'A') + 10;
    }

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    bool m_finished = false;
    std::array<QChar, 256> m_cp1252{};

    GroupState m_state;
    std::vector<GroupState> m_stack;
    int m_overflow = 0;
    int m_fallback = 0;

    int m_defaultFont = 0;
    QHash<int, QString> m_fonts;
    int m_fontNumber = -1;
    QString m_fontName;
    std::vector<std::optional<RtfColor>> m_colors;
    RtfColor m_pendingColor;
    bool m_pendingHasColor = false;

    RtfCharFormat m_format;
    bool m_formatValid = false;
    RtfParagraph m_para;
    QString m_listText;
    RtfDocument m_doc;
};

} // namespace

QString RtfParagraph::text() const
{
    QString out;
    for (const RtfRun &r : runs)
        out += r.text;
    return out;
}

QString RtfDocument::plainText() const
{
    QStringList lines;
    lines.reserve(paragraphs.size());
    for (const RtfParagraph &p : paragraphs)
        lines.append(p.text());
    return lines.join(u'\n');
}

RtfDocument parseRtf(QByteArrayView bytes)
{
    return Parser(bytes).run();
}

std::optional<RtfDocument> readRtfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxRtfFileBytes)
        return std::nullopt;
    const QByteArray bytes = file.read(kMaxRtfFileBytes + 1);
    if (bytes.size() > kMaxRtfFileBytes)
        return std::nullopt;
    return parseRtf(bytes);
}

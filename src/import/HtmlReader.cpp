#include "HtmlReader.h"

#include "Cp1252.h"

#include <QBuffer>
#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

void ImportWatch::progress(double done)
{
    const int percent = std::clamp(static_cast<int>(done * 100), 0, 100);
    if (percent > m_percent && m_control.progress) {
        m_percent = percent;
        m_control.progress(percent);
    }
}

namespace {

class BytesSource final : public ByteSource
{
public:
    explicit BytesSource(const QByteArray &bytes) : m_bytes(bytes) {}
    bool rewind() override
    {
        m_at = 0;
        return true;
    }
    qint64 read(char *buffer, qint64 max) override
    {
        const qint64 n = std::min(max, m_bytes.size() - m_at);
        std::copy_n(m_bytes.constData() + m_at, n, buffer);
        m_at += n;
        return n;
    }
    qint64 size() const override { return m_bytes.size(); }

private:
    const QByteArray &m_bytes;
    qint64 m_at = 0;
};

class FileSource final : public ByteSource
{
public:
    explicit FileSource(const QString &path) : m_file(path) {}
    bool rewind() override { return m_file.isOpen() ? m_file.seek(0) : m_file.open(QIODevice::ReadOnly); }
    qint64 read(char *buffer, qint64 max) override { return m_file.read(buffer, max); }
    qint64 size() const override { return m_file.size(); }

private:
    QFile m_file;
};

// Named character references: the Latin-1 block in order, then the typographic and Greek ones books use.
constexpr const char *kLatin1Names[] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",
    "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12",
    "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde",
    "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",
    "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",
    "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

constexpr std::pair<const char *, char16_t> kOtherNames[] = {
    {"quot", 34},     {"amp", 38},      {"apos", 39},     {"lt", 60},        {"gt", 62},
    {"OElig", 338},   {"oelig", 339},   {"Scaron", 352},  {"scaron", 353},   {"Yuml", 376},
    {"fnof", 402},    {"circ", 710},    {"tilde", 732},   {"ensp", 8194},    {"emsp", 8195},
    {"thinsp", 8201}, {"zwnj", 8204},   {"zwj", 8205},    {"lrm", 8206},     {"rlm", 8207},
    {"hyphen", 8208}, {"ndash", 8211},  {"mdash", 8212},  {"lsquo", 8216},   {"rsquo", 8217},
    {"sbquo", 8218},  {"ldquo", 8220},  {"rdquo", 8221},  {"bdquo", 8222},   {"dagger", 8224},
    {"Dagger", 8225}, {"bull", 8226},   {"hellip", 8230}, {"permil", 8240},  {"prime", 8242},
    {"Prime", 8243},  {"lsaquo", 8249}, {"rsaquo", 8250}, {"oline", 8254},   {"frasl", 8260},
    {"euro", 8364},   {"trade", 8482},  {"larr", 8592},   {"uarr", 8593},    {"rarr", 8594},
    {"darr", 8595},   {"harr", 8596},   {"minus", 8722},  {"infin", 8734},   {"ne", 8800},
    {"le", 8804},     {"ge", 8805},     {"sigmaf", 962},  {"thetasym", 977}, {"loz", 9674},
    {"spades", 9824}, {"clubs", 9827},  {"hearts", 9829}, {"diams", 9830},   {"nbhy", 8209},
};

constexpr const char *kGreek[] = {"Alpha",   "Beta", "Gamma", "Delta",  "Epsilon", "Zeta", "Eta",
                                  "Theta",   "Iota", "Kappa", "Lambda", "Mu",      "Nu",   "Xi",
                                  "Omicron", "Pi",   "Rho",   "",       "Sigma",   "Tau",  "Upsilon",
                                  "Phi",     "Chi",  "Psi",   "Omega"};

const QHash<QString, char16_t> &entities()
{
    static const QHash<QString, char16_t> table = [] {
        QHash<QString, char16_t> t;
        for (std::size_t i = 0; i < std::size(kLatin1Names); ++i)
            t.insert(QLatin1String(kLatin1Names[i]), char16_t(160 + i));
        for (const auto &[name, code] : kOtherNames)
            t.insert(QLatin1String(name), code);
        for (std::size_t i = 0; i < std::size(kGreek); ++i) {
            const QString upper = QLatin1String(kGreek[i]);
            if (upper.isEmpty())
                continue;
            t.insert(upper, char16_t(913 + i));
            t.insert(upper.toLower(), char16_t(945 + i));
        }
        return t;
    }();
    return table;
}

// The text a reference stands for, or nothing when it is not one (it then stays as written).
std::optional<QString> entity(QStringView name)
{
    if (name.startsWith(u'#')) {
        const bool hex = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X');
        bool ok = false;
        const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
        if (!ok)
            return std::nullopt;
        if (code >= 0x80 && code <= 0x9F) // as browsers read them: Windows-1252
            return cp1252::decode(QByteArray(1, static_cast<char>(code)));
        if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return QString(QChar::ReplacementCharacter);
        const char32_t c = code;
        return QString::fromUcs4(&c, 1);
    }
    const auto it = entities().constFind(name.toString());
    if (it == entities().constEnd())
        return std::nullopt;
    return QString(QChar(*it));
}

bool isOneOf(QStringView name, std::initializer_list<const char *> names)
{
    return std::any_of(names.begin(), names.end(),
                       [name](const char *n) { return name == QLatin1String(n); });
}

bool isVoid(QStringView n)
{
    return isOneOf(n, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param",
                       "source", "track", "wbr", "keygen", "frame", "basefont", "isindex"});
}

bool isBlock(QStringView n)
{
    return isOneOf(n,
                   {"address", "article", "aside",  "blockquote", "body", "caption", "center",   "dd",
                    "details", "dialog",  "dir",    "div",        "dl",   "dt",      "fieldset", "figcaption",
                    "figure",  "footer",  "form",   "h1",         "h2",   "h3",      "h4",       "h5",
                    "h6",      "header",  "hgroup", "hr",         "html", "legend",  "li",       "main",
                    "menu",    "nav",     "ol",     "p",          "pre",  "section", "summary",  "table",
                    "tbody",   "thead",   "tfoot",  "tr",         "ul",   "option"});
}

// Elements whose content a reader never sees.
bool isUnseen(QStringView n)
{
    return isOneOf(n, {"head", "script", "style", "noscript", "template", "svg", "iframe", "object", "canvas",
                       "audio", "video", "select", "datalist", "map", "noembed", "noframes"});
}

// Elements whose content is not markup: it runs to their end tag.
bool isRawText(QStringView n)
{
    return isOneOf(n, {"script", "style", "title", "textarea", "xmp", "iframe", "noembed", "noframes"});
}

struct Attributes
{
    QList<std::pair<QString, QString>> list;
    QString value(const char *name) const
    {
        for (const auto &[n, v] : list) {
            if (n == QLatin1String(name))
                return v;
        }
        return QString();
    }
    bool has(const char *name) const
    {
        return std::any_of(list.begin(), list.end(),
                           [name](const auto &a) { return a.first == QLatin1String(name); });
    }
};

// A tag's name (lower case, any prefix dropped) and attributes, from what stood between '<' and '>'.
void parseTag(QStringView tag, QString &name, Attributes &attributes, bool &selfClosing)
{
    qsizetype i = 0;
    const qsizetype n = tag.size();
    auto isNameEnd = [](QChar c) { return c.isSpace() || c == u'/' || c == u'>' || c == u'='; };
    while (i < n && !isNameEnd(tag.at(i)))
        ++i;
    name = tag.left(i).toString().toLower();
    const qsizetype colon = name.lastIndexOf(u':');
    if (colon >= 0)
        name.remove(0, colon + 1);
    selfClosing = n > 0 && tag.at(n - 1) == u'/';
    while (i < n) {
        while (i < n && (tag.at(i).isSpace() || tag.at(i) == u'/'))
            ++i;
        const qsizetype start = i;
        while (i < n && !isNameEnd(tag.at(i)))
            ++i;
        if (i == start) {
            ++i;
            continue;
        }
        QString attr = tag.mid(start, i - start).toString().toLower();
        const qsizetype prefix = attr.lastIndexOf(u':');
        if (prefix >= 0 && !attr.startsWith(QLatin1String("xmlns")))
            attr.remove(0, prefix + 1); // epub:type is read as type
        while (i < n && tag.at(i).isSpace())
            ++i;
        QString value;
        if (i < n && tag.at(i) == u'=') {
            ++i;
            while (i < n && tag.at(i).isSpace())
                ++i;
            if (i < n && (tag.at(i) == u'"' || tag.at(i) == u'\'')) {
                const QChar quote = tag.at(i++);
                const qsizetype vstart = i;
                while (i < n && tag.at(i) != quote)
                    ++i;
                value = tag.mid(vstart, i - vstart).toString();
                ++i;
            } else {
                const qsizetype vstart = i;
                while (i < n && !tag.at(i).isSpace() && tag.at(i) != u'>')
                    ++i;
                value = tag.mid(vstart, i - vstart).toString();
            }
        }
        attributes.list.append({attr, value});
    }
}

// Builds paragraphs from the page's events, keeping for each open element only what its end undoes.
class PageBuilder
{
public:
    PageBuilder(HtmlDocument &doc, const QSet<QString> *wantedIds) : m_doc(doc), m_wanted(wantedIds) {}

    void startTag(QStringView tag)
    {
        QString name;
        Attributes attributes;
        bool selfClosing = false;
        parseTag(tag, name, attributes, selfClosing);
        if (name.isEmpty())
            return;
        if (m_wanted) {
            const QString id = attributes.has("id") ? attributes.value("id") : attributes.value("name");
            if (!id.isEmpty() && m_wanted->contains(id) && !m_doc.anchors.contains(id))
                m_pendingAnchors.append(id);
        }
        if (name == QLatin1String("body")) // an unclosed head ends where the body begins
            closeOpen(QStringLiteral("head"));
        if (name == QLatin1String("br")) {
            lineBreak();
            return;
        }
        if (name == QLatin1String("li"))
            closeImplied(m_openLi);
        else if (name == QLatin1String("td") || name == QLatin1String("th"))
            closeImplied(m_openCell);
        else if (name == QLatin1String("tr"))
            closeImplied(m_openRow);

        Element e;
        e.name = name;
        e.unseen = isUnseen(name) || attributes.has("hidden") || hidesByStyle(attributes.value("style"));
        e.block = isBlock(name);
        e.pre = name == QLatin1String("pre") || name == QLatin1String("listing");
        e.heading = name == QLatin1String("h1") || name == QLatin1String("h2");
        e.list = name == QLatin1String("ol")
                     ? 1
                     : (name == QLatin1String("ul") || name == QLatin1String("menu") ? 0 : -1);
        if (name == QLatin1String("ol")) {
            bool ok = false;
            const int start = attributes.value("start").trimmed().toInt(&ok);
            e.counter = ok ? start : 1;
        }
        const QString type = attributes.value("type") + QLatin1Char(' ') + attributes.value("role");
        const bool noteRef = type.contains(QLatin1String("noteref"));
        const bool link = name == QLatin1String("a") && attributes.value("href").contains(u'#');
        if (m_noteOwner < 0 && (noteRef || name == QLatin1String("sup")) && !selfClosing) {
            e.note = true;
            m_noteLinked = noteRef;
            m_note.clear();
            m_spaceBeforeNote = m_space;
            m_space = false;
        } else if (m_noteOwner >= 0 && (noteRef || link)) {
            m_noteLinked = true;
        }

        if (e.block)
            blockBreak();
        if (e.heading)
            m_headingPending = true;
        if (name == QLatin1String("li"))
            startItem(attributes);
        else if (name == QLatin1String("td") || name == QLatin1String("th"))
            startCell();
        if (selfClosing && !isVoid(name)) { // XHTML's empty element: opened and closed at once
            if (m_itemAt == int(m_stack.size()))
                m_itemPrefix.clear();
            if (e.block)
                blockBreak();
            if (e.heading)
                m_headingPending = false;
            return;
        }
        if (isVoid(name))
            return;
        push(std::move(e));
        if (name == QLatin1String("li"))
            m_openLi = int(m_stack.size()) - 1;
        else if (name == QLatin1String("td") || name == QLatin1String("th"))
            m_openCell = int(m_stack.size()) - 1;
        else if (name == QLatin1String("tr"))
            m_openRow = int(m_stack.size()) - 1;
    }

    void endTag(QStringView tag)
    {
        QString name;
        Attributes attributes;
        bool selfClosing = false;
        parseTag(tag, name, attributes, selfClosing);
        if (name == QLatin1String("br")) {
            lineBreak();
            return;
        }
        closeOpen(name);
    }

    // Text as it stands in the page, references not yet resolved.
    void text(QStringView raw)
    {
        qsizetype i = 0;
        while (i < raw.size()) {
            const qsizetype amp = raw.indexOf(u'&', i);
            const qsizetype end = amp < 0 ? raw.size() : amp;
            addText(raw.mid(i, end - i));
            if (amp < 0)
                break;
            // A reference is short: look no further for its ';', so that many bare '&' cost little.
            const qsizetype semi = raw.mid(amp, 33).indexOf(u';') + amp;
            std::optional<QString> decoded;
            if (semi > amp + 1)
                decoded = entity(raw.mid(amp + 1, semi - amp - 1));
            if (decoded) {
                addText(*decoded);
                i = semi + 1;
            } else {
                addText(raw.mid(amp, 1));
                i = amp + 1;
            }
        }
    }

    void title(QStringView raw)
    {
        if (!m_doc.title.isEmpty())
            return;
        HtmlDocument scratch;
        PageBuilder inner(scratch, nullptr);
        inner.text(raw);
        inner.finish();
        m_doc.title = scratch.paragraphs.join(QLatin1Char(' '));
    }

    void finish()
    {
        while (!m_stack.empty())
            pop();
        endParagraph();
        for (const QString &id : std::as_const(m_pendingAnchors))
            m_doc.anchors.insert(id, int(m_doc.paragraphs.size()));
        m_pendingAnchors.clear();
    }

private:
    struct Element
    {
        QString name;
        bool unseen = false;
        bool block = false;
        bool pre = false;
        bool heading = false;
        bool note = false;
        int list = -1; // 1: a numbered list, 0: another list
        int counter = 1;
        int listAt = -1, tableAt = -1, rowAt = -1,
            cellAt = -1; // the open list, table, row and cell around it
        int cells = 0;
    };

    static bool hidesByStyle(const QString &style)
    {
        if (style.isEmpty())
            return false;
        QString compact = style.toLower();
        compact.remove(u' ');
        compact.remove(u'\t');
        return compact.contains(QLatin1String("display:none")) ||
               compact.contains(QLatin1String("visibility:hidden"));
    }

    void push(Element e)
    {
        const Element *parent = m_stack.empty() ? nullptr : &m_stack.back();
        const int self = int(m_stack.size());
        e.listAt = e.list >= 0 ? self : (parent ? parent->listAt : -1);
        e.tableAt = e.name == QLatin1String("table") ? self : (parent ? parent->tableAt : -1);
        e.rowAt = e.name == QLatin1String("tr") ? self : (parent ? parent->rowAt : -1);
        e.cellAt = (e.name == QLatin1String("td") || e.name == QLatin1String("th"))
                       ? self
                       : (parent ? parent->cellAt : -1);
        if (e.unseen)
            ++m_unseen;
        if (e.pre)
            ++m_pre;
        if (e.note)
            m_noteOwner = self;
        ++m_open[e.name];
        m_stack.push_back(std::move(e));
    }

    void pop()
    {
        Element e = std::move(m_stack.back());
        m_stack.pop_back();
        const int self = int(m_stack.size());
        if (--m_open[e.name] == 0)
            m_open.remove(e.name);
        if (e.unseen)
            --m_unseen;
        if (e.pre)
            --m_pre;
        if (m_openLi == self)
            m_openLi = -1;
        if (m_openCell == self)
            m_openCell = -1;
        if (m_openRow == self)
            m_openRow = -1;
        if (m_noteOwner == self)
            endNote();
        if (m_itemAt == self) {
            m_itemPrefix.clear();
            m_itemAt = -1;
        }
        if (e.block)
            blockBreak();
        if (e.heading)
            m_headingPending = false;
    }

    // An end tag closes its element and whatever was left open inside it; a stray one is ignored.
    void closeOpen(const QString &name)
    {
        if (!m_open.contains(name))
            return;
        while (!m_stack.empty()) {
            const bool match = m_stack.back().name == name;
            pop();
            if (match)
                break;
        }
    }

    // A new item, cell or row closes the one still open in the same list, row or table, unless another
    // list, row or table has opened inside it since.
    void closeImplied(int at)
    {
        if (at < 0)
            return;
        const Element &e = m_stack[std::size_t(at)];
        const Element &top = m_stack.back();
        const bool same = e.name == QLatin1String("li")   ? top.listAt == e.listAt
                          : e.name == QLatin1String("tr") ? top.tableAt == e.tableAt
                                                          : top.rowAt == e.rowAt && top.tableAt == e.tableAt;
        if (same) {
            while (int(m_stack.size()) > at)
                pop();
        }
    }

    void startItem(const Attributes &attributes)
    {
        if (m_stack.empty() || m_stack.back().listAt < 0)
            return;
        Element &list = m_stack[std::size_t(m_stack.back().listAt)];
        if (list.list != 1)
            return;
        bool ok = false;
        const int value = attributes.value("value").trimmed().toInt(&ok);
        if (ok)
            list.counter = value;
        // The number goes before the item's first text, whatever blocks the item holds.
        m_itemPrefix = QString::number(list.counter++) + QStringLiteral(". ");
        m_itemAt = int(m_stack.size());
    }

    void startCell()
    {
        if (m_stack.empty() || m_stack.back().rowAt < 0)
            return;
        Element &row = m_stack[std::size_t(m_stack.back().rowAt)];
        if (row.cells++ > 0)
            m_cellSeparator = true;
    }

    bool inCell() const { return !m_stack.empty() && m_stack.back().cellAt >= 0; }

    void blockBreak()
    {
        if (inCell())
            m_space = true; // a row stays one paragraph whatever its cells hold
        else
            endParagraph();
    }

    void lineBreak() { blockBreak(); }

    void addText(QStringView s)
    {
        if (m_unseen > 0)
            return;
        QString &out = m_noteOwner >= 0 ? m_note : m_current;
        for (const QChar c : s) {
            if (c == u'\n' && m_pre > 0 && m_noteOwner < 0) {
                endParagraph();
                continue;
            }
            if (c.isSpace()) {
                m_space = true;
                continue;
            }
            if (c == QChar(0x00AD) || c == QChar(0x200B) || c == QChar(0xFEFF))
                continue; // soft hyphens and zero-width spaces only mark where a line may break
            if (m_cellSeparator && m_noteOwner < 0) {
                if (!m_current.isEmpty())
                    m_current += QStringLiteral(" | ");
                m_cellSeparator = false;
                m_space = false;
            }
            if (!m_itemPrefix.isEmpty() && m_noteOwner < 0) {
                if (!m_current.isEmpty() && !m_current.endsWith(u' '))
                    m_current += u' ';
                m_current += std::exchange(m_itemPrefix, QString());
                m_space = false;
            }
            if (m_space && !out.isEmpty() && !out.endsWith(u' '))
                out += u' ';
            m_space = false;
            out += c;
        }
    }

    // A short mark with a link in a superscript, or one marked as a note reference, stands apart in brackets;
    // any other superscript stays as it was written.
    void endNote()
    {
        m_noteOwner = -1;
        const bool trailing = m_space;
        QString mark = m_note.trimmed();
        m_note.clear();
        m_space = m_spaceBeforeNote;
        if (mark.isEmpty())
            return;
        const bool bracketed = mark.size() >= 2 && mark.front() == u'[' && mark.back() == u']';
        if (m_noteLinked && mark.size() <= 10 && !mark.contains(u' ')) {
            if (!bracketed)
                mark = QString(u'[' + mark + u']');
            m_space = true;
            addText(mark);
            m_space = true;
        } else {
            addText(mark);
            m_space = trailing;
        }
    }

    void endParagraph()
    {
        if (m_noteOwner >= 0)
            return;
        while (m_current.endsWith(u' '))
            m_current.chop(1);
        m_cellSeparator = false;
        m_space = false;
        if (m_current.isEmpty())
            return;
        const int index = int(m_doc.paragraphs.size());
        for (const QString &id : std::as_const(m_pendingAnchors))
            m_doc.anchors.insert(id, index);
        m_pendingAnchors.clear();
        if (m_headingPending)
            m_doc.headings.append(index);
        m_doc.characters += m_current.size();
        if (m_current.capacity() > m_current.size() + m_current.size() / 4 + 32)
            m_current.squeeze(); // a long paragraph keeps no spare room from its growing
        m_doc.paragraphs.append(std::exchange(m_current, QString()));
    }

    HtmlDocument &m_doc;
    const QSet<QString> *m_wanted;
    std::vector<Element> m_stack;
    QHash<QString, int> m_open; // how many of each element are open
    QString m_current;
    QString m_note;
    QStringList m_pendingAnchors;
    QString m_itemPrefix; // "3. " until the numbered item's first text
    int m_itemAt = -1;
    int m_unseen = 0;
    int m_pre = 0;
    int m_noteOwner = -1;
    int m_openLi = -1, m_openCell = -1, m_openRow = -1;
    bool m_noteLinked = false;
    bool m_spaceBeforeNote = false;
    bool m_space = false;
    bool m_cellSeparator = false;
    bool m_headingPending = false;
};

// Splits the page into tags, text, comments and declarations as its characters arrive, in any pieces. Each
// character is looked at a bounded number of times, so the work is linear in the page's length.
constexpr qsizetype kMaxTagLength = 64 * 1024;

class Tokenizer
{
public:
    explicit Tokenizer(PageBuilder &builder) : m_builder(builder) {}

    void feed(QStringView in)
    {
        qsizetype i = 0;
        const qsizetype n = in.size();
        while (i < n) {
            switch (m_mode) {
            case Mode::Text: {
                const qsizetype lt = in.indexOf(u'<', i);
                const qsizetype end = lt < 0 ? n : lt;
                m_text += in.mid(i, end - i);
                i = end;
                if (lt >= 0) {
                    flushText(true);
                    m_mode = Mode::Open;
                    ++i;
                } else {
                    flushText(false);
                }
                break;
            }
            case Mode::Open: {
                const QChar c = in.at(i);
                if (c == u'!') {
                    m_mode = Mode::Bang;
                    m_markup.clear();
                    ++i;
                } else if (c == u'?') {
                    m_mode = Mode::Declaration;
                    m_depth = 0;
                    m_quote = QChar();
                    ++i;
                } else if (c.isLetter() || c == u'/') {
                    m_mode = Mode::Tag;
                    m_markup.clear();
                    m_quote = QChar();
                    m_equals = false;
                } else {
                    m_text += u'<'; // a lone '<' is text
                    m_mode = Mode::Text;
                }
                break;
            }
            case Mode::Bang: {
                // "<!--" opens a comment, "<![CDATA[" a run of text, anything else a declaration.
                m_markup += in.at(i++);
                if (m_markup == QLatin1String("--")) {
                    m_mode = Mode::Comment;
                    m_dashes = 0;
                } else if (m_markup == QLatin1String("[CDATA[")) {
                    m_mode = Mode::CData;
                    m_dashes = 0;
                } else if (!QLatin1String("--").startsWith(m_markup) &&
                           !QLatin1String("[CDATA[").startsWith(m_markup)) {
                    m_mode = Mode::Declaration;
                    m_depth = 0;
                    m_quote = QChar();
                    --i; // the character read decides nothing more: look at it as part of the declaration
                }
                break;
            }
            case Mode::Comment:
                while (i < n) {
                    const QChar c = in.at(i++);
                    if (c == u'>' && m_dashes >= 2) {
                        m_mode = Mode::Text;
                        break;
                    }
                    m_dashes = c == u'-' ? m_dashes + 1 : 0;
                }
                break;
            case Mode::CData:
                while (i < n) {
                    const QChar c = in.at(i++);
                    if (c == u'>' && m_dashes >= 2) {
                        m_text.chop(2);
                        flushText(true);
                        m_mode = Mode::Text;
                        break;
                    }
                    m_dashes = c == u']' ? m_dashes + 1 : 0;
                    m_text += c;
                }
                break;
            case Mode::Declaration:
                // A DOCTYPE's internal subset, in brackets, may hold '>' of its own.
                while (i < n) {
                    const QChar c = in.at(i++);
                    if (!m_quote.isNull()) {
                        if (c == m_quote)
                            m_quote = QChar();
                    } else if (c == u'"' || c == u'\'') {
                        m_quote = c;
                    } else if (c == u'[') {
                        ++m_depth;
                    } else if (c == u']') {
                        m_depth = std::max(0, m_depth - 1);
                    } else if (c == u'>' && m_depth == 0) {
                        m_mode = Mode::Text;
                        break;
                    }
                }
                break;
            case Mode::Tag:
                while (i < n) {
                    const QChar c = in.at(i++);
                    if (!m_quote.isNull()) {
                        if (c == m_quote)
                            m_quote = QChar();
                    } else if ((c == u'"' || c == u'\'') && m_equals) {
                        m_quote = c;
                    } else if (c == u'=') {
                        m_equals = true;
                    } else if (c == u'>') {
                        endOfTag();
                        break;
                    }
                    if (m_markup.size() < kMaxTagLength) // what lies past this in one tag is never used
                        m_markup += c;
                }
                break;
            case Mode::Raw:
                while (i < n) {
                    const QChar c = in.at(i++);
                    if (m_rawMatched == m_rawEnd.size()) {
                        if (c.isLetterOrNumber()) { // "</scripts" is not the end
                            m_rawMatched = 0;
                        } else {
                            m_raw.chop(m_rawEnd.size());
                            if (m_rawName == QLatin1String("title"))
                                m_builder.title(m_raw);
                            else if (m_rawName == QLatin1String("textarea") ||
                                     m_rawName == QLatin1String("xmp"))
                                m_builder.text(m_raw);
                            m_raw.clear();
                            m_mode = Mode::Tag;
                            m_markup = QLatin1Char('/') + m_rawName;
                            m_quote = QChar();
                            m_equals = false;
                            --i;
                            break;
                        }
                    }
                    if (m_keepRaw && (m_rawName != QLatin1String("title") || m_raw.size() < kMaxTagLength))
                        m_raw += c;
                    if (c.toLower() == m_rawEnd.at(m_rawMatched))
                        ++m_rawMatched;
                    else
                        m_rawMatched = c == u'<' ? 1 : 0;
                }
                break;
            }
        }
    }

    void finish()
    {
        if (m_mode == Mode::Text)
            flushText(true);
        else if (m_mode == Mode::Open)
            m_builder.text(u"<");
        m_builder.finish();
    }

private:
    enum class Mode
    {
        Text,
        Open,
        Bang,
        Comment,
        CData,
        Declaration,
        Tag,
        Raw,
    };

    // Text is handed on as it comes, but a reference cut off by the piece's end waits for the rest.
    void flushText(bool all)
    {
        if (m_text.isEmpty())
            return;
        qsizetype keep = 0;
        if (!all) {
            const qsizetype amp = m_text.lastIndexOf(u'&');
            if (amp >= 0 && m_text.size() - amp <= 32 && !m_text.mid(amp).contains(u';'))
                keep = m_text.size() - amp;
        }
        m_builder.text(QStringView(m_text).left(m_text.size() - keep));
        m_text.remove(0, m_text.size() - keep);
    }

    void endOfTag()
    {
        m_mode = Mode::Text;
        if (m_markup.startsWith(u'/')) {
            m_builder.endTag(QStringView(m_markup).mid(1));
            return;
        }
        m_builder.startTag(m_markup);
        qsizetype end = 0;
        while (end < m_markup.size() && !m_markup.at(end).isSpace() && m_markup.at(end) != u'/')
            ++end;
        const QString name = m_markup.left(end).toLower();
        if (isRawText(name) && !m_markup.endsWith(u'/')) {
            m_mode = Mode::Raw;
            m_rawName = name;
            m_rawEnd = QStringLiteral("</") + name;
            m_rawMatched = 0;
            m_keepRaw = isOneOf(name, {"title", "textarea", "xmp"});
            m_raw.clear();
        }
    }

    PageBuilder &m_builder;
    Mode m_mode = Mode::Text;
    QString m_text;
    QString m_markup;
    QString m_raw;
    QString m_rawName;
    QString m_rawEnd;
    qsizetype m_rawMatched = 0;
    bool m_keepRaw = false;
    QChar m_quote;
    bool m_equals = false; // quotes count only after an attribute's '='
    int m_depth = 0;
    int m_dashes = 0;
};

constexpr qint64 kBlockBytes = 64 * 1024;

bool isWide(std::optional<QStringConverter::Encoding> e)
{
    return e && (*e == QStringConverter::Utf16 || *e == QStringConverter::Utf16LE ||
                 *e == QStringConverter::Utf16BE || *e == QStringConverter::Utf32 ||
                 *e == QStringConverter::Utf32LE || *e == QStringConverter::Utf32BE);
}

enum class Decoding
{
    Declared,
    Utf8,
    Windows1252,
};

} // namespace

std::unique_ptr<ByteSource> bytesSource(const QByteArray &bytes)
{
    return std::make_unique<BytesSource>(bytes);
}

std::unique_ptr<ByteSource> fileSource(const QString &path)
{
    return std::make_unique<FileSource>(path);
}

PageResult readHtmlPage(ByteSource &source, qint64 maxBytes, HtmlDocument &doc,
                        const QSet<QString> *wantedIds, ImportWatch &watch, double progressFrom,
                        double progressSpan)
{
    // What to go back to when the reading is started again or refused: the page only ever adds.
    const qsizetype paragraphsBefore = doc.paragraphs.size();
    const qsizetype headingsBefore = doc.headings.size();
    const qint64 charactersBefore = doc.characters;
    const bool hadTitle = !doc.title.isEmpty();
    const QHash<QString, int> anchorsBefore = doc.anchors;
    auto undo = [&] {
        doc.paragraphs.resize(paragraphsBefore);
        doc.headings.resize(headingsBefore);
        doc.characters = charactersBefore;
        if (!hadTitle)
            doc.title.clear();
        doc.anchors = anchorsBefore;
    };
    auto fail = [&undo](PageResult result) {
        undo();
        return result;
    };
    QByteArray block(kBlockBytes, Qt::Uninitialized);
    std::optional<QStringConverter::Encoding> declared;
    Decoding decoding = Decoding::Utf8;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!source.rewind())
            return fail(PageResult::Damaged);
        if (attempt > 0) {
            undo(); // the first reading went wrong: start again as Windows-1252
            decoding = Decoding::Windows1252;
        }
        PageBuilder builder(doc, wantedIds);
        Tokenizer tokenizer(builder);
        std::optional<QStringDecoder> decoder;
        qint64 total = 0;
        qint64 controls = 0;
        bool restart = false;
        for (;;) {
            if (watch.cancelled())
                return fail(PageResult::Cancelled);
            const qint64 got = source.read(block.data(), std::min(kBlockBytes, maxBytes + 1 - total));
            if (got < 0)
                return fail(PageResult::Damaged);
            if (got == 0)
                break;
            const QByteArrayView bytes(block.constData(), got);
            if (total == 0 && attempt == 0) {
                declared = QStringConverter::encodingForHtml(bytes);
                if (declared == QStringConverter::Latin1) // as browsers take it: Windows-1252
                    decoding = Decoding::Windows1252;
                else if (declared && *declared != QStringConverter::Utf8)
                    decoding = Decoding::Declared;
            }
            total += got;
            if (total > maxBytes)
                return fail(PageResult::TooLarge);
            if (!isWide(declared) || decoding != Decoding::Declared) {
                for (const char c : bytes) {
                    const auto u = static_cast<unsigned char>(c);
                    if (u == 0)
                        return fail(PageResult::NotText);
                    if (u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f')
                        ++controls;
                }
            }
            QString text;
            if (decoding == Decoding::Windows1252) {
                text = cp1252::decode(bytes.toByteArray());
            } else {
                if (!decoder)
                    decoder.emplace(decoding == Decoding::Declared ? *declared : QStringConverter::Utf8);
                text = decoder->decode(bytes);
                if (decoding == Decoding::Utf8 && decoder->hasError()) {
                    restart = true; // old pages are often Windows-1252 whatever they claim
                    break;
                }
            }
            tokenizer.feed(text);
            const qint64 size = source.size();
            if (size > 0)
                watch.progress(progressFrom + progressSpan * double(total) / double(size));
        }
        if (restart)
            continue;
        if (!source.finish())
            return fail(PageResult::Damaged);
        if (controls * 100 > total) {
            return fail(PageResult::NotText);
        }
        tokenizer.finish();
        return PageResult::Read;
    }
    return fail(PageResult::Damaged);
}

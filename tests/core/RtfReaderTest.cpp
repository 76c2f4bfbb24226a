#include "RtfReader.h"
#include "RtfChecks.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

// One line per document: paragraphs joined by " | ", a non-left alignment as "C:", "R:" or "J:", and each
// run that differs from the default format prefixed with its differences in brackets.
std::string describe(const RtfDocument &doc)
{
    QStringList paragraphs;
    for (const RtfParagraph &p : doc.paragraphs) {
        QString line;
        if (p.alignment == RtfAlignment::Centre)
            line += u"C:";
        else if (p.alignment == RtfAlignment::Right)
            line += u"R:";
        else if (p.alignment == RtfAlignment::Justify)
            line += u"J:";
        for (const RtfRun &r : p.runs) {
            QStringList marks;
            if (r.format.bold)
                marks << QStringLiteral("b");
            if (r.format.italic)
                marks << QStringLiteral("i");
            if (r.format.underline)
                marks << QStringLiteral("u");
            if (r.format.halfPoints != 24)
                marks << QStringLiteral("s=%1").arg(r.format.halfPoints);
            if (!r.format.fontFamily.isEmpty())
                marks << QStringLiteral("f=") + r.format.fontFamily;
            if (r.format.color)
                marks << QStringLiteral("c=%1.%2.%3")
                             .arg(r.format.color->red)
                             .arg(r.format.color->green)
                             .arg(r.format.color->blue);
            if (!marks.isEmpty())
                line += u'[' + marks.join(u',') + u']';
            line += r.text;
        }
        paragraphs << line;
    }
    return paragraphs.join(QStringLiteral(" | ")).toStdString();
}

struct Snippet
{
    const char *name;
    QByteArray rtf;
    const char *expected; // UTF-8
    bool complete;
};

QByteArray deepNesting(int depth)
{
    return "{\\rtf1 " + QByteArray(depth, '{') + "\\b x" + QByteArray(depth, '}') + " y}";
}

const Snippet kSnippets[] = {
    {"plain paragraph", "{\\rtf1\\ansi Hello world\\par}", "Hello world", true},
    {"blank paragraphs kept", "{\\rtf1 a\\par\\par b}", "a |  | b", true},
    {"bold on and off", "{\\rtf1 a \\b bold\\b0  c}", "a [b]bold c", true},
    {"italic and underline", "{\\rtf1 \\i it\\i0\\ul un\\ulnone  no\\ul0}", "[i]it[u]un no", true},
    {"font size in half points", "{\\rtf1 \\fs36 Big\\fs Normal}", "[s=36]BigNormal", true},
    {"font size clamped", "{\\rtf1 \\fs99999999999999 x\\fs0 y\\fs-4 z}", "[s=3276]xyz", true},
    {"font table and default font",
     "{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman{\\*\\panose 02}Times New "
     "Roman;}}Plain \\f1 Serif\\f7 Unknown}",
     "[f=Arial]Plain [f=Times New Roman]SerifUnknown", true},
    {"font table without inner groups", "{\\rtf1{\\fonttbl\\f0 Courier;\\f1 Georgia;}\\f1 g}", "[f=Georgia]g",
     true},
    {"colour table",
     "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\\cf1 r\\cf2 n\\cf0 a\\cf9 z}",
     "[c=255.0.0]r[c=0.0.128]naz", true},
    {"colour components clamped", "{\\rtf1{\\colortbl;\\red300\\green-5\\blue7;}\\cf1 x}", "[c=255.0.7]x",
     true},
    {"alignment per paragraph", "{\\rtf1\\qc Title\\par\\pard Body\\par\\qr R\\par\\qj J}",
     "C:Title | Body | R:R | J:J", true},
    {"alignment scoped to a group", "{\\rtf1{\\qc T\\par}B}", "C:T | B", true},
    {"groups restore formatting", "{\\rtf1 a{\\b b{\\i c}d}e}", "a[b]b[b,i]c[b]de", true},
    {"plain resets character format", "{\\rtf1 \\b\\i\\fs40 x\\plain y}", "[b,i,s=40]xy", true},
    {"hex escapes in Windows-1252", "{\\rtf1 caf\\'e9 \\'93q\\'94 \\'80}", "café “q” €", true},
    {"bad hex escape keeps the text", "{\\rtf1 a\\'zz\\'4}", "azz4", true},
    {"escaped specials", "{\\rtf1 \\\\ \\{ \\} \\~x\\-y}", "\\ { } \u00a0xy", true},
    {"unicode with one fallback", "{\\rtf1 caf\\u233?s}", "cafés", true},
    {"unicode fallback as hex escape", "{\\rtf1 \\u8220\\'93x}", "“x", true},
    {"no fallback with uc0", "{\\rtf1\\uc0\\u8212 x}", "—x", true},
    {"two fallback characters", "{\\rtf1\\uc2\\u8364 EUR ok}", "€R ok", true},
    {"negative unicode", "{\\rtf1 \\u-3913?}", "\uf0b7", true},
    {"surrogate pair and a lone one", "{\\rtf1 \\u-10179?\\u-8704? \\u-10179?x}", "\U0001F600 \ufffdx", true},
    {"fallback count ends at a group", "{\\rtf1\\uc3\\u233{ab}c}", "éabc", true},
    {"ignorable destination", "{\\rtf1{\\*\\generator Writer 1.0;}text{\\*\\unknown {nested} t}}", "text",
     true},
    {"skipped destinations", "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}body}",
     "body", true},
    {"unknown words ignored", "{\\rtf1\\widowctrl\\lang2057 \\xyz12 text}", "text", true},
    {"named characters", "{\\rtf1 \\ldblquote a\\rdblquote\\emdash\\lquote b\\rquote\\bullet}", "“a”—‘b’•",
     true},
    {"line break and tab", "{\\rtf1 a\\line b\\tab c}", "a\u2028b\tc", true},
    {"escaped line end is a paragraph", "{\\rtf1 a\\\nb}", "a | b", true},
    {"raw line ends ignored", "{\\rtf1 a\r\nb\n}", "ab", true},
    {"binary data skipped", "{\\rtf1 a\\bin3 }{x b}", "a b", true},
    {"binary length beyond the end", "{\\rtf1 a\\bin999999 bcd", "a", false},
    {"truncated inside a group", "{\\rtf1 Hello \\b wor", "Hello [b]wor", false},
    {"truncated after a backslash", "{\\rtf1 a\\", "a", false},
    {"text after the document ignored", "{\\rtf1 a}trailing", "a", true},
    {"stray closing brace without header", "a}b", "ab", true},
    {"plain text without header", "Just text", "Just text", true},
    {"empty input", "", "", true},
    {"deep nesting shares state beyond the limit", deepNesting(10000), "[b]x y", true},
    {"unclosed deep nesting", "{\\rtf1 " + QByteArray(5000, '{') + "z", "z", false},
};

class RtfSnippet : public ::testing::TestWithParam<Snippet>
{
};

TEST_P(RtfSnippet, ReadsAsExpected)
{
    const Snippet &s = GetParam();
    const RtfDocument doc = parseRtf(s.rtf);
    EXPECT_EQ(describe(doc), std::string(s.expected)) << s.name;
    EXPECT_EQ(doc.complete, s.complete) << s.name;
    EXPECT_EQ(doc.hasHeader, s.rtf.startsWith("{\\rtf")) << s.name;
}

INSTANTIATE_TEST_SUITE_P(Table, RtfSnippet, ::testing::ValuesIn(kSnippets));

TEST(RtfReader, RandomBytesAlwaysGiveASoundDocument)
{
    QRandomGenerator rng(20261207);
    static const char kAlphabet[] = "{}\\\\\\'*;ubfsicqlrpard0123456789-? \r\nabcxyz\x93\xff";
    for (int round = 0; round < 3000; ++round) {
        const int length = rng.bounded(0, 600);
        QByteArray bytes(length, '\0');
        const bool rtfish = round % 2 == 0;
        for (char &b : bytes)
            b = rtfish ? kAlphabet[rng.bounded(int(sizeof kAlphabet) - 1)]
                       : static_cast<char>(rng.bounded(256));
        if (round % 3 == 0)
            bytes.prepend("{\\rtf1 ");
        expectSound(parseRtf(bytes), bytes.size());
        if (::testing::Test::HasFatalFailure())
            FAIL() << "input: " << bytes.toHex().toStdString();
    }
}

} // namespace

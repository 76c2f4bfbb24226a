#include "RtfReader.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// Paragraphs joined by " | ", a centred one prefixed "C:" (right "R:", justified "J:"), and each run that
// differs from the default format prefixed with its differences in brackets.
std::string describe(const RtfDocument &doc)
{
    QStringList paragraphs;
    for (const RtfParagraph &p : doc.paragraphs) {
        QString line = QStringList{"", "C:", "R:", "J:"}.at(static_cast<int>(p.alignment));
        for (const RtfRun &r : p.runs) {
            const RtfCharFormat &f = r.format;
            QStringList marks{
                f.bold ? "b" : "",
                f.italic ? "i" : "",
                f.underline ? "u" : "",
                f.halfPoints != 24 ? QStringLiteral("s=%1").arg(f.halfPoints) : QString(),
                f.fontFamily.isEmpty() ? QString() : QStringLiteral("f=") + f.fontFamily,
                f.color
                    ? QStringLiteral("c=%1.%2.%3").arg(f.color->red).arg(f.color->green).arg(f.color->blue)
                    : QString()};
            marks.removeAll(QString());
            line += (marks.isEmpty() ? QString() : u'[' + marks.join(u',') + u']') + r.text;
        }
        paragraphs << line;
    }
    return paragraphs.join(QStringLiteral(" | ")).toStdString();
}

// {RTF, what it reads as (UTF-8), every group closed}
using Snippet = std::tuple<QByteArray, std::string, bool>;
// clang-format off
const Snippet kSnippets[] = {
    {"{\\rtf1\\ansi Hello world\\par}", "Hello world", true}, {"{\\rtf1 a\\par\\par b}", "a |  | b", true},
    {"{\\rtf1 a \\b bold\\b0  c}", "a [b]bold c", true},
    {"{\\rtf1 \\i it\\i0\\ul un\\ulnone  no\\ul0}", "[i]it[u]un no", true},
    {"{\\rtf1 \\fs36 Big\\fs Normal\\fs99999999999999 x\\fs0 y\\fs-4 z}", "[s=36]BigNormal[s=3276]xyz", true},
    {"{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman{\\*\\panose 02}Times New Roman;}}"
     "Plain \\f1 Serif\\f7 Unknown}", "[f=Arial]Plain [f=Times New Roman]SerifUnknown", true},
    {"{\\rtf1{\\fonttbl\\f0 Courier;\\f1 Georgia;}\\f1 g}", "[f=Georgia]g", true},
    {"{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red300\\green-5\\blue128;}\\cf1 r\\cf2 n\\cf0 a\\cf9 z}",
     "[c=255.0.0]r[c=255.0.128]naz", true},
    {"{\\rtf1\\qc Title\\par\\pard Body\\par\\qr R\\par\\qj J}", "C:Title | Body | R:R | J:J", true},
    {"{\\rtf1{\\qc T\\par}B}", "C:T | B", true}, {"{\\rtf1 a{\\b b{\\i c}d}e}", "a[b]b[b,i]c[b]de", true},
    {"{\\rtf1 \\b\\i\\fs40 x\\plain y}", "[b,i,s=40]xy", true},
    {"{\\rtf1 caf\\'e9 \\'93q\\'94 \\'80 \\'zz\\'4}", "café “q” € zz4", true},
    {"{\\rtf1 \\\\ \\{ \\} \\~x\\-y}", "\\ { } \u00a0xy", true},
    {"{\\rtf1 caf\\u233?s \\u8220\\'93x}", "cafés “x", true},
    {"{\\rtf1\\uc0\\u8212 x\\uc2\\u8364 EUR ok}", "—x€R ok", true},
    {"{\\rtf1 \\u-3913?\\u-10179?\\u-8704? \\u-10179?x}", "\uf0b7\U0001F600 \ufffdx", true},
    {"{\\rtf1\\uc3\\u233{ab}c}", "éabc", true},
    {"{\\rtf1{\\*\\generator Writer 1.0;}text{\\*\\unknown {nested} t}}", "text", true},
    {"{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}\\widowctrl\\xyz12 body}", "body",
     true},
    {"{\\rtf1 \\ldblquote a\\rdblquote\\emdash\\lquote b\\rquote\\bullet}", "“a”—‘b’•", true},
    {"{\\rtf1 a\\line b\\tab c\r\nd\\\ne}", "a\u2028b\tcd | e", true},
    {"{\\rtf1 a\\bin3 }{x b}", "a b", true}, {"{\\rtf1 a\\bin999999 bcd", "a", false},
    {"{\\rtf1 Hello \\b wor", "Hello [b]wor", false}, {"{\\rtf1 a\\", "a", false},
    {"{\\rtf1 a}trailing", "a", true}, {"a}b", "ab", true},
    {"{\\rtf1 " + QByteArray(10000, '{') + "\\b x" + QByteArray(10000, '}') + " y}", "[b]x y", true},
    {"{\\rtf1 " + QByteArray(5000, '{') + "z", "z", false},
    {"{\\rtf1 a\\v h\\v0 b{\\v c}d\\v e\\plain f}", "abdf", true},
    {"{\\rtf1 a{\\b0 b}{\\b c\\b0 d}\\i\\i0 e}", "ab[b]cde", true},
    {"{\\rtf1{\\pntext\\f3\\'b7\\tab}A\\par{\\listtext 2.\\tab}B}", "\u2022 A | 2. B", true},
    {"{\\rtf1 " + QByteArray("{\\b x} y").repeated(300) + "}",
     QByteArray("[b]x y").repeated(128).toStdString() + QByteArray("x y").repeated(172).toStdString(), true},
};
// clang-format on

TEST(RtfReader, SnippetsReadAsExpected)
{
    for (const auto &[rtf, expected, complete] : kSnippets) {
        SCOPED_TRACE(rtf.left(200).toStdString());
        const RtfDocument doc = parseRtf(rtf);
        EXPECT_EQ(describe(doc), expected);
        EXPECT_EQ(std::make_pair(doc.complete, doc.hasHeader),
                  std::make_pair(complete, rtf.startsWith("{\\rtf")));
    }
}

// What holds of any document the reader returns, whatever it was given.
void expectSound(const RtfDocument &doc, qsizetype inputSize)
{
    qsizetype chars = 0;
    for (const RtfParagraph &p : doc.paragraphs) {
        for (qsizetype i = 0; i < p.runs.size(); ++i) {
            const QString &text = p.runs[i].text;
            ASSERT_FALSE(text.isEmpty());
            ASSERT_FALSE(i > 0 && p.runs[i].format == p.runs[i - 1].format) << "adjacent runs of one format";
            for (qsizetype k = 0; k < text.size(); ++k) {
                const QChar c = text.at(k);
                ASSERT_TRUE(c.unicode() >= 0x20 || c == u'\t') << "control character " << int(c.unicode());
                const bool paired =
                    c.isHighSurrogate() && k + 1 < text.size() && text.at(++k).isLowSurrogate();
                ASSERT_TRUE(paired || !c.isSurrogate()) << "unpaired surrogate";
            }
            chars += text.size();
        }
    }
    ASSERT_LE(chars, inputSize) << "every character shown is paid for by at least one input byte";
}

// A lesson cut before a control sequence or a brace reads soundly and shows the start of what the whole
// lesson shows (arbitrary bytes are the RTF fuzz target's).
TEST(RtfReader, ACutLessonGivesASoundDocument)
{
    QRandomGenerator rng(20261207);
    const QDir data(QStringLiteral(BW_DATA_DIR));
    EXPECT_FALSE(readRtfFile(data.filePath(QStringLiteral("none.rtf"))).has_value());
    for (const char *name : {"Introduction.rtf", "Horizontal.rtf", "MakeText.rtf"}) {
        QFile f(data.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray whole = f.readAll();
        const QString full = parseRtf(whole).plainText();
        for (int round = 0; round < 200; ++round) {
            SCOPED_TRACE(testing::Message() << name << " round " << round);
            qsizetype cut = rng.bounded(1, int(whole.size()));
            while (cut > 1 && !QByteArrayView("\\{}").contains(whole[cut]))
                --cut;
            const RtfDocument part = parseRtf(whole.first(cut));
            expectSound(part, cut);
            EXPECT_TRUE(!part.complete && full.startsWith(part.plainText())) << "cut at " << cut;
        }
    }
}

} // namespace

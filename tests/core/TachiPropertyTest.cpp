#include "TachiEngine.h"
#include "TachiText.h"

#include "TestText.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>

namespace {

// Prose of words of 1 to 12 characters (some outside the Basic Multilingual Plane) with what troubles the
// clean-up: runs of empty lines, lines of spaces, "****" lines, indents, tabs, and a text ending in any of
// them.
QString randomText(std::mt19937 &rng)
{
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJ.,;:'!?-*\u00e9");
    const QString odd[] = {QString(), QStringLiteral(" "), QStringLiteral("   "), QStringLiteral("****"),
                           QStringLiteral("  ****  ")};
    QStringList lines;
    for (int i = 0, count = 5 + static_cast<int>(rng() % 40); i < count; ++i) {
        if (rng() % 10 < 3) {
            lines.append(odd[rng() % 5]);
            continue;
        }
        QString line(static_cast<int>(rng() % 4), u' ');
        for (int w = 0, words = 1 + static_cast<int>(rng() % 14); w < words; ++w) {
            for (int c = 0, n = 1 + static_cast<int>(rng() % 12); c < n; ++c)
                line += rng() % 40 == 0 ? QString::fromUcs4(U"\U0001F600")
                                        : QString(letters.at(static_cast<qsizetype>(rng() % letters.size())));
            line += rng() % 15 == 0 ? u'\t' : u' ';
        }
        lines.append(line);
    }
    return lines.join(u'\n');
}

QStringList wordsOf(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

bool hasLoneSurrogate(const QString &s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            ++i;
        else if (s.at(i).isSurrogate())
            return true;
    }
    return false;
}

} // namespace

// Over many random texts, fixation widths and indents: no flash ever shows a marker or half a character, the
// flashes carry exactly the words of the formatted text in order, and the reading ends.
TEST(TachiProperty, FlashesShowEveryWordOnceAndNoMarker)
{
    std::mt19937 rng(1207);
    for (int run = 0; run < 1500; ++run) {
        const int width = 8 + static_cast<int>(rng() % 19);
        const int indent = static_cast<int>(rng() % 6);
        const int wrap = 20 + static_cast<int>(rng() % 60);
        const QString source = randomText(rng);
        MemoLines memo = memoOf(wrap, {source});
        reflowTachiText(memo);
        indentTachiText(memo, indent);

        // An empty line stands between paragraphs; the other lines carry their own spaces.
        QString formatted;
        for (const QString &line : memo.lines())
            formatted += line.isEmpty() ? QStringLiteral(" ") : line;

        TTachiEngine engine;
        engine.start(buildFlashText(memo.lines()));
        QStringList flashedWords;
        bool ended = false;
        for (int tick = 0; tick < 20000 && !ended; ++tick) {
            const TachiFlash f = engine.tick(width);
            ended = f.kind == TachiFlash::Kind::End;
            ASSERT_FALSE(f.text.contains(u'^') || f.text.contains(u'@') || hasLoneSurrogate(f.text))
                << "run " << run << " W " << width << " indent " << indent << " flash ["
                << f.text.toStdString() << "]\n"
                << source.toStdString();
            flashedWords += wordsOf(f.text);
        }
        ASSERT_TRUE(ended) << "run " << run;
        ASSERT_EQ(flashedWords, wordsOf(formatted))
            << "run " << run << " W " << width << " indent " << indent << "\n"
            << source.toStdString();
    }
}

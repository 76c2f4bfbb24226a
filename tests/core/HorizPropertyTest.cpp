#include "HorizPacer.h"
#include "TestText.h"
#include "TextChars.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Up to 60 lines of words of 1 to 10 characters (some outside the Basic Multilingual Plane), some longer
// than 80 characters, with blank lines, lines of spaces, one-word lines and indents among them.
QStringList randomLines(std::mt19937 &rng)
{
    QStringList lines;
    for (int i = 0, count = 1 + static_cast<int>(rng() % 60); i < count; ++i) {
        const auto kind = rng() % 10;
        QString line(kind < 2 ? static_cast<int>(rng() % 10) : 0, u' ');
        for (int w = 0; kind != 0 && w < (kind == 2 ? 1 : 30) && line.size() < 90; ++w) {
            line += w > 0 ? QStringLiteral(" ") : QString();
            // A one-word line is now and then too long for the pad to fit beside it or for a split.
            const int n = kind == 2 && rng() % 3 == 0 ? 40 + static_cast<int>(rng() % 50)
                                                      : 1 + static_cast<int>(rng() % 10);
            for (int c = 0; c < n; ++c)
                line += rng() % 30 == 0 ? QString::fromUcs4(U"\U0001F600")
                                        : QString(QChar(u'a' + static_cast<char16_t>(rng() % 26)));
        }
        lines.append(line);
    }
    return lines;
}

} // namespace

// Over random texts and K = 2..5, the Visible draws of the pacer reveal every word of every non-blank line
// exactly once, in order, and the reading ends.
TEST(HorizProperty, EveryWordIsRevealedOnceInOrder)
{
    std::mt19937 rng(7);
    const HorizMetrics metrics = monoMetrics();
    for (int run = 0; run < 800; ++run) {
        const int k = 2 + static_cast<int>(rng() % 4);
        const QStringList lines = randomLines(rng);
        QStringList expected;
        for (const QString &line : lines) { // as stored, a fixation revealed as its 52-character cell
            for (const QString &word : leftChars(line, 80).split(u' ', Qt::SkipEmptyParts))
                expected += leftChars(word, 52);
        }

        HorizPacer pacer(LayoutHorizontalText(lines, k), metrics);
        // Read text is drawn Covered, so every Visible draw is a reveal.
        const HorizTickInput in{45 + static_cast<int>(rng() % 200), 100, 4};
        QStringList revealed;
        bool finished = false;
        for (int tick = 0; tick < 20000 && !finished; ++tick) {
            const HorizTick t = pacer.tick(in);
            finished = t.finished;
            for (const HorizDraw &d : t.draws) {
                if (!finished && d.kind == HorizDraw::Kind::Text && d.style == HorizStyle::Visible)
                    revealed += d.text.split(u' ', Qt::SkipEmptyParts);
            }
        }
        ASSERT_TRUE(finished) << "run " << run;
        ASSERT_EQ(revealed, expected) << "run " << run << " K " << k << "\n"
                                      << lines.join(u'\n').toStdString();
    }
}

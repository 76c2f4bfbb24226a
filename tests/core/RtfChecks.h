#pragma once

#include "RtfReader.h"

#include <gtest/gtest.h>

// What must hold of any document the reader returns, whatever it was given.
inline void expectSound(const RtfDocument &doc, qsizetype inputSize)
{
    qsizetype chars = 0;
    for (const RtfParagraph &p : doc.paragraphs) {
        for (qsizetype i = 0; i < p.runs.size(); ++i) {
            const RtfRun &r = p.runs[i];
            ASSERT_FALSE(r.text.isEmpty());
            if (i > 0) {
                ASSERT_FALSE(r.format == p.runs[i - 1].format) << "adjacent runs of one format";
            }
            ASSERT_GE(r.format.halfPoints, 2);
            ASSERT_LE(r.format.halfPoints, 3276);
            if (r.format.color) {
                for (int c : {r.format.color->red, r.format.color->green, r.format.color->blue}) {
                    ASSERT_TRUE(c >= 0 && c <= 255);
                }
            }
            for (qsizetype k = 0; k < r.text.size(); ++k) {
                const QChar c = r.text.at(k);
                ASSERT_TRUE(c.unicode() >= 0x20 || c == u'\t') << "control character " << int(c.unicode());
                if (c.isHighSurrogate()) {
                    ASSERT_TRUE(k + 1 < r.text.size() && r.text.at(++k).isLowSurrogate());
                } else {
                    ASSERT_FALSE(c.isLowSurrogate());
                }
            }
            chars += r.text.size();
        }
    }
    // Every character shown is paid for by at least one input byte.
    ASSERT_LE(chars, inputSize);
}

#include "FuzzSupport.h"

#include "CreateText.h"
#include "ParagraphFormat.h"
#include "TextChars.h"

// The first two bytes choose the indent, the star rule and the box width (1..120 characters); the rest is the
// text (UTF-8).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int indent = data[0] % 8 - 1; // -1 and 6 lie outside the allowed indents
    const bool tachi = data[0] & 8;
    const int width = 1 + data[1] % 120;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    MemoLines memo([width](const QString &p) { return wrapAtCharacters(p, width); });
    memo.setText(text);
    // No word is lost, split or glued at any width or indent; only the lines past the 1000 looked at go, and
    // the words on them are counted.
    const bool whole = memo.lineCount() <= kFormatMaxLines;
    const TextLeftOut leftOut =
        tachi ? reflowParagraphs(memo, StarRuns::Drop) : formatCreateText(memo, indent);
    if (whole)
        FUZZ_CHECK(!leftOut.any() &&
                   memo.text().simplified() ==
                       (tachi ? QString(text).remove(QStringLiteral("****")) : text).simplified());
    else if (!tachi)
        FUZZ_CHECK(leftOut.lines > 0 && wordCount(memo.text()) + leftOut.words == wordCount(text));
    const QStringList lines = memo.lines();
    for (const QString &line : lines) {
        qsizetype end = line.size(); // blanks may hang past the width
        while (end > 0 && line.at(end - 1) == u' ')
            --end;
        FUZZ_CHECK(charCount(QStringView(line).left(end)) <= width);
    }
    return 0;
}

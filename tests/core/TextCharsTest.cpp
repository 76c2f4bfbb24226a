#include "TextChars.h"
#include "QtPrinters.h"
#include "TextFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kSmile = QString::fromUcs4(U"\U0001F600");

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

TEST(TextChars, APairCountsAsOneAndIsNeverCut)
{
    struct Case
    {
        const char *what;
        QString text;
        int count;
        int left;
        QString leftExpected;
    };
    const Case cases[] = {
        {"plain text", QStringLiteral("abcdef"), 6, 3, QStringLiteral("abc")},
        {"45 pairs fit in 80", kSmile.repeated(45), 45, 80, kSmile.repeated(45)},
        {"a cut after a pair", QStringLiteral("a") + kSmile + QStringLiteral("b"), 3, 2, QStringLiteral("a") + kSmile},
        {"a cut before a pair", QStringLiteral("a") + kSmile, 2, 1, QStringLiteral("a")},
        {"a lone half is one character", QString(QChar(0xD83D)) + QStringLiteral("x"), 2, 1, QString(QChar(0xD83D))},
        {"empty", QString(), 0, 5, QString()},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(charCount(c.text), c.count) << c.what;
        EXPECT_EQ(leftChars(c.text, c.left), c.leftExpected) << c.what;
        EXPECT_EQ(static_cast<int>(charOffsets(c.text).size()), c.count + 1) << c.what;
    }
    const QString mixed = QStringLiteral("ab") + kSmile + QStringLiteral("cd") + kSmile;
    EXPECT_EQ(midChars(mixed, 2, 2), kSmile + QStringLiteral("c"));
    EXPECT_EQ(midChars(mixed, 3), QStringLiteral("cd") + kSmile);
    for (int n = 0; n <= charCount(mixed); ++n)
        EXPECT_FALSE(hasLoneSurrogate(leftChars(mixed, n)) || hasLoneSurrogate(midChars(mixed, n))) << n;
}

TEST(TextFile, ATabIsReadAsASpace)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("t.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Plain\tline with tabs inside it\n\t\tindented\r\n");
    f.close();
    const auto lines = readTextFileLines(f.fileName());
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, (QStringList{QStringLiteral("Plain line with tabs inside it"), QStringLiteral("  indented")}));
}

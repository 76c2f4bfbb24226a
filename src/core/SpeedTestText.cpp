#include "SpeedTestText.h"

#include "TextChars.h"
#include "Wpm.h"

#include <algorithm>
#include <cmath>

void layoutSpeedTestText(TSpeedTestValues &v, const QStringList &fileLines, int lineHeight)
{
    const qsizetype n = std::min<qsizetype>(fileLines.size(), kSpeedTestMaxLines);
    v.SpeedTestLines.clear();
    v.SpeedTestLines.reserve(n);
    v.SpeedTestWordCount = 0.0;
    v.SpeedTestSeconds = 0.0;
    v.SpeedTestWpm = 0.0;
    v.SpeedTestWpmText.clear();
    for (qsizetype k = 0; k < n; ++k) {
        QString line = leftChars(fileLines.at(k), kSpeedTestLineCapacity);
        if (line.contains(QStringLiteral("****")))
            line = leftChars(line, charCount(line) - 5);
        v.SpeedTestWordCount += static_cast<double>(charCount(line)) / 5.0;
        v.SpeedTestLines.append(line);
    }
    v.SpeedTestPageEnd = speedTestPageEnd(static_cast<int>(n), lineHeight);
}

int speedTestPageEnd(int lineCount, int lineHeight)
{
    return kSpeedTestLeftMargin + lineCount * lineHeight + 120;
}

int speedTestPageStep(int lineHeight, int clientHeight)
{
    const int h = std::max(lineHeight, 1);
    // The smallest multiple of h above the client height, at least 2h, less the line that stays.
    const int p = std::max(2, std::max(clientHeight, 0) / h + 1) * h;
    return p - h;
}

int speedTestScrollMaximum(int pageEnd, int clientHeight)
{
    return std::max(0, pageEnd - clientHeight);
}

bool inSpeedTestEndZone(int position, int scrollMaximum)
{
    return position > scrollMaximum - kSpeedTestEndZone;
}

void countSpeedTestSecond(TSpeedTestValues &v)
{
    if (v.SpeedTestSeconds > 9999999999.0)
        v.SpeedTestSeconds = 0.0;
    v.SpeedTestSeconds += 1.0;
}

void scoreSpeedTest(TSpeedTestValues &v)
{
    if (const auto wpm = wordsPerMinute(v.SpeedTestWordCount, v.SpeedTestSeconds))
        v.SpeedTestWpm = *wpm;
    v.SpeedTestWpmText = wpmText(v.SpeedTestWpm).left(255);
}

QString speedTestScoreMessage(const QString &wpmText)
{
    return QStringLiteral("You were reading at ") + wpmText + QStringLiteral(" words per minute. ") +
           QStringLiteral("Make a note of this score to track your progress. ") +
           QStringLiteral("Load another file if you want to take another test.");
}

QString speedTestClockText(double seconds)
{
    const auto total = static_cast<long long>(std::max(0.0, std::floor(seconds)));
    return QStringLiteral("%1:%2").arg(total / 60).arg(total % 60, 2, 10, QLatin1Char('0'));
}

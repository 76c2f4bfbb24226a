#include "Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(cp1252::encode(cp1252::decode(all)), all);
}

TEST(Cp1252, MapsTheHighControlsToTheirCharacters)
{
    EXPECT_EQ(cp1252::decode(QByteArray("\x80\x93\x94\x85")), QString::fromUtf8("\u20ac\u201c\u201d\u2026"));
    EXPECT_EQ(cp1252::encode(QString::fromUtf8("\u2014 \u4e2d")), QByteArray("\x97 ?"));
}

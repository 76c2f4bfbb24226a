#include "app/Convert.h"

#include <algorithm>

QColor toQColor(std::int32_t stored)
{
    const auto v = static_cast<std::uint32_t>(stored);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

std::int32_t toStoredColor(const QColor &color)
{
    const QColor c = color.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(c.red()) |
                                     (static_cast<std::uint32_t>(c.green()) << 8) |
                                     (static_cast<std::uint32_t>(c.blue()) << 16));
}

QFont toQFont(const QString &name, int pointSize, std::uint8_t style)
{
    QFont font(name.isEmpty() ? QStringLiteral("Times New Roman") : name);
    font.setPointSize(std::clamp(pointSize, 6, 72));
    font.setBold((style & fsBold) != 0);
    font.setItalic((style & fsItalic) != 0);
    font.setUnderline((style & fsUnderline) != 0);
    font.setStrikeOut((style & fsStrikeOut) != 0);
    return font;
}

QFont toQFont(const TFontGroup &group)
{
    return toQFont(group.Name, group.Size, group.Style);
}

FontChoice toFontChoice(const TFontGroup &group)
{
    return FontChoice{toQFont(group), toQColor(group.Color)};
}

std::uint8_t toStoredStyle(const QFont &font)
{
    std::uint8_t style = 0;
    if (font.bold())
        style |= fsBold;
    if (font.italic())
        style |= fsItalic;
    if (font.underline())
        style |= fsUnderline;
    if (font.strikeOut())
        style |= fsStrikeOut;
    return style;
}

TFontGroup toFontGroup(const FontChoice &choice)
{
    return TFontGroup{choice.font.family().left(40), choice.font.pointSize(), toStoredStyle(choice.font),
                      toStoredColor(choice.color)};
}

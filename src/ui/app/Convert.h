#pragma once

#include "Services.h"
#include "Settings.h"

#include <QColor>
#include <QFont>

// Colours are stored as $00BBGGRR, red in the low byte.
QColor toQColor(std::int32_t stored);
std::int32_t toStoredColor(const QColor &color);

QFont toQFont(const QString &name, int pointSize, std::uint8_t style);
QFont toQFont(const TFontGroup &group);
FontChoice toFontChoice(const TFontGroup &group);
std::uint8_t toStoredStyle(const QFont &font);
// Name cut to the 40 characters the record holds.
TFontGroup toFontGroup(const FontChoice &choice);

#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252 conversion: the settings record and old text files use this single-byte code page,
// and Qt has no codec for it.
namespace cp1252 {

QString decode(const QByteArray &bytes);
// Characters outside the code page become '?'.
QByteArray encode(const QString &text);

} // namespace cp1252

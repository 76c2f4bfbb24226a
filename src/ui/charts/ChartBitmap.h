#pragma once

#include <QImage>
#include <QString>

#include <optional>

// Chart pictures on disk are Windows bitmaps (.bmp), so that the viewer and common image tools open them.

// Writes the image whole or not at all; false when the file could not be written (no permission, disk full).
bool saveChartBitmap(const QImage &image, const QString &path);
// The picture in a bitmap file; none when the file is missing or is not a bitmap that can be shown.
std::optional<QImage> loadChartBitmap(const QString &path);

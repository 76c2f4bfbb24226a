#include "charts/ChartBitmap.h"

#include <QImageReader>
#include <QSaveFile>

bool saveChartBitmap(const QImage &image, const QString &path)
{
    if (image.isNull())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!image.save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QImage> loadChartBitmap(const QString &path)
{
    QImageReader reader(path, "bmp");
    // Only a real bitmap is shown: a picture of another kind named .bmp is refused like any other file.
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}

#include "Platform/Drawing/PLNamedImages.h"

#include "Platform/System/PLResources.h"

#include <QHash>

namespace {
QHash<QString, QImage>& cache()
{
    static QHash<QString, QImage> images;
    return images;
}

QImage readImage(const QString& name)
{
    const QString folder = QStringLiteral("Images");
    const QString doublePath = PLResources::pathFor(name + QStringLiteral("@2x.png"), folder);
    if (!doublePath.isEmpty()) {
        QImage image(doublePath);
        if (!image.isNull()) {
            image.setDevicePixelRatio(2.0);
            return image;
        }
    }
    const QString path = PLResources::pathFor(name + QStringLiteral(".png"), folder);
    if (path.isEmpty()) return QImage();
    QImage image(path);
    if (!image.isNull()) image.setDevicePixelRatio(1.0);
    return image;
}
}

QImage PLNamedImages::imageNamed(const QString& name)
{
    if (name.isEmpty()) return QImage();
    auto found = cache().constFind(name);
    if (found != cache().constEnd()) return *found;
    // Missing pictures are remembered too, so that a missing one costs no file look-ups.
    return *cache().insert(name, readImage(name));
}

QImage PLNamedImages::imageNamedAtScale(const QString& name, int scale)
{
    if (name.isEmpty() || (scale != 1 && scale != 2)) return QImage();
    const QString path = PLResources::pathFor(name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png")),
                                              QStringLiteral("Images"));
    if (path.isEmpty()) return QImage();
    QImage image(path);
    if (!image.isNull()) image.setDevicePixelRatio(scale);
    return image;
}

void PLNamedImages::clearCache()
{
    cache().clear();
}

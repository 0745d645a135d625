#pragma once

// Helpers shared by the picture generators in tools/ (header only; each tool is built on
// its own).
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QSize>
#include <QString>
#include <QTextStream>

#include <functional>

using Drawing = std::function<void(QPainter&)>;

// A pen with round joins and caps, as every drawing uses.
inline QPen pen(const QColor& color, qreal width = 1.0)
{
    QPen result(color, width);
    result.setJoinStyle(Qt::RoundJoin);
    result.setCapStyle(Qt::RoundCap);
    return result;
}

// The drawing, made in points, rendered antialiased at a scale onto a transparent image of
// the size in points times the scale.
inline QImage renderDrawing(const Drawing& draw, QSize points, int scale)
{
    QImage image(points * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        draw(painter);
    }
    // Pictures state 72 dpi per point at 1x, so that they read at their size in points.
    const int dotsPerMetre = qRound(72.0 * scale / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

// Saves an image as PNG, saying on the error stream when it cannot.
inline bool savePicture(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG")) return true;
    QTextStream(stderr) << "cannot write " << path << "\n";
    return false;
}

// The drawing at 1x and 2x as "<folder>/<name>.png" and "<folder>/<name>@2x.png".
inline bool writePictures(const QString& folder, const QString& name, QSize points, const Drawing& draw)
{
    for (int scale : {1, 2}) {
        const QString suffix = scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
        if (!savePicture(renderDrawing(draw, points, scale), folder + QLatin1Char('/') + name + suffix)) return false;
    }
    return true;
}

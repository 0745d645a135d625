#pragma once

// Helpers shared by the picture generators in tools/ (header only; each tool is built on
// its own).
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QSize>

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

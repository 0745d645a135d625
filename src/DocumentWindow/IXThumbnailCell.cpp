#include "DocumentWindow/IXThumbnailCell.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace {

QSizeF pointSize(const QImage& image)
{
    if (image.isNull()) return {};
    const double ratio = std::max(1.0, image.devicePixelRatio());
    return QSizeF(image.width() / ratio, image.height() / ratio);
}

// A white disc with a dark arrow leaving it toward the top right: the sign of a linked item.
QImage drawnLinkArrow()
{
    constexpr int Side = 64;
    QImage marker(Side, Side, QImage::Format_ARGB32_Premultiplied);
    marker.fill(Qt::transparent);
    QPainter painter(&marker);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 0, 140), 3));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(2, 2, Side - 4, Side - 4), 10, 10);
    QPainterPath arrow;
    arrow.moveTo(18, 48);
    arrow.cubicTo(18, 30, 26, 22, 42, 22);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(arrow);
    QPainterPath head;
    head.moveTo(36, 10);
    head.lineTo(52, 22);
    head.lineTo(36, 34);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(head);
    return marker;
}

}  // namespace

IXThumbnailCell::IXThumbnailCell() = default;

QImage IXThumbnailCell::markerImage() const
{
    if (m_markerImage.isNull()) m_markerImage = drawnLinkArrow();
    return m_markerImage;
}

QSizeF IXThumbnailCell::imageSizeForCellSize(QSizeF cellSize) const
{
    return imageSizeForCellSize(pointSize(m_image), cellSize);
}

QSizeF IXThumbnailCell::imageSizeForCellSize(QSizeF pictureSize, QSizeF cellSize)
{
    const double side = cellSize.width() - 4;
    if (pictureSize.isEmpty() || cellSize.isNull() || (side == 0 && cellSize.height() == 0)) return pictureSize;
    double width = pictureSize.width(), height = pictureSize.height();
    if (width <= side && height <= side) return pictureSize;
    if (side <= 0) return {};
    if (width >= height) {
        height = std::ceil(height * side / width);
        width = side;
    } else {
        width = std::ceil(width * side / height);
        height = side;
    }
    const auto even = [](double value) { return 2 * std::floor(value / 2); };
    return QSizeF(even(width), even(height));
}

QRectF IXThumbnailCell::imageFrameWithFrame(const QRectF& frame) const
{
    const QSizeF size = imageSizeForCellSize(frame.size());
    const double side = frame.width();
    return QRectF(frame.x() + std::ceil(side - size.width()) * 0.5, frame.y() + std::ceil(side - size.height()) * 0.5,
                  size.width(), size.height());
}

QImage IXThumbnailCell::imageWithSize(QSizeF size, double fraction) const
{
    if (m_image.isNull() || size.isEmpty()) return {};
    const double ratio = std::max(1.0, m_image.devicePixelRatio());
    QImage scaled(QSize(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio))),
                  QImage::Format_ARGB32_Premultiplied);
    scaled.fill(Qt::transparent);
    {
        QPainter painter(&scaled);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setOpacity(fraction);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(scaled.size())), m_image);
    }
    scaled.setDevicePixelRatio(ratio);
    return scaled;
}

QImage IXThumbnailCell::dragImageWithFrame(const QRectF& frame) const
{
    if (m_image.isNull()) return {};
    return imageWithSize(imageSizeForCellSize(frame.size()), 0.5);
}

void IXThumbnailCell::drawWithFrame(QPainter& painter, const QRectF& frame, const QPalette& palette) const
{
    const double width = frame.width();
    const double radius = std::ceil(width / 25);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF outline = frame.adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_drawImageBackground) {
        // The frame's shadow: dark, a point below, blurred over a few points.
        for (int step = 3; step >= 1; --step) {
            painter.setPen(QPen(QColor(0, 0, 0, 40 / step), 1 + step));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(outline.translated(0, 1), radius, radius);
        }
        painter.setPen(QPen(palette.color(QPalette::Window).darker(130), 1));
        painter.setBrush(palette.color(QPalette::Base));
        painter.drawRoundedRect(outline, radius, radius);
    }
    const QRectF pictureFrame = imageFrameWithFrame(frame);
    if (!m_image.isNull() && !pictureFrame.isEmpty()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, m_hiQuality);
        painter.drawImage(pictureFrame, m_hiQuality ? imageWithSize(pictureFrame.size()) : m_image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    if (m_linkMarker) {
        const double side = std::max(4.0, width / 10);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(frame.x(), frame.y() + width - side, side, side), markerImage());
    }
    if (m_highlighted) {
        const QColor color = m_selectionColor.isValid() ? m_selectionColor : palette.color(QPalette::Highlight);
        painter.setBrush(Qt::NoBrush);
        if (m_drawImageBackground) {
            painter.setPen(QPen(color, 2));
            painter.drawRoundedRect(frame.adjusted(1, 1, -1, -1), radius, radius);
        } else {
            painter.setPen(QPen(color, 4));
            painter.drawRect(pictureFrame.adjusted(2, 2, -2, -2));
        }
    }
    if (!m_title.isEmpty()) {
        const QRectF strip(frame.x(), frame.y() + width + 2, width, frame.height() - width - 1);
        if (m_drawsBackground && m_backgroundColor.isValid()) painter.fillRect(strip, m_backgroundColor);
        painter.setFont(m_font);
        painter.setPen(m_textColor);
        const QFontMetricsF metrics(m_font);
        painter.drawText(strip, (m_alignment | Qt::AlignTop).toInt(),
                         metrics.elidedText(m_title, m_elide, strip.width()));
    }
    painter.restore();
}

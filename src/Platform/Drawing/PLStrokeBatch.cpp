#include "Platform/Drawing/PLStrokeBatch.h"

#include "Platform/Drawing/PLCoverageRaster.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace {

// The target's pixels (a transparency layer's while one is open).
QRect deviceRect(const QPainter& painter)
{
    QPaintDevice* device = painter.device();
    if (auto* image = dynamic_cast<QImage*>(device)) return QRect(QPoint(0, 0), image->size());
    if (auto* pixmap = dynamic_cast<QPixmap*>(device)) return QRect(QPoint(0, 0), pixmap->size());
    const qreal ratio = device->devicePixelRatioF();
    return QRect(0, 0, int(std::ceil(device->width() * ratio)), int(std::ceil(device->height() * ratio)));
}

// The subpaths of the path in device space as polylines, curves flattened to within
// tolerance; closed ones end at their start and say so.
struct Polyline {
    std::vector<QPointF> points;
    bool closed = false;
};

std::vector<Polyline> devicePolylines(const PLBezierPath& path, const QTransform& device, qreal tolerance)
{
    using ElementType = PLBezierPath::ElementType;
    std::vector<Polyline> polylines;
    QPointF start;
    const auto current = [&]() -> Polyline& {
        if (polylines.empty()) polylines.push_back({{start}, false});
        return polylines.back();
    };
    for (const PLBezierPath::Element& e : path.elements()) {
        switch (e.type) {
        case ElementType::MoveTo:
            start = device.map(QPointF(e.points[0].x, e.points[0].y));
            polylines.push_back({{start}, false});
            break;
        case ElementType::LineTo:
            current().points.push_back(device.map(QPointF(e.points[0].x, e.points[0].y)));
            break;
        case ElementType::CurveTo: {
            Polyline& line = current();
            const QPointF p0 = line.points.back();
            const QPointF p1 = device.map(QPointF(e.points[0].x, e.points[0].y));
            const QPointF p2 = device.map(QPointF(e.points[1].x, e.points[1].y));
            const QPointF p3 = device.map(QPointF(e.points[2].x, e.points[2].y));
            // Even steps of n depart from the curve by at most 3/4 of the largest second
            // difference of the control points over n squared.
            const QPointF d1 = p0 - 2 * p1 + p2, d2 = p1 - 2 * p2 + p3;
            const qreal bend = std::sqrt(std::max(QPointF::dotProduct(d1, d1), QPointF::dotProduct(d2, d2)));
            const qreal wanted = std::sqrt(0.75 * bend / tolerance);
            const int steps = std::isfinite(wanted) ? int(std::clamp(std::ceil(wanted), 1.0, 4096.0)) : 1;
            for (int k = 1; k <= steps; ++k) {
                const qreal t = qreal(k) / steps, u = 1 - t;
                line.points.push_back(u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3);
            }
            break;
        }
        case ElementType::ClosePath: {
            Polyline& line = current();
            line.points.push_back(line.points.front());
            line.closed = true;
            // What follows a close starts again at the closed subpath's start.
            start = line.points.front();
            polylines.push_back({{start}, false});
            break;
        }
        }
    }
    return polylines;
}

// Whether every subpath is one straight segment or a run of curves, as lines between
// branches are: bevelled joins then draw what the path's own joins draw (a corner would
// show its miter or its round).
bool joinsAlike(const PLBezierPath& path)
{
    using ElementType = PLBezierPath::ElementType;
    ElementType previous = ElementType::MoveTo;
    for (const PLBezierPath::Element& e : path.elements()) {
        if (e.type == ElementType::ClosePath) return false;
        if (e.type == ElementType::LineTo && previous != ElementType::MoveTo) return false;
        if (e.type == ElementType::CurveTo && previous == ElementType::LineTo) return false;
        previous = e.type;
    }
    return true;
}

// The length of a vector (coordinates here stay far below where squaring could overflow).
inline qreal lengthOf(QPointF d)
{
    return std::sqrt(d.x() * d.x() + d.y() * d.y());
}

// Adds the stroke of the polyline: a rectangle per segment, a bevel at every joint that
// turns enough to leave a gap, the caps at the ends of an open one.
void addStroke(PLCoverageRaster& raster, const Polyline& line, qreal width, PLBezierPath::LineCap cap)
{
    std::vector<QPointF> points;
    points.reserve(line.points.size());
    for (const QPointF& point : line.points)
        if (points.empty() || point != points.back()) points.push_back(point);
    const qreal half = width / 2;
    if (points.size() < 2) {
        if (!line.closed && !points.empty() && cap == PLBezierPath::LineCap::Round)
            raster.addDisc(points.front(), half);
        return;
    }
    const std::size_t n = points.size();
    // Each segment's unit direction scaled to half the width, and its normal.
    std::vector<QPointF> along(n - 1), normals(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const QPointF d = points[i + 1] - points[i];
        along[i] = d * (half / lengthOf(d));
        normals[i] = QPointF(-along[i].y(), along[i].x());
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        QPointF a = points[i], b = points[i + 1];
        if (!line.closed && cap == PLBezierPath::LineCap::Square) {
            if (i == 0) a -= along[i];
            if (i + 2 == n) b += along[i];
        }
        const QPointF corners[4] = {a + normals[i], b + normals[i], b - normals[i], a - normals[i]};
        raster.addPolygon(corners, 4);
    }
    // Where segments meet almost straight the wedge between them covers less than a
    // five-hundredth of a pixel: nothing to see, and flattened curves have thousands.
    constexpr qreal NegligibleArea = 0.002;
    const auto bevel = [&](QPointF at, QPointF n1, QPointF n2) {
        if (std::fabs(n1.x() * n2.y() - n1.y() * n2.x()) / 2 < NegligibleArea) return;
        const QPointF outer[3] = {at, at + n1, at + n2};
        const QPointF inner[3] = {at, at - n1, at - n2};
        raster.addPolygon(outer, 3);
        raster.addPolygon(inner, 3);
    };
    for (std::size_t i = 1; i + 1 < n; ++i) bevel(points[i], normals[i - 1], normals[i]);
    if (line.closed && n > 2) bevel(points[0], normals[n - 2], normals[0]);
    if (!line.closed && cap == PLBezierPath::LineCap::Round) {
        raster.addDisc(points.front(), half);
        raster.addDisc(points.back(), half);
    }
}

}  // namespace

void PLStrokeBatch::strokeAsOne(PLGraphicsContext& context, const std::vector<PLBezierPath>& paths)
{
    const PLColor color = context.color();
    if (color.isNull() || paths.empty()) return;
    QPainter& painter = context.painter();
    const QTransform device = painter.deviceTransform();
    // Widths scale alike in both directions only under a scale that may flip but not turn.
    const qreal scale = std::fabs(device.m11());
    const std::optional<PLShadow> shadow = context.shadow();
    const bool plain = context.shouldAntialias() && !(shadow && shadow->isVisible())
        && context.compositingOperation() == PLGraphicsContext::CompositingOperation::SourceOver
        && device.type() <= QTransform::TxScale && scale > 0
        && std::fabs(std::fabs(device.m22()) - scale) < 1e-9 * scale;
    std::vector<const PLBezierPath*> asOne;
    for (const PLBezierPath& path : paths) {
        // Qt draws lines no wider than a pixel as hairlines, which this would not match.
        if (plain && path.lineDashPattern().empty() && path.lineWidth() * scale > 1 && joinsAlike(path))
            asOne.push_back(&path);
        else
            context.strokePath(path);
    }
    if (asOne.empty()) return;
    QRect target = deviceRect(painter);
    // What the clip lets through (a view's exposed region, a group's clip), in device pixels.
    if (const QPaintEngine* engine = painter.paintEngine(); engine && !engine->systemClip().isEmpty())
        target &= engine->systemClip().boundingRect();
    if (painter.hasClipping()) target &= device.mapRect(painter.clipBoundingRect()).toAlignedRect();
    constexpr qreal Tolerance = 0.1;
    std::vector<std::pair<std::vector<Polyline>, const PLBezierPath*>> shapes;
    qreal left = HUGE_VAL, top = HUGE_VAL, right = -HUGE_VAL, bottom = -HUGE_VAL;
    for (const PLBezierPath* path : asOne) {
        std::vector<Polyline> lines = devicePolylines(*path, device, Tolerance);
        const qreal grow = path->lineWidth() * scale / 2 + 1;
        for (const Polyline& line : lines) {
            for (const QPointF& point : line.points) {
                left = std::min(left, point.x() - grow);
                right = std::max(right, point.x() + grow);
                top = std::min(top, point.y() - grow);
                bottom = std::max(bottom, point.y() + grow);
            }
        }
        shapes.emplace_back(std::move(lines), path);
    }
    if (!(left < right && top < bottom)) return;
    const QRectF reach(left, top, right - left, bottom - top);
    // A pixel more around what shows: the first column sums what lies left of it.
    const QRect area = reach.toAlignedRect().intersected(target.adjusted(-1, -1, 1, 1));
    if (area.isEmpty()) return;
    PLCoverageRaster raster(area);
    for (const auto& [lines, path] : shapes)
        for (const Polyline& line : lines) addStroke(raster, line, path->lineWidth() * scale, path->lineCapStyle());
    painter.save();
    const qreal ratio = painter.device()->devicePixelRatioF();
    painter.setWorldTransform(QTransform());
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(context.alpha());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QColor qcolor = color.toQColor();
    // Only the bands the lines reach: a few lines across the view cost what they cover. When
    // they reach most of the area anyway, it goes as one picture (each band pays for the clip).
    std::vector<QRect> bands = raster.bands();
    qint64 reached = 0;
    for (const QRect& band : bands) reached += qint64(band.width()) * band.height();
    if (bands.size() > 1 && 2 * reached > qint64(area.width()) * area.height()) bands = {area};
    for (const QRect& band : bands) {
        QImage image = raster.image(qcolor, band);
        image.setDevicePixelRatio(ratio);
        painter.drawImage(QPointF(band.topLeft()) / ratio, image);
    }
    painter.restore();
}

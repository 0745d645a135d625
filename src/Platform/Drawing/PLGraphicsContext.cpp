#include "Platform/Drawing/PLGraphicsContext.h"

#include "Platform/Drawing/PLImage.h"
#include "Platform/Drawing/PLPathCutting.h"
#include "Platform/Drawing/PLShadowRenderer.h"

#include <QImage>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

PLGraphicsContext* s_current = nullptr;

QPainter::CompositionMode qtMode(PLGraphicsContext::CompositingOperation operation)
{
    using Op = PLGraphicsContext::CompositingOperation;
    switch (operation) {
    case Op::Clear: return QPainter::CompositionMode_Clear;
    case Op::Copy: return QPainter::CompositionMode_Source;
    case Op::SourceOver: return QPainter::CompositionMode_SourceOver;
    case Op::SourceIn: return QPainter::CompositionMode_SourceIn;
    case Op::SourceOut: return QPainter::CompositionMode_SourceOut;
    case Op::SourceAtop: return QPainter::CompositionMode_SourceAtop;
    case Op::DestinationOver: return QPainter::CompositionMode_DestinationOver;
    case Op::DestinationIn: return QPainter::CompositionMode_DestinationIn;
    case Op::DestinationOut: return QPainter::CompositionMode_DestinationOut;
    case Op::DestinationAtop: return QPainter::CompositionMode_DestinationAtop;
    case Op::XOR: return QPainter::CompositionMode_Xor;
    case Op::PlusLighter: return QPainter::CompositionMode_Plus;
    }
    return QPainter::CompositionMode_SourceOver;
}

QColor qtColor(const PLColor& color)
{
    return color.isNull() ? QColor(0, 0, 0, 0) : color.toQColor();
}

// The subpaths of the path as lines, when each is a single straight segment.
std::optional<std::vector<QLineF>> straightSegments(const PLBezierPath& path)
{
    using ElementType = PLBezierPath::ElementType;
    const std::vector<PLBezierPath::Element>& elements = path.elements();
    if (elements.size() % 2 != 0) return std::nullopt;
    std::vector<QLineF> lines;
    lines.reserve(elements.size() / 2);
    for (size_t i = 0; i < elements.size(); i += 2) {
        if (elements[i].type != ElementType::MoveTo || elements[i + 1].type != ElementType::LineTo) return std::nullopt;
        const PLPoint a = elements[i].points[0], b = elements[i + 1].points[0];
        lines.emplace_back(a.x, a.y, b.x, b.y);
    }
    return lines;
}

// The shading as a gradient brush, padded beyond its ends.
QBrush shadingBrush(const PLShading& shading)
{
    const PLPoint s = shading.start(), e = shading.end();
    QLinearGradient gradient(QPointF(s.x, s.y), QPointF(e.x, e.y));
    const auto& samples = shading.samples();
    for (size_t i = 0; i < samples.size(); ++i)
        gradient.setColorAt(samples.size() > 1 ? double(i) / double(samples.size() - 1) : 0, qtColor(samples[i]));
    gradient.setSpread(QGradient::PadSpread);
    // Each channel on its own, as the samples are: a clear end fades without darkening.
    gradient.setInterpolationMode(QGradient::ComponentInterpolation);
    return QBrush(gradient);
}

// The highest alpha among the shading's colours.
float highestAlpha(const PLShading& shading)
{
    float alpha = 0;
    for (const PLColor& color : shading.samples()) alpha = std::max(alpha, color.alpha());
    return alpha;
}

}  // namespace

// An open transparency layer: its pixels, its painter, where it lies on the device, and
// what to go back to when it ends.
struct PLGraphicsContext::Layer {
    QImage image;
    std::unique_ptr<QPainter> painter;
    QRect deviceRect;
    QTransform base;
    State outerState;
    size_t stackDepth = 0;
};

PLGraphicsContext::PLGraphicsContext(QImage& image, bool drawingToScreen)
    : m_ownedPainter(std::make_unique<QPainter>(&image)), m_drawingToScreen(drawingToScreen)
{
    m_painter = m_ownedPainter.get();
    m_base = QTransform(1, 0, 0, -1, 0, image.deviceIndependentSize().height());
    init();
}

PLGraphicsContext::PLGraphicsContext(QPainter& painter, float height, bool drawingToScreen)
    : m_painter(&painter), m_drawingToScreen(drawingToScreen)
{
    m_base = QTransform(1, 0, 0, -1, 0, height) * painter.worldTransform();
    init();
}

void PLGraphicsContext::init()
{
    m_painter->save();
    m_painter->setWorldTransform(m_base);
    m_previous = s_current;
    s_current = this;
}

PLGraphicsContext::~PLGraphicsContext()
{
    while (!m_layers.empty()) endTransparencyLayer();
    while (!m_stack.empty()) restoreGraphicsState();
    m_painter->restore();
    if (m_ownedPainter) m_ownedPainter->end();
    s_current = m_previous;
}

PLGraphicsContext* PLGraphicsContext::currentContext()
{
    return s_current;
}

QPainter& PLGraphicsContext::painter() const
{
    return m_layers.empty() ? *m_painter : *m_layers.back()->painter;
}

QTransform PLGraphicsContext::baseTransform() const
{
    return m_layers.empty() ? m_base : m_layers.back()->base;
}

void PLGraphicsContext::saveGraphicsState()
{
    m_stack.push_back(m_state);
    painter().save();
}

void PLGraphicsContext::restoreGraphicsState()
{
    const size_t floor = m_layers.empty() ? 0 : m_layers.back()->stackDepth;
    if (m_stack.size() <= floor) return;
    m_state = m_stack.back();
    m_stack.pop_back();
    painter().restore();
}

void PLGraphicsContext::setAlpha(float alpha)
{
    m_state.alpha = std::clamp(alpha, 0.0f, 1.0f);
}

PLAffineTransform PLGraphicsContext::currentTransform() const
{
    const QTransform user = painter().worldTransform() * baseTransform().inverted();
    return PLAffineTransform(float(user.m11()), float(user.m12()), float(user.m21()), float(user.m22()), float(user.dx()),
                             float(user.dy()));
}

void PLGraphicsContext::concat(const PLAffineTransform& transform)
{
    painter().setWorldTransform(transform.toQTransform() * painter().worldTransform());
}

PLSize PLGraphicsContext::devicePixelSize() const
{
    const QTransform inverse = painter().deviceTransform().inverted();
    const QPointF origin = inverse.map(QPointF(0, 0));
    const QPointF x = inverse.map(QPointF(1, 0)) - origin;
    const QPointF y = inverse.map(QPointF(0, 1)) - origin;
    return PLSize(float(std::hypot(x.x(), x.y())), float(std::hypot(y.x(), y.y())));
}

void PLGraphicsContext::clipToPath(const PLBezierPath& path)
{
    painter().setClipPath(path.toQPainterPath(), Qt::IntersectClip);
}

void PLGraphicsContext::clipToRect(const PLRect& rect)
{
    painter().setClipRect(QRectF(rect.minX(), rect.minY(), rect.width(), rect.height()), Qt::IntersectClip);
}

PLRect PLGraphicsContext::clipBoundingBox() const
{
    QPainter& painter = this->painter();
    bool invertible = false;
    const QTransform toUser = painter.deviceTransform().inverted(&invertible);
    if (!invertible) return PLRect();
    QRectF reach = toUser.mapRect(QRectF(deviceRect()));
    if (painter.hasClipping()) reach = reach.intersected(painter.clipBoundingRect());
    if (reach.isEmpty()) return PLRect();
    return PLRect(float(reach.x()), float(reach.y()), float(reach.width()), float(reach.height()));
}

QRect PLGraphicsContext::deviceRect() const
{
    if (!m_layers.empty()) return QRect(QPoint(0, 0), m_layers.back()->image.size());
    QPaintDevice* device = m_painter->device();
    if (auto* image = dynamic_cast<QImage*>(device)) return QRect(QPoint(0, 0), image->size());
    if (auto* pixmap = dynamic_cast<QPixmap*>(device)) return QRect(QPoint(0, 0), pixmap->size());
    const qreal ratio = device->devicePixelRatioF();
    return QRect(0, 0, int(std::ceil(device->width() * ratio)), int(std::ceil(device->height() * ratio)));
}

void PLGraphicsContext::beginTransparencyLayer()
{
    QRect rect = deviceRect();
    if (painter().hasClipping())
        rect = rect.intersected(painter().deviceTransform().mapRect(painter().clipBoundingRect()).toAlignedRect());
    beginLayer(rect);
}

void PLGraphicsContext::beginTransparencyLayerInRect(const PLRect& rect)
{
    const QRectF user(rect.minX(), rect.minY(), rect.width(), rect.height());
    beginLayer(painter().deviceTransform().mapRect(user).toAlignedRect().intersected(deviceRect()));
}

void PLGraphicsContext::beginLayer(const QRect& requested)
{
    QPainter& outer = painter();
    const QRect rect = requested.isValid() ? requested : QRect(0, 0, 1, 1);
    auto layer = std::make_unique<Layer>();
    layer->image = QImage(rect.size(), QImage::Format_ARGB32_Premultiplied);
    layer->image.fill(Qt::transparent);
    layer->deviceRect = rect;
    const QTransform toLayer = QTransform::fromTranslate(-rect.x(), -rect.y());
    layer->base = baseTransform() * outer.worldTransform().inverted() * outer.deviceTransform() * toLayer;
    layer->outerState = m_state;
    layer->painter = std::make_unique<QPainter>(&layer->image);
    layer->painter->setWorldTransform(outer.deviceTransform() * toLayer);
    m_stack.push_back(m_state);
    layer->stackDepth = m_stack.size();
    // Inside the layer everything starts plain; the layer as a whole gets them at its end.
    m_state.alpha = 1;
    m_state.shadow.reset();
    m_state.operation = CompositingOperation::SourceOver;
    m_layers.push_back(std::move(layer));
}

void PLGraphicsContext::endTransparencyLayer()
{
    if (m_layers.empty()) return;
    std::unique_ptr<Layer> layer = std::move(m_layers.back());
    m_layers.pop_back();
    layer->painter->end();
    m_stack.resize(layer->stackDepth - 1);
    m_state = layer->outerState;

    QPainter& outer = preparedPainter();
    outer.save();
    const qreal ratio = outer.device()->devicePixelRatioF();
    outer.setWorldTransform(QTransform());
    outer.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (m_state.shadow && m_state.shadow->isVisible()) {
        const PLShadow& shadow = *m_state.shadow;
        const int margin = int(std::ceil(shadow.blurRadius * ratio * 1.5)) + 1;
        QImage shadowImage = PLShadowRenderer::shadowImage(layer->image, margin, qtColor(shadow.color), shadow.blurRadius * ratio);
        shadowImage.setDevicePixelRatio(ratio);
        const QPointF at(layer->deviceRect.x() - margin + shadow.offset.width * ratio,
                         layer->deviceRect.y() - margin - shadow.offset.height * ratio);
        outer.drawImage(at / ratio, shadowImage);
    }
    layer->image.setDevicePixelRatio(ratio);
    outer.drawImage(QPointF(layer->deviceRect.topLeft()) / ratio, layer->image);
    outer.restore();
}

bool PLGraphicsContext::paintsNothing(float alpha) const
{
    // Painting a clear colour over what is there leaves it as it was, but a PDF or a printer
    // still records every such shape (with its gradient, or its outline for a clear pen).
    return m_state.operation == CompositingOperation::SourceOver && (alpha <= 0 || m_state.alpha <= 0);
}

QPainter& PLGraphicsContext::preparedPainter()
{
    QPainter& p = painter();
    p.setCompositionMode(qtMode(m_state.operation));
    p.setOpacity(m_state.alpha);
    p.setRenderHint(QPainter::Antialiasing, m_state.antialias);
    p.setRenderHint(QPainter::TextAntialiasing, m_state.antialias);
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_state.interpolation != ImageInterpolation::None);
    return p;
}

void PLGraphicsContext::drawPrimitive(const QRectF& deviceBounds, const std::function<void(QPainter&)>& draw)
{
    if (!m_state.shadow || !m_state.shadow->isVisible()) {
        draw(preparedPainter());
        return;
    }
    const qreal ratio = painter().device()->devicePixelRatioF();
    const PLShadow& shadow = *m_state.shadow;
    const int margin = int(std::ceil(shadow.blurRadius * ratio * 1.5 + std::hypot(shadow.offset.width, shadow.offset.height) * ratio)) + 2;
    const QRect area = deviceBounds.toAlignedRect().adjusted(-2, -2, 2, 2);
    beginLayer(area.intersected(deviceRect().adjusted(-margin, -margin, margin, margin)));
    draw(preparedPainter());
    endTransparencyLayer();
}

void PLGraphicsContext::fillPath(const PLBezierPath& path)
{
    if (m_state.color.isNull() || paintsNothing(m_state.color.alpha())) return;
    const QPainterPath qpath = path.toQPainterPath();
    const QBrush brush(qtColor(m_state.color));
    drawPrimitive(painter().deviceTransform().mapRect(qpath.boundingRect()), [&](QPainter& p) { p.fillPath(qpath, brush); });
}

void PLGraphicsContext::strokePath(const PLBezierPath& path)
{
    if (m_state.color.isNull() || paintsNothing(m_state.color.alpha())) return;
    QPainterPath qpath = path.toQPainterPath();
    const QPen pen = path.pen(m_state.color);
    const qreal grow = std::max<qreal>(path.lineWidth(), 1) * std::max<qreal>(path.miterLimit(), 1);
    QRectF bounds = qpath.boundingRect().adjusted(-grow, -grow, grow, grow);
    QRectF deviceBounds = painter().deviceTransform().mapRect(bounds);
    // Qt rasterizes a stroke at a cost that grows with its whole length, also where it runs
    // outside the target (a line across a big map costs seconds, thousands of them a hang):
    // the lines of a stroke reaching far beyond the target are cut to it first, the cuts out
    // of sight; what remains long (curves) is outlined and cut when wide. Dashed strokes are
    // left to Qt, whose outliner gives up dashing very long lines. Long straight lines that
    // reach across the target take Qt's scan converter for lines (strokeLines).
    const QRectF target = QRectF(deviceRect()).adjusted(-16, -16, 16, 16);
    const auto isFarBeyond = [&] {
        return deviceBounds.width() > 4 * target.width() || deviceBounds.height() > 4 * target.height();
    };
    const bool solid = pen.style() == Qt::SolidLine;
    // Lines no wider than a pixel Qt already draws with its cosmetic stroker, at a cost that
    // grows with their length alone; lines shorter than LongLine cost little either way.
    constexpr qreal LongLine = 1024;
    const QTransform& device = painter().deviceTransform();
    const bool thin
        = pen.widthF() * std::max(std::hypot(device.m11(), device.m12()), std::hypot(device.m21(), device.m22())) <= 1;
    const bool acrossTarget = !thin && std::max(deviceBounds.width(), deviceBounds.height()) > LongLine
        && (deviceBounds.width() > target.width() || deviceBounds.height() > target.height());
    bool farBeyond = isFarBeyond();
    const PLBezierPath* shape = &path;
    PLBezierPath cut;
    if (solid && farBeyond && !target.contains(deviceBounds)) {
        bool invertible = false;
        const QTransform toUser = painter().deviceTransform().inverted(&invertible);
        if (invertible) {
            const QRectF keep = toUser.mapRect(target).adjusted(-grow, -grow, grow, grow);
            cut = PLPathCutting::cutToRect(
                path, PLRect(float(keep.x()), float(keep.y()), float(keep.width()), float(keep.height())));
            if (cut.isEmpty()) return;
            shape = &cut;
            qpath = cut.toQPainterPath();
            bounds = qpath.boundingRect().adjusted(-grow, -grow, grow, grow);
            deviceBounds = painter().deviceTransform().mapRect(bounds);
            farBeyond = isFarBeyond();
        }
    }
    if (solid && acrossTarget) {
        if (const std::optional<std::vector<QLineF>> lines = straightSegments(*shape)) {
            strokeLines(*lines, pen, deviceBounds, target);
            return;
        }
    }
    if (pen.widthF() > 1 && solid && farBeyond && !target.contains(deviceBounds)) {
        bool invertible = false;
        const QTransform toUser = painter().deviceTransform().inverted(&invertible);
        if (invertible) {
            QPainterPath window;
            window.addRect(toUser.mapRect(target));
            const QPainterPath outline = QPainterPathStroker(pen).createStroke(qpath).intersected(window);
            const QBrush brush(qtColor(m_state.color));
            drawPrimitive(deviceBounds.intersected(target), [&](QPainter& p) { p.fillPath(outline, brush); });
            return;
        }
    }
    drawPrimitive(deviceBounds, [&](QPainter& p) { p.strokePath(qpath, pen); });
}

void PLGraphicsContext::strokeLines(const std::vector<QLineF>& lines, const QPen& pen, const QRectF& deviceBounds,
                                    const QRectF& target)
{
    // Qt's path stroker and its scan converter for paths cost more than the length of a line
    // (a line across the view, a quarter of a millisecond), its scan converter for lines
    // alone only that: Qt takes lines of a pen without round caps there. Round caps become
    // discs, drawn only where a line ends in sight (its cut ends lie out of it).
    const bool round = pen.capStyle() == Qt::RoundCap;
    QPen flat = pen;
    if (round) flat.setCapStyle(Qt::FlatCap);
    const qreal radius = pen.widthF() / 2;
    drawPrimitive(deviceBounds, [&](QPainter& p) {
        const QPen oldPen = p.pen();
        const QBrush oldBrush = p.brush();
        p.setPen(flat);
        p.drawLines(lines.data(), int(lines.size()));
        if (round && radius > 0) {
            const QTransform device = p.deviceTransform();
            const qreal reach = std::max<qreal>(radius * std::hypot(device.m11(), device.m12()), 1);
            const QRectF sight = target.adjusted(-reach, -reach, reach, reach);
            p.setPen(Qt::NoPen);
            p.setBrush(pen.color());
            for (const QLineF& line : lines)
                for (const QPointF& end : {line.p1(), line.p2()})
                    if (sight.contains(device.map(end))) p.drawEllipse(end, radius, radius);
        }
        p.setPen(oldPen);
        p.setBrush(oldBrush);
    });
}

void PLGraphicsContext::fillRect(const PLRect& rect)
{
    fillPath(PLBezierPath::bezierPathWithRect(rect));
}

void PLGraphicsContext::fillRectUsingOperation(const PLRect& rect, CompositingOperation operation)
{
    const CompositingOperation previous = m_state.operation;
    m_state.operation = operation;
    fillRect(rect);
    m_state.operation = previous;
}

void PLGraphicsContext::drawShading(const PLShading& shading)
{
    const PLPoint s = shading.start(), e = shading.end();
    const double ax = double(e.x) - s.x, ay = double(e.y) - s.y;
    const double length = std::hypot(ax, ay);
    if (length == 0 || shading.samples().empty() || paintsNothing(highestAlpha(shading))) return;
    const double ux = ax / length, uy = ay / length;

    // The band reaches past whatever the device shows: the farthest device corner in user space.
    const QTransform toUser = painter().deviceTransform().inverted();
    const QRectF device = deviceRect();
    double reach = length;
    for (const QPointF& corner : {device.topLeft(), device.topRight(), device.bottomLeft(), device.bottomRight()}) {
        const QPointF u = toUser.map(corner);
        reach = std::max(reach, std::hypot(u.x() - s.x, u.y() - s.y) + length);
    }
    const double from = shading.extendsStart() ? -reach : 0;
    const double to = shading.extendsEnd() ? length + reach : length;
    auto at = [&](double along, double across) {
        return QPointF(s.x + ux * along - uy * across, s.y + uy * along + ux * across);
    };
    QPainterPath band;
    band.moveTo(at(from, -reach));
    band.lineTo(at(to, -reach));
    band.lineTo(at(to, reach));
    band.lineTo(at(from, reach));
    band.closeSubpath();

    const QBrush brush = shadingBrush(shading);
    QRectF bounds = painter().deviceTransform().mapRect(band.boundingRect()).intersected(device);
    drawPrimitive(bounds, [&](QPainter& p) { p.fillPath(band, brush); });
}

void PLGraphicsContext::fillPathWithShading(const PLBezierPath& path, const PLShading& shading)
{
    // A PDF (or printer) fills the path itself: the clip and the band around it paint the
    // same, but there every later change of state writes the clip out again, and the
    // gradient with it. The path must lie between the ends of an axis that is not extended.
    if (shading.samples().empty() || paintsNothing(highestAlpha(shading))) return;
    const PLPoint s = shading.start(), e = shading.end();
    const double ax = double(e.x) - s.x, ay = double(e.y) - s.y;
    const double lengthSquared = ax * ax + ay * ay;
    QPaintEngine* engine = painter().paintEngine();
    const bool vector = engine && engine->type() == QPaintEngine::Pdf;
    const bool shadowed = m_state.shadow && m_state.shadow->isVisible();
    if (vector && !shadowed && lengthSquared > 0) {
        const QPainterPath qpath = path.toQPainterPath();
        // Where the path's points and control points lie along the axis, from the start (0)
        // to the end (1): the curves stay within their control points.
        double least = 1, most = 0;
        for (int i = 0; i < qpath.elementCount(); ++i) {
            const QPainterPath::Element point = qpath.elementAt(i);
            const double t = ((point.x - s.x) * ax + (point.y - s.y) * ay) / lengthSquared;
            least = std::min(least, t);
            most = std::max(most, t);
        }
        constexpr double Slack = 1e-4;
        if ((shading.extendsStart() || least >= -Slack) && (shading.extendsEnd() || most <= 1 + Slack)) {
            const QBrush brush = shadingBrush(shading);
            drawPrimitive(painter().deviceTransform().mapRect(qpath.boundingRect()),
                          [&](QPainter& p) { p.fillPath(qpath, brush); });
            return;
        }
    }
    saveGraphicsState();
    clipToPath(path);
    drawShading(shading);
    restoreGraphicsState();
}

void PLGraphicsContext::drawImage(const PLImage& image, const PLRect& rect, const PLRect& source, CompositingOperation operation,
                                  float opacity)
{
    if (image.isNull() || rect.isEmpty()) return;
    const PLSize size = image.size();
    const PLRect part = source.isEmpty() ? PLRect(0, 0, size.width, size.height) : source;
    // Device pixels per point of the picture along the destination.
    const QTransform device = painter().deviceTransform();
    const double deviceScale = std::hypot(device.m11(), device.m12()) * rect.width() / part.width();
    const QImage pixels = image.bitmap(float(deviceScale));
    const double sx = pixels.width() / double(size.width), sy = pixels.height() / double(size.height);
    const QRectF pixelPart(part.minX() * sx, (size.height - part.maxY()) * sy, part.width() * sx, part.height() * sy);

    const State saved = m_state;
    m_state.operation = operation;
    m_state.alpha = std::clamp(m_state.alpha * opacity, 0.0f, 1.0f);
    drawUpright(rect, [&](QPainter& p, const QRectF& area) { p.drawImage(area, pixels, pixelPart); });
    m_state.operation = saved.operation;
    m_state.alpha = saved.alpha;
}

void PLGraphicsContext::drawText(const QString& text, const PLRect& rect, const QFont& font, const PLColor& color, int flags)
{
    drawUpright(rect, [&](QPainter& p, const QRectF& area) {
        p.setFont(font);
        p.setPen(qtColor(color));
        p.drawText(area, flags, text);
    });
}

void PLGraphicsContext::drawUpright(const PLRect& rect, const std::function<void(QPainter&, const QRectF&)>& draw)
{
    const QRectF user(rect.minX(), rect.minY(), rect.width(), rect.height());
    drawPrimitive(painter().deviceTransform().mapRect(user), [&](QPainter& p) {
        p.save();
        p.setWorldTransform(QTransform(1, 0, 0, -1, rect.minX(), rect.maxY()) * p.worldTransform());
        draw(p, QRectF(0, 0, rect.width(), rect.height()));
        p.restore();
    });
}

#include "Platform/Drawing/PLBezierPath.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double degrees = std::numbers::pi / 180.0;

// The parameters in (0, 1) where one coordinate of a cubic has a turning point.
int cubicExtrema(double p0, double p1, double p2, double p3, double out[2])
{
    // Derivative / 3: a t^2 + b t + c.
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    int n = 0;
    auto keep = [&](double t) {
        if (t > 0 && t < 1) out[n++] = t;
    };
    if (std::fabs(a) < 1e-12) {
        if (std::fabs(b) > 1e-12) keep(-c / b);
        return n;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0) return 0;
    const double root = std::sqrt(disc);
    keep((-b + root) / (2 * a));
    keep((-b - root) / (2 * a));
    return n;
}

double cubicAt(double p0, double p1, double p2, double p3, double t)
{
    const double s = 1 - t;
    return s * s * s * p0 + 3 * s * s * t * p1 + 3 * s * t * t * p2 + t * t * t * p3;
}

struct Extent {
    float minX = std::numeric_limits<float>::max(), minY = std::numeric_limits<float>::max();
    float maxX = std::numeric_limits<float>::lowest(), maxY = std::numeric_limits<float>::lowest();
    bool any = false;
    void add(PLPoint p)
    {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
        any = true;
    }
    PLRect rect() const { return any ? PLRect(minX, minY, maxX - minX, maxY - minY) : PLRect(); }
};

}  // namespace

PLBezierPath PLBezierPath::bezierPathWithRect(const PLRect& rect)
{
    PLBezierPath path;
    path.appendBezierPathWithRect(rect);
    return path;
}

PLBezierPath PLBezierPath::bezierPathWithOvalInRect(const PLRect& rect)
{
    PLBezierPath path;
    path.appendBezierPathWithOvalInRect(rect);
    return path;
}

void PLBezierPath::fillRect(const PLRect& rect)
{
    bezierPathWithRect(rect).fill();
}

void PLBezierPath::strokeRect(const PLRect& rect)
{
    bezierPathWithRect(rect).stroke();
}

void PLBezierPath::strokeLineFromPoint(PLPoint from, PLPoint to)
{
    PLBezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    path.stroke();
}

void PLBezierPath::moveToPoint(PLPoint p)
{
    m_elements.push_back({ElementType::MoveTo, {p, {}, {}}});
}

void PLBezierPath::lineToPoint(PLPoint p)
{
    m_elements.push_back({ElementType::LineTo, {p, {}, {}}});
}

void PLBezierPath::curveToPoint(PLPoint end, PLPoint control1, PLPoint control2)
{
    m_elements.push_back({ElementType::CurveTo, {control1, control2, end}});
}

void PLBezierPath::closePath()
{
    m_elements.push_back({ElementType::ClosePath, {}});
}

void PLBezierPath::appendBezierPathWithRect(const PLRect& r)
{
    moveToPoint({r.minX(), r.minY()});
    lineToPoint({r.maxX(), r.minY()});
    lineToPoint({r.maxX(), r.maxY()});
    lineToPoint({r.minX(), r.maxY()});
    closePath();
}

void PLBezierPath::appendBezierPathWithOvalInRect(const PLRect& r)
{
    const float k = 0.5522847498f;
    const float cx = r.midX(), cy = r.midY(), rx = r.width() / 2, ry = r.height() / 2;
    moveToPoint({cx + rx, cy});
    curveToPoint({cx, cy + ry}, {cx + rx, cy + ry * k}, {cx + rx * k, cy + ry});
    curveToPoint({cx - rx, cy}, {cx - rx * k, cy + ry}, {cx - rx, cy + ry * k});
    curveToPoint({cx, cy - ry}, {cx - rx, cy - ry * k}, {cx - rx * k, cy - ry});
    curveToPoint({cx + rx, cy}, {cx + rx * k, cy - ry}, {cx + rx, cy - ry * k});
    closePath();
}

void PLBezierPath::appendBezierPathWithPoints(const std::vector<PLPoint>& points)
{
    for (size_t i = 0; i < points.size(); ++i) {
        if (i == 0) moveToPoint(points[i]);
        else lineToPoint(points[i]);
    }
}

void PLBezierPath::appendArc(PLPoint center, float radius, double startAngle, double sweep)
{
    const PLPoint start(float(center.x + radius * std::cos(startAngle)), float(center.y + radius * std::sin(startAngle)));
    if (isEmpty()) moveToPoint(start);
    else lineToPoint(start);
    if (sweep == 0 || !std::isfinite(sweep) || !std::isfinite(radius)) return;
    const int pieces = std::max(1, int(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    const double step = sweep / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4) * radius;
    double a = startAngle;
    for (int i = 0; i < pieces; ++i) {
        const double b = a + step;
        const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
        const PLPoint c1(float(center.x + radius * ca - k * sa), float(center.y + radius * sa + k * ca));
        const PLPoint c2(float(center.x + radius * cb + k * sb), float(center.y + radius * sb - k * cb));
        const PLPoint end(float(center.x + radius * cb), float(center.y + radius * sb));
        curveToPoint(end, c1, c2);
        a = b;
    }
}

void PLBezierPath::appendBezierPathWithArcWithCenter(PLPoint center, float radius, float startAngle, float endAngle,
                                                     bool clockwise)
{
    double difference = clockwise ? double(startAngle) - endAngle : double(endAngle) - startAngle;
    double sweep = 0;
    if (difference != 0) {
        sweep = std::fmod(difference, 360.0);
        if (sweep <= 0) sweep += 360.0;
    }
    appendArc(center, radius, startAngle * degrees, (clockwise ? -sweep : sweep) * degrees);
}

void PLBezierPath::appendBezierPathWithArcFromPoint(PLPoint p1, PLPoint p2, float radius)
{
    if (isEmpty()) {
        moveToPoint(p1);
        return;
    }
    const PLPoint p0 = currentPoint();
    const double v1x = double(p0.x) - p1.x, v1y = double(p0.y) - p1.y;
    const double v2x = double(p2.x) - p1.x, v2y = double(p2.y) - p1.y;
    const double l1 = std::hypot(v1x, v1y), l2 = std::hypot(v2x, v2y);
    const double cross = v1x * v2y - v1y * v2x;
    if (!(radius > 0) || l1 == 0 || l2 == 0 || std::fabs(cross) <= 1e-9 * l1 * l2) {
        lineToPoint(p1);
        return;
    }
    const double u1x = v1x / l1, u1y = v1y / l1, u2x = v2x / l2, u2y = v2y / l2;
    const double cosTheta = std::clamp(u1x * u2x + u1y * u2y, -1.0, 1.0);
    const double theta = std::acos(cosTheta);  // the corner's inner angle
    const double tangentDistance = radius / std::tan(theta / 2);
    const double centreDistance = radius / std::sin(theta / 2);
    double bx = u1x + u2x, by = u1y + u2y;
    const double bl = std::hypot(bx, by);
    bx /= bl;
    by /= bl;
    const double cx = p1.x + bx * centreDistance, cy = p1.y + by * centreDistance;
    const double t1x = p1.x + u1x * tangentDistance, t1y = p1.y + u1y * tangentDistance;
    const double t2x = p1.x + u2x * tangentDistance, t2y = p1.y + u2y * tangentDistance;
    const double a1 = std::atan2(t1y - cy, t1x - cx);
    const double sweepMagnitude = std::numbers::pi - theta;
    // Travelling towards p1 and turning left (cross of -v1 and v2 positive) runs counter-clockwise.
    const bool counterClockwise = (-u1x * u2y + u1y * u2x) > 0;
    const PLPoint t1{float(t1x), float(t1y)};
    if (!(t1 == p0)) lineToPoint(t1);
    const size_t before = m_elements.size();
    appendArc(PLPoint(float(cx), float(cy)), radius, a1, counterClockwise ? sweepMagnitude : -sweepMagnitude);
    // appendArc joined the arc's start by a line; drop it, the tangent point is already current.
    m_elements.erase(m_elements.begin() + long(before));
    // The arc ends exactly on the second tangent point.
    if (!m_elements.empty() && m_elements.back().type == ElementType::CurveTo) m_elements.back().points[2] = PLPoint(float(t2x), float(t2y));
}

void PLBezierPath::appendBezierPath(const PLBezierPath& other)
{
    m_elements.insert(m_elements.end(), other.m_elements.begin(), other.m_elements.end());
}

PLBezierPath::ElementType PLBezierPath::elementAtIndex(int index, PLPoint* points) const
{
    PL_ASSERT(index >= 0 && index < elementCount());
    const Element& e = m_elements[size_t(index)];
    if (points) {
        if (e.type == ElementType::CurveTo) std::copy(e.points.begin(), e.points.end(), points);
        else if (e.type != ElementType::ClosePath) points[0] = e.points[0];
    }
    return e.type;
}

PLPoint PLBezierPath::currentPoint() const
{
    PLPoint start, current;
    for (const Element& e : m_elements) {
        switch (e.type) {
        case ElementType::MoveTo: start = current = e.points[0]; break;
        case ElementType::LineTo: current = e.points[0]; break;
        case ElementType::CurveTo: current = e.points[2]; break;
        case ElementType::ClosePath: current = start; break;
        }
    }
    return current;
}

PLRect PLBezierPath::controlPointBounds() const
{
    Extent extent;
    for (const Element& e : m_elements) {
        if (e.type == ElementType::CurveTo) {
            for (const PLPoint& p : e.points) extent.add(p);
        } else if (e.type != ElementType::ClosePath) {
            extent.add(e.points[0]);
        }
    }
    return extent.rect();
}

PLRect PLBezierPath::bounds() const
{
    Extent extent;
    PLPoint current;
    for (const Element& e : m_elements) {
        switch (e.type) {
        case ElementType::MoveTo:
        case ElementType::LineTo:
            current = e.points[0];
            extent.add(current);
            break;
        case ElementType::CurveTo: {
            const PLPoint& c1 = e.points[0];
            const PLPoint& c2 = e.points[1];
            const PLPoint& end = e.points[2];
            double ts[2];
            int n = cubicExtrema(current.x, c1.x, c2.x, end.x, ts);
            for (int i = 0; i < n; ++i)
                extent.add({float(cubicAt(current.x, c1.x, c2.x, end.x, ts[i])), float(cubicAt(current.y, c1.y, c2.y, end.y, ts[i]))});
            n = cubicExtrema(current.y, c1.y, c2.y, end.y, ts);
            for (int i = 0; i < n; ++i)
                extent.add({float(cubicAt(current.x, c1.x, c2.x, end.x, ts[i])), float(cubicAt(current.y, c1.y, c2.y, end.y, ts[i]))});
            current = end;
            extent.add(current);
            break;
        }
        case ElementType::ClosePath: break;
        }
    }
    return extent.rect();
}

bool PLBezierPath::containsPoint(PLPoint p) const
{
    return toQPainterPath().contains(QPointF(p.x, p.y));
}

void PLBezierPath::setLineDash(const std::vector<float>& pattern, float phase)
{
    m_dashPattern = pattern;
    m_dashPhase = phase;
}

void PLBezierPath::transformUsingAffineTransform(const PLAffineTransform& transform)
{
    for (Element& e : m_elements) {
        const int count = e.type == ElementType::CurveTo ? 3 : e.type == ElementType::ClosePath ? 0 : 1;
        for (int i = 0; i < count; ++i) e.points[size_t(i)] = transform.transformPoint(e.points[size_t(i)]);
    }
}

PLBezierPath PLBezierPath::bezierPathByReversingPath() const
{
    PLBezierPath result = *this;
    result.m_elements.clear();
    PLPoint lastStart;
    size_t i = 0;
    while (i < m_elements.size()) {
        // One subpath: its start point and the segments up to a close or the next move.
        PLPoint start = lastStart;
        if (m_elements[i].type == ElementType::MoveTo) start = m_elements[i++].points[0];
        std::vector<std::pair<const Element*, PLPoint>> segments;  // element and its start
        PLPoint current = start;
        bool closed = false;
        while (i < m_elements.size() && m_elements[i].type != ElementType::MoveTo) {
            const Element& e = m_elements[i++];
            if (e.type == ElementType::ClosePath) {
                closed = true;
                break;
            }
            segments.emplace_back(&e, current);
            current = e.type == ElementType::CurveTo ? e.points[2] : e.points[0];
        }
        lastStart = start;
        result.moveToPoint(current);
        for (auto it = segments.rbegin(); it != segments.rend(); ++it) {
            const Element& e = *it->first;
            if (e.type == ElementType::CurveTo) result.curveToPoint(it->second, e.points[1], e.points[0]);
            else result.lineToPoint(it->second);
        }
        if (closed) result.closePath();
    }
    return result;
}

namespace {

PLGraphicsContext& currentContext()
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    PL_ASSERT(context);
    return *context;
}

}  // namespace

void PLBezierPath::fill() const
{
    fill(currentContext());
}

void PLBezierPath::fill(PLGraphicsContext& context) const
{
    context.fillPath(*this);
}

void PLBezierPath::stroke() const
{
    stroke(currentContext());
}

void PLBezierPath::stroke(PLGraphicsContext& context) const
{
    context.strokePath(*this);
}

void PLBezierPath::addClip() const
{
    addClip(currentContext());
}

void PLBezierPath::addClip(PLGraphicsContext& context) const
{
    context.clipToPath(*this);
}

QPainterPath PLBezierPath::toQPainterPath() const
{
    QPainterPath path;
    path.setFillRule(m_windingRule == WindingRule::EvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
    PLPoint start;
    bool open = false;  // a subpath is under way (Qt needs an explicit move after a close)
    for (const Element& e : m_elements) {
        switch (e.type) {
        case ElementType::MoveTo:
            start = e.points[0];
            path.moveTo(start.x, start.y);
            open = true;
            break;
        case ElementType::LineTo:
            if (!open) path.moveTo(start.x, start.y);
            path.lineTo(e.points[0].x, e.points[0].y);
            open = true;
            break;
        case ElementType::CurveTo:
            if (!open) path.moveTo(start.x, start.y);
            path.cubicTo(e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x, e.points[2].y);
            open = true;
            break;
        case ElementType::ClosePath:
            if (open) path.closeSubpath();
            open = false;
            break;
        }
    }
    return path;
}

QPen PLBezierPath::pen(const PLColor& color) const
{
    QPen pen(color.isNull() ? QColor(Qt::black) : color.toQColor());
    pen.setWidthF(m_lineWidth > 0 ? m_lineWidth : 0);
    pen.setCapStyle(m_lineCap == LineCap::Round ? Qt::RoundCap : m_lineCap == LineCap::Square ? Qt::SquareCap : Qt::FlatCap);
    // Qt's own miter join clips a long miter at the limit; past the limit a miter becomes a
    // bevel, as in PostScript and PDF (a line that turns back on itself grows no spike).
    pen.setJoinStyle(m_lineJoin == LineJoin::Round ? Qt::RoundJoin : m_lineJoin == LineJoin::Bevel ? Qt::BevelJoin : Qt::SvgMiterJoin);
    pen.setMiterLimit(m_miterLimit);
    if (!m_dashPattern.empty()) {
        // Qt counts dashes in line widths and needs pairs; an odd pattern repeats itself.
        const double unit = m_lineWidth > 0 ? m_lineWidth : 1;
        QList<qreal> dashes;
        const int repeat = m_dashPattern.size() % 2 ? 2 : 1;
        bool any = false;
        for (int r = 0; r < repeat; ++r)
            for (float d : m_dashPattern) {
                dashes << std::max(0.0, d / unit);
                any = any || d > 0;
            }
        if (any) {
            pen.setDashPattern(dashes);
            pen.setDashOffset(m_dashPhase / unit);
        }
    }
    return pen;
}

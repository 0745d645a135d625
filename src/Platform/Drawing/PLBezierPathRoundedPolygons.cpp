// Rounded rectangles and polygons, and the exact hit test of a path's stroked outline.
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLStrokeHitTest.h"

#include <algorithm>
#include <cmath>

using namespace PLStrokeHitTest;

namespace {

double distance(PLPoint a, PLPoint b)
{
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y);
}

// Whether p lies farther than reach from the box around the points (a curve lies inside
// the box of its control points, so nothing of it is then within reach).
bool beyondBox(PLPoint p, std::initializer_list<PLPoint> points, double reach)
{
    float minX = p.x, maxX = p.x, minY = p.y, maxY = p.y;
    bool first = true;
    for (const PLPoint& q : points) {
        if (first) {
            minX = maxX = q.x;
            minY = maxY = q.y;
            first = false;
        }
        minX = std::min(minX, q.x);
        maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y);
        maxY = std::max(maxY, q.y);
    }
    const double dx = std::max({double(minX) - p.x, double(p.x) - maxX, 0.0});
    const double dy = std::max({double(minY) - p.y, double(p.y) - maxY, 0.0});
    return dx * dx + dy * dy > reach * reach;
}

PLPoint cubicAt(PLPoint p0, PLPoint c1, PLPoint c2, PLPoint p3, double t)
{
    const double s = 1 - t;
    const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
    return {float(a * p0.x + b * c1.x + c * c2.x + d * p3.x), float(a * p0.y + b * c1.y + c * c2.y + d * p3.y)};
}

}  // namespace

PLBezierPath PLBezierPath::bezierPathWithRoundedRect(const PLRect& rect, float cornerRadius)
{
    PLBezierPath path;
    path.appendBezierPathWithRoundedRect(rect, cornerRadius);
    return path;
}

PLBezierPath PLBezierPath::bezierPathWithRoundedPolygonPoints(const PLPoint* points, int count, float cornerRadius)
{
    PLBezierPath path;
    path.appendBezierPathWithRoundedPolygonPoints(points, count, cornerRadius);
    return path;
}

void PLBezierPath::appendBezierPathWithRoundedRect(const PLRect& rect, float cornerRadius)
{
    if (rect.isEmpty()) return;
    if (!(cornerRadius > 0)) {
        appendBezierPathWithRect(rect);
        return;
    }
    const float x = rect.minX(), y = rect.minY(), w = rect.width(), h = rect.height();
    const float r = std::min(cornerRadius, 0.5f * std::min(w, h));
    moveToPoint({x + w * 0.5f, y + h});
    appendBezierPathWithArcFromPoint({x, y + h}, {x, y}, r);
    appendBezierPathWithArcFromPoint({x, y}, {x + w, y}, r);
    appendBezierPathWithArcFromPoint({x + w, y}, {x + w, y + h}, r);
    appendBezierPathWithArcFromPoint({x + w, y + h}, {x, y + h}, r);
    closePath();
}

void PLBezierPath::appendBezierPathWithRoundedPolygonPoints(const PLPoint* p, int n, float cornerRadius)
{
    if (!p || n <= 0) return;
    auto radius = [cornerRadius](double d1, double d2) {
        return float(std::ceil(std::min({double(cornerRadius), d1 * 0.5, d2 * 0.5})));
    };
    const PLPoint start((p[0].x + p[n - 1].x) / 2, (p[0].y + p[n - 1].y) / 2);
    moveToPoint(start);
    for (int i = 0; i + 1 < n; ++i) {
        const PLPoint c = currentPoint();
        appendBezierPathWithArcFromPoint(p[i], p[i + 1], radius(distance(p[i], c), distance(p[i + 1], p[i])));
    }
    const PLPoint c = currentPoint();
    appendBezierPathWithArcFromPoint(p[n - 1], start, radius(distance(p[n - 1], c), distance(p[0], p[n - 1])));
    closePath();
}

bool PLBezierPath::strokeContainsPoint(PLPoint x) const
{
    return strokeContainsPoint(x, m_lineWidth);
}

bool PLBezierPath::strokeContainsPoint(PLPoint x, float lineWidth) const
{
    if (m_elements.empty() || m_elements.front().type != ElementType::MoveTo) return false;
    const double width = lineWidth;
    const double half = width / 2;
    // Nothing of the outline, square caps included, lies farther than half the width times
    // the square root of 2 from the path's control points' box.
    const PLRect box = controlPointBounds();
    if (beyondBox(x, {box.origin, PLPoint(box.maxX(), box.maxY())}, half * std::sqrt(2.0) + 1e-6)) return false;
    const int cap = int(m_lineCap);
    PLPoint start = m_elements.front().points[0], second, current = start, previous;
    int count = 1;
    auto caps = [&] {
        return point_is_in_line_cap(current, previous, x, cap, width) || point_is_in_line_cap(start, second, x, cap, width);
    };
    std::vector<double> roots;
    for (size_t i = 1; i < m_elements.size(); ++i) {
        const Element& e = m_elements[i];
        PLPoint next;
        switch (e.type) {
        case ElementType::MoveTo:
            if (count >= 2 && caps()) return true;
            start = current = e.points[0];
            count = 1;
            continue;
        case ElementType::LineTo:
            if (count == 0) return false;
            next = e.points[0];
            if (point_is_in_stroked_line(x, width, current, next)) return true;
            break;
        case ElementType::CurveTo: {
            if (count == 0) return false;
            next = e.points[2];
            // Most curves lie far from the point: their control box says so without roots.
            if (beyondBox(x, {current, e.points[0], e.points[1], next}, half)) break;
            roots.clear();
            solve_r(nearestPointPolynomial(current, e.points[0], e.points[1], next, x), roots, 1, 0, 1);
            for (double t : roots)
                if (distance(x, cubicAt(current, e.points[0], e.points[1], next, t)) <= half) return true;
            break;
        }
        case ElementType::ClosePath:
            if (count == 0) return false;
            if (count > 1 && (distance(x, current) <= half || distance(x, start) <= half)) return true;
            if (point_is_in_stroked_line(x, width, current, start)) return true;
            count = 0;
            continue;
        }
        // A join, always tested as round.
        if (count > 1 && distance(x, current) <= half) return true;
        if (count == 1) second = next;
        previous = current;
        current = next;
        ++count;
    }
    return count >= 2 && caps();
}

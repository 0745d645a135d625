#include "Utilities/UTGeometry.h"

#include <algorithm>
#include <cmath>

float UTGeometry::distanceToSegment(PLPoint p, PLPoint a, PLPoint b)
{
    const double dx = double(b.x) - a.x;
    const double dy = double(b.y) - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    if (lengthSquared > 0) {
        const double r = ((double(p.x) - a.x) * dx + (double(p.y) - a.y) * dy) / lengthSquared;
        if (r >= 0 && r <= 1) {
            const double s = (dx * (double(a.y) - p.y) - dy * (double(a.x) - p.x)) / lengthSquared;
            return float(std::abs(s) * std::sqrt(lengthSquared));
        }
    }
    const double toA = std::hypot(double(p.x) - a.x, double(p.y) - a.y);
    const double toB = std::hypot(double(p.x) - b.x, double(p.y) - b.y);
    return float(std::min(toA, toB));
}

PLRect UTGeometry::normalized(const PLRect& rect)
{
    PLRect n = rect;
    if (n.size.width < 0) {
        n.origin.x += n.size.width;
        n.size.width = -n.size.width;
    }
    if (n.size.height < 0) {
        n.origin.y += n.size.height;
        n.size.height = -n.size.height;
    }
    return n;
}

float UTGeometry::distanceToRect(PLPoint p, const PLRect& rect)
{
    if (rect.containsPoint(p)) return 0;
    const PLPoint bottomLeft(rect.minX(), rect.minY());
    const PLPoint bottomRight(rect.maxX(), rect.minY());
    const PLPoint topRight(rect.maxX(), rect.maxY());
    const PLPoint topLeft(rect.minX(), rect.maxY());
    return std::min({distanceToSegment(p, bottomLeft, bottomRight), distanceToSegment(p, bottomRight, topRight),
                     distanceToSegment(p, topRight, topLeft), distanceToSegment(p, bottomLeft, topLeft)});
}

int UTGeometry::quadrant(PLPoint centre, PLPoint p)
{
    if (p.x < centre.x && p.y > centre.y) return 1;
    if (p.x < centre.x && p.y < centre.y) return 2;
    if (p.x > centre.x && p.y < centre.y) return 3;
    return 0;
}

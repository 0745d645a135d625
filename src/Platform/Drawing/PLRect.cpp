#include "Platform/Drawing/PLRect.h"

#include <QRectF>

#include <algorithm>
#include <cmath>

bool PLRect::containsPoint(PLPoint p) const
{
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool PLRect::containsRect(const PLRect& r) const
{
    return !isEmpty() && !r.isEmpty() && r.minX() >= minX() && r.minY() >= minY() && r.maxX() <= maxX()
        && r.maxY() <= maxY();
}

bool PLRect::intersects(const PLRect& r) const
{
    return !intersected(r).isEmpty();
}

PLRect PLRect::united(const PLRect& r) const
{
    if (isEmpty()) return r.isEmpty() ? PLRect() : r;
    if (r.isEmpty()) return *this;
    const float x0 = std::min(minX(), r.minX());
    const float y0 = std::min(minY(), r.minY());
    const float x1 = std::max(maxX(), r.maxX());
    const float y1 = std::max(maxY(), r.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

PLRect PLRect::intersected(const PLRect& r) const
{
    const float x0 = std::max(minX(), r.minX());
    const float y0 = std::max(minY(), r.minY());
    const float x1 = std::min(maxX(), r.maxX());
    const float y1 = std::min(maxY(), r.maxY());
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

PLRect PLRect::insetBy(float dx, float dy) const
{
    PLRect r(origin.x + dx, origin.y + dy, size.width - 2 * dx, size.height - 2 * dy);
    if (r.size.width < 0 || r.size.height < 0) return {};
    return r;
}

PLRect PLRect::offsetBy(float dx, float dy) const
{
    return {origin.x + dx, origin.y + dy, size.width, size.height};
}

PLRect PLRect::integral() const
{
    if (isEmpty()) return {};
    const float x0 = std::floor(minX());
    const float y0 = std::floor(minY());
    const float x1 = std::ceil(maxX());
    const float y1 = std::ceil(maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

QRectF PLRect::toQtRect(float flipHeight) const
{
    return QRectF(origin.x, flipHeight - maxY(), size.width, size.height);
}

#pragma once

#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLSize.h"

class QRectF;

// A rectangle in a y-up space: its origin is the bottom-left corner. The rules are those
// the map geometry relies on: a union ignores empty rectangles, an integral rectangle
// rounds outward to whole units, and a point lies inside when min <= coordinate < max.
struct PLRect {
    PLPoint origin;
    PLSize size;

    constexpr PLRect() = default;
    constexpr PLRect(PLPoint o, PLSize s) : origin(o), size(s) {}
    constexpr PLRect(float x, float y, float w, float h) : origin(x, y), size(w, h) {}

    constexpr bool operator==(const PLRect&) const = default;

    constexpr float minX() const { return origin.x; }
    constexpr float minY() const { return origin.y; }
    constexpr float maxX() const { return origin.x + size.width; }
    constexpr float maxY() const { return origin.y + size.height; }
    constexpr float midX() const { return origin.x + size.width / 2; }
    constexpr float midY() const { return origin.y + size.height / 2; }
    constexpr float width() const { return size.width; }
    constexpr float height() const { return size.height; }

    // Empty when either side is not positive.
    constexpr bool isEmpty() const { return !(size.width > 0) || !(size.height > 0); }

    bool containsPoint(PLPoint p) const;
    bool containsRect(const PLRect& r) const;
    bool intersects(const PLRect& r) const;

    // The smallest rectangle holding both; an empty operand is ignored.
    PLRect united(const PLRect& r) const;
    // The overlap, or the zero rectangle when there is none.
    PLRect intersected(const PLRect& r) const;
    // Grows (negative) or shrinks (positive) each side by dx, dy; an inverted result is zero.
    PLRect insetBy(float dx, float dy) const;
    PLRect offsetBy(float dx, float dy) const;
    // Rounds outward to whole units; an empty rectangle becomes the zero rectangle.
    PLRect integral() const;

    // The same rectangle in a y-down space of the given height (where painting meets Qt).
    QRectF toQtRect(float flipHeight) const;
};

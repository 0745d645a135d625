#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

// Where the info tag goes. Everything is in a y-down space: a view's own widget
// coordinates for the placements next to a rectangle (the tag's point is its top-left
// corner), global screen coordinates for keeping a frame on its screen.
class UTInfoTagPlacement {
public:
    // Beside the rectangle's right side, tops aligned; centred on a rectangle taller than
    // the tag.
    static QPointF rightSideOfRect(const QRectF& rect, const QSizeF& tagSize);
    // Centred under the rectangle, its top 2 units below it.
    static QPointF belowRect(const QRectF& rect, const QSizeF& tagSize);
    // Below the rectangle when the tag fits in the view there, else above it (a third of
    // the tag left of the rectangle's middle), then moved left or right into the view. A
    // tag larger than the view goes below the rectangle unmoved.
    static QPointF alignedRelativeToRect(const QRectF& rect, const QSizeF& tagSize, const QSizeF& viewSize);
    // The frame moved onto the screen: a frame past the right edge ends 5 inside it, one
    // past the left edge starts at it; one past the top starts 5 inside it, one past the
    // bottom ends at it. A frame wider (taller) than the screen keeps its x (y).
    static QRect keptOnScreen(const QRect& frame, const QRect& screen);
};

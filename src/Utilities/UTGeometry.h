#pragma once

#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLRect.h"

// Distances and quadrants for hit testing and drop targeting; valid with y up or down.
class UTGeometry {
public:
    // The distance from p to the segment a-b: the perpendicular distance where p projects
    // onto the segment, else the distance to the nearer end (also for a zero-length segment).
    static float distanceToSegment(PLPoint p, PLPoint a, PLPoint b);
    // 0 when the point lies inside the rectangle (min <= coordinate < max), else the least
    // distance to its four edges.
    static float distanceToRect(PLPoint p, const PLRect& rect);
    // The same rectangle with a non-negative width and height.
    static PLRect normalized(const PLRect& rect);
    // Where p lies around centre c, y up: 1 left and above, 2 left and below, 3 right and
    // below, 0 otherwise (right and above, or on either axis through c).
    static int quadrant(PLPoint centre, PLPoint p);
};

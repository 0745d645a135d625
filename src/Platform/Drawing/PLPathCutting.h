#pragma once

#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLRect.h"

// Cutting a path to a rectangle before stroking: Qt pays for a stroke's whole length, also
// where it runs far outside the target.
class PLPathCutting {
public:
    // What of the path can show within keep, for stroking: lines are cut to the rectangle,
    // curves whose control points all lie beside it are left out, others kept whole. A
    // subpath that lost a piece ends open (its closing line cut as a line). Stroke
    // attributes are kept.
    static PLBezierPath cutToRect(const PLBezierPath& path, const PLRect& keep);
};

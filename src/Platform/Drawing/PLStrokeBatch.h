#pragma once

#include "Platform/Drawing/PLBezierPath.h"

#include <vector>

class PLGraphicsContext;

// Strokes many paths in the context's colour as one: where they overlap their coverage joins
// (as within one path) rather than compounds, and all of them cost their edges and one pass
// over the pixels they span, where thousands of long lines stroked one by one cost a scan
// conversion each. Curves are flattened to within a tenth of a pixel, caps kept. Paths this
// cannot draw alike (dashed, hairlines, with corners or closed, without antialiasing, under a
// shadow, another compositing than source-over, a transform that turns or stretches) are
// stroked one by one, before the others.
class PLStrokeBatch {
public:
    PLStrokeBatch() = delete;
    static void strokeAsOne(PLGraphicsContext& context, const std::vector<PLBezierPath>& paths);
};

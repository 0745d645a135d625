#pragma once

#include "Platform/Drawing/PLPoint.h"

#include <array>

// Measuring and cutting one cubic segment (start, control 1, control 2, end) in single-
// precision points; lengths and tolerances are double precision.
namespace PLBezierSegment {

using Segment = std::array<PLPoint, 4>;

// The length within maxError: halves the segment (de Casteljau at 0.5) until the control
// polygon is no more than maxError longer than the chord, then takes their mean.
double lengthOfBezier(const Segment& segment, double maxError);

// Cuts the segment where its length from the start is length (within maxError) by
// bisecting the parameter; left and right receive the pieces, the left one's length is
// returned.
double subdivideBezierAtLength(const Segment& segment, Segment& left, Segment& right, double length, double maxError);

// The two pieces of the segment split at parameter t.
void splitBezier(const Segment& segment, float t, Segment& left, Segment& right);

}  // namespace PLBezierSegment

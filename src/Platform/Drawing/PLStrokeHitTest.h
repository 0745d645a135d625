#pragma once

#include "Platform/Drawing/PLPoint.h"

#include <array>
#include <vector>

// The pieces of the exact stroked-outline hit test of paths, in double precision.
namespace PLStrokeHitTest {

// Whether x lies within width / 2 of the segment a-b, measured perpendicular to it (points
// beyond either end are outside); a zero-length segment holds nothing.
bool point_is_in_stroked_line(PLPoint x, double width, PLPoint a, PLPoint b);

// Whether x lies on the cap at the open end e of a stroke whose last segment comes from m:
// cap 0 butt (never), 1 round (within width / 2 of e), 2 square (the segment m-e extended
// by width / 2 beyond e); any other cap never.
bool point_is_in_line_cap(PLPoint e, PLPoint m, PLPoint x, int cap, double width);

// A polynomial of degree 5, highest degree first.
using Quintic = std::array<double, 6>;

// The number of sign changes of the coefficients of p(x + s) (zeros skipped): a bound on
// the number of roots greater than x.
int sign_changes_right_of(const Quintic& p, double x);

// The roots of p in [a, b] by bisection guided by sign_changes_right_of, appended to roots;
// returns how many were appended. Start with depth 1 on [0, 1].
int solve_r(const Quintic& p, std::vector<double>& roots, int depth, double a, double b);

// The polynomial whose roots are the parameters where (B(t) - x) . B'(t) = 0 for the cubic
// B from p0 through c1, c2 to p3: where x is nearest to or farthest from the curve.
Quintic nearestPointPolynomial(PLPoint p0, PLPoint c1, PLPoint c2, PLPoint p3, PLPoint x);

}  // namespace PLStrokeHitTest

#include "Platform/Drawing/PLBezierSegment.h"

#include <cmath>

namespace PLBezierSegment {

namespace {

double distance(PLPoint a, PLPoint b)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    return std::sqrt(double(dx * dx + dy * dy));
}

PLPoint between(PLPoint a, PLPoint b, float t)
{
    const float s = 1 - t;
    return {s * a.x + t * b.x, s * a.y + t * b.y};
}

// A tolerance of 0 or less would halve forever on a curved segment; so would NaN points.
constexpr int MaxDepth = 12;

double length(const Segment& p, double maxError, int depth)
{
    const double chord = distance(p[0], p[3]);
    const double polygon = distance(p[0], p[1]) + distance(p[1], p[2]) + distance(p[2], p[3]);
    if (polygon - chord > maxError && depth < MaxDepth) {
        Segment left, right;
        splitBezier(p, 0.5f, left, right);
        return length(left, maxError, depth + 1) + length(right, maxError, depth + 1);
    }
    return (chord + polygon) * 0.5;
}

}  // namespace

void splitBezier(const Segment& p, float t, Segment& left, Segment& right)
{
    const PLPoint p01 = between(p[0], p[1], t), p12 = between(p[1], p[2], t), p23 = between(p[2], p[3], t);
    const PLPoint p012 = between(p01, p12, t), p123 = between(p12, p23, t);
    const PLPoint p0123 = between(p012, p123, t);
    left = {p[0], p01, p012, p0123};
    right = {p0123, p123, p23, p[3]};
}

double lengthOfBezier(const Segment& segment, double maxError)
{
    return length(segment, maxError, 0);
}

double subdivideBezierAtLength(const Segment& segment, Segment& left, Segment& right, double target, double maxError)
{
    float low = 0, high = 1, t = 0.5f;
    double leftLength = 0;
    for (;;) {
        splitBezier(segment, t, left, right);
        leftLength = lengthOfBezier(left, maxError * 0.5);
        if (std::fabs(target - leftLength) < maxError) break;
        float next;
        if (target > leftLength) {
            low = t;
            next = (high + t) * 0.5f;
        } else {
            high = t;
            next = (low + t) * 0.5f;
        }
        if (next == t || std::isnan(next)) break;
        t = next;
    }
    return leftLength;
}

}  // namespace PLBezierSegment

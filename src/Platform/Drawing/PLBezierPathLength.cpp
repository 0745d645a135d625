// Measuring and trimming paths by length, and arrow heads that follow a path's ends.
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLBezierSegment.h"

#include <cmath>

namespace {

using Segment = PLBezierSegment::Segment;

double distance(PLPoint a, PLPoint b)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    return std::sqrt(double(dx * dx + dy * dy));
}

// The point the fraction remaining / d of the way from a to b (a itself on a zero stretch).
PLPoint along(PLPoint a, PLPoint b, double remaining, double d)
{
    if (!(d > 0)) return a;
    const double f = remaining / d;
    return {float(a.x + (b.x - a.x) * f), float(a.y + (b.y - a.y) * f)};
}

// One element met on a walk along a path: where it starts and ends (a close ends at its
// subpath's start), its length, and for a curve its whole segment.
struct Step {
    PLBezierPath::ElementType type;
    PLPoint from, to;
    double length = 0;
    Segment segment{};
};

// Calls visit with each element in order until it returns false.
template <typename Visit>
void walk(const std::vector<PLBezierPath::Element>& elements, double maxError, Visit visit)
{
    using Type = PLBezierPath::ElementType;
    PLPoint current, start;
    for (const PLBezierPath::Element& e : elements) {
        Step step{e.type, current, current};
        switch (e.type) {
        case Type::MoveTo: step.to = start = e.points[0]; break;
        case Type::LineTo:
            step.to = e.points[0];
            step.length = distance(current, step.to);
            break;
        case Type::CurveTo:
            step.to = e.points[2];
            step.segment = {current, e.points[0], e.points[1], e.points[2]};
            step.length = PLBezierSegment::lengthOfBezier(step.segment, maxError);
            break;
        case Type::ClosePath:
            step.to = start;
            step.length = distance(current, start);
            break;
        }
        current = step.to;
        if (!visit(step)) return;
    }
}

// Appends the whole element of the step.
void append(PLBezierPath& path, const Step& step)
{
    using Type = PLBezierPath::ElementType;
    switch (step.type) {
    case Type::MoveTo: path.moveToPoint(step.to); break;
    case Type::LineTo: path.lineToPoint(step.to); break;
    case Type::CurveTo: path.curveToPoint(step.to, step.segment[1], step.segment[2]); break;
    case Type::ClosePath: path.closePath(); break;
    }
}

}  // namespace

double PLBezierPath::lengthWithMaximumError(double maxError) const
{
    double total = 0;
    walk(m_elements, maxError, [&](const Step& step) {
        total += step.length;
        return true;
    });
    return total;
}

PLBezierPath PLBezierPath::bezierPathByTrimmingToLength(double length, double maxError) const
{
    PLBezierPath result;
    double total = 0;
    walk(m_elements, maxError, [&](const Step& step) {
        const double remaining = length - total;
        total += step.length;
        if (step.type == ElementType::MoveTo || length >= total) {
            append(result, step);
            return true;
        }
        if (step.type == ElementType::CurveTo) {
            Segment left, right;
            PLBezierSegment::subdivideBezierAtLength(step.segment, left, right, remaining, maxError);
            result.curveToPoint(left[3], left[1], left[2]);
        } else {
            result.lineToPoint(along(step.from, step.to, remaining, step.length));
        }
        return false;
    });
    return result;
}

PLBezierPath PLBezierPath::bezierPathByTrimmingFromLength(double length, double maxError) const
{
    PLBezierPath result;
    double total = 0;
    walk(m_elements, maxError, [&](const Step& step) {
        const double remaining = length - total;
        const bool cutAlready = total > length;
        total += step.length;
        if (step.type == ElementType::MoveTo || cutAlready) {
            append(result, step);
        } else if (total > length) {
            if (step.type == ElementType::CurveTo) {
                Segment left, right;
                PLBezierSegment::subdivideBezierAtLength(step.segment, left, right, remaining, maxError);
                result.moveToPoint(right[0]);
                result.curveToPoint(right[3], right[1], right[2]);
            } else {
                result.moveToPoint(along(step.from, step.to, remaining, step.length));
                result.lineToPoint(step.to);
            }
        }
        return true;
    });
    return result;
}

PLBezierPath PLBezierPath::bezierPathWithArrowHeadForStartOfLength(double length, double angle) const
{
    const PLPoint f = firstPoint();
    PLBezierPath arm1 = bezierPathByTrimmingToLength(length);
    PLBezierPath arm2 = arm1.bezierPathByReversingPath();
    auto rotation = [f](double degrees) {
        PLAffineTransform t;
        t.translateXBy(f.x, f.y);
        t.rotateByDegrees(float(degrees));
        t.translateXBy(-f.x, -f.y);
        return t;
    };
    arm1.transformUsingAffineTransform(rotation(angle));
    arm2.transformUsingAffineTransform(rotation(-angle));
    arm2.appendBezierPathRemovingInitialMoveToPoint(arm1);
    return arm2;
}

PLBezierPath PLBezierPath::bezierPathWithArrowHeadForEndOfLength(double length, double angle) const
{
    return bezierPathByReversingPath().bezierPathWithArrowHeadForStartOfLength(length, angle);
}

void PLBezierPath::appendBezierPathRemovingInitialMoveToPoint(const PLBezierPath& other)
{
    auto first = other.m_elements.begin();
    if (first != other.m_elements.end() && first->type == ElementType::MoveTo) ++first;
    m_elements.insert(m_elements.end(), first, other.m_elements.end());
}

PLPoint PLBezierPath::firstPoint() const
{
    if (!m_elements.empty() && m_elements.front().type == ElementType::MoveTo) return m_elements.front().points[0];
    return {};
}

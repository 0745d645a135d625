#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLBezierSegment.h"

#include <gtest/gtest.h>

#include <cmath>

using Type = PLBezierPath::ElementType;
using Elements = std::vector<PLBezierPath::Element>;

namespace {

PLBezierPath quarterCircle()
{
    PLBezierPath path;
    path.moveToPoint({100, 0});
    path.curveToPoint({0, 100}, {100, 55.228f}, {55.228f, 100});
    return path;
}

PLBezierPath polyline(std::initializer_list<PLPoint> points)
{
    PLBezierPath path;
    path.appendBezierPathWithPoints(points);
    return path;
}

void expectNear(PLPoint actual, PLPoint expected, float tolerance = 1e-3f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

}  // namespace

TEST(PLBezierPathLength, Lengths)
{
    PLBezierPath straightCurve;  // control points on the line: exact at once
    straightCurve.moveToPoint({0, 0});
    straightCurve.curveToPoint({30, 40}, {6, 8}, {24, 32});
    PLBezierPath moveOnly;
    moveOnly.moveToPoint({5, 5});
    PLBezierPath triangle = polyline({{0, 0}, {30, 0}, {30, 40}});
    triangle.closePath();
    struct Case {
        const char* name;
        PLBezierPath path;
        double length, tolerance;
    } cases[] = {
        {"quarter circle of radius 100", quarterCircle(), 157.10, 0.01},
        {"straight curve", straightCurve, 50, 1e-6},
        {"move only", moveOnly, 0, 0},
        {"closed triangle", triangle, 120, 1e-9},
        {"open polyline", polyline({{0, 0}, {3, 4}, {3, 10}}), 11, 1e-9},
        {"empty", PLBezierPath(), 0, 0},
    };
    for (const Case& c : cases) EXPECT_NEAR(c.path.length(), c.length, c.tolerance) << c.name;

    // A smaller tolerance measures closer to the true arc (50 pi = 157.0796 for the circle).
    EXPECT_LT(std::fabs(quarterCircle().lengthWithMaximumError(1e-4) - 157.08), 0.05);
    // A tolerance of 0 still ends.
    EXPECT_NEAR(quarterCircle().lengthWithMaximumError(0), 157.08, 0.05);
}

TEST(PLBezierPathLength, CuttingASegmentAtALength)
{
    const PLBezierSegment::Segment arc{PLPoint(100, 0), PLPoint(100, 55.228f), PLPoint(55.228f, 100), PLPoint(0, 100)};
    for (double target : {10.0, 78.55, 150.0}) {
        PLBezierSegment::Segment left, right;
        const double length = PLBezierSegment::subdivideBezierAtLength(arc, left, right, target, 0.1);
        EXPECT_NEAR(length, target, 0.1);
        EXPECT_EQ(left[3], right[0]);
        EXPECT_EQ(left[0], arc[0]);
        EXPECT_EQ(right[3], arc[3]);
        // The cut lies on the circle.
        EXPECT_NEAR(std::hypot(left[3].x, left[3].y), 100, 0.05);
    }
}

TEST(PLBezierPathLength, TrimmingToALength)
{
    const PLBezierPath line = polyline({{0, 0}, {10, 0}, {10, 10}});
    struct Case {
        double length;
        Elements expected;
    } cases[] = {
        {0, {{Type::MoveTo, {PLPoint(0, 0)}}, {Type::LineTo, {PLPoint(0, 0)}}}},
        {4, {{Type::MoveTo, {PLPoint(0, 0)}}, {Type::LineTo, {PLPoint(4, 0)}}}},
        {15, {{Type::MoveTo, {PLPoint(0, 0)}}, {Type::LineTo, {PLPoint(10, 0)}}, {Type::LineTo, {PLPoint(10, 5)}}}},
        {99, line.elements()},
    };
    for (const Case& c : cases) EXPECT_EQ(line.bezierPathByTrimmingToLength(c.length).elements(), c.expected) << c.length;

    // A close counts its side: the cut lies on the closing side.
    PLBezierPath square = PLBezierPath::bezierPathWithRect({0, 0, 10, 10});
    const PLBezierPath cutSquare = square.bezierPathByTrimmingToLength(35);
    EXPECT_EQ(cutSquare.elements().back(), (PLBezierPath::Element{Type::LineTo, {PLPoint(0, 5)}}));
    EXPECT_EQ(square.bezierPathByTrimmingToLength(40).elements(), square.elements());

    // A curve is cut at the length along it.
    const PLBezierPath half = quarterCircle().bezierPathByTrimmingToLength(78.55);
    ASSERT_EQ(half.elementCount(), 2);
    EXPECT_NEAR(half.length(), 78.55, 0.2);
    expectNear(half.currentPoint(), {70.71f, 70.71f}, 0.3f);
}

TEST(PLBezierPathLength, TrimmingFromALength)
{
    const PLBezierPath line = polyline({{0, 0}, {10, 0}, {10, 10}});
    struct Case {
        double length;
        Elements expected;
    } cases[] = {
        {0,
         {{Type::MoveTo, {PLPoint(0, 0)}}, {Type::MoveTo, {PLPoint(0, 0)}}, {Type::LineTo, {PLPoint(10, 0)}},
          {Type::LineTo, {PLPoint(10, 10)}}}},
        {15, {{Type::MoveTo, {PLPoint(0, 0)}}, {Type::MoveTo, {PLPoint(10, 5)}}, {Type::LineTo, {PLPoint(10, 10)}}}},
        {20, {{Type::MoveTo, {PLPoint(0, 0)}}}},
    };
    for (const Case& c : cases) EXPECT_EQ(line.bezierPathByTrimmingFromLength(c.length).elements(), c.expected) << c.length;

    const PLBezierPath rest = quarterCircle().bezierPathByTrimmingFromLength(100);
    ASSERT_EQ(rest.elementCount(), 3);
    EXPECT_EQ(rest.elementAtIndex(2), Type::CurveTo);
    EXPECT_NEAR(rest.bezierPathByTrimmingFromLength(0).length(), 157.10 - 100, 0.3);
    EXPECT_EQ(rest.currentPoint(), PLPoint(0, 100));

    PLBezierPath square = PLBezierPath::bezierPathWithRect({0, 0, 10, 10});
    const Elements closingSide = {{Type::MoveTo, {PLPoint(0, 0)}}, {Type::MoveTo, {PLPoint(0, 5)}}, {Type::LineTo, {PLPoint(0, 0)}}};
    EXPECT_EQ(square.bezierPathByTrimmingFromLength(35).elements(), closingSide);
}

TEST(PLBezierPathLength, ArrowHeads)
{
    const double rad = M_PI / 180;
    const PLBezierPath line = polyline({{0, 0}, {100, 0}});
    struct Case {
        double length, angle;
    } cases[] = {{7, 20}, {14, 20}, {4, 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " at " << c.angle);
        const PLBezierPath end = line.bezierPathWithArrowHeadForEndOfLength(c.length, c.angle);
        ASSERT_EQ(end.elementCount(), 3);
        const float dx = float(c.length * std::cos(c.angle * rad)), dy = float(c.length * std::sin(c.angle * rad));
        expectNear(end.elements()[0].points[0], {100 - dx, dy});
        expectNear(end.elements()[1].points[0], {100, 0});
        expectNear(end.elements()[2].points[0], {100 - dx, -dy});

        const PLBezierPath start = line.bezierPathWithArrowHeadForStartOfLength(c.length, c.angle);
        ASSERT_EQ(start.elementCount(), 3);
        expectNear(start.elements()[0].points[0], {dx, -dy});
        expectNear(start.elements()[1].points[0], {0, 0});
        expectNear(start.elements()[2].points[0], {dx, dy});
    }
    // On a curve the arms follow the curve's last stretch: both lie 7 away from the end.
    const PLBezierPath curved = quarterCircle().bezierPathWithArrowHeadForEndOfLength(7, 20);
    EXPECT_EQ(curved.elements()[1].points[2], PLPoint(0, 100));
    for (PLPoint armEnd : {curved.elements()[0].points[0], curved.elements()[2].points[2]})
        EXPECT_NEAR(std::hypot(armEnd.x, armEnd.y - 100), 7, 0.15);

    // Appending without the initial move; the first point.
    PLBezierPath a = polyline({{0, 0}, {1, 0}});
    a.appendBezierPathRemovingInitialMoveToPoint(polyline({{5, 5}, {6, 6}}));
    EXPECT_EQ(a.elementCount(), 3);
    EXPECT_EQ(a.firstPoint(), PLPoint(0, 0));
    PLBezierPath noMove;
    noMove.lineToPoint({3, 3});
    EXPECT_EQ(noMove.firstPoint(), PLPoint(0, 0));
}

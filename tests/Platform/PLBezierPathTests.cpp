#include "Platform/Drawing/PLBezierPath.h"

#include <QPainterPath>
#include <QPen>

#include <gtest/gtest.h>

#include <cmath>

using Type = PLBezierPath::ElementType;

namespace {

void expectNear(PLPoint actual, PLPoint expected, float tolerance = 1e-3f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

// The curve point at t of element index (whose start is the previous element's end).
PLPoint curvePoint(const PLBezierPath& path, int index, double t)
{
    const auto& previous = path.elements()[size_t(index - 1)];
    const PLPoint start = previous.type == Type::CurveTo ? previous.points[2] : previous.points[0];
    const auto& p = path.elements()[size_t(index)].points;
    const double s = 1 - t;
    return {float(s * s * s * start.x + 3 * s * s * t * p[0].x + 3 * s * t * t * p[1].x + t * t * t * p[2].x),
            float(s * s * s * start.y + 3 * s * s * t * p[0].y + 3 * s * t * t * p[1].y + t * t * t * p[2].y)};
}

}  // namespace

TEST(PLBezierPath, ArcsSweepTheAskedWayAndJoinByALine)
{
    struct Case {
        float start, end;
        bool clockwise;
        int curves;       // quarter-turn pieces
        float midAngle;   // direction of the arc's middle, degrees
    } cases[] = {
        {310, 290, false, 4, 120},  // 340 degrees counter-clockwise
        {90, 270, false, 2, 180},   // the left half
        {90, 270, true, 2, 0},      // the right half
        {-90, 270, false, 4, 90},   // a full circle
        {180, 540, false, 4, 0},    // a full circle
        {270, 0, false, 1, 315},
        {0, 0, false, 0, 0},        // no sweep
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " -> " << c.end << (c.clockwise ? " clockwise" : ""));
        PLBezierPath path;
        path.appendBezierPathWithArcWithCenter({0, 0}, 10, c.start, c.end, c.clockwise);
        ASSERT_EQ(path.elementCount(), 1 + c.curves);
        const double rad = M_PI / 180;
        expectNear(path.elements()[0].points[0], {float(10 * std::cos(c.start * rad)), float(10 * std::sin(c.start * rad))});
        if (c.curves == 0) continue;
        expectNear(path.currentPoint(), {float(10 * std::cos(c.end * rad)), float(10 * std::sin(c.end * rad))});
        // The middle of the sweep lies on the circle in the expected direction.
        const int middle = 1 + c.curves / 2;
        const PLPoint mid = c.curves % 2 ? curvePoint(path, middle, 0.5) : path.elements()[size_t(middle - 1)].points[2];
        expectNear(mid, {float(10 * std::cos(c.midAngle * rad)), float(10 * std::sin(c.midAngle * rad))}, 0.01f);
    }
    // An angle that is no number gives the start point only.
    PLBezierPath broken;
    broken.appendBezierPathWithArcWithCenter({0, 0}, 10, 0, std::nanf(""));
    EXPECT_EQ(broken.elementCount(), 1);
    // A non-empty path is joined to the arc's start by a line.
    PLBezierPath joined;
    joined.moveToPoint({50, 50});
    joined.appendBezierPathWithArcWithCenter({0, 0}, 10, 0, 90);
    EXPECT_EQ(joined.elementAtIndex(1), Type::LineTo);
    EXPECT_EQ(joined.elements()[1].points[0], PLPoint(10, 0));
}

TEST(PLBezierPath, TangentArcsRoundTheCorner)
{
    struct Case {
        PLPoint from, corner, to;
        float radius;
        PLPoint firstTangent, secondTangent;
    } cases[] = {
        {{0, 0}, {20, 0}, {20, 20}, 5, {15, 0}, {20, 5}},    // left turn
        {{0, 0}, {20, 0}, {20, -20}, 5, {15, 0}, {20, -5}},  // right turn
        {{0, 10}, {0, 0}, {10, 0}, 10, {0, 10}, {10, 0}},    // the tangent point is the current point
    };
    for (const Case& c : cases) {
        PLBezierPath path;
        path.moveToPoint(c.from);
        path.appendBezierPathWithArcFromPoint(c.corner, c.to, c.radius);
        expectNear(path.currentPoint(), c.secondTangent);
        const auto& last = path.elements().back();
        ASSERT_EQ(last.type, Type::CurveTo);
        // The arc leaves the first tangent point along the first line.
        const PLPoint arcStart = path.elements()[path.elements().size() - 2].points[0];
        expectNear(arcStart, c.firstTangent);
        // Its middle lies on the circle of the radius.
        const PLPoint centre(c.firstTangent.x + (c.secondTangent.x - c.corner.x), c.firstTangent.y + (c.secondTangent.y - c.corner.y));
        const PLPoint mid = curvePoint(path, path.elementCount() - 1, 0.5);
        EXPECT_NEAR(std::hypot(mid.x - centre.x, mid.y - centre.y), c.radius, 0.01);
    }
    // Collinear points and a radius of 0 give a line to the corner.
    for (float radius : {0.0f, 5.0f}) {
        PLBezierPath path;
        path.moveToPoint({0, 0});
        path.appendBezierPathWithArcFromPoint({10, 0}, radius == 0 ? PLPoint(10, 10) : PLPoint(20, 0), radius);
        ASSERT_EQ(path.elementCount(), 2);
        EXPECT_EQ(path.elementAtIndex(1), Type::LineTo);
        EXPECT_EQ(path.currentPoint(), PLPoint(10, 0));
    }
}

TEST(PLBezierPath, RectOvalAndBounds)
{
    const PLBezierPath rect = PLBezierPath::bezierPathWithRect({1, 2, 3, 4});
    ASSERT_EQ(rect.elementCount(), 5);
    PLPoint p[3];
    EXPECT_EQ(rect.elementAtIndex(2, p), Type::LineTo);
    EXPECT_EQ(p[0], PLPoint(4, 6));
    EXPECT_EQ(rect.elementAtIndex(4), Type::ClosePath);
    EXPECT_EQ(rect.bounds(), PLRect(1, 2, 3, 4));

    const PLBezierPath oval = PLBezierPath::bezierPathWithOvalInRect({0, 0, 20, 10});
    EXPECT_EQ(oval.bounds(), PLRect(0, 0, 20, 10));
    EXPECT_TRUE(oval.containsPoint({10, 5}));
    EXPECT_FALSE(oval.containsPoint({1, 1}));

    // Control points reach beyond the curve; the tight bounds do not.
    PLBezierPath bump;
    bump.moveToPoint({0, 0});
    bump.curveToPoint({30, 0}, {10, 40}, {20, 40});
    EXPECT_EQ(bump.controlPointBounds(), PLRect(0, 0, 30, 40));
    const PLRect tight = bump.bounds();
    EXPECT_NEAR(tight.maxY(), 30, 1e-3);
    EXPECT_EQ(tight.minX(), 0);
    EXPECT_EQ(PLBezierPath().bounds(), PLRect());
}

TEST(PLBezierPath, ReversingKeepsSubpathsAndClosing)
{
    PLBezierPath path;
    path.moveToPoint({0, 0});
    path.lineToPoint({10, 0});
    path.curveToPoint({20, 10}, {12, 0}, {20, 8});
    path.moveToPoint({50, 50});
    path.lineToPoint({60, 50});
    path.lineToPoint({60, 60});
    path.closePath();
    const PLBezierPath reversed = path.bezierPathByReversingPath();
    const std::vector<PLBezierPath::Element> expected = {
        {Type::MoveTo, {PLPoint(20, 10)}},
        {Type::CurveTo, {PLPoint(20, 8), PLPoint(12, 0), PLPoint(10, 0)}},
        {Type::LineTo, {PLPoint(0, 0)}},
        {Type::MoveTo, {PLPoint(60, 60)}},
        {Type::LineTo, {PLPoint(60, 50)}},
        {Type::LineTo, {PLPoint(50, 50)}},
        {Type::ClosePath, {}},
    };
    EXPECT_EQ(reversed.elements(), expected);
    EXPECT_EQ(reversed.bezierPathByReversingPath().elements(), path.elements());
}

TEST(PLBezierPath, TransformsAndQtForms)
{
    PLBezierPath path = PLBezierPath::bezierPathWithRect({0, 0, 10, 10});
    PLAffineTransform t;
    t.translateXBy(5, 5);
    t.scaleBy(2);
    path.transformUsingAffineTransform(t);
    EXPECT_EQ(path.bounds(), PLRect(5, 5, 20, 20));

    // A segment after a close starts at the closed subpath's start for Qt too.
    PLBezierPath continued = PLBezierPath::bezierPathWithRect({0, 0, 10, 10});
    continued.lineToPoint({-10, -10});
    const QPainterPath q = continued.toQPainterPath();
    EXPECT_EQ(q.elementAt(q.elementCount() - 2).type, QPainterPath::MoveToElement);
    EXPECT_EQ(QPointF(q.elementAt(q.elementCount() - 2)), QPointF(0, 0));

    continued.setWindingRule(PLBezierPath::WindingRule::EvenOdd);
    EXPECT_EQ(continued.toQPainterPath().fillRule(), Qt::OddEvenFill);

    // Dashes are given in points; Qt counts them in line widths, in pairs.
    PLBezierPath dashed;
    dashed.setLineWidth(2);
    dashed.setLineDash({12, 4}, 2);
    QPen pen = dashed.pen(PLColor::black());
    EXPECT_EQ(pen.dashPattern(), (QList<qreal>{6, 2}));
    EXPECT_EQ(pen.dashOffset(), 1);
    dashed.setLineDash({4}, 0);
    EXPECT_EQ(dashed.pen(PLColor::black()).dashPattern(), (QList<qreal>{2, 2}));
    EXPECT_EQ(pen.capStyle(), Qt::FlatCap);
    EXPECT_EQ(pen.miterLimit(), 10);
}

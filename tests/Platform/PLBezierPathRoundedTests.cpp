#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLStrokeHitTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using Type = PLBezierPath::ElementType;
using Cap = PLBezierPath::LineCap;

namespace {

// The radius of every arc of a path whose corners are right angles: each quarter arc
// spans its radius times the square root of 2.
std::vector<float> rightAngleRadii(const PLBezierPath& path)
{
    std::vector<float> radii;
    PLPoint current;
    for (const auto& e : path.elements()) {
        const PLPoint end = e.type == Type::CurveTo ? e.points[2] : e.points[0];
        if (e.type == Type::CurveTo) radii.push_back(std::round(std::hypot(end.x - current.x, end.y - current.y) / std::sqrt(2.0f) * 100) / 100);
        if (e.type != Type::ClosePath) current = end;
    }
    return radii;
}

}  // namespace

TEST(PLBezierPathRounded, RoundedRectangles)
{
    struct Case {
        PLRect rect;
        float radius;
        float cornerRadius;
    } cases[] = {
        {{0, 0, 10, 4}, 5, 2},    // at most half the shorter side
        {{10, 20, 100, 50}, 10, 10},
        {{0, 0, 20, 20}, 10, 10}, // a circle
        {{0, 0, 20, 20}, 0.5f, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rect.width() << "x" << c.rect.height() << " radius " << c.radius);
        const PLBezierPath path = PLBezierPath::bezierPathWithRoundedRect(c.rect, c.radius);
        // Counter-clockwise from the middle of the top edge.
        EXPECT_EQ(path.elements().front().points[0], PLPoint(c.rect.midX(), c.rect.maxY()));
        EXPECT_EQ(path.elements().back().type, Type::ClosePath);
        EXPECT_EQ(rightAngleRadii(path), std::vector<float>(4, c.cornerRadius));
        const PLRect bounds = path.bounds();
        EXPECT_NEAR(bounds.minX(), c.rect.minX(), 1e-3);
        EXPECT_NEAR(bounds.maxY(), c.rect.maxY(), 1e-3);
        // The first corner is the top-left one.
        const auto firstCurve = std::find_if(path.elements().begin(), path.elements().end(), [](auto& e) { return e.type == Type::CurveTo; });
        EXPECT_NEAR(firstCurve->points[2].x, c.rect.minX(), 1e-3);
        EXPECT_NEAR(firstCurve->points[2].y, c.rect.maxY() - c.cornerRadius, 1e-3);
    }
    EXPECT_EQ(PLBezierPath::bezierPathWithRoundedRect({1, 2, 30, 40}, 0).elements(), PLBezierPath::bezierPathWithRect({1, 2, 30, 40}).elements());
    EXPECT_EQ(PLBezierPath::bezierPathWithRoundedRect({1, 2, 0, 40}, 5).elementCount(), 0);
}

TEST(PLBezierPathRounded, RoundedPolygonCornersStayWithinHalfTheirStretches)
{
    const PLPoint bar[] = {{0, 0}, {100, 0}, {100, 10}, {0, 10}};
    struct Case {
        float radius;
        std::vector<float> radii;
    } cases[] = {
        // Starting in the middle of the closing edge, 5 from the first corner: half of that
        // rounded up is 3; the short sides allow 5.
        {20, {3, 5, 3, 5}},
        {2.2f, {3, 3, 3, 3}},  // rounded up to whole points
        {0, {}},               // sharp corners
    };
    for (const Case& c : cases) {
        const PLBezierPath path = PLBezierPath::bezierPathWithRoundedPolygonPoints(bar, 4, c.radius);
        EXPECT_EQ(path.elements().front().points[0], PLPoint(0, 5));
        EXPECT_EQ(rightAngleRadii(path), c.radii) << c.radius;
        EXPECT_EQ(path.elements().back().type, Type::ClosePath);
    }
    // A triangle: the path stays inside its corners' reach and ends where it began.
    const PLPoint triangle[] = {{0, 0}, {60, 0}, {30, 40}};
    const PLBezierPath path = PLBezierPath::bezierPathWithRoundedPolygonPoints(triangle, 3, 1000);
    const PLRect b = path.bounds();
    EXPECT_GT(b.minY(), -1e-3);
    EXPECT_LT(b.maxY(), 40);
    EXPECT_GT(b.minX(), 0);
    EXPECT_LT(b.maxX(), 60);
    EXPECT_EQ(PLBezierPath::bezierPathWithRoundedPolygonPoints(triangle, 0, 5).elementCount(), 0);
}

TEST(PLBezierPathRounded, StrokeHitTestOfAnOpenLine)
{
    PLBezierPath line;
    line.moveToPoint({0, 0});
    line.lineToPoint({100, 0});
    line.setLineWidth(10);
    struct Case {
        PLPoint point;
        bool butt, round, square;
    } cases[] = {
        {{50, 5}, true, true, true},  // exactly half the width away
        {{50, -5}, true, true, true},
        {{50, 5.01f}, false, false, false},
        {{-3, 0}, false, true, true},  // beyond the open end
        {{-5, 0}, false, true, true},
        {{-5.1f, 0}, false, false, false},
        {{103, 4}, false, true, true},
        {{-4, 4}, false, false, true},  // the square cap's corner
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        for (auto [cap, expected] : {std::pair{Cap::Butt, c.butt}, {Cap::Round, c.round}, {Cap::Square, c.square}}) {
            line.setLineCapStyle(cap);
            EXPECT_EQ(line.strokeContainsPoint(c.point), expected) << int(cap);
        }
    }
    line.setLineCapStyle(Cap::Butt);
    EXPECT_FALSE(line.strokeContainsPoint({50, 6}));
    EXPECT_TRUE(line.strokeContainsPoint({50, 6}, 12));
    EXPECT_EQ(line.lineWidth(), 10);
}

TEST(PLBezierPathRounded, StrokeHitTestOfCurvesAndClosedPaths)
{
    PLBezierPath arc;
    arc.moveToPoint({100, 0});
    arc.curveToPoint({0, 100}, {100, 55.228f}, {55.228f, 100});
    arc.setLineWidth(4);
    const float diagonal = std::sqrt(0.5f);
    struct Case {
        PLPoint point;
        bool inside;
    } curveCases[] = {
        {{101.9f * diagonal, 101.9f * diagonal}, true},
        {{98.1f * diagonal, 98.1f * diagonal}, true},
        {{102.2f * diagonal, 102.2f * diagonal}, false},
        {{97.7f * diagonal, 97.7f * diagonal}, false},
        {{99.5f, 20}, true},
        {{95.5f, 20}, false},
        {{50, 50}, false},
    };
    for (const Case& c : curveCases) EXPECT_EQ(arc.strokeContainsPoint(c.point), c.inside) << c.point.x << "," << c.point.y;

    // A closed square has no caps: beyond a vertex only within half the width of it.
    PLBezierPath square = PLBezierPath::bezierPathWithRect({0, 0, 100, 100});
    square.setLineWidth(10);
    square.setLineCapStyle(Cap::Square);
    Case closedCases[] = {{{-3, -3}, true}, {{-4, -4}, false}, {{-4, 50}, true}, {{50, 104}, true}, {{50, 50}, false}};
    for (const Case& c : closedCases) EXPECT_EQ(square.strokeContainsPoint(c.point), c.inside) << c.point.x << "," << c.point.y;

    // Without a first move nothing is on the stroke; after a close without a new move the
    // first drawing element ends the test.
    PLBezierPath noMove;
    noMove.lineToPoint({100, 0});
    EXPECT_FALSE(noMove.strokeContainsPoint({50, 0}));
    PLBezierPath continued = PLBezierPath::bezierPathWithRect({0, 0, 10, 10});
    continued.lineToPoint({50, 50});
    EXPECT_FALSE(continued.strokeContainsPoint({30, 30}));
    EXPECT_TRUE(continued.strokeContainsPoint({5, 0}));
    // Every subpath counts.
    PLBezierPath two;
    two.moveToPoint({0, 0});
    two.lineToPoint({10, 0});
    two.moveToPoint({0, 50});
    two.lineToPoint({10, 50});
    EXPECT_TRUE(two.strokeContainsPoint({5, 50}));
    EXPECT_FALSE(two.strokeContainsPoint({5, 25}));
}

// Against the distance to the curve measured by dense sampling, over a grid of points
// (points within a hair of the outline's edge are left out).
TEST(PLBezierPathRounded, StrokeHitTestOfACurveMatchesItsDistance)
{
    const PLPoint p0(0, 0), c1(120, 10), c2(-40, 90), p3(100, 100);
    PLBezierPath s;
    s.moveToPoint(p0);
    s.curveToPoint(p3, c1, c2);
    s.setLineWidth(6);
    s.setLineCapStyle(Cap::Round);
    std::vector<PLPoint> samples;
    for (int i = 0; i <= 4000; ++i) {
        const double t = i / 4000.0, u = 1 - t;
        samples.push_back({float(u * u * u * p0.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x + t * t * t * p3.x),
                           float(u * u * u * p0.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y + t * t * t * p3.y)});
    }
    int checked = 0, inside = 0;
    for (float x = -10; x <= 110; x += 2.1f)
        for (float y = -10; y <= 110; y += 2.1f) {
            double nearest = 1e9;
            for (const PLPoint& q : samples) nearest = std::min(nearest, std::hypot(double(q.x) - x, double(q.y) - y));
            if (std::fabs(nearest - 3) < 0.05) continue;
            ++checked;
            inside += nearest < 3;
            EXPECT_EQ(s.strokeContainsPoint({x, y}), nearest < 3) << x << "," << y << " at " << nearest;
        }
    EXPECT_GT(checked, 3000);
    EXPECT_GT(inside, 150);
}

TEST(PLBezierPathRounded, PolynomialRootsInTheUnitInterval)
{
    // (t - 0.2)(t - 0.5)(t - 0.9)(t - 2)(t + 1): three roots in [0, 1].
    std::vector<double> coefficients{1};
    for (double root : {0.2, 0.5, 0.9, 2.0, -1.0}) {
        std::vector<double> next(coefficients.size() + 1, 0);
        for (size_t i = 0; i < coefficients.size(); ++i) {
            next[i] += coefficients[i];
            next[i + 1] -= root * coefficients[i];
        }
        coefficients = next;
    }
    PLStrokeHitTest::Quintic p;
    std::copy(coefficients.begin(), coefficients.end(), p.begin());
    EXPECT_EQ(PLStrokeHitTest::sign_changes_right_of(p, 0), 4);
    EXPECT_EQ(PLStrokeHitTest::sign_changes_right_of(p, 3), 0);
    std::vector<double> roots;
    EXPECT_EQ(PLStrokeHitTest::solve_r(p, roots, 1, 0, 1), 3);
    std::sort(roots.begin(), roots.end());
    ASSERT_EQ(roots.size(), 3u);
    EXPECT_NEAR(roots[0], 0.2, 1e-7);
    EXPECT_NEAR(roots[1], 0.5, 1e-7);
    EXPECT_NEAR(roots[2], 0.9, 1e-7);
}

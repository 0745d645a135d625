// Branch lines: the geometry of every line type, the caps, crisp thin strokes, and renders
// of every type in the directions of the map's layouts.
#include "IXDrawingTestSupport.h"
#include "MapLayout/IXBranchLineDrawer.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Element = PLBezierPath::Element;
using Type = PLBezierPath::ElementType;

Element move(float x, float y) { return {Type::MoveTo, {PLPoint(x, y)}}; }
Element line(float x, float y) { return {Type::LineTo, {PLPoint(x, y)}}; }
Element curve(PLPoint end, PLPoint c1, PLPoint c2) { return {Type::CurveTo, {c1, c2, end}}; }
Element closePath() { return {Type::ClosePath, {}}; }

void expectElementsNear(const PLBezierPath& path, const std::vector<Element>& expected)
{
    ASSERT_EQ(path.elementCount(), int(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(path.elements()[i].type, expected[i].type);
        const int points = expected[i].type == Type::CurveTo ? 3 : expected[i].type == Type::ClosePath ? 0 : 1;
        for (int k = 0; k < points; ++k) {
            EXPECT_NEAR(path.elements()[i].points[k].x, expected[i].points[k].x, 1e-3);
            EXPECT_NEAR(path.elements()[i].points[k].y, expected[i].points[k].y, 1e-3);
        }
    }
}

std::shared_ptr<IXStyleNode> lineStyle(int type, float width = 1, int cap = 0)
{
    return styleWith({{"branch.line.type", IXStyleValue::integer(type)},
                      {"branch.line.width", IXStyleValue::real(width)},
                      {"branch.connection.cap", IXStyleValue::integer(cap)}});
}

// --- Geometry

TEST(IXBranchLineGeometry, SquareAndSlopingLinesTurnByTheLayout)
{
    struct Case {
        int layoutType;
        PLPoint to;
        PLPoint corner;  // of the square line
        PLPoint knee;    // of the sloping line
    };
    const std::vector<Case> cases = {
        {2, {50, 30}, {0, 30}, {40, 30}},    {3, {-50, 30}, {0, 30}, {-40, 30}},
        {4, {50, -30}, {50, 0}, {50, -20}},  {0, {50, 30}, {0, 30}, {50, 30}},
        {1, {-50, -30}, {0, -30}, {-50, -30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layoutType);
        expectElementsNear(IXBranchLineDrawer::squareLinePath({0, 0}, c.to, c.layoutType),
                           {move(0, 0), line(c.corner.x, c.corner.y), line(c.to.x, c.to.y)});
        EXPECT_EQ(IXBranchLineDrawer::slopingKnee(c.to, c.layoutType), c.knee);
        expectElementsNear(IXBranchLineDrawer::slopingLinePath({0, 0}, c.to, c.layoutType),
                           {move(0, 0), line(c.knee.x, c.knee.y), line(c.to.x, c.to.y)});
    }
}

// Round sloping runs from the child, turns at the knee with radius 10 and ends at the
// parent; round runs from the parent toward the corner and turns with radius 5.
TEST(IXBranchLineGeometry, RoundedTurns)
{
    // From (50, 30) left to the knee (40, 30), then toward (0, 0): the tangent points lie
    // 10 tan(θ / 2) from the knee, θ being the turn between the two directions.
    const double tangent = 10 * std::tan(std::atan2(30.0, 40.0) / 2);
    const PLBezierPath roundSloping = IXBranchLineDrawer::roundSlopingLinePath({0, 0}, {50, 30}, 2);
    EXPECT_EQ(roundSloping.firstPoint(), PLPoint(50, 30));
    ASSERT_GE(roundSloping.elementCount(), 4);
    PLPoint first[3];
    ASSERT_EQ(roundSloping.elementAtIndex(1, first), Type::LineTo);
    EXPECT_NEAR(first[0].x, 40 + tangent, 1e-3);
    EXPECT_NEAR(first[0].y, 30, 1e-3);
    EXPECT_EQ(roundSloping.currentPoint(), PLPoint(0, 0));
    // Without a direction the knee is the end: a straight line.
    EXPECT_TRUE(IXBranchLineDrawer::roundSlopingLinePath({0, 0}, {50, 30}, 0).strokeContainsPoint({25, 15}));

    const PLBezierPath round = IXBranchLineDrawer::roundLinePath({0, 0}, {50, -30});
    PLPoint run[3];
    ASSERT_EQ(round.elementAtIndex(1, run), Type::LineTo);
    EXPECT_NEAR(run[0].x, 0, 1e-3);
    EXPECT_NEAR(run[0].y, -25, 1e-3);
    EXPECT_NEAR(round.currentPoint().x, 5, 1e-3);
    EXPECT_NEAR(round.currentPoint().y, -30, 1e-3);
}

TEST(IXBranchLineGeometry, CurvesLeaveSteeplyAndArriveLevel)
{
    struct Case {
        PLPoint to;
        std::vector<Element> elements;
    };
    const std::vector<Case> cases = {
        {{100, 50}, {move(0, 0), curve({100, 50}, {20, 45}, {70, 50})}},
        {{-100, -50}, {move(0, 0), curve({-100, -50}, {-20, -45}, {-70, -50})}},
        // Control offsets are rounded up: ceil(-6.6) = -6, ceil(15.3) = 16.
        {{33, -17}, {move(0, 0), curve({33, -17}, {6, -16}, {23, -17})}},
        // Within 3 units of the anchor's level or vertical: straight.
        {{80, 2.9f}, {move(0, 0), line(80, 2.9f)}},
        {{-2.9f, 60}, {move(0, 0), line(-2.9f, 60)}},
        {{80, -2}, {move(0, 0), line(80, -2)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.to.x << "," << c.to.y);
        expectElementsNear(IXBranchLineDrawer::curveLinePath({0, 0}, c.to), c.elements);
    }
    // The test is on the end alone, not on its distance from the start.
    expectElementsNear(IXBranchLineDrawer::curveLinePath({0, 10}, {50, 1}), {move(0, 10), line(50, 1)});
}

// The point at t along curve element index of the path (0 < index).
PLPoint cubicAt(const PLBezierPath& path, int index, double t)
{
    const auto& previous = path.elements()[index - 1];
    const PLPoint p0 = previous.points[previous.type == Type::CurveTo ? 2 : 0];
    const auto& [c1, c2, p3] = path.elements()[index].points;
    const double u = 1 - t, a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return PLPoint(float(a * p0.x + b * c1.x + c * c2.x + d * p3.x), float(a * p0.y + b * c1.y + c * c2.y + d * p3.y));
}

// Where the whole curve, falling monotonically in y, crosses the height y.
float curveXAtY(const PLBezierPath& whole, float y)
{
    double lo = 0, hi = 1;
    for (int i = 0; i < 60; ++i) (cubicAt(whole, 1, (lo + hi) / 2).y > y ? lo : hi) = (lo + hi) / 2;
    return cubicAt(whole, 1, lo).x;
}

// Cut to a rectangle, a long curve keeps its shape and reaches across the rectangle, in
// pieces of a division that does not depend on the rectangle.
TEST(IXBranchLineGeometry, CurvesCutToARectangleKeepTheirShape)
{
    const PLPoint from(0, 0), to(-300, -200000);
    const PLBezierPath whole = IXBranchLineDrawer::curveLinePath(from, to);
    struct Case {
        PLRect keep;
        bool empty;
    };
    const Case cases[] = {
        {PLRect(-1000, -1000, 2000, 2000), false},    // around the start
        {PLRect(-1000, -101000, 2000, 2000), false},  // across the middle
        {PLRect(-2000, -201000, 2000, 1500), false},  // around the end
        {PLRect(5000, -101000, 2000, 2000), true},    // beside it
        {PLRect(-1000, 1000, 2000, 2000), true},      // above the start
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.keep.minX() << "," << c.keep.minY());
        const PLBezierPath cut = IXBranchLineDrawer::curveLinePathWithin(from, to, c.keep);
        if (c.empty) {
            EXPECT_EQ(cut.elementCount(), 0);
            continue;
        }
        ASSERT_GE(cut.elementCount(), 2);
        EXPECT_LT(cut.elementCount(), 400);
        bool inside = false;
        for (int e = 1; e < cut.elementCount(); ++e) {
            for (double t : {0.0, 0.5, 1.0}) {
                const PLPoint p = cubicAt(cut, e, t);
                inside = inside || c.keep.containsPoint(p);
                // y is level at the end: x is ill-conditioned there.
                EXPECT_NEAR(p.x, curveXAtY(whole, p.y), 0.25) << e << " " << t;
            }
        }
        EXPECT_TRUE(inside);
        // Each end is the curve's own or lies outside the rectangle.
        for (PLPoint end : {cut.elements()[0].points[0], cut.currentPoint()}) {
            const bool own = (std::fabs(end.x - from.x) < 0.01f && std::fabs(end.y - from.y) < 0.01f)
                || (std::fabs(end.x - to.x) < 0.01f && std::fabs(end.y - to.y) < 0.01f);
            EXPECT_TRUE(own || !c.keep.insetBy(0.5f, 0.5f).containsPoint(end)) << end.x << "," << end.y;
        }
    }
    // The pieces are the same whichever rectangle picks them.
    const PLBezierPath wide = IXBranchLineDrawer::curveLinePathWithin(from, to, PLRect(-1000, -3000, 2000, 4000));
    const PLBezierPath narrow = IXBranchLineDrawer::curveLinePathWithin(from, to, PLRect(-1000, -1500, 2000, 10));
    ASSERT_GT(narrow.elementCount(), 1);
    const auto found = std::find(wide.elements().begin(), wide.elements().end(), narrow.elements()[1]);
    EXPECT_NE(found, wide.elements().end());
    // Short curves and an empty rectangle give the curve in one piece.
    expectElementsNear(IXBranchLineDrawer::curveLinePathWithin(from, to, PLRect()), whole.elements());
    expectElementsNear(IXBranchLineDrawer::curveLinePathWithin(from, {-30, -60}, PLRect(0, 0, 1, 1)),
                       IXBranchLineDrawer::curveLinePath(from, {-30, -60}).elements());
}

// A head of length factor x width at the line's end, its arms turned by the angle.
TEST(IXBranchLineGeometry, ArrowHeads)
{
    EXPECT_EQ(IXBranchLineDrawer::arrowLineEnd({0, 0}, {100, 50}), PLPoint(94, 50));
    EXPECT_EQ(IXBranchLineDrawer::arrowLineEnd({0, 0}, {-100, 50}), PLPoint(-94, 50));
    struct Case {
        float width, factor, angle;
    };
    const double pi = std::acos(-1.0);
    for (const Case& c : {Case{2, 7, 20}, Case{1, 7, 20}, Case{1, 4, 15}, Case{3, 4, 15}}) {
        SCOPED_TRACE(testing::Message() << c.width << " " << c.factor);
        const PLBezierPath head =
            IXBranchLineDrawer::arrowHeadPath(IXBranchLineDrawer::curveLinePath({0, 0}, {100, 0}), c.width, c.factor, c.angle);
        EXPECT_EQ(head.lineWidth(), c.width);
        EXPECT_EQ(head.lineCapStyle(), PLBezierPath::LineCap::Round);
        EXPECT_EQ(head.elements().back().type, Type::ClosePath);
        const double length = c.width * c.factor;
        const PLRect bounds = head.bounds();
        EXPECT_NEAR(bounds.maxX(), 100, 1e-3);
        EXPECT_NEAR(bounds.minX(), 100 - length * std::cos(c.angle * pi / 180), 1e-2);
        EXPECT_NEAR(bounds.maxY(), length * std::sin(c.angle * pi / 180), 1e-2);
        EXPECT_NEAR(bounds.minY(), -length * std::sin(c.angle * pi / 180), 1e-2);
        EXPECT_TRUE(head.containsPoint({float(100 - length / 2), 0}));
    }
}

// The standard line's base, 20 across about the start, is turned as far as the line
// slopes, the other way round; the end is as high as the line is wide.
TEST(IXBranchLineGeometry, StandardTaper)
{
    const float r = 10 / std::sqrt(2.0f);
    struct Case {
        PLPoint to;
        float width;
        std::vector<Element> elements;
    };
    const std::vector<Case> cases = {
        {{100, 0}, 1, {move(-10, 0), curve({100, 0.5f}, {80, 0.5f}, {80, 0.5f}), line(100, -0.5f),
                       curve({10, 0}, {83, -0.5f}, {83, -0.5f}), line(-10, 0), closePath()}},
        {{-100, 0}, 1, {move(10, 0), curve({-100, 0.5f}, {-80, 0.5f}, {-80, 0.5f}), line(-100, -0.5f),
                        curve({-10, 0}, {-83, -0.5f}, {-83, -0.5f}), line(10, 0), closePath()}},
        {{100, -100}, 2, {move(-r, -r), curve({100, -101}, {80, -101}, {80, -101}), line(100, -99),
                          curve({r, r}, {83, -99}, {83, -99}), line(-r, -r), closePath()}},
        {{-100, 100}, 2, {move(r, r), curve({-100, 101}, {-80, 101}, {-80, 101}), line(-100, 99),
                          curve({-r, -r}, {-83, 99}, {-83, 99}), line(r, r), closePath()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.to.x << "," << c.to.y);
        expectElementsNear(IXBranchLineDrawer::standardLinePath({0, 0}, c.to, c.width), c.elements);
    }
}

// --- Drawing. The anchor sits at (20, 60.25) of a 120 x 120 canvas (a quarter unit off the
// pixel grid, so that antialiasing shows); points are relative to it.

class IXBranchLineRender : public RenderTest {
protected:
    static constexpr float AnchorX = 20, AnchorY = 60.25f;

    void draw(const IXStyleNode& style, PLPoint to, int layoutType, bool manageAntialiasing = false)
    {
        PLGraphicsContext context(canvas);
        context.concat(anchor());
        IXBranchLineDrawer::drawBranchLineFrom({0, 0}, to, style, layoutType, manageAntialiasing);
    }

    static PLAffineTransform anchor()
    {
        PLAffineTransform t;
        t.translateXBy(AnchorX, AnchorY);
        return t;
    }

    // The pixel holding the point (relative to the anchor).
    QColor near(float x, float y) const { return at(int(std::floor(AnchorX + x)), int(std::floor(AnchorY + y))); }
};

TEST_F(IXBranchLineRender, EveryTypeDrawsItsPath)
{
    struct Case {
        int type;
        std::vector<PLPoint> painted;
        std::vector<PLPoint> clear;
    };
    const PLPoint to(80, 40);
    const std::vector<Case> cases = {
        {0, {{0, 20}, {40, 40}, {0.5f, 39.5f}}, {{40, 20}, {40, 0}}},
        {1, {{40, 20}, {70, 35}}, {{0, 20}, {40, 40}}},
        {2, {{35, 20}, {75, 40}}, {{40, 20}, {0, 20}}},
        {3, {{35, 20}, {77, 40}}, {{40, 20}, {70, 38}}},
        {4, {{37, 33.5f}, {79, 40}}, {{40, 20}, {0, 20}}},
        // The arrow stops 6 short of the child; its head is 7 long and 20° wide.
        {5, {{72, 40}, {68, 42.2f}, {68, 37.8f}}, {{78, 40}, {40, 20}}},
        // The small arrow reaches the child; its head is 4 long and 15° wide.
        {6, {{79, 40}, {77.5f, 40.8f}}, {{76, 43}, {81, 40}}},
        {7, {{79.5f, 40}, {40, 25}}, {{79.5f, 42}, {40, 35}, {40, 15}}},
        // Round: a quarter turn of radius 5 instead of the square corner.
        {8, {{0, 20}, {40, 40}, {5, 40}}, {{0.5f, 39.5f}, {40, 20}}},
        {9, {}, {{0, 20}, {40, 40}, {40, 20}}},
        {-1, {}, {{0, 20}, {40, 40}, {40, 20}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        canvas = blank(120, 120);
        draw(*lineStyle(c.type), to, 2);
        for (PLPoint p : c.painted) EXPECT_GT(near(p.x, p.y).alpha(), 100) << p.x << "," << p.y;
        for (PLPoint p : c.clear) EXPECT_EQ(near(p.x, p.y).alpha(), 0) << p.x << "," << p.y;
        if (c.type < 0 || c.type > 8) {
            EXPECT_FALSE(anyPainted(canvas, 0, 0, 120, 120));
        }
    }
}

// A curve to a branch far out of sight is drawn as if whole where it shows, and alike when
// the view is drawn in strips.
TEST_F(IXBranchLineRender, FarReachingCurvesLookTheSameWhereTheyShow)
{
    const auto style = lineStyle(4, 2);
    const auto worstDifference = [](const QImage& a, const QImage& b) {
        int worst = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) worst = std::max(worst, std::abs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y))));
        return worst;
    };
    for (PLPoint to : {PLPoint(80, 40), PLPoint(90, -150000), PLPoint(-5000, 80000)}) {
        SCOPED_TRACE(testing::Message() << to.x << "," << to.y);
        canvas = blank(120, 120);
        draw(*style, to, 2);
        const QImage drawn = canvas;
        EXPECT_TRUE(anyPainted(drawn, 0, 0, 120, 120));
        canvas = blank(120, 120);
        for (int strip = 0; strip < 120; strip += 17) {
            PLGraphicsContext context(canvas);
            context.clipToRect(PLRect(0, float(strip), 120, 17));
            context.concat(anchor());
            IXBranchLineDrawer::drawBranchLineFrom({0, 0}, to, *style, 2, false);
        }
        EXPECT_EQ(worstDifference(drawn, canvas), 0);
        canvas = blank(120, 120);
        {
            PLGraphicsContext context(canvas);
            context.concat(anchor());
            PLBezierPath whole = IXBranchLineDrawer::curveLinePath({0, 0}, to);
            whole.setLineWidth(2);
            whole.setLineCapStyle(PLBezierPath::LineCap::Round);
            context.setColor(PLColor::black());
            whole.stroke(context);
        }
        // Pieces are flattened a little differently from the whole curve: a hair, no more.
        EXPECT_LE(worstDifference(drawn, canvas), 64);
    }
}

TEST_F(IXBranchLineRender, LinesTakeTheStylesColourAndWidth)
{
    const PLColor red = PLColor::rgb(1, 0, 0);
    auto style = lineStyle(1, 5);
    style->setValue(colorValue(red), QStringLiteral("branch.line.color"));
    canvas = blank(120, 120);
    draw(*style, {80, 0}, 2);
    for (float y : {-2.0f, 0.0f, 1.5f}) EXPECT_TRUE(colorNear(near(40, y), QColor(255, 0, 0)));
    EXPECT_EQ(near(40, 3).alpha(), 0);
    EXPECT_EQ(near(40, -3.5f).alpha(), 0);
    // Round caps reach half the width beyond the end.
    EXPECT_GT(near(81.5f, 0).alpha(), 100);
}

// The half disc faces the parent: left on the right side of a map, right on the left
// side, up in the top-down layout; outlines and other cap types get none.
TEST_F(IXBranchLineRender, CapsFaceTheParent)
{
    struct Case {
        int capType, layoutType;
        std::vector<PLPoint> painted;
        std::vector<PLPoint> clear;
    };
    const std::vector<Case> cases = {
        {1, 2, {{-2, 0}, {-1, 2}, {-1, -2}}, {{1.5f, 0}, {-4, 0}}},
        {1, 3, {{2, 0}, {1, 2}, {1, -2}}, {{-1.5f, 0}, {4, 0}}},
        {1, 4, {{0, 2}, {2, 1}, {-2, 1}}, {{0, -1.5f}, {0, 4}}},
        {1, 0, {}, {{-2, 0}, {2, 0}, {0, 2}}},
        {1, 1, {}, {{-2, 0}, {2, 0}, {0, 2}}},
        {0, 2, {}, {{-2, 0}, {2, 0}, {0, 2}}},
        {2, 2, {}, {{-2, 0}, {2, 0}, {0, 2}}},
    };
    const PLPoint at(40, 20);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.capType << " " << c.layoutType);
        canvas = blank(120, 120);
        {
            PLGraphicsContext context(canvas);
            context.concat(anchor());
            IXBranchLineDrawer::drawBranchConnectionCapAtPoint(at, c.capType, c.layoutType);
        }
        for (PLPoint p : c.painted) EXPECT_GT(near(at.x + p.x, at.y + p.y).alpha(), 100) << p.x << "," << p.y;
        for (PLPoint p : c.clear) EXPECT_EQ(near(at.x + p.x, at.y + p.y).alpha(), 0) << p.x << "," << p.y;
    }
}

// Square, direct, sloping, round sloping and round lines end in the style's cap; the
// curve, the arrows and the standard line never do.
TEST_F(IXBranchLineRender, OnlyAngularLinesEndInTheCap)
{
    for (int type = 0; type <= 8; ++type) {
        SCOPED_TRACE(type);
        canvas = blank(120, 120);
        draw(*lineStyle(type, 1, 0), {80, 40}, 2);
        const QImage without = canvas;
        canvas = blank(120, 120);
        draw(*lineStyle(type, 1, 1), {80, 40}, 2);
        const bool capped = type == 0 || type == 1 || type == 2 || type == 3 || type == 8;
        EXPECT_EQ(canvas != without, capped);
        if (capped) {
            EXPECT_GT(near(78, 41.5f).alpha(), 100);
        }
    }
}

// Square lines, and the straight end of round lines, narrower than 2 are drawn crisp
// when the caller asks; the context's setting is back afterwards.
TEST_F(IXBranchLineRender, ThinStraightStrokesAreCrispWhenAsked)
{
    struct Case {
        int type;
        float width;
        bool manage;
        bool crisp;
    };
    const std::vector<Case> cases = {
        {0, 1, true, true},   {0, 1.5f, true, true}, {0, 1, false, false},
        {0, 2, true, false},  {8, 1, true, true},    {8, 1, false, false},
        {1, 1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.width << " " << c.manage);
        for (bool before : {true, false}) {
            canvas = blank(120, 120);
            PLGraphicsContext context(canvas);
            context.concat(anchor());
            context.setShouldAntialias(before);
            // Vertically first, then level to the child at (60, -30).
            IXBranchLineDrawer::drawBranchLineFrom({0, 0}, {60, -30}, *lineStyle(c.type, c.width), 2, c.manage);
            EXPECT_EQ(context.shouldAntialias(), before);
            if (!before) continue;
            // The level run (the direct line's slope) crosses the pixel rows a quarter unit off
            // their edges.
            int partial = 0, full = 0;
            for (int y = -34; y < -16; ++y) {
                const int alpha = near(40, float(y)).alpha();
                partial += alpha > 0 && alpha < 250;
                full += alpha >= 250;
            }
            EXPECT_EQ(partial == 0, c.crisp) << partial;
            EXPECT_GE(full + partial, 1);
        }
    }
}

// Every line type from one parent to children on both sides and below, with caps, saved
// to be looked at; each type draws within reach of its lines.
TEST_F(IXBranchLineRender, EveryTypeInEveryDirection)
{
    const int cell = 180;
    QImage sheet = blank(cell * 3, cell * 3);
    sheet.fill(Qt::white);
    struct Child {
        PLPoint at;
        int layoutType;
    };
    const std::vector<Child> children = {
        {{60, 45}, 2}, {{60, 12}, 2}, {{60, -30}, 2}, {{-60, 40}, 3}, {{-60, -25}, 3}, {{-25, -70}, 4}, {{25, -70}, 4},
    };
    for (int type = 0; type <= 8; ++type) {
        SCOPED_TRACE(type);
        auto style = lineStyle(type, 1.5f, 1);
        style->setValue(colorValue(PLColor::rgb(0.15f, 0.3f, 0.6f)), QStringLiteral("branch.line.color"));
        QImage image = blank(cell, cell);
        {
            PLGraphicsContext context(image);
            PLAffineTransform centre;
            centre.translateXBy(cell / 2.0f, cell / 2.0f + 10);
            context.concat(centre);
            for (const Child& child : children) {
                // The child's box beside (or below) the point where the line meets it.
                const float boxWidth = 26, boxHeight = 12;
                PLRect box = child.layoutType == 2 ? PLRect(child.at.x, child.at.y - boxHeight / 2, boxWidth, boxHeight)
                    : child.layoutType == 3         ? PLRect(child.at.x - boxWidth, child.at.y - boxHeight / 2, boxWidth, boxHeight)
                                                    : PLRect(child.at.x - boxWidth / 2, child.at.y - boxHeight, boxWidth, boxHeight);
                context.saveGraphicsState();
                context.setColor(PLColor::grey(0.85f));
                context.fillRect(box);
                context.restoreGraphicsState();
                IXBranchLineDrawer::drawBranchLineFrom({0, 0}, child.at, *style, child.layoutType, true);
            }
        }
        EXPECT_TRUE(anyPainted(image, 0, 0, cell, cell));
        QPainter painter(&sheet);
        painter.drawImage((type % 3) * cell, (type / 3) * cell, image);
    }
    saveRender(sheet, QStringLiteral("branch-lines"));
}

}  // namespace

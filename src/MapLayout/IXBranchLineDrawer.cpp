#include "MapLayout/IXBranchLineDrawer.h"

#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXGeometryLimits.h"
#include "Platform/Drawing/PLAntialiasingScope.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace {

enum LayoutType { LayoutRight = 2, LayoutLeft = 3, LayoutTopDown = 4 };

float lineWidthOf(const IXStyleNode& style)
{
    return IXGeometryLimits::branchLineWidth(style);
}

// Lines narrower than this are drawn crisp when the caller manages antialiasing.
constexpr float CrispWidthLimit = 2.0f;

// Switches antialiasing off for its lifetime when asked and the line is thin.
class CrispScope {
public:
    CrispScope(PLGraphicsContext& context, bool manage, float width)
    {
        if (manage && width < CrispWidthLimit) m_scope.emplace(context, false);
    }

private:
    std::optional<PLAntialiasingScope> m_scope;
};

// The path with the style's width and round caps.
PLBezierPath styled(PLBezierPath path, const IXStyleNode& style)
{
    path.setLineWidth(lineWidthOf(style));
    path.setLineCapStyle(PLBezierPath::LineCap::Round);
    return path;
}

// Gives the path the style's width and round caps and strokes it in the line colour.
void strokeLine(PLGraphicsContext& context, const PLBezierPath& path, const IXStyleNode& style)
{
    const PLColor color = style.branchLineColor();
    if (!color.isNull()) context.setColor(color);
    styled(path, style).stroke(context);
}

// How far beyond what can show a curve is kept: its cut round cap stays out of sight.
PLRect curveReach(const PLRect& visible, const IXStyleNode& style)
{
    const float beyond = 2 + lineWidthOf(style);
    return visible.insetBy(-beyond, -beyond);
}

void drawCap(PLPoint to, const IXStyleNode& style, int layoutType)
{
    const int cap = style.branchConnectionCap();
    if (cap != 0) IXBranchLineDrawer::drawBranchConnectionCapAtPoint(to, cap, layoutType);
}

void strokeLineWithCap(const PLBezierPath& path, PLPoint to, const IXStyleNode& style, int layoutType)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    strokeLine(*context, path, style);
    drawCap(to, style, layoutType);
}

// Long curves are cut into pieces about this long when only part of them is asked for.
constexpr float CurvePieceLength = 64;

// A cubic Bézier whose coordinates each run monotonically from one end to the other.
struct Cubic {
    std::array<PLPoint, 4> p;

    PLPoint at(double t) const
    {
        const double u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        return PLPoint(float(a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x),
                       float(a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y));
    }
    // The stretch of t over which the coordinate lies within [low, high] (empty when t0 >= t1).
    std::pair<double, double> stretchWithin(float PLPoint::*coordinate, float low, float high) const
    {
        const float first = p[0].*coordinate, last = p[3].*coordinate;
        const bool rising = last >= first;
        // The t at which the coordinate reaches value, 0 or 1 when it never does.
        const auto reach = [&](float value) {
            if (rising ? value <= first : value >= first) return 0.0;
            if (rising ? value >= last : value <= last) return 1.0;
            double lo = 0, hi = 1;
            for (int i = 0; i < 40; ++i) {
                const double mid = (lo + hi) / 2;
                const float v = at(mid).*coordinate;
                if (rising ? v < value : v > value) lo = mid;
                else hi = mid;
            }
            return lo;
        };
        return rising ? std::pair(reach(low), reach(high)) : std::pair(reach(high), reach(low));
    }
    PLRect controlBounds() const
    {
        const auto [minX, maxX] = std::minmax({p[0].x, p[1].x, p[2].x, p[3].x});
        const auto [minY, maxY] = std::minmax({p[0].y, p[1].y, p[2].y, p[3].y});
        return PLRect(minX, minY, maxX - minX, maxY - minY);
    }
    // The same curve between t0 and t1 (de Casteljau).
    Cubic part(double t0, double t1) const
    {
        return split(t1).first.split(t0 / t1).second;
    }
    std::pair<Cubic, Cubic> split(double t) const
    {
        const auto mix = [t](PLPoint a, PLPoint b) {
            return PLPoint(float(a.x + (b.x - a.x) * t), float(a.y + (b.y - a.y) * t));
        };
        const PLPoint a = mix(p[0], p[1]), b = mix(p[1], p[2]), c = mix(p[2], p[3]);
        const PLPoint d = mix(a, b), e = mix(b, c);
        const PLPoint m = mix(d, e);
        return {Cubic{{p[0], a, d, m}}, Cubic{{m, e, c, p[3]}}};
    }
};

PLBezierPath segment(PLPoint from, PLPoint to)
{
    PLBezierPath path;
    path.moveToPoint(from);
    path.lineToPoint(to);
    return path;
}

}  // namespace

// --- Geometry

PLBezierPath IXBranchLineDrawer::squareLinePath(PLPoint from, PLPoint to, int layoutType)
{
    const PLPoint corner = layoutType == LayoutTopDown ? PLPoint(to.x, from.y) : PLPoint(from.x, to.y);
    PLBezierPath path = segment(from, corner);
    path.lineToPoint(to);
    return path;
}

PLPoint IXBranchLineDrawer::slopingKnee(PLPoint to, int layoutType)
{
    switch (layoutType) {
    case LayoutRight: return {to.x - 10, to.y};
    case LayoutLeft: return {to.x + 10, to.y};
    case LayoutTopDown: return {to.x, to.y + 10};
    default: return to;
    }
}

PLBezierPath IXBranchLineDrawer::slopingLinePath(PLPoint from, PLPoint to, int layoutType)
{
    PLBezierPath path = segment(from, slopingKnee(to, layoutType));
    path.lineToPoint(to);
    return path;
}

PLBezierPath IXBranchLineDrawer::roundSlopingLinePath(PLPoint from, PLPoint to, int layoutType)
{
    PLBezierPath path;
    path.moveToPoint(to);
    path.appendBezierPathWithArcFromPoint(slopingKnee(to, layoutType), from, 10);
    path.lineToPoint(from);
    return path;
}

PLBezierPath IXBranchLineDrawer::curveLinePath(PLPoint from, PLPoint to)
{
    return curveLinePathWithin(from, to, PLRect());
}

PLBezierPath IXBranchLineDrawer::curveLinePathWithin(PLPoint from, PLPoint to, const PLRect& keep)
{
    if (std::fabs(to.x) < 3 || std::fabs(to.y) < 3) return segment(from, to);
    const float dx = from.x - to.x, dy = from.y - to.y;
    Cubic curve{from,
                {from.x - std::ceil(0.2f * dx), from.y - std::ceil(0.9f * dy)},
                {from.x - std::ceil(0.7f * dx), from.y - std::ceil(dy)},
                to};
    // A long curve is drawn as whole pieces of a fixed division, so that the part in sight is
    // flattened alike whatever rectangle is asked for: a view drawn in strips shows no seams.
    const PLRect hull = curve.controlBounds();
    const int pieces = std::clamp(int(std::ceil(std::max(hull.width(), hull.height()) / CurvePieceLength)), 1, 1 << 16);
    PLBezierPath path;
    if (keep.isEmpty() || pieces == 1) {
        path.moveToPoint(curve.p[0]);
        path.curveToPoint(curve.p[3], curve.p[1], curve.p[2]);
        return path;
    }
    // Both coordinates run monotonically (the control points lie in order between the ends),
    // so the curve meets the rectangle in one stretch of t.
    const auto [x0, x1] = curve.stretchWithin(&PLPoint::x, keep.minX(), keep.maxX());
    const auto [y0, y1] = curve.stretchWithin(&PLPoint::y, keep.minY(), keep.maxY());
    const double t0 = std::max(x0, y0), t1 = std::min(x1, y1);
    if (t0 >= t1) return path;
    const int first = std::clamp(int(std::floor(t0 * pieces)), 0, pieces - 1);
    const int last = std::clamp(int(std::ceil(t1 * pieces)), first + 1, pieces);
    for (int k = first; k < last; ++k) {
        const Cubic piece = curve.part(double(k) / pieces, double(k + 1) / pieces);
        if (k == first) path.moveToPoint(piece.p[0]);
        path.curveToPoint(piece.p[3], piece.p[1], piece.p[2]);
    }
    return path;
}

PLBezierPath IXBranchLineDrawer::standardLinePath(PLPoint from, PLPoint to, float lineWidth)
{
    const bool childLeft = from.x > to.x;
    const bool childBelow = from.y > to.y;
    const float adx = std::fabs(from.x - to.x), ady = std::fabs(from.y - to.y);
    const double theta = adx == 0 || ady == 0 ? 0.0 : std::atan(double(ady) / adx);
    const double turn = (childLeft != childBelow ? 1 : -1) * theta;
    // The base, 20 across, turned about from.
    const float half = childLeft ? 10 : -10;
    const PLPoint offset(float(half * std::cos(turn)), float(half * std::sin(turn)));
    const PLPoint a(from.x + offset.x, from.y + offset.y);
    const PLPoint b(from.x - offset.x, from.y - offset.y);
    const float s = childBelow ? -1 : 1;
    const float yTop = to.y + s * lineWidth / 2, yBottom = to.y - s * lineWidth / 2;
    const float x1 = childLeft ? to.x + 20 : to.x - 20;
    const float x2 = childLeft ? to.x + 17 : to.x - 17;
    PLBezierPath path;
    path.moveToPoint(a);
    path.curveToPoint({to.x, yTop}, {x1, yTop}, {x1, yTop});
    path.lineToPoint({to.x, yBottom});
    path.curveToPoint(b, {x2, yBottom}, {x2, yBottom});
    path.lineToPoint(a);
    path.closePath();
    return path;
}

PLBezierPath IXBranchLineDrawer::roundLinePath(PLPoint from, PLPoint to)
{
    PLBezierPath path;
    path.moveToPoint(from);
    path.appendBezierPathWithArcFromPoint({from.x, to.y}, to, 5);
    return path;
}

PLPoint IXBranchLineDrawer::arrowLineEnd(PLPoint from, PLPoint to)
{
    return {from.x > to.x ? to.x + 6 : to.x - 6, to.y};
}

PLBezierPath IXBranchLineDrawer::arrowHeadPath(const PLBezierPath& line, float lineWidth, float lengthFactor,
                                               float angle)
{
    PLBezierPath head = line.bezierPathWithArrowHeadForEndOfLength(lengthFactor * lineWidth, angle);
    head.closePath();
    head.setLineCapStyle(PLBezierPath::LineCap::Round);
    head.setLineWidth(lineWidth);
    return head;
}

// --- Drawing

void IXBranchLineDrawer::drawBranchConnectionCapAtPoint(PLPoint point, int capType, int layoutType)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context || capType != 1) return;
    PLBezierPath disc;
    disc.moveToPoint(point);
    switch (layoutType) {
    case LayoutRight: disc.appendBezierPathWithArcWithCenter(point, 3, 90, 270); break;
    case LayoutLeft: disc.appendBezierPathWithArcWithCenter(point, 3, 90, 270, true); break;
    case LayoutTopDown: disc.appendBezierPathWithArcWithCenter(point, 3, 0, 180); break;
    default: return;
    }
    disc.fill(*context);
}

void IXBranchLineDrawer::drawBranchLineFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                            bool manageAntialiasing)
{
    using Draw = void (*)(PLPoint, PLPoint, const IXStyleNode&, int, bool);
    static constexpr Draw draws[] = {
        drawBranchLineSquareFrom,     drawBranchLineDirectFrom,     drawBranchLineSlopingFrom,
        drawBranchLineRoundSlopingFrom, drawBranchLineCurveFrom,    drawBranchLineArrowFrom,
        drawBranchLineSmallArrowFrom, drawBranchLineStandardFrom,   drawBranchLineRoundFrom,
    };
    const int type = style.branchLineType();
    if (type < 0 || type >= int(std::size(draws))) return;
    draws[type](from, to, style, layoutType, manageAntialiasing);
}

void IXBranchLineDrawer::drawBranchLineDirectFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                                  bool)
{
    strokeLineWithCap(segment(from, to), to, style, layoutType);
}

void IXBranchLineDrawer::drawBranchLineSlopingFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                                   bool)
{
    strokeLineWithCap(slopingLinePath(from, to, layoutType), to, style, layoutType);
}

void IXBranchLineDrawer::drawBranchLineRoundSlopingFrom(PLPoint from, PLPoint to, const IXStyleNode& style,
                                                        int layoutType, bool)
{
    strokeLineWithCap(roundSlopingLinePath(from, to, layoutType), to, style, layoutType);
}

void IXBranchLineDrawer::drawBranchLineRoundFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                                 bool manageAntialiasing)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    const PLBezierPath bend = roundLinePath(from, to);
    strokeLine(*context, bend, style);
    {
        const CrispScope crisp(*context, manageAntialiasing, lineWidthOf(style));
        strokeLine(*context, segment(bend.currentPoint(), to), style);
    }
    drawCap(to, style, layoutType);
}

void IXBranchLineDrawer::drawBranchLineCurveFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int, bool)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    // A curve from a root to a far branch of a big map can be a hundred thousand points long,
    // and Qt fills an antialiased stroke row by row, also where it runs outside the target:
    // cut it where it leaves what can show, the cut's round cap out of sight.
    const PLRect reach = context->clipBoundingBox();
    if (reach.isEmpty()) return;
    strokeLine(*context, curveLinePathWithin(from, to, curveReach(reach, style)), style);
}

std::optional<PLBezierPath> IXBranchLineDrawer::plainLinePathWithin(PLPoint from, PLPoint to, const IXStyleNode& style,
                                                                    const PLRect& keep)
{
    if (style.branchLineColor().isNull()) return std::nullopt;
    switch (style.branchLineType()) {
    case 1:
        if (style.branchConnectionCap() != 0) return std::nullopt;
        return styled(segment(from, to), style);
    case CurveLineType:
        return styled(curveLinePathWithin(from, to, curveReach(keep, style)), style);
    default:
        return std::nullopt;
    }
}

void IXBranchLineDrawer::drawArrow(PLPoint from, PLPoint end, const IXStyleNode& style, float lengthFactor,
                                   float angle)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    const PLBezierPath line = curveLinePath(from, end);
    strokeLine(*context, line, style);
    const PLBezierPath head = arrowHeadPath(line, lineWidthOf(style), lengthFactor, angle);
    head.fill(*context);
    head.stroke(*context);
}

void IXBranchLineDrawer::drawBranchLineArrowFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int, bool)
{
    drawArrow(from, arrowLineEnd(from, to), style, 7, 20);
}

void IXBranchLineDrawer::drawBranchLineSmallArrowFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int, bool)
{
    drawArrow(from, to, style, 4, 15);
}

void IXBranchLineDrawer::drawBranchLineStandardFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int, bool)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    const PLColor color = style.branchLineColor();
    if (!color.isNull()) context->setColor(color);
    standardLinePath(from, to, lineWidthOf(style)).fill(*context);
}

void IXBranchLineDrawer::drawBranchLineSquareFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                                  bool manageAntialiasing)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    {
        const CrispScope crisp(*context, manageAntialiasing, lineWidthOf(style));
        strokeLine(*context, squareLinePath(from, to, layoutType), style);
    }
    drawCap(to, style, layoutType);
}

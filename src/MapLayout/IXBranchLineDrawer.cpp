#include "MapLayout/IXBranchLineDrawer.h"

#include "DocumentModel/IXStyleNode.h"
#include "Platform/PLAntialiasingScope.h"
#include "Platform/PLGraphicsContext.h"

#include <cmath>
#include <optional>

namespace {

enum LayoutType { LayoutRight = 2, LayoutLeft = 3, LayoutTopDown = 4 };

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

// Gives the path the style's width and round caps and strokes it in the line colour.
void strokeLine(PLGraphicsContext& context, PLBezierPath path, const IXStyleNode& style)
{
    const PLColor color = style.branchLineColor();
    if (!color.isNull()) context.setColor(color);
    path.setLineWidth(style.branchLineWidth());
    path.setLineCapStyle(PLBezierPath::LineCap::Round);
    path.stroke(context);
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
    if (std::fabs(to.x) < 3 || std::fabs(to.y) < 3) return segment(from, to);
    const float dx = from.x - to.x, dy = from.y - to.y;
    PLBezierPath path;
    path.moveToPoint(from);
    path.curveToPoint(to, {from.x - std::ceil(0.2f * dx), from.y - std::ceil(0.9f * dy)},
                      {from.x - std::ceil(0.7f * dx), from.y - std::ceil(dy)});
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
        const CrispScope crisp(*context, manageAntialiasing, style.branchLineWidth());
        strokeLine(*context, segment(bend.currentPoint(), to), style);
    }
    drawCap(to, style, layoutType);
}

void IXBranchLineDrawer::drawBranchLineCurveFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int, bool)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    strokeLine(*context, curveLinePath(from, to), style);
}

void IXBranchLineDrawer::drawArrow(PLPoint from, PLPoint end, const IXStyleNode& style, float lengthFactor,
                                   float angle)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    const PLBezierPath line = curveLinePath(from, end);
    strokeLine(*context, line, style);
    const PLBezierPath head = arrowHeadPath(line, style.branchLineWidth(), lengthFactor, angle);
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
    standardLinePath(from, to, style.branchLineWidth()).fill(*context);
}

void IXBranchLineDrawer::drawBranchLineSquareFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                                  bool manageAntialiasing)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    {
        const CrispScope crisp(*context, manageAntialiasing, style.branchLineWidth());
        strokeLine(*context, squareLinePath(from, to, layoutType), style);
    }
    drawCap(to, style, layoutType);
}

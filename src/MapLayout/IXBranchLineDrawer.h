#pragma once

#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLRect.h"

#include <optional>

class IXStyleNode;

// The line from a parent branch to one child, in one of nine types chosen by the child's
// "branch.line.type": 0 square, 1 direct, 2 sloping, 3 round sloping, 4 curve, 5 arrow,
// 6 small arrow, 7 standard (a filled taper), 8 round; any other type draws nothing. The
// stroked types use the child's line width and colour with round caps; square, direct,
// sloping, round sloping and round end in the child's connection cap.
//
// Points are in the drawing group's y-up space, whose origin is the parent's anchor: from
// is where the line leaves the parent (its anchor or collapse button), to where it meets
// the child's box. layoutType is the child's branch layout type (2 right, 3 left, 4 top
// down; others have no direction). manageAntialiasing asks square and round lines to draw
// their straight strokes narrower than 2 without antialiasing, for crisp thin lines; the
// caller decides it from its context's antialiasing rule.
//
// Static functions only; drawing goes to the current graphics context (nothing is drawn
// without one), and the line colour stays set afterwards.
class IXBranchLineDrawer {
public:
    IXBranchLineDrawer() = delete;

    static constexpr int CurveLineType = 4;

    // Cap type 1 draws a half disc of radius 3 facing the parent for layout types 2, 3
    // and 4, in the current colour; anything else draws nothing.
    static void drawBranchConnectionCapAtPoint(PLPoint point, int capType, int layoutType);

    static void drawBranchLineFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                   bool manageAntialiasing);

    static void drawBranchLineDirectFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                         bool manageAntialiasing);
    static void drawBranchLineSlopingFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                          bool manageAntialiasing);
    static void drawBranchLineRoundSlopingFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                               bool manageAntialiasing);
    static void drawBranchLineRoundFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                        bool manageAntialiasing);
    static void drawBranchLineCurveFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                        bool manageAntialiasing);
    static void drawBranchLineArrowFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                        bool manageAntialiasing);
    static void drawBranchLineSmallArrowFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                             bool manageAntialiasing);
    static void drawBranchLineStandardFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                           bool manageAntialiasing);
    static void drawBranchLineSquareFrom(PLPoint from, PLPoint to, const IXStyleNode& style, int layoutType,
                                         bool manageAntialiasing);

    // The stroke drawBranchLineFrom draws for the style, with its width and caps, when it is
    // one plain stroke in the style's line colour (a direct line without a connection cap,
    // or a curve, cut to what meets keep as drawing does); nothing for the other types, or
    // without a line colour. Many of them go to the context as one (PLStrokeBatch).
    static std::optional<PLBezierPath> plainLinePathWithin(PLPoint from, PLPoint to, const IXStyleNode& style,
                                                           const PLRect& keep);

    // --- The geometry the drawing functions stroke or fill (without width or caps)
    // Square: from, the corner, to; the corner turns across first in the top-down layout
    // and vertically first in the others.
    static PLBezierPath squareLinePath(PLPoint from, PLPoint to, int layoutType);
    // The knee 10 units before the end along the layout's direction (to itself without one).
    static PLPoint slopingKnee(PLPoint to, int layoutType);
    static PLBezierPath slopingLinePath(PLPoint from, PLPoint to, int layoutType);
    // From the end, round the knee with radius 10, to from.
    static PLBezierPath roundSlopingLinePath(PLPoint from, PLPoint to, int layoutType);
    // A curve that leaves from almost vertically and meets to horizontally; straight when to
    // lies within 3 units of the anchor's horizontal or vertical line.
    static PLBezierPath curveLinePath(PLPoint from, PLPoint to);
    // The part of that curve meeting keep: the pieces of a fixed division of a long curve
    // (about 64 long) that meet the rectangle, drawn as the same curve; nothing when the
    // curve misses it; the whole curve, in one piece, when keep is empty or the curve short.
    static PLBezierPath curveLinePathWithin(PLPoint from, PLPoint to, const PLRect& keep);
    // The filled taper of the standard line: 20 across at from, the line width at to.
    static PLBezierPath standardLinePath(PLPoint from, PLPoint to, float lineWidth);
    // The run from from toward the corner (from.x, to.y) ending in a quarter turn of radius
    // 5; the straight rest to to is drawn separately.
    static PLBezierPath roundLinePath(PLPoint from, PLPoint to);
    // The end of an arrow's line: pulled back 6 units horizontally toward from.
    static PLPoint arrowLineEnd(PLPoint from, PLPoint to);
    // The closed arrow head at the end of the line path.
    static PLBezierPath arrowHeadPath(const PLBezierPath& line, float lineWidth, float lengthFactor, float angle);

private:
    static void drawArrow(PLPoint from, PLPoint end, const IXStyleNode& style, float lengthFactor, float angle);
};

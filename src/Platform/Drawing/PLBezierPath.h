#pragma once

#include "Platform/Drawing/PLAffineTransform.h"
#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLRect.h"

#include <array>
#include <vector>

class PLGraphicsContext;
class QPainterPath;
class QPen;

// A path of straight and cubic segments in the y-up map geometry (32-bit float points),
// with the drawing attributes that go with it: line width (default 1), cap, join, miter
// limit, dash pattern in absolute units, winding rule. Elements are kept exactly as they
// were added: a segment added after a close belongs to a subpath that starts, without a
// move of its own, at the closed subpath's start. Arcs are made of cubic segments of at
// most a quarter turn each; angles are in degrees, counter-clockwise unless asked
// otherwise.
//
// fill, stroke and addClip act on the given graphics context, or on the current one
// (PLGraphicsContext::currentContext()). A value type; main thread only for drawing.
class PLBezierPath {
public:
    enum class ElementType { MoveTo, LineTo, CurveTo, ClosePath };
    enum class LineCap { Butt = 0, Round = 1, Square = 2 };
    enum class LineJoin { Miter = 0, Round = 1, Bevel = 2 };
    enum class WindingRule { NonZero = 0, EvenOdd = 1 };

    // Points of an element: a move or line uses points[0]; a curve holds control point 1,
    // control point 2 and the end point, in that order.
    struct Element {
        ElementType type = ElementType::MoveTo;
        std::array<PLPoint, 3> points{};
        bool operator==(const Element&) const = default;
    };

    PLBezierPath() = default;
    static PLBezierPath bezierPath() { return {}; }
    static PLBezierPath bezierPathWithRect(const PLRect& rect);
    static PLBezierPath bezierPathWithOvalInRect(const PLRect& rect);

    // Drawing shortcuts into the current context with a fresh path's attributes.
    static void fillRect(const PLRect& rect);
    static void strokeRect(const PLRect& rect);
    static void strokeLineFromPoint(PLPoint from, PLPoint to);

    // --- Construction
    void moveToPoint(PLPoint p);
    void lineToPoint(PLPoint p);
    void curveToPoint(PLPoint end, PLPoint control1, PLPoint control2);
    void closePath();
    void removeAllPoints() { m_elements.clear(); }

    // Counter-clockwise from the bottom-left corner, closed.
    void appendBezierPathWithRect(const PLRect& rect);
    // Four quarter arcs, counter-clockwise from the middle of the right side, closed.
    void appendBezierPathWithOvalInRect(const PLRect& rect);
    // A move to the first point and lines to the others.
    void appendBezierPathWithPoints(const std::vector<PLPoint>& points);
    // An arc about the centre from startAngle to endAngle (degrees). A non-empty path is
    // joined to the arc's start by a line, an empty one begins with a move there. The sweep
    // is taken the asked way round and lies in (0, 360]; equal angles give no sweep.
    void appendBezierPathWithArcWithCenter(PLPoint center, float radius, float startAngle, float endAngle,
                                           bool clockwise = false);
    // The arc of the given radius tangent to the lines current point → point1 and point1 →
    // point2, joined to the current point by a line; the path ends on the second tangent
    // point. Without a usable corner (collinear points, radius not above 0) a line to
    // point1. An empty path begins with a move to point1.
    void appendBezierPathWithArcFromPoint(PLPoint point1, PLPoint point2, float radius);
    void appendBezierPath(const PLBezierPath& other);

    // --- Queries
    bool isEmpty() const { return m_elements.empty(); }
    int elementCount() const { return int(m_elements.size()); }
    // The type of element index; its points are copied to points (1 or 3) when given.
    ElementType elementAtIndex(int index, PLPoint* points = nullptr) const;
    const std::vector<Element>& elements() const { return m_elements; }
    // The end of the last element (the subpath start after a close); (0, 0) when empty.
    PLPoint currentPoint() const;
    // The smallest rectangle holding every point, control points included.
    PLRect controlPointBounds() const;
    // The smallest rectangle holding the path's outline (curves by their extrema).
    PLRect bounds() const;
    // Whether the filled path, with its winding rule, contains the point.
    bool containsPoint(PLPoint p) const;

    // --- Attributes
    float lineWidth() const { return m_lineWidth; }
    void setLineWidth(float width) { m_lineWidth = width; }
    LineCap lineCapStyle() const { return m_lineCap; }
    void setLineCapStyle(LineCap cap) { m_lineCap = cap; }
    LineJoin lineJoinStyle() const { return m_lineJoin; }
    void setLineJoinStyle(LineJoin join) { m_lineJoin = join; }
    float miterLimit() const { return m_miterLimit; }
    void setMiterLimit(float limit) { m_miterLimit = limit; }
    WindingRule windingRule() const { return m_windingRule; }
    void setWindingRule(WindingRule rule) { m_windingRule = rule; }
    // Lengths of drawn and left-out stretches in points, alternating; an empty pattern
    // draws a solid line. The phase shifts the pattern's start along the path.
    void setLineDash(const std::vector<float>& pattern, float phase);
    const std::vector<float>& lineDashPattern() const { return m_dashPattern; }
    float lineDashPhase() const { return m_dashPhase; }

    // --- Transforms
    void transformUsingAffineTransform(const PLAffineTransform& transform);
    // Every subpath run backwards (subpaths keep their order); closed subpaths stay closed.
    PLBezierPath bezierPathByReversingPath() const;

    // --- Drawing
    void fill() const;
    void fill(PLGraphicsContext& context) const;
    void stroke() const;
    void stroke(PLGraphicsContext& context) const;
    // Intersects the context's clip with the filled path.
    void addClip() const;
    void addClip(PLGraphicsContext& context) const;

    // The path in the same (y-up) coordinates for Qt, with the fill rule set.
    QPainterPath toQPainterPath() const;
    // A pen with this path's stroke attributes (dashes converted to Qt's width units).
    QPen pen(const PLColor& color) const;

    // --- Rounded rectangles and polygons, stroke hit test
    static PLBezierPath bezierPathWithRoundedRect(const PLRect& rect, float cornerRadius);
    static PLBezierPath bezierPathWithRoundedPolygonPoints(const PLPoint* points, int count, float cornerRadius);
    // The rectangle counter-clockwise from the middle of its top edge, each corner an arc of
    // min(radius, half the shorter side); radius not above 0 gives the plain rectangle, an
    // empty rectangle nothing.
    void appendBezierPathWithRoundedRect(const PLRect& rect, float cornerRadius);
    // The closed polygon with every corner rounded by ceil(min(radius, half of either
    // neighbouring stretch)), starting in the middle of the closing edge.
    void appendBezierPathWithRoundedPolygonPoints(const PLPoint* points, int count, float cornerRadius);
    // Whether the point lies on the stroked outline with this path's width and cap; joins
    // count as round, closed subpaths have no caps, dashes are ignored.
    bool strokeContainsPoint(PLPoint p) const;
    // The same with another line width.
    bool strokeContainsPoint(PLPoint p, float lineWidth) const;

    // --- Two-colour gradients into the current context
    // An RGBA gradient from the first point (startColor) to the second, clipped to the path;
    // nothing is painted beyond either end.
    void fillGradientFromPoint(PLPoint from, PLPoint to, const PLColor& startColor, const PLColor& endColor) const;
    // The same along the angle (degrees) across the path's bounds, spanning them.
    void fillGradientFrom(const PLColor& startColor, const PLColor& endColor, float angle) const;

    // --- Length, trimming and arrow heads (error: the tolerance of curve measuring)
    double length() const { return lengthWithMaximumError(0.1); }
    double lengthWithMaximumError(double maxError) const;
    // The first length units of the path.
    PLBezierPath bezierPathByTrimmingToLength(double length, double maxError = 0.1) const;
    // The path without its first length units; its first move is kept, followed by a move
    // to the cut point.
    PLBezierPath bezierPathByTrimmingFromLength(double length, double maxError = 0.1) const;
    // An open path of two arms of the given length meeting at the path's start (end), each
    // following the path's first (last) length units turned by angle degrees to either side.
    PLBezierPath bezierPathWithArrowHeadForStartOfLength(double length, double angle) const;
    PLBezierPath bezierPathWithArrowHeadForEndOfLength(double length, double angle) const;
    // Appends the other path's elements, leaving out its first one when that is a move.
    void appendBezierPathRemovingInitialMoveToPoint(const PLBezierPath& other);
    // The point of the first element when it is a move, else (0, 0).
    PLPoint firstPoint() const;

    bool operator==(const PLBezierPath&) const = default;

private:
    // Appends the arc's cubic segments from startAngle over sweep (radians, negative
    // clockwise), joined to a non-empty path by a line.
    void appendArc(PLPoint center, float radius, double startAngle, double sweep);

    std::vector<Element> m_elements;
    float m_lineWidth = 1;
    LineCap m_lineCap = LineCap::Butt;
    LineJoin m_lineJoin = LineJoin::Miter;
    float m_miterLimit = 10;
    WindingRule m_windingRule = WindingRule::NonZero;
    std::vector<float> m_dashPattern;
    float m_dashPhase = 0;
};

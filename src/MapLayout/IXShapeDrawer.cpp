// Frame shapes: margins, rectangle conversions and clip paths.
#include "MapLayout/IXShapeDrawer.h"

#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXGeometryLimits.h"

namespace {

enum FrameType {
    Borderless = 0,
    Square = 1,
    Ellipse = 2,
    RoundedSquare = 3,
    Standard = 4,
    ThinkingBubble = 5,
    SquareCut = 6,
    NoteBookHorizontal = 7,
    NoteBookVertical = 8,
    Clipboard = 9,
    HandDrawn = 10,
};

// The ellipse's and the bubble's margins: 15 % of the frame on every side.
IXShapeDrawer::Margins proportionalMargins(const PLRect& frame)
{
    const float horizontal = float(double(frame.width()) * 0.15);
    const float vertical = float(double(frame.height()) * 0.15);
    return {horizontal, vertical, horizontal, vertical};
}

// The rectangle whose frame-based margins a content rectangle takes: the content scaled up
// to the frame it must fit into.
PLRect enlarged(const PLRect& content, float widthPercent, float heightPercent)
{
    return {content.origin, {content.width() * 100 / widthPercent, content.height() * 100 / heightPercent}};
}

// The margins every type but the proportional ones has whatever the rectangle.
std::optional<IXShapeDrawer::Margins> fixedMargins(int frameType)
{
    switch (frameType) {
    case Square: return IXShapeDrawer::squareMargins();
    case RoundedSquare: return IXShapeDrawer::roundedSquareMargins();
    case Standard: return IXShapeDrawer::standardMargins();
    case SquareCut: return IXShapeDrawer::squareCutMargins();
    case NoteBookHorizontal: return IXShapeDrawer::noteBookHorizontalMargins();
    case NoteBookVertical: return IXShapeDrawer::noteBookVerticalMargins();
    case Clipboard: return IXShapeDrawer::clipboardMargins();
    default: return std::nullopt;
    }
}

}  // namespace

IXShapeDrawer::Margins IXShapeDrawer::ellipseMarginsForFrameRect(const PLRect& frame)
{
    return proportionalMargins(frame);
}

IXShapeDrawer::Margins IXShapeDrawer::ellipseMarginsForContentRect(const PLRect& content)
{
    return ellipseMarginsForFrameRect(enlarged(content, 70, 70));
}

IXShapeDrawer::Margins IXShapeDrawer::bubbleMarginsForFrameRect(const PLRect& frame)
{
    return proportionalMargins(frame);
}

IXShapeDrawer::Margins IXShapeDrawer::bubbleMarginsForContentRect(const PLRect& content)
{
    return bubbleMarginsForFrameRect(enlarged(content, 70, 70));
}

IXShapeDrawer::Margins IXShapeDrawer::handDrawnMarginsForFrameRect(const PLRect& frame)
{
    const float w = frame.width() / 100, h = frame.height() / 100;
    return {w * 16, h * 18, w * 18, h * 15};
}

IXShapeDrawer::Margins IXShapeDrawer::handDrawnMarginsForContentRect(const PLRect& content)
{
    return handDrawnMarginsForFrameRect(enlarged(content, 62, 56));
}

IXShapeDrawer::Margins IXShapeDrawer::marginsForContentRect(const PLRect& content, int frameType)
{
    if (auto fixed = fixedMargins(frameType)) return *fixed;
    switch (frameType) {
    case Ellipse: return ellipseMarginsForContentRect(content);
    case ThinkingBubble: return bubbleMarginsForContentRect(content);
    case HandDrawn: return handDrawnMarginsForContentRect(content);
    default: return {};
    }
}

IXShapeDrawer::Margins IXShapeDrawer::marginsForFrameRect(const PLRect& frame, int frameType)
{
    if (auto fixed = fixedMargins(frameType)) return *fixed;
    switch (frameType) {
    case Ellipse: return ellipseMarginsForFrameRect(frame);
    case ThinkingBubble: return bubbleMarginsForFrameRect(frame);
    case HandDrawn: return handDrawnMarginsForFrameRect(frame);
    default: return {};
    }
}

PLRect IXShapeDrawer::frameRectForContentRect(const PLRect& content, const IXStyleNode& style)
{
    const int type = style.branchFrameType();
    if (type == Borderless) return content;
    const Margins m = marginsForContentRect(content, type);
    return {content.minX() - m.left, content.minY() - m.bottom, content.width() + m.left + m.right,
            content.height() + m.bottom + m.top};
}

PLRect IXShapeDrawer::contentRectForFrameRect(const PLRect& frame, const IXStyleNode& style)
{
    const int type = style.branchFrameType();
    if (type == Borderless) return frame;
    const Margins m = marginsForFrameRect(frame, type);
    return {frame.minX() + m.left, frame.minY() + m.bottom, frame.width() - m.left - m.right,
            frame.height() - m.bottom - m.top};
}

// --- Clip paths

std::optional<PLBezierPath> IXShapeDrawer::clipPathForFrameRect(const PLRect& frame, const IXStyleNode& style)
{
    switch (style.branchFrameType()) {
    case Borderless: return std::nullopt;
    case Square: return squareClipWithRect(frame);
    case Ellipse: return ellipseClipWithRect(frame);
    case RoundedSquare: return roundedSquareClipWithRect(frame, style);
    case Standard: return standardClipWithRect(frame);
    case ThinkingBubble: return bubbleClipWithRect(frame);
    case SquareCut: return squareCutClipWithRect(frame);
    case NoteBookHorizontal: return noteBookHorizontalClipWithRect(frame);
    case NoteBookVertical: return noteBookVerticalClipWithRect(frame);
    case Clipboard: return clipboardClipWithRect(frame);
    case HandDrawn: return handDrawnClipWithRect(frame);
    default: return PLBezierPath::bezierPathWithRect(frame);
    }
}

PLBezierPath IXShapeDrawer::squareClipWithRect(const PLRect& rect)
{
    return PLBezierPath::bezierPathWithRect(rect);
}

PLBezierPath IXShapeDrawer::ellipseClipWithRect(const PLRect& rect)
{
    return PLBezierPath::bezierPathWithOvalInRect(rect);
}

PLBezierPath IXShapeDrawer::roundedSquareClipWithRect(const PLRect& rect, const IXStyleNode& style)
{
    return PLBezierPath::bezierPathWithRoundedRect(rect.insetBy(0.5f, 0.5f), IXGeometryLimits::branchFrameLineRoundness(style));
}

PLBezierPath IXShapeDrawer::standardClipWithRect(const PLRect& rect)
{
    return PLBezierPath::bezierPathWithRect({rect.minX(), rect.minY(), rect.width(), rect.height() - 10});
}

PLBezierPath IXShapeDrawer::bubbleClipWithRect(const PLRect& rect)
{
    PLBezierPath path = PLBezierPath::bezierPathWithOvalInRect({0, 0, 100, 100});
    path.transformUsingAffineTransform(designBoxTransform(rect));
    return path;
}

PLBezierPath IXShapeDrawer::squareCutClipWithRect(const PLRect& rect)
{
    return squareCutPath(rect, 6);
}

PLBezierPath IXShapeDrawer::noteBookHorizontalClipWithRect(const PLRect& rect)
{
    return PLBezierPath::bezierPathWithRect({rect.minX() + 2, rect.minY(), rect.width() - 2, rect.height()});
}

PLBezierPath IXShapeDrawer::noteBookVerticalClipWithRect(const PLRect& rect)
{
    return PLBezierPath::bezierPathWithRect({rect.minX(), rect.minY(), rect.width(), rect.height() - 2});
}

// The board alone: a stray piece of the clip's outline in the same path would cut a notch
// out of the board under the clip.
PLBezierPath IXShapeDrawer::clipboardClipWithRect(const PLRect& rect)
{
    return PLBezierPath::bezierPathWithRoundedRect({rect.minX(), rect.minY(), rect.width(), rect.height() - 10}, 3);
}

PLBezierPath IXShapeDrawer::handDrawnClipWithRect(const PLRect& rect)
{
    PLBezierPath path = PLBezierPath::bezierPathWithOvalInRect({0, 0, 100, 88});
    path.transformUsingAffineTransform(designBoxTransform(rect));
    return path;
}

PLBezierPath IXShapeDrawer::squareCutPath(const PLRect& rect, float cut)
{
    const float x = rect.minX(), y = rect.minY(), w = rect.width(), top = rect.maxY();
    PLBezierPath path;
    path.moveToPoint({x, y + cut});
    path.lineToPoint({x, top - cut});
    path.lineToPoint({x + cut, top});
    path.lineToPoint({x + w - cut, top});
    path.lineToPoint({x + w, top - cut});
    path.lineToPoint({x + w, y + cut});
    path.lineToPoint({x + w - cut, y});
    path.lineToPoint({x + cut, y});
    path.closePath();
    return path;
}

PLAffineTransform IXShapeDrawer::designBoxTransform(const PLRect& rect)
{
    PLAffineTransform transform;
    transform.translateXBy(rect.minX(), rect.minY());
    transform.scaleXBy(rect.width() / 100, rect.height() / 100);
    return transform;
}

// Frame shapes: drawing. Outlines are drawn on the frame moved by half a unit, so that
// strokes of width 1 on whole-unit frames cover whole pixels.
#include "MapLayout/IXShapeDrawer.h"

#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXGeometryLimits.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLShadow.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

using Attributes = IXShapeDrawer::Attributes;

// Sets the colour when there is one; without, the current colour stays.
void setColor(PLGraphicsContext& context, const PLColor& color)
{
    if (!color.isNull()) context.setColor(color);
}

void fillGradient(const PLBezierPath& path, const PLColor& from, const PLColor& to, float angle)
{
    path.fillGradientFrom(from.isNull() ? from : from.toRGB(), to.isNull() ? to : to.toRGB(), angle);
}

// The style's fill gradient over the path, within a saved state, when there is a fill colour.
void fillWithStyleGradient(PLGraphicsContext& context, const PLBezierPath& path, const IXStyleNode& style,
                           std::optional<float> angle = std::nullopt)
{
    const PLColor fill = style.branchFrameFillColor();
    if (fill.isNull()) return;
    context.saveGraphicsState();
    fillGradient(path, fill, style.branchFrameFillAltColor(), angle.value_or(style.branchFrameFillAngle()));
    context.restoreGraphicsState();
}

// Strokes (or fills) the paths with the frame's line colour inside a saved state, or with
// the current colour when the style has none.
void paintWithLineColor(PLGraphicsContext& context, const IXStyleNode& style,
                        std::initializer_list<const PLBezierPath*> paths, bool fill = false)
{
    const PLColor line = style.branchFrameLineColor();
    if (!line.isNull()) {
        context.saveGraphicsState();
        context.setColor(line);
    }
    for (const PLBezierPath* path : paths) fill ? path->fill(context) : path->stroke(context);
    if (!line.isNull()) context.restoreGraphicsState();
}

// A notebook's page in the fill gradient across the pages (the style's angle is not used)
// and its spine solid in the fill colour.
void fillNotebook(PLGraphicsContext& context, const PLBezierPath& page, const PLBezierPath& spine,
                  const IXStyleNode& style, float angle)
{
    const PLColor fill = style.branchFrameFillColor();
    if (fill.isNull()) return;
    context.saveGraphicsState();
    fillGradient(page, fill, style.branchFrameFillAltColor(), angle);
    context.setColor(fill);
    spine.fill(context);
    context.restoreGraphicsState();
}

// A path in the 100 x 100 design box, mapped onto the frame.
PLBezierPath mappedOnto(PLBezierPath path, const PLAffineTransform& transform)
{
    path.transformUsingAffineTransform(transform);
    return path;
}

}  // namespace

void IXShapeDrawer::drawShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes& attributes)
{
    using Draw = void (*)(const PLRect&, const IXStyleNode&, const Attributes&);
    static constexpr Draw draws[] = {
        drawBorderlessFrame,
        drawSquareShapeWithFrame,
        drawEllipseShapeWithFrame,
        drawRoundedSquareShapeWithFrame,
        drawStandardShapeWithFrame,
        drawThinkingBubbleShapeWithFrame,
        drawSquareCutShapeWithFrame,
        drawNoteBookHorizontalShapeWithFrame,
        drawNoteBookVerticalShapeWithFrame,
        drawClipboardShapeWithFrame,
        drawHandDrawnShapeWithFrame,
    };
    const int type = style.branchFrameType();
    if (type < 0 || type >= int(std::size(draws))) return;
    draws[type](frame, style, attributes);
}

void IXShapeDrawer::drawBorderlessFrame(const PLRect& frame, const IXStyleNode& style, const Attributes&)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    const PLColor fill = style.branchFrameFillColor();
    if (!context || fill.isNull() || !(fill.alpha() > 0.01f)) return;
    context->saveGraphicsState();
    context->setColor(fill);
    context->fillRectUsingOperation(frame.insetBy(1, 1), PLGraphicsContext::CompositingOperation::SourceOver);
    context->restoreGraphicsState();
}

void IXShapeDrawer::drawSquareShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                             const Attributes& attributes)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    const PLBezierPath path = PLBezierPath::bezierPathWithRect(frame.insetBy(0.5f, 0.5f));
    // A style that sets no fill of its own takes the level's colour from the palette.
    const bool ownFill = !style.ownAttribute(QStringLiteral("branch.frame.fill.bgcolor1")).isNull()
        || !style.ownAttribute(QStringLiteral("branch.frame.fill.bgcolor2")).isNull();
    const int level = attributes.level.value_or(0);
    const int count = style.branchFrameFillColorCount();
    PLColor from = style.branchFrameFillColor(), to = style.branchFrameFillAltColor();
    if (!ownFill && level > 0 && count > 0) from = to = style.branchFrameFillColorAtIndex(level % count);
    fillGradient(path, from, to, style.branchFrameFillAngle());
    setColor(*context, style.branchFrameLineColor());
    path.stroke(*context);
}

void IXShapeDrawer::drawEllipseShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes&)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    const PLBezierPath path = PLBezierPath::bezierPathWithOvalInRect(frame);
    fillGradient(path, style.branchFrameFillColor(), style.branchFrameFillAltColor(), style.branchFrameFillAngle());
    setColor(*context, style.branchFrameLineColor());
    path.stroke(*context);
}

void IXShapeDrawer::drawRoundedSquareShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                                    const Attributes& attributes)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    const PLBezierPath path =
        PLBezierPath::bezierPathWithRoundedRect(frame.insetBy(0.5f, 0.5f), IXGeometryLimits::branchFrameLineRoundness(style));
    const PLColor fill = attributes.fill.value_or(style.branchFrameFillColor());
    // A fill given without a second colour is solid.
    std::optional<PLColor> second = attributes.altFill;
    if (!second && !attributes.fill) second = style.branchFrameFillAltColor();
    if (second) {
        fillGradient(path, fill, *second, style.branchFrameFillAngle());
    } else {
        setColor(*context, fill);
        path.fill(*context);
    }
    setColor(*context, style.branchFrameLineColor());
    path.stroke(*context);
}

void IXShapeDrawer::drawStandardShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes&)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context || frame.height() < 10) return;
    const PLRect offset = frame.offsetBy(0.5f, 0.5f);
    const float x = offset.minX(), top = offset.maxY();
    const float tab = std::min(frame.width(), 40.0f);
    PLBezierPath tabPath;
    tabPath.moveToPoint({x, top - 10});
    tabPath.lineToPoint({x + tab, top - 10});
    tabPath.lineToPoint({x + tab - 10, top});
    tabPath.lineToPoint({x, top});
    tabPath.lineToPoint({x, top - 10});
    tabPath.closePath();
    context->saveGraphicsState();
    context->setColor(PLColor::system(PLColor::System::WindowBackground));
    tabPath.fill(*context);
    context->restoreGraphicsState();
    const PLBezierPath body =
        PLBezierPath::bezierPathWithRect({x, offset.minY(), frame.width(), frame.height() - 10});
    fillWithStyleGradient(*context, body, style);
    paintWithLineColor(*context, style, {&tabPath, &body});
}

void IXShapeDrawer::drawThinkingBubbleShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                                     const Attributes&)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    // A round bubble whose outline leaves the circle at the bottom right for a pointed tail.
    PLBezierPath design;
    design.appendBezierPathWithArcWithCenter({50, 50}, 50, 310, 290);
    design.curveToPoint({100, 0}, {85, 0}, {85, 0});
    design.curveToPoint({80, 10}, {85, 5}, {85, 6});
    design.closePath();
    const PLBezierPath path = mappedOnto(design, designBoxTransform(frame));
    fillWithStyleGradient(*context, path, style);
    paintWithLineColor(*context, style, {&path});
}

void IXShapeDrawer::drawSquareCutShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes&)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    const PLBezierPath path = squareCutPath(frame.offsetBy(0.5f, 0.5f), 6);
    fillWithStyleGradient(*context, path, style);
    paintWithLineColor(*context, style, {&path});
}

void IXShapeDrawer::drawNoteBookHorizontalShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                                         const Attributes&)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    const float w = frame.width(), h = frame.height();
    if (!context || w < 17) return;
    const PLRect offset = frame.offsetBy(0.5f, 0.5f);
    const float x = offset.minX(), y = offset.minY();
    const PLBezierPath page = PLBezierPath::bezierPathWithRect({x + 17, y, w - 17, h});
    PLBezierPath spine = PLBezierPath::bezierPathWithRect({x + 2, y, 15, h});
    fillNotebook(*context, page, spine, style, 0);
    // One ring every 8 units, centred along the spine: a hole, the wire to the left edge
    // and its bend around it.
    const int rings = int(std::floor((h - 10) * 0.125f));
    const float ringX = x + 10;
    const float firstY = std::floor(0.5f * (h - 8 * rings)) + y + 4;
    spine.setLineCapStyle(PLBezierPath::LineCap::Round);
    for (int i = 0; i < rings; ++i) {
        const float cy = firstY + 8 * i;
        spine.moveToPoint({ringX, cy});
        spine.appendBezierPathWithArcWithCenter({ringX, cy}, 2, 180, 540);
        spine.moveToPoint({ringX, cy});
        spine.lineToPoint({ringX - 8, cy});
        spine.moveToPoint({ringX - 8, cy + 2});
        spine.appendBezierPathWithArcWithCenter({ringX - 8, cy + 2}, 2, 90, 270);
    }
    paintWithLineColor(*context, style, {&spine, &page});
}

void IXShapeDrawer::drawNoteBookVerticalShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                                       const Attributes&)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    const float w = frame.width(), h = frame.height();
    if (!context || h < 17) return;
    const PLRect offset = frame.offsetBy(0.5f, 0.5f);
    const float x = offset.minX(), top = offset.maxY();
    const PLBezierPath page = PLBezierPath::bezierPathWithRect({x, offset.minY(), w, h - 17});
    PLBezierPath spine = PLBezierPath::bezierPathWithRect({x, top - 17, w, 15});
    fillNotebook(*context, page, spine, style, 90);
    // One ring every 8 units, centred along the spine: a hole, the wire to the top edge
    // and its bend over it.
    const int rings = int(std::floor((w - 10) * 0.125f));
    const float ringY = top - 17 + 15 - 8;
    const float firstX = x + std::floor(0.5f * (w - 8 * rings)) + 4;
    spine.setLineCapStyle(PLBezierPath::LineCap::Round);
    for (int i = 0; i < rings; ++i) {
        const float cx = firstX + 8 * i;
        spine.moveToPoint({cx, ringY});
        spine.appendBezierPathWithArcWithCenter({cx, ringY}, 2, 90, 450);
        spine.moveToPoint({cx, ringY});
        spine.lineToPoint({cx, ringY + 8});
        spine.moveToPoint({cx + 2, ringY + 8});
        spine.appendBezierPathWithArcWithCenter({cx + 2, ringY + 8}, 2, 180, 0, true);
    }
    paintWithLineColor(*context, style, {&spine, &page});
}

void IXShapeDrawer::drawClipboardShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes&)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    const float w = frame.width(), h = frame.height();
    if (!context || h < 17) return;
    const PLRect offset = frame.offsetBy(0.5f, 0.5f);
    const float x = offset.minX(), y = offset.minY(), top = offset.maxY();
    const PLRect boardRect{x, y, w, h - 10};
    const PLBezierPath board = PLBezierPath::bezierPathWithRoundedRect(boardRect, 3);
    const PLRect paperRect = boardRect.insetBy(5, 10);
    const PLBezierPath paper = PLBezierPath::bezierPathWithRect(paperRect);
    const PLBezierPath stripe =
        PLBezierPath::bezierPathWithRect({paperRect.minX(), paperRect.maxY(), paperRect.width(), 5});
    // The clip: a round head of radius 10 on flared feet, with a hole.
    const float m = x + w * 0.5f, base = top - 10;
    PLBezierPath clip;
    clip.appendBezierPathWithArcWithCenter({m - 10 - 5, base}, 5, 270, 0);
    clip.appendBezierPathWithArcWithCenter({m, base}, 10, 180, 0, true);
    clip.appendBezierPathWithArcWithCenter({m + 10 + 5, base}, 5, 180, 270);
    clip.lineToPoint({m - 15, base - 5});
    clip.closePath();
    clip.moveToPoint({m, base});
    clip.appendBezierPathWithArcWithCenter({m, base + 2}, 2, -90, 270);

    const PLColor fill = style.branchFrameFillColor();
    if (!fill.isNull()) {
        context->saveGraphicsState();
        setColor(*context, style.branchFrameFillAltColor());
        board.fill(*context);
        fillGradient(stripe, PLColor::rgb(1, 1, 1, 1), PLColor::rgb(0.5f, 0.5f, 0.5f, 1), 90);
        context->restoreGraphicsState();
    }
    context->saveGraphicsState();
    context->setShadow(PLShadow{{0, -1}, 3, PLColor::black().withAlpha(0.7f)});
    context->setColor(PLColor::system(PLColor::System::WindowFrame));
    paper.stroke(*context);
    context->restoreGraphicsState();

    context->saveGraphicsState();
    context->setColor(fill.isNull() ? PLColor::white() : fill);
    paper.fill(*context);
    context->restoreGraphicsState();

    const PLColor line = style.branchFrameLineColor();
    if (!line.isNull()) {
        context->saveGraphicsState();
        context->setColor(line);
    }
    board.stroke(*context);
    paper.stroke(*context);
    stripe.stroke(*context);
    context->saveGraphicsState();
    context->setColor(PLColor::lightGray());
    clip.fill(*context);
    context->restoreGraphicsState();
    clip.stroke(*context);
    if (!line.isNull()) context->restoreGraphicsState();
}

void IXShapeDrawer::drawHandDrawnShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes&)
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    if (!context) return;
    const PLAffineTransform transform = designBoxTransform(frame);
    // A ring thin at the left and top and thick at the right and bottom, as drawn by a
    // brush, and a flourish where the stroke overshoots at the top left.
    const PLBezierPath inner = mappedOnto(PLBezierPath::bezierPathWithOvalInRect({1, 3, 96, 91}), transform);
    PLBezierPath ring = mappedOnto(PLBezierPath::bezierPathWithOvalInRect({0, 0, 100, 95}), transform);
    ring.setWindingRule(PLBezierPath::WindingRule::EvenOdd);
    ring.appendBezierPath(inner);
    PLBezierPath flourishDesign;
    flourishDesign.moveToPoint({0, 50});
    flourishDesign.curveToPoint({53, 100}, {2.5f, 87}, {32, 97});
    flourishDesign.lineToPoint({53, 96});
    flourishDesign.curveToPoint({0, 50}, {32, 94}, {6.5f, 85});
    flourishDesign.closePath();
    const PLBezierPath flourish = mappedOnto(flourishDesign, transform);

    const PLColor fill = style.branchFrameFillColor();
    context->saveGraphicsState();
    if (!fill.isNull()) {
        fillGradient(inner, fill, style.branchFrameFillAltColor(), style.branchFrameFillAngle());
    } else {
        context->setColor(PLColor::clear());
        inner.fill(*context);
    }
    context->restoreGraphicsState();
    paintWithLineColor(*context, style, {&ring, &flourish}, true);
}

// Drawing of a branch group: the line under a frameless title, the stub to the collapse
// button, the lines to the children and the button itself.

#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchLineDrawer.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapBranchGroupCell.h"
#include "MapLayout/IXShapeDrawer.h"
#include "Platform/Drawing/PLAntialiasingScope.h"
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLStrokeBatch.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

PLPoint centreOf(const PLRect& frame)
{
    return PLPoint(frame.minX() + std::floor(frame.width() / 2), frame.minY() + std::floor(frame.height() / 2));
}

}  // namespace

bool IXMapBranchGroupCell::shouldFixAntialiasing()
{
    IXLayoutContext* context = this->context();
    if (!context || !context->fixAntialiasing()) return false;
    const float pixel = currentPixelSize().height;
    return pixel > 0.9f && pixel < 2.5f && context->documentLayout() <= 2;
}

void IXMapBranchGroupCell::draw(PLGraphicsContext& graphics)
{
    drawGroupCell(graphics, true);
    if (m_placeholderType != 0) drawPlaceholder(graphics);
}

void IXMapBranchGroupCell::drawGroupCell(PLGraphicsContext& graphics, bool drawing)
{
    std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    if (!drawing || !style || !node()) return;
    const bool fixAntialiasing = shouldFixAntialiasing();
    const int type = layoutType();
    const float direction = type == 2 ? 1 : -1;
    const float width = IXGeometryLimits::branchLineWidth(*style);

    PLBezierPath path;
    if (type != 4 && style->branchFrameType() == 0 && node()->level() > 0 && m_branchCell) {
        path.moveToPoint(PLPoint());
        path.lineToPoint(PLPoint(-direction * m_branchCell->frame().width(), 0));
    }
    if (m_collapseCell) {
        path.moveToPoint(type == 4 ? PLPoint(0, 2) : PLPoint());
        if (style->branchCollapserType() != 1) path.lineToPoint(centreOf(m_collapseCell->frame()));
    }
    if (!path.isEmpty()) {
        // Only the last subpath closes: a stub has no caps, an underline alone keeps them.
        path.closePath();
        path.setLineWidth(width);
        path.setLineCapStyle(PLBezierPath::LineCap::Square);
        graphics.setColor(style->branchLineColor());
        const bool crisp = fixAntialiasing && width < 2.0f;
        PLAntialiasingScope antialiasing(graphics, crisp ? false : graphics.shouldAntialias());
        graphics.strokePath(path);
    }

    if (!isCollapsed()) drawLinesToChildren(graphics, fixAntialiasing);
    if (m_collapseCell) drawCollapseButton(graphics);
}

void IXMapBranchGroupCell::drawLinesToChildren(PLGraphicsContext& graphics, bool fixAntialiasing)
{
    if (cells().empty()) return;
    // A group near the root of a big map has thousands of children spread far beyond the
    // view: stroking lines that cannot show would cost more than all the rest of a frame.
    const PLRect visible = graphics.clipBoundingBox();
    if (visible.isEmpty()) return;
    std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    graphics.saveGraphicsState();
    // Lines run anywhere around the group but never across the branch's own box.
    graphics.clipToPath(clipOutsideBox(15, *style));

    const int type = layoutType();
    const PLPoint start = m_collapseCell ? centreOf(m_collapseCell->frame()) : PLPoint();
    // Many lines in a row of one colour are stroked as one: thousands of long lines crossing
    // the view cost a scan conversion each when stroked one by one. Curves always are: Qt
    // outlines a curve's stroke at many times the cost of its flattened coverage.
    constexpr std::size_t ManyLines = 64;
    const bool many = cells().size() >= ManyLines;
    std::vector<PLBezierPath> batch;
    PLColor batchColor;
    const auto flush = [&] {
        if (batch.empty()) return;
        graphics.setColor(batchColor);
        PLStrokeBatch::strokeAsOne(graphics, batch);
        batch.clear();
    };
    for (const auto& child : cells()) {
        auto* group = dynamic_cast<IXBranchGroupCell*>(child.get());
        IXBranchCell* box = group ? group->branchCell() : nullptr;
        if (!box || !child->node()) continue;
        std::shared_ptr<const IXStyleNode> childStyle = box->styleForReading();
        if (!childStyle) continue;
        const PLSize size = box->frame().size;
        const PLPoint anchor = convertPointFromCell(PLPoint(), child.get());
        const int childType = layoutTypeForNode(child->node());
        const float side = childType == 2 ? 1 : -1;
        const PLPoint end = type == 4 ? PLPoint(anchor.x, anchor.y + size.height - 1.0f)
                                      : PLPoint(anchor.x - side * size.width, anchor.y);
        // Every line type stays within 20 of the rectangle its ends span, its arrow head and
        // cap within a few line widths.
        const float reach = 24 + 8 * IXGeometryLimits::branchLineWidth(*childStyle);
        const PLRect span(std::min(start.x, end.x) - reach, std::min(start.y, end.y) - reach,
                          std::fabs(end.x - start.x) + 2 * reach, std::fabs(end.y - start.y) + 2 * reach);
        if (!span.intersects(visible)) continue;
        if (many || childStyle->branchLineType() == IXBranchLineDrawer::CurveLineType) {
            if (std::optional<PLBezierPath> line
                = IXBranchLineDrawer::plainLinePathWithin(start, end, *childStyle, visible)) {
                const PLColor color = childStyle->branchLineColor();
                if (!(color == batchColor)) flush();
                batchColor = color;
                if (!line->isEmpty()) batch.push_back(std::move(*line));
                continue;
            }
        }
        flush();
        IXBranchLineDrawer::drawBranchLineFrom(start, end, *childStyle, childType, fixAntialiasing);
    }
    flush();
    graphics.restoreGraphicsState();
}

PLBezierPath IXMapBranchGroupCell::clipOutsideBox(float margin, const IXStyleNode& style)
{
    PLBezierPath clip = PLBezierPath::bezierPathWithRect(bounds().insetBy(-margin, -margin));
    if (m_branchCell) {
        const PLRect box = m_branchCell->convertRectToCell(m_branchCell->bounds(), this);
        std::optional<PLBezierPath> shape = IXShapeDrawer::clipPathForFrameRect(box, style);
        clip.appendBezierPath(shape ? *shape : PLBezierPath::bezierPathWithRect(box));
    }
    clip.setWindingRule(PLBezierPath::WindingRule::EvenOdd);
    return clip;
}

void IXMapBranchGroupCell::drawCollapseButton(PLGraphicsContext& graphics)
{
    std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    const PLRect r = m_collapseCell->frame().insetBy(0.5f, 0.5f);
    PLBezierPath button;
    switch (style->branchCollapserType()) {
    case 1: button = PLBezierPath::bezierPathWithOvalInRect(r); break;
    case 2: button = PLBezierPath::bezierPathWithRoundedRect(r, 2.0f); break;
    default: button = PLBezierPath::bezierPathWithRect(r); break;
    }
    graphics.setColor(PLColor::white());
    graphics.fillPath(button);
    const PLPoint centre(r.minX() + r.width() * 0.5f, r.minY() + r.height() * 0.5f);
    const float half = r.width() * 0.33f;
    button.moveToPoint(PLPoint(centre.x - half, centre.y));
    button.lineToPoint(PLPoint(centre.x + half, centre.y));
    if (style->branchCollapsed()) {
        button.moveToPoint(PLPoint(centre.x, centre.y - half));
        button.lineToPoint(PLPoint(centre.x, centre.y + half));
    }
    graphics.setColor(style->branchLineColor());
    graphics.strokePath(button);
}

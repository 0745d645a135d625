#include "MapLayout/IXBranchBoundaryCell.h"

#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXMapBranchGroupCell.h"
#include "Platform/Drawing/PLGraphicsContext.h"

IXBranchBoundaryCell::~IXBranchBoundaryCell() = default;

PLBezierPath IXBranchBoundaryCell::outlinePath(const PLRect& g, const PLRect& b, int layoutType, bool collapsed,
                                               float roundness)
{
    const PLBezierPath rounded = PLBezierPath::bezierPathWithRoundedRect(g, roundness);
    if (layoutType == 4 || collapsed) return rounded;
    const float marginLeft = b.minX() - g.minX();
    const float marginRight = g.maxX() - b.maxX();
    if (layoutType == 2) {
        if (marginLeft >= marginRight) return rounded;
        const PLPoint points[6] = {{g.minX(), b.minY() - marginLeft}, {g.minX(), b.maxY() + marginLeft},
                                   {b.maxX(), g.maxY()},               {g.maxX(), g.maxY()},
                                   {g.maxX(), g.minY()},               {b.maxX(), g.minY()}};
        return PLBezierPath::bezierPathWithRoundedPolygonPoints(points, 6, roundness);
    }
    if (marginRight >= marginLeft) return rounded;
    const PLPoint points[6] = {{g.maxX(), b.maxY() + marginRight}, {g.maxX(), b.minY() - marginRight},
                               {b.minX(), g.minY()},                {g.minX(), g.minY()},
                               {g.minX(), g.maxY()},                {b.minX(), g.maxY()}};
    return PLBezierPath::bezierPathWithRoundedPolygonPoints(points, 6, roundness);
}

std::vector<float> IXBranchBoundaryCell::dashPattern(int dash, float w)
{
    switch (dash) {
    case 1: return {w, w};
    case 2: return {4 * w, w};
    case 3: return {4 * w, w, w, w};
    case 4: return {4 * w, w, w, w, w, w};
    default: return {};
    }
}

void IXBranchBoundaryCell::draw(PLGraphicsContext& graphics)
{
    auto* group = dynamic_cast<IXMapBranchGroupCell*>(parent());
    std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    if (!group || !style) return;
    const PLRect g = bounds().insetBy(0.5f, 0.5f);
    PLRect b;
    if (IXBranchCell* box = group->branchCell()) b = box->convertRectToCell(box->bounds(), this).insetBy(0.5f, 0.5f);
    PLBezierPath outline =
        outlinePath(g, b, group->layoutType(), group->isCollapsed(), style->boundaryLineRoundness());
    if (const PLColor fill = style->boundaryFillColor(); fill.alpha() > 0) {
        graphics.setColor(fill);
        graphics.fillPath(outline);
    }
    const float width = style->boundaryLineWidth();
    outline.setLineWidth(width);
    outline.setLineDash(dashPattern(style->boundaryLineDash(), width), 0);
    graphics.setColor(style->boundaryLineColor());
    graphics.strokePath(outline);
}

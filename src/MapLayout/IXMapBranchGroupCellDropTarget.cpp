// Where a dragged branch would land: the nearest box to the pointer, the parent and child
// index a drop there gives, and the ghost drawn at that slot.

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchLineDrawer.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapBranchGroupCell.h"
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Utilities/UTGeometry.h"

#include <algorithm>
#include <limits>

namespace {

// Beyond this distance from every box a drop has no target.
constexpr float MaximumDropDistance = 150;

IXMapBranchGroupCell* mapGroupOf(IXLayoutContext* context, IXNode* node)
{
    return dynamic_cast<IXMapBranchGroupCell*>(context->cells().branchGroupCellForNode(node));
}

}  // namespace

IXBranchCell* IXMapBranchGroupCell::nearestBranchCellAtPoint(PLPoint point, float* distance, int* quadrant)
{
    IXLayoutContext* context = this->context();
    if (!m_branchCell || !context) return nullptr;
    const PLRect box = context->coordinates().convertRectFromCell(m_branchCell->bounds(), m_branchCell.get());
    float best = UTGeometry::distanceToRect(point, box);
    IXMapBranchGroupCell* nearestChild = nullptr;
    for (const auto& cell : cells()) {
        auto* child = dynamic_cast<IXMapBranchGroupCell*>(cell.get());
        if (!child || !child->isVisible()) continue;
        const float d = UTGeometry::distanceToRect(point, context->coordinates().convertRectFromCell(child->bounds(), child));
        if (d < best) {
            best = d;
            nearestChild = child;
            if (d == 0) break;
        }
    }
    if (nearestChild) {
        if (IXBranchCell* found = nearestChild->nearestBranchCellAtPoint(point, distance, quadrant)) return found;
    }
    if (distance) *distance = UTGeometry::distanceToRect(point, box);
    if (quadrant) *quadrant = UTGeometry::quadrant(PLPoint(box.midX(), box.midY()), point);
    return m_branchCell.get();
}

IXBranchCell* IXMapBranchGroupCell::parentForBranchCell(IXBranchCell* dragged, PLPoint point, int* parentIndex)
{
    IXLayoutContext* context = this->context();
    float distance = std::numeric_limits<float>::infinity();
    int quadrant = 0;
    IXBranchCell* nearest = nearestBranchCellAtPoint(point, &distance, &quadrant);
    if (!nearest || nearest == dragged || !context) return nullptr;
    auto* nearestNode = dynamic_cast<IXBranchNode*>(nearest->node());
    auto* draggedNode = dragged ? dynamic_cast<IXBranchNode*>(dragged->node()) : nullptr;
    if (!nearestNode) return nullptr;
    // A branch cannot go into its own subtree.
    if (draggedNode && nearestNode->isSubbranchOf(draggedNode)) return nullptr;

    if (distance == 0) {
        if (parentIndex) *parentIndex = -1;
        return context->cells().branchCellForNode(nearestNode);
    }
    if (distance >= MaximumDropDistance) return nullptr;
    IXBranchNode* parent = nearestNode->parentBranch();
    if (!parent) return nullptr;
    const auto& siblings = parent->branches();
    int index = 0;
    while (index < int(siblings.size()) && siblings[index].get() != nearestNode) ++index;
    IXMapBranchGroupCell* parentGroup = mapGroupOf(context, parent);
    switch (parentGroup ? parentGroup->layoutType() : 0) {
    case 4:
        if (quadrant == 0 || quadrant == 3) ++index;
        break;
    case 2:
    case 3:
        if (quadrant == 2 || quadrant == 3) ++index;
        break;
    case 1: {
        // The left side of a mind map runs from the bottom up.
        IXMapBranchGroupCell* ownGroup = mapGroupOf(context, nearestNode);
        const bool left = ownGroup && ownGroup->layoutType() == 3;
        if (left ? (quadrant == 0 || quadrant == 1) : (quadrant == 2 || quadrant == 3)) ++index;
        break;
    }
    default:
        break;
    }
    if (parentIndex) *parentIndex = index;
    return context->cells().branchCellForNode(parent);
}

void IXMapBranchGroupCell::setPlaceholderType(int type, int index)
{
    m_placeholderType = type;
    m_placeholderIndex = index;
}

IXMapBranchGroupCell::PlaceholderGeometry IXMapBranchGroupCell::placeholderGeometry()
{
    std::vector<IXMapBranchGroupCell*> children;
    for (const auto& cell : cells()) {
        if (auto* child = dynamic_cast<IXMapBranchGroupCell*>(cell.get())) children.push_back(child);
    }
    const int n = int(children.size());
    PlaceholderGeometry g{};
    if (m_collapseCell) {
        const PLRect f = m_collapseCell->frame();
        g.start = PLPoint(f.minX() + f.width() * 0.5f, f.minY() + f.height() * 0.5f);
    }
    int index = m_placeholderIndex;
    if (index < 0 || index > n) index = n;
    IXMapBranchGroupCell* prev = index > 0 ? children[index - 1] : nullptr;
    IXMapBranchGroupCell* next = index < n ? children[index] : nullptr;
    IXMapBranchGroupCell* ref = prev ? prev : next;

    const std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    const float gapV = style ? IXGeometryLimits::gapVertical(*style) : 0;
    const float gapH = style ? IXGeometryLimits::gapHorizontal(*style) : 0;
    const float minLength = style ? IXGeometryLimits::branchMinLength(*style) : 40;
    const float length = minLength > 20 ? minLength : 20;
    const float quarter = length * 0.25f > 20 ? length * 0.25f : 20;
    const int type = layoutType();
    int childType = ref ? ref->layoutType() : type;
    auto rectOf = [this](IXLayoutCell* child) { return child->convertRectToCell(child->bounds(), this); };
    const PLRect b = bounds();
    PLPoint a;

    if (type == 4) {
        if (ref) {
            const PLRect r = rectOf(ref);
            a.x = prev ? r.maxX() + gapH * 0.5f : r.minX() - gapH * 0.5f;
            a.y = std::min(r.maxY(), g.start.y) - gapV;
        } else {
            a = PLPoint(b.midX(), b.minY() - gapV);
        }
        g.anchor = a;
        g.barStart = PLPoint(a.x, a.y - 10);
        g.barEnd = PLPoint(a.x, g.barStart.y - quarter);
        g.lineLayoutType = childType;
        return g;
    }

    const bool root = type == 1;
    int direction = (root ? childType : type) == 2 ? 1 : -1;
    if (ref) {
        const PLRect r = rectOf(ref);
        if (root && m_placeholderType == 2 && direction > 0 && (!next || next->layoutType() == 3)) {
            if (!next) {
                a = PLPoint(b.minX() - gapH, b.midY() - gapV * 0.5f);
            } else {
                const PLRect r2 = rectOf(next);
                a = PLPoint(r2.maxX(), r2.minY() - gapV * 0.5f);
            }
            childType = 3;
            direction = -1;
        } else if (root && m_placeholderType == 3 && direction < 0 && n > 0 && children[0]->layoutType() == 3) {
            a = PLPoint(b.maxX() + gapH, b.midY() + gapV * 0.5f);
            childType = 2;
            direction = 1;
        } else {
            a.x = direction > 0 ? r.minX() : r.maxX();
            a.y = prev && (!root || direction > 0) ? r.minY() - gapV * 0.5f : r.maxY() + gapV * 0.5f;
        }
    } else {
        if (root) direction = m_placeholderType == 2 ? -1 : 1;
        a.x = direction > 0 ? b.maxX() + gapH : b.minX() - gapH;
        a.y = b.midY() + gapV * 0.5f;
    }
    g.anchor = a;
    g.barStart = a;
    g.barEnd = PLPoint(a.x + float(direction) * length, a.y);
    g.lineLayoutType = childType;
    return g;
}

void IXMapBranchGroupCell::drawPlaceholder(PLGraphicsContext& graphics)
{
    const std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    if (!style) return;
    graphics.saveGraphicsState();
    // The ghost never crosses the parent's own box, as the lines to the children do not.
    graphics.clipToPath(clipOutsideBox(150, *style));

    const PlaceholderGeometry g = placeholderGeometry();
    const PLColor highlight = PLColor::system(PLColor::System::AlternateSelectedControl);
    const auto lineStyle = std::static_pointer_cast<IXStyleNode>(style->copy());
    lineStyle->setBranchLineColor(highlight);
    lineStyle->setBranchLineType(style->branchLineType());
    lineStyle->setBranchLineWidth(1);
    IXBranchLineDrawer::drawBranchLineFrom(g.start, g.anchor, *lineStyle, g.lineLayoutType, false);

    graphics.setColor(highlight);
    PLBezierPath stem;
    stem.moveToPoint(g.anchor);
    stem.lineToPoint(g.barStart);
    graphics.strokePath(stem);
    PLBezierPath bar;
    bar.moveToPoint(g.barStart);
    bar.lineToPoint(g.barEnd);
    bar.setLineWidth(10);
    bar.setLineCapStyle(PLBezierPath::LineCap::Round);
    graphics.strokePath(bar);
    graphics.restoreGraphicsState();
}

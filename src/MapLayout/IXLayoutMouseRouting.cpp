#include "MapLayout/IXLayoutMouseRouting.h"

#include "DocumentModel/IXNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutCoordinates.h"
#include "MapLayout/IXLayoutGroupCell.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/System/PLMouseEvent.h"
#include "Utilities/UTGeometry.h"

#include <algorithm>
#include <limits>

template <typename Test>
IXLayoutCell* IXLayoutMouseRouting::firstCellAt(PLPoint point, Test test)
{
    // The candidates keep the stacks, and so the cells, while each is asked.
    const IXLayoutContext::HitCandidates candidates = m_context.hitCandidatesAt(point);
    for (IXLayoutCell* cell : candidates.cells) {
        if (!cell->context()) continue;
        if (test(cell, m_context.coordinates().convertPointToCell(point, cell))) return cell;
    }
    return nullptr;
}

bool IXLayoutMouseRouting::trackMouse(const PLMouseEvent& event)
{
    PL_ASSERT_PARAM(m_context.view(), "_view");
    if (event.type() == PLMouseEvent::MouseMoved) {
        mouseMoved(event);
        return true;
    }
    return firstCellAt(event.locationInView(), [&](IXLayoutCell* cell, PLPoint p) {
        return cell->bounds().containsPoint(p) && cell->trackMouse(event);
    }) != nullptr;
}

void IXLayoutMouseRouting::mouseMoved(const PLMouseEvent& event)
{
    m_context.performLayoutIfNeeded();
    IXLayoutCell* newCell = firstCellAt(event.locationInView(), [&](IXLayoutCell* cell, PLPoint p) {
        return cell->bounds().containsPoint(p) && cell->acceptsMouseMoves(event);
    });
    if (m_cellUnderMouse && m_cellUnderMouse != newCell) {
        IXLayoutCell* old = m_cellUnderMouse;
        m_cellUnderMouse = nullptr;
        old->mouseExited(event);
    }
    if (!newCell) return;
    if (newCell != m_cellUnderMouse) {
        m_cellUnderMouse = newCell;
        newCell->mouseEntered(event);
    }
    if (m_cellUnderMouse) m_cellUnderMouse->mouseMoved(event);
}

bool IXLayoutMouseRouting::hasKeyFocus() const
{
    return m_context.view() && m_context.view()->hasKeyFocus();
}

void IXLayoutMouseRouting::cellWillInvalidate(const IXLayoutCell* cell)
{
    if (m_cellUnderMouse == cell) m_cellUnderMouse = nullptr;
}

IXNode* IXLayoutMouseRouting::nodeAtPoint(PLPoint point)
{
    IXLayoutCell* found =
        firstCellAt(point, [](IXLayoutCell* cell, PLPoint p) { return cell->node() && cell->hitTest(p); });
    return found ? found->node() : nullptr;
}

IXNode* IXLayoutMouseRouting::branchNodeAtPoint(PLPoint point)
{
    IXLayoutCell* found = firstCellAt(point, [](IXLayoutCell* cell, PLPoint p) {
        return cell->node() && cell->node()->isBranch() && cell->hitTest(p);
    });
    return found ? found->node() : nullptr;
}

IXBranchCell* IXLayoutMouseRouting::branchCellAtPoint(PLPoint point, const std::vector<IXLayoutCell*>& skipCells)
{
    return static_cast<IXBranchCell*>(firstCellAt(point, [&](IXLayoutCell* cell, PLPoint p) {
        return dynamic_cast<IXBranchCell*>(cell) && std::find(skipCells.begin(), skipCells.end(), cell) == skipCells.end()
            && cell->hitTest(p);
    }));
}

IXLayoutCell* IXLayoutMouseRouting::textCellAtPoint(PLPoint point)
{
    IXLayoutCell* found = firstCellAt(point, [](IXLayoutCell* cell, PLPoint p) {
        return (dynamic_cast<IXBranchCell*>(cell) || dynamic_cast<IXTextCell*>(cell)) && cell->hitTest(p);
    });
    if (auto* branchCell = dynamic_cast<IXBranchCell*>(found)) return branchCell->titleCell();
    return found;
}

IXBranchCell* IXLayoutMouseRouting::parentForBranchCell(IXBranchCell* cell, PLPoint point, int* parentIndex)
{
    IXLayoutGroupCell* layer = m_context.branchLayer();
    if (!layer) return nullptr;
    IXBranchGroupCell* nearest = nullptr;
    float nearestDistance = std::numeric_limits<float>::infinity();
    for (const auto& layerCell : IXCellList(layer->cells())) {
        auto* group = dynamic_cast<IXBranchGroupCell*>(layerCell.get());
        if (!group || !group->isVisible()) continue;
        const float distance = UTGeometry::distanceToRect(
            point, UTGeometry::normalized(m_context.coordinates().convertRectFromCell(group->bounds(), group)));
        if (distance == 0) {
            nearest = group;
            break;
        }
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = group;
        }
    }
    if (!nearest) return nullptr;
    int localIndex = -1;
    IXBranchCell* parent = nearest->parentForBranchCell(cell, point, &localIndex);
    if (parent && parentIndex) *parentIndex = localIndex;
    return parent;
}

#include "MapLayout/IXFloatingCells.h"

#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXToolManaging.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/System/PLMouseEvent.h"

bool IXFloatingCells::trackMouseDown(IXLayoutCell* cell, const PLMouseEvent& event)
{
    IXLayoutContext* context = cell->context();
    IXNode* node = cell->node();
    if (!context || !node) return false;
    if (event.hasModifier(PLMouseEvent::Control) || event.hasModifier(PLMouseEvent::Option) ||
        event.hasModifier(PLMouseEvent::Command))
        return false;
    const std::shared_ptr<IXNode> object = node->shared_from_this();
    if (event.hasModifier(PLMouseEvent::Shift)) {
        const IXSelection& selection = context->selection();
        context->setSelection(selection.isEmpty() ? IXSelection::selectionWithNode(object)
                                                  : selection.selectionByTriggeringNode(object));
        return true;
    }
    const std::uint32_t mask =
        PLMouseEvent::maskForType(PLMouseEvent::LeftMouseUp) | PLMouseEvent::maskForType(PLMouseEvent::LeftMouseDragged);
    std::optional<PLMouseEvent> next;
    if (IXLayoutView* view = context->view()) next = view->nextEventMatchingMask(mask, ClickWait);
    if (next && next->type() == PLMouseEvent::LeftMouseUp) {
        if (cell->isSelected() && context->selection().count() == 1) return false;
        context->setSelection(IXSelection::selectionWithNode(object));
        return true;
    }
    if (!cell->isSelected()) context->setSelection(IXSelection::selectionWithNode(object));
    if (IXToolManaging* tools = IXToolManaging::sharedManager())
        tools->activateToolNamed(IXToolNames::DragFloating, object, context, &event);
    return true;
}

bool IXFloatingCells::isTargetVisible(IXLayoutCell* cell)
{
    IXNode* node = cell->node();
    if (!node || !node->isFloating() || !cell->context()) return true;
    std::shared_ptr<IXNode> target = node->floatingTargetNode();
    if (!target) return true;
    IXBranchCell* branchCell = cell->context()->cells().branchCellForNode(target.get());
    return branchCell && branchCell->isVisible();
}

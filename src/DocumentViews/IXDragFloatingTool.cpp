#include "DocumentViews/IXDragFloatingTool.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXTrackingLoop.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLAssert.h"

#include <QPointer>
#include <QWidget>

#include <cmath>
#include <vector>

namespace {

QWidget* widgetOf(IXLayoutContext* context)
{
    return context ? dynamic_cast<QWidget*>(context->view()) : nullptr;
}

PLPoint floored(PLPoint point)
{
    return PLPoint(std::floor(point.x), std::floor(point.y));
}

void setTarget(IXNode& node, const std::shared_ptr<IXNode>& target)
{
    if (auto* reference = dynamic_cast<IXReferenceNode*>(&node)) reference->setFloatingTargetNode(target);
}

// Undo off on the document node while it lives.
class UndoOffScope {
public:
    explicit UndoOffScope(IXDocumentNode* document)
        : m_document(document)
    {
        if (m_document) m_document->disableUndo();
    }
    ~UndoOffScope()
    {
        if (m_document) m_document->enableUndo();
    }
    UndoOffScope(const UndoOffScope&) = delete;
    UndoOffScope& operator=(const UndoOffScope&) = delete;

private:
    IXDocumentNode* m_document;
};

}  // namespace

struct IXDragFloatingTool::DragContext {
    struct Item {
        std::shared_ptr<IXNode> node;
        std::shared_ptr<IXNode> startTarget;
        PLPoint startOffset;
    };
    std::vector<Item> items;
    std::shared_ptr<IXNode> targetNode;
    std::shared_ptr<IXNode> highlightedTarget;
    PLPoint startPoint;
    PLPoint currentPoint;
};

IXDragFloatingTool::IXDragFloatingTool(IXToolManager* manager)
    : IXTool(manager)
{
}

IXDragFloatingTool::~IXDragFloatingTool()
{
    PL_ASSERT_PARAM(!m_object, "!_cell");
}

std::shared_ptr<IXNode> IXDragFloatingTool::editedObject() const
{
    return m_object;
}

void IXDragFloatingTool::setEditedObject(const std::shared_ptr<IXNode>& object)
{
    PL_ASSERT_PARAM(object, "obj");
    PL_ASSERT_PARAM(!m_object, "!_cell");
    m_object = object;
}

void IXDragFloatingTool::releaseEditedObject()
{
    m_object.reset();
}

bool IXDragFloatingTool::activateTool()
{
    IXLayoutContext* layout = context();
    if (!m_object || !layout || !layout->view()) return false;
    if (QWidget* widget = widgetOf(layout)) widget->setCursor(Qt::OpenHandCursor);
    return IXTool::activateTool();
}

void IXDragFloatingTool::discardTool()
{
    if (IXLayoutView* view = context() ? context()->view() : nullptr) view->setCursor(PLCursor::Arrow);
    m_object.reset();
    IXTool::discardTool();
}

PLPoint IXDragFloatingTool::convertOffset(IXLayoutContext* context, PLPoint offset, IXLayoutCell* from,
                                          IXLayoutCell* to)
{
    auto centre = [context](IXLayoutCell* cell) {
        if (!cell) return PLPoint(0, 0);
        IXLayoutCoordinates& coordinates = context->coordinates();
        const PLRect bounds = cell->bounds();
        return coordinates.convertPointToCell(
            coordinates.convertPointFromCell(PLPoint(bounds.midX(), bounds.midY()), cell), nullptr);
    };
    const PLPoint a = centre(from);
    const PLPoint b = centre(to);
    return PLPoint(offset.x + a.x - b.x, offset.y + a.y - b.y);
}

void IXDragFloatingTool::startWithEvent(const IXToolEvent& event)
{
    IXLayoutContext* layout = context();
    const PLMouseEvent* down = event.mouseEvent();
    IXLayoutCell* startCell = layout && m_object ? layout->cells().cellForNode(m_object.get()) : nullptr;
    if (!down || down->type() != PLMouseEvent::LeftMouseDown || !startCell || !startCell->parent()
        || !widgetOf(layout)) {
        discardTool();
        return;
    }

    DragContext drag;
    IXSelection::NodeList taken;
    IXSelection::NodeList floating = layout->selection().allFloatingPictures();
    floating.append(layout->selection().allFloatingComments());
    for (const auto& node : floating) {
        IXLayoutCell* cell = layout->cells().cellForNode(node.get());
        if (!cell) continue;
        drag.items.push_back(
            {node, node->floatingTargetNode(), layout->styleForReading(node.get())->floatingTargetOffset()});
        taken.append(node);
    }
    layout->setSelection(IXSelection::selectionWithArray(taken));
    drag.startPoint = drag.currentPoint = layout->coordinates().convertPointToCell(down->locationInView(), nullptr);

    const QPointer<IXDragFloatingTool> self(this);
    bool dropped = false;
    {
        IXTrackingLoop loop(widgetOf(layout));
        loop.suspendCanvasAutosize(layout);
        layout->setHighlights(IXSelection());
        for (;;) {
            const PLMouseEvent next = loop.nextEvent();
            if (!self || context() != layout || next.type() == PLMouseEvent::TrackingCancelled) break;
            const PLPoint p = next.locationInView();
            IXBranchCell* target
                = next.hasModifier(PLMouseEvent::Shift) ? nullptr : layout->mouse().branchCellAtPoint(p);
            drag.targetNode = target && target->node() ? target->node()->shared_from_this() : nullptr;
            drag.currentPoint = layout->coordinates().convertPointToCell(p, nullptr);
            perform(drag);
            if (next.type() == PLMouseEvent::LeftMouseUp) {
                dropped = true;
                break;
            }
            if (IXLayoutView* view = layout->view()) view->autoscroll(next);
        }
    }
    if (!self) return;
    if (context() != layout) {
        // The map went away: the objects keep where they were before the drag.
        putBack(drag);
        return;
    }
    if (dropped)
        complete(drag);
    else
        putBack(drag);
    layout->setHighlights(IXSelection());
    discardTool();
}

void IXDragFloatingTool::perform(DragContext& drag)
{
    IXLayoutContext* layout = context();
    if (!drag.targetNode && drag.highlightedTarget) {
        if (QWidget* widget = widgetOf(layout)) widget->setCursor(Qt::OpenHandCursor);
        layout->setHighlights(IXSelection());
        drag.highlightedTarget.reset();
    } else if (drag.targetNode && drag.targetNode != drag.highlightedTarget) {
        if (IXLayoutView* view = layout->view()) view->setCursor(PLCursor::PointingHand);
        layout->setHighlights(IXSelection::selectionWithNode(drag.targetNode));
        drag.highlightedTarget = drag.targetNode;
    }
    UndoOffScope undoOff(layout->documentNode());
    IXBranchCell* targetCell
        = drag.highlightedTarget ? layout->cells().branchCellForNode(drag.highlightedTarget.get()) : nullptr;
    for (DragContext::Item& item : drag.items) {
        if (!item.node->documentNode()) continue;
        std::optional<PLPoint> offset;
        if (drag.highlightedTarget) {
            if (item.node->floatingTargetNode() == drag.highlightedTarget) continue;
            setTarget(*item.node, drag.highlightedTarget);
            IXBranchCell* startCell
                = item.startTarget ? layout->cells().branchCellForNode(item.startTarget.get()) : nullptr;
            offset = floored(convertOffset(layout, item.startOffset, startCell, targetCell));
        } else {
            if (item.node->floatingTargetNode() != item.startTarget) setTarget(*item.node, item.startTarget);
            offset = floored(PLPoint(item.startOffset.x + drag.currentPoint.x - drag.startPoint.x,
                                     item.startOffset.y + drag.currentPoint.y - drag.startPoint.y));
        }
        if (offset) layout->styleForNode(item.node.get())->setFloatingTargetOffset(*offset);
    }
}

void IXDragFloatingTool::putBack(DragContext& drag)
{
    IXDocumentNode* document = nullptr;
    for (const DragContext::Item& item : drag.items)
        if (item.node->documentNode()) document = item.node->documentNode();
    UndoOffScope undoOff(document);
    IXLayoutContext* layout = context();
    for (const DragContext::Item& item : drag.items) {
        if (!item.node->documentNode()) continue;
        if (item.node->floatingTargetNode() != item.startTarget) setTarget(*item.node, item.startTarget);
        if (layout) layout->styleForNode(item.node.get())->setFloatingTargetOffset(item.startOffset);
    }
}

void IXDragFloatingTool::complete(DragContext& drag)
{
    IXLayoutContext* layout = context();
    struct Final {
        std::shared_ptr<IXNode> target;
        PLPoint offset;
    };
    std::vector<Final> finals;
    for (const DragContext::Item& item : drag.items)
        finals.push_back(
            {item.node->floatingTargetNode(), layout->styleForReading(item.node.get())->floatingTargetOffset()});
    putBack(drag);
    for (std::size_t i = 0; i < drag.items.size(); ++i) {
        const DragContext::Item& item = drag.items[i];
        if (!item.node->documentNode()) continue;
        if (item.node->floatingTargetNode() != finals[i].target) setTarget(*item.node, finals[i].target);
        layout->styleForNode(item.node.get())->setFloatingTargetOffset(finals[i].offset);
    }
}

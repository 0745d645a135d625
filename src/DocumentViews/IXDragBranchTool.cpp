#include "DocumentViews/IXDragBranchTool.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXTrackingLoop.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "Platform/Core/PLAssert.h"

#include <QPointer>
#include <QWidget>

#include <cmath>

namespace {

QWidget* widgetOf(IXLayoutContext* context)
{
    return context ? dynamic_cast<QWidget*>(context->view()) : nullptr;
}

// Undo off on the document node for as long as it lives, or until switched back on early.
class UndoOff {
public:
    explicit UndoOff(IXDocumentNode* document)
        : m_document(document ? std::static_pointer_cast<IXDocumentNode>(document->shared_from_this()) : nullptr)
    {
        if (m_document) m_document->disableUndo();
    }
    ~UndoOff() { restore(); }
    UndoOff(const UndoOff&) = delete;
    UndoOff& operator=(const UndoOff&) = delete;
    void restore()
    {
        if (auto document = std::exchange(m_document, nullptr)) document->enableUndo();
    }

private:
    std::shared_ptr<IXDocumentNode> m_document;
};

// The ghost slot shown on the group of the candidate parent.
class GhostSlot {
public:
    explicit GhostSlot(IXLayoutContext* context)
        : m_context(context)
    {
    }
    ~GhostSlot() { clear(); }
    GhostSlot(const GhostSlot&) = delete;
    GhostSlot& operator=(const GhostSlot&) = delete;

    void show(IXNode* parent, int type, int index)
    {
        clear();
        IXBranchGroupCell* group = m_context ? m_context->cells().branchGroupCellForNode(parent) : nullptr;
        if (!group) return;
        group->setPlaceholderType(type, index);
        m_parent = parent->shared_from_this();
        redisplay();
    }
    void clear()
    {
        const std::shared_ptr<IXNode> parent = std::exchange(m_parent, nullptr);
        if (!parent || !m_context) return;
        if (IXBranchGroupCell* group = m_context->cells().branchGroupCellForNode(parent.get()))
            group->setPlaceholderType(IXDragBranchTool::NoPlaceholder, -1);
        redisplay();
    }
    void forgetContext() { m_context = nullptr; }

private:
    void redisplay()
    {
        if (IXLayoutView* view = m_context ? m_context->view() : nullptr) view->setNeedsDisplay();
    }

    IXLayoutContext* m_context;
    std::shared_ptr<IXNode> m_parent;
};

PLPoint floored(PLPoint point)
{
    return PLPoint(std::floor(point.x), std::floor(point.y));
}

}  // namespace

IXDragBranchTool::IXDragBranchTool(IXToolManager* manager)
    : IXTool(manager)
{
}

IXDragBranchTool::~IXDragBranchTool()
{
    PL_ASSERT_PARAM(!m_branch, "!_cell");
}

std::shared_ptr<IXNode> IXDragBranchTool::editedObject() const
{
    return m_branch;
}

void IXDragBranchTool::setEditedObject(const std::shared_ptr<IXNode>& object)
{
    PL_ASSERT_PARAM(object && object->isBranch(), "obj");
    PL_ASSERT_PARAM(!m_branch, "!_cell");
    m_branch = std::static_pointer_cast<IXBranchNode>(object);
}

void IXDragBranchTool::releaseEditedObject()
{
    m_branch.reset();
}

bool IXDragBranchTool::activateTool()
{
    IXLayoutContext* layout = context();
    if (!m_branch || !layout || !layout->view()) return false;
    if (QWidget* widget = widgetOf(layout)) widget->setCursor(Qt::OpenHandCursor);
    return IXTool::activateTool();
}

void IXDragBranchTool::discardTool()
{
    if (IXLayoutView* view = context() ? context()->view() : nullptr) view->setCursor(PLCursor::Arrow);
    m_branch.reset();
    IXTool::discardTool();
}

int IXDragBranchTool::layoutTypeForPlaceholder(int placeholder)
{
    if (placeholder == LeftOfRoot) return 3;
    if (placeholder == RightOfRoot) return 2;
    return 0;
}

void IXDragBranchTool::startWithEvent(const IXToolEvent& event)
{
    IXLayoutContext* layout = context();
    const PLMouseEvent* down = event.mouseEvent();
    const std::shared_ptr<IXBranchNode> branch = m_branch;
    IXBranchCell* startCell = layout && branch ? layout->cells().branchCellForNode(branch.get()) : nullptr;
    if (!down || down->type() != PLMouseEvent::LeftMouseDown || !startCell || !startCell->parent()
        || !widgetOf(layout)) {
        discardTool();
        return;
    }

    // Only branches move; the dragged one among them.
    QList<std::shared_ptr<IXBranchNode>> selected = layout->selection().allBranches();
    if (!selected.contains(branch)) selected = {branch};
    IXSelection::NodeList nodes(selected.begin(), selected.end());
    layout->setSelection(IXSelection::selectionWithArray(nodes));

    const bool movesFreely = branch->level() == 1 && layout->styleForReading(branch.get())->documentLayoutCustom();
    const bool placeable = branch->level() == 0 || movesFreely;
    IXLayoutCoordinates& coordinates = layout->coordinates();
    const PLPoint startPoint = coordinates.convertPointToCell(down->locationInView(), nullptr);
    const PLPoint startOffset = layout->styleForReading(branch.get())->branchParentOffset();

    std::shared_ptr<IXBranchNode> target;
    int dropIndex = -1;
    int placeholderType = AmongSubbranches;
    bool dropped = false;
    // Set once the branch has followed the pointer, so that its place can be put back.
    std::shared_ptr<IXStyleNode> movedStyle;

    const QPointer<IXDragBranchTool> self(this);
    UndoOff undoOff(layout->documentNode());
    {
        GhostSlot placeholder(layout);
        IXTrackingLoop loop(widgetOf(layout));
        loop.suspendCanvasAutosize(layout);
        layout->setHighlights(IXSelection());
        bool first = true;
        for (;;) {
            const PLMouseEvent next = loop.nextEvent();
            if (!self || context() != layout) {
                // The context went away under the gesture: nothing of it is left to show.
                placeholder.forgetContext();
                target.reset();
                break;
            }
            if (next.type() == PLMouseEvent::TrackingCancelled) {
                target.reset();
                break;
            }
            const bool isUp = next.type() == PLMouseEvent::LeftMouseUp;
            if (isUp && first) break;
            first = false;
            const PLPoint p = next.locationInView();

            IXBranchCell* cell = layout->cells().branchCellForNode(branch.get());
            int index = -1;
            IXBranchCell* candidate = nullptr;
            if (cell && !(movesFreely && next.hasModifier(PLMouseEvent::Shift)))
                candidate = layout->mouse().parentForBranchCell(cell, p, &index);
            placeholder.clear();
            target.reset();
            if (candidate && candidate->node() && candidate->node()->isBranch()) {
                auto candidateNode = std::static_pointer_cast<IXBranchNode>(candidate->node()->shared_from_this());
                // A root branch never goes into its own tree.
                if (!(branch->level() == 0 && candidateNode->rootBranch() == branch->rootBranch())) {
                    target = candidateNode;
                    placeholderType = AmongSubbranches;
                    IXBranchGroupCell* group = layout->cells().branchGroupCellForNode(target.get());
                    if (group && group->layoutType() == 1) {
                        placeholderType = coordinates.convertPointToCell(p, group).x < 0 ? LeftOfRoot : RightOfRoot;
                        const auto& children = target->branches();
                        if (placeholderType == RightOfRoot && !children.isEmpty()
                            && layout->styleForReading(children.front().get())->branchLayoutType() == 3)
                            index = 0;
                    }
                    dropIndex = index;
                    placeholder.show(target.get(), placeholderType, dropIndex);
                }
            }

            if (target) {
                layout->setHighlights(IXSelection::selectionWithNode(target));
                if (movedStyle) movedStyle->setBranchParentOffset(startOffset);
            } else {
                layout->setHighlights(IXSelection());
                if (placeable) {
                    if (!movedStyle) movedStyle = layout->styleForNode(branch.get());
                    const PLPoint current = coordinates.convertPointToCell(p, nullptr);
                    movedStyle->setBranchParentOffset(floored(
                        PLPoint(startOffset.x + current.x - startPoint.x, startOffset.y + current.y - startPoint.y)));
                }
            }
            if (isUp) {
                dropped = true;
                break;
            }
            if (IXLayoutView* view = layout->view()) view->autoscroll(next);
        }
        // The placeholder goes, and autosizing comes back, before anything is recorded.
    }

    if (!dropped) {
        // Abandoned: the branch goes back to where it was, and nothing is recorded.
        if (movedStyle) movedStyle->setBranchParentOffset(startOffset);
        undoOff.restore();
    } else if (movedStyle && !target) {
        const PLPoint finalOffset = movedStyle->branchParentOffset();
        movedStyle->setBranchParentOffset(startOffset);
        undoOff.restore();
        movedStyle->setBranchParentOffset(finalOffset);
    } else {
        if (movedStyle) movedStyle->setBranchParentOffset(startOffset);
        undoOff.restore();
    }
    if (!self || context() != layout) return;
    layout->setHighlights(IXSelection());
    if (dropped && target && target != branch)
        moveBranches(layout, layout->selection().allBranches(), target, dropIndex, placeholderType);
    discardTool();
}

void IXDragBranchTool::moveBranches(IXLayoutContext* context, const QList<std::shared_ptr<IXBranchNode>>& branches,
                                    const std::shared_ptr<IXBranchNode>& parent, int index, int placeholder)
{
    if (!parent) return;
    QList<std::shared_ptr<IXBranchNode>> kept;
    for (const auto& branch : branches)
        if (branch && branch != parent && !parent->isSubbranchOf(branch.get())) kept.append(branch);
    for (const auto& branch : kept) {
        if (branch->parentBranch() == parent.get()) {
            parent->moveBranchAtIndex(int(parent->branches().indexOf(branch)), index);
        } else {
            if (IXBranchNode* oldParent = branch->parentBranch())
                oldParent->removeBranch(branch);
            else if (IXDocumentNode* document = branch->documentNode())
                document->removeRootBranch(branch);
            parent->insertBranch(branch, index);
        }
        if (index >= 0) ++index;
    }
    if (!context) return;
    const int layoutType = layoutTypeForPlaceholder(placeholder);
    for (const auto& branch : kept) {
        const std::shared_ptr<IXStyleNode> style = context->styleForNode(branch.get());
        style->setBranchParentOffset(PLPoint(0, 0));
        style->setBranchLayoutType(layoutType);
    }
}

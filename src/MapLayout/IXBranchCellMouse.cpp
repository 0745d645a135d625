// The mouse on a branch box: hovering its indicators, clicks, double clicks, held presses
// and drags.

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXToolManaging.h"
#include "DocumentModel/IXWindowControlling.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXQuickViewControlling.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/System/PLMouseEvent.h"
#include "Platform/Core/PLRunLoop.h"

#include <chrono>

namespace {

constexpr double ClickWait = 0.5;
constexpr std::chrono::milliseconds HoverDelay(200);
constexpr std::uint32_t UpOrDragMask =
    PLMouseEvent::maskForType(PLMouseEvent::LeftMouseUp) | PLMouseEvent::maskForType(PLMouseEvent::LeftMouseDragged);

void startTool(IXToolName name, const std::shared_ptr<IXNode>& object, IXLayoutContext* context, const PLMouseEvent* event)
{
    if (IXToolManaging* tools = IXToolManaging::sharedManager())
        tools->activateToolNamed(name, object, context, event);
}

bool contains(IXLayoutCell* cell, PLPoint pointInOwner, IXLayoutCell* owner)
{
    return cell && cell->frame().containsPoint(pointInOwner) && owner;
}

} // namespace

void IXBranchCell::cleanupDelayedShows()
{
    // Only a posted show is pending: invalidating a large map asks every branch cell.
    const bool posted = m_showAttachmentPosted || m_showCommentPosted;
    m_showAttachmentPosted = false;
    m_showCommentPosted = false;
    if (posted) PLRunLoop::cancel(this);
}

void IXBranchCell::mouseExited(const PLMouseEvent&)
{
    cleanupDelayedShows();
}

void IXBranchCell::mouseMoved(const PLMouseEvent& event)
{
    IXLayoutContext* context = this->context();
    if (!context) return;
    const PLPoint p = context->coordinates().convertPointToCell(event.locationInView(), this);
    // A weak link: the opening must not outlive the cell.
    const std::weak_ptr<IXLayoutCell> weak = weak_from_this();
    auto post = [&](bool& posted, void (IXBranchCell::*show)(const PLMouseEvent&), const char* key) {
        if (posted) return;
        cleanupDelayedShows();
        posted = true;
        PLRunLoop::perform(this, key, [weak, show, event] {
            if (auto cell = std::static_pointer_cast<IXBranchCell>(weak.lock())) (cell.get()->*show)(event);
        }, HoverDelay);
    };
    if (contains(attachmentsCell(), p, this)) {
        post(m_showAttachmentPosted, &IXBranchCell::showAttachments, "showAttachments");
    } else if (contains(commentCell(), p, this)) {
        post(m_showCommentPosted, &IXBranchCell::showComment, "showComment");
    } else {
        cleanupDelayedShows();
    }
}

void IXBranchCell::showAttachments(const PLMouseEvent& event)
{
    cleanupDelayedShows();
    if (node()) startTool(IXToolNames::Attachments, node()->shared_from_this(), context(), &event);
}

void IXBranchCell::showComment(const PLMouseEvent& event)
{
    cleanupDelayedShows();
    IXBranchNode* branch = branchNode();
    if (branch && branch->comment()) startTool(IXToolNames::YellowNote, branch->comment(), context(), &event);
}

void IXBranchCell::showOutline(const PLMouseEvent& event)
{
    cleanupDelayedShows();
    if (node()) startTool(IXToolNames::InplaceOutline, node()->shared_from_this(), context(), &event);
}

void IXBranchCell::startTitleEditing(const PLMouseEvent* event)
{
    IXLayoutContext* context = this->context();
    if (!context || !node()) return;
    const std::shared_ptr<IXNode> branch = node()->shared_from_this();
    context->setSelection(IXSelection::selectionWithNode(branch));
    startTool(IXToolNames::BranchTitle, branch, context, event);
}

bool IXBranchCell::trackMouse(const PLMouseEvent& event)
{
    IXLayoutContext* context = this->context();
    if (event.type() != PLMouseEvent::LeftMouseDown || !context || !node()) return false;
    // The handlers below may rebuild the map; keep the cell and its branch.
    const std::shared_ptr<IXLayoutCell> self = shared_from_this();
    const std::shared_ptr<IXNode> branch = node()->shared_from_this();
    const PLPoint p = context->coordinates().convertPointToCell(event.locationInView(), this);

    if (event.clickCount() >= 2) {
        IXPictureCell* picture = pictureCell();
        auto* pictureNode = picture ? dynamic_cast<IXPictureNode*>(picture->node()) : nullptr;
        if (event.hasModifier(PLMouseEvent::Shift) && contains(picture, p, this) && pictureNode &&
            !pictureNode->image().isNull()) {
            if (IXQuickViewControlling* viewer = IXQuickViewControlling::sharedController()) {
                if (pictureNode->targetLocation() == IXReferenceNode::LocationFile)
                    viewer->showWithPath(pictureNode->targetValue().text());
                else
                    viewer->showWithImage(pictureNode->image());
            }
            return true;
        }
        if (IXToolManaging* tools = IXToolManaging::sharedManager()) tools->discardCurrentTool();
        if (IXWindowControlling* controller = context->controller()) controller->addSubbranch();
        return true;
    }
    if (event.hasModifier(PLMouseEvent::Control) || event.hasModifier(PLMouseEvent::Option) ||
        event.hasModifier(PLMouseEvent::Command))
        return false;
    if (event.hasModifier(PLMouseEvent::Shift)) {
        const IXSelection& selection = context->selection();
        context->setSelection(selection.isEmpty() ? IXSelection::selectionWithNode(branch)
                                                  : selection.selectionByTriggeringNode(branch));
        return true;
    }

    auto waitForClick = [&] {
        IXLayoutView* view = context->view();
        return view ? view->nextEventMatchingMask(UpOrDragMask, ClickWait) : std::nullopt;
    };
    auto drag = [&] {
        if (!isSelected()) context->setSelection(IXSelection::selectionWithNode(branch));
        startTool(IXToolNames::DragBranch, branch, context, &event);
        return true;
    };
    const std::optional<PLMouseEvent> next = waitForClick();
    if (!next || next->type() == PLMouseEvent::LeftMouseDragged) return drag();

    const bool wasSelected = isSelected();
    if (!wasSelected) context->setSelection(IXSelection::selectionWithNode(branch));
    if (contains(attachmentsCell(), p, this)) {
        showAttachments(event);
        return true;
    }
    if (contains(commentCell(), p, this)) {
        showComment(event);
        return true;
    }
    if (contains(outlineCell(), p, this)) {
        showOutline(event);
        return true;
    }
    if (wasSelected && contains(titleCell(), p, this)) {
        // The release still waits in the queue and answers at once; after a drag the click
        // only selects.
        const std::optional<PLMouseEvent> again = waitForClick();
        if (!again || again->type() == PLMouseEvent::LeftMouseUp) {
            startTitleEditing(&event);
            return true;
        }
    }
    context->setSelection(IXSelection::selectionWithNode(branch));
    return true;
}

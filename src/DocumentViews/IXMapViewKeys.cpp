// The map view's key table: new branches, removal, moving the selection and the selected
// branch with the arrows, and typing that starts editing a title in place.
#include "DocumentViews/IXMapView.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLKeyboard.h"

#include <QKeyEvent>

#include <algorithm>

namespace {

enum LayoutType { None = 0, MindMapRoot = 1, Right = 2, Left = 3, Down = 4 };

bool isArrow(int code)
{
    return code == PLKeyboard::LeftArrow || code == PLKeyboard::RightArrow || code == PLKeyboard::UpArrow ||
           code == PLKeyboard::DownArrow;
}

}

int IXMapView::layoutTypeOf(IXNode* branch) const
{
    IXBranchGroupCell* group = m_context ? m_context->cells().branchGroupCellForNode(branch) : nullptr;
    return group ? group->layoutType() : None;
}

void IXMapView::keyPressEvent(QKeyEvent* event)
try {
    if (!m_context) {
        QWidget::keyPressEvent(event);
        return;
    }
    const PLKeyboard::KeyCode code = PLKeyboard::keyCode(event->key());
    const std::uint32_t modifiers = PLKeyboard::modifierFlags(event->modifiers());
    const bool option = (modifiers & PLMouseEvent::Option) != 0;
    if (code == PLKeyboard::Return || code == PLKeyboard::Enter) {
        if (option) m_context->controller()->addSubbranch();
        else if ((modifiers & PLMouseEvent::Shift) != 0) sendToController(IXCommands::AddPrebranch);
        else sendToController(IXCommands::AddBranch);
        return;
    }
    if (code == PLKeyboard::Delete || code == PLKeyboard::ForwardDelete) {
        sendToController(IXCommands::RemoveSelectedNodes);
        return;
    }
    if (isArrow(code)) {
        if (option) moveSelectedBranch(code);
        else moveSelection(code);
        return;
    }
    // Typing (and F2) edits the selected title; keys that type nothing stay with Qt.
    const bool types = !event->text().isEmpty() && event->text().at(0).isPrint() &&
                       (modifiers & (PLMouseEvent::Command | PLMouseEvent::Control)) == 0;
    if (types || code == PLKeyboard::F2) {
        startTitleEditing(event);
        return;
    }
    QWidget::keyPressEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXMapView::startTitleEditing(QKeyEvent* event)
{
    const IXSelection& selection = m_context->selection();
    IXToolManager* tools = IXToolManager::sharedManager();
    // The window's selected branch: the topmost of several.
    if (const std::shared_ptr<IXBranchNode> branch = selection.topmostBranchNode()) {
        tools->activateToolNamed(IXToolNames::BranchTitle, branch, m_context.get(), IXToolEvent(*event));
        return;
    }
    const IXSelection::NodeList comments = selection.allFloatingComments();
    if (!comments.isEmpty())
        tools->activateToolNamed(IXToolNames::CommentTitle, comments.first(), m_context.get(),
                                 IXToolEvent(*event));
}

void IXMapView::moveSelection(int keyCode)
{
    if (!m_context) return;
    m_context->performLayoutIfNeeded();
    const IXSelection selection = m_context->selection();
    const QList<std::shared_ptr<IXBranchNode>> branches = selection.allBranches();
    const bool up = keyCode == PLKeyboard::UpArrow, down = keyCode == PLKeyboard::DownArrow;
    const bool left = keyCode == PLKeyboard::LeftArrow, right = keyCode == PLKeyboard::RightArrow;

    if (branches.isEmpty()) {
        // A single floating picture or comment moves by one unit.
        const std::shared_ptr<IXNode> node = selection.lastNode();
        if (selection.count() != 1 || !node || node->isDocument()) return;
        const std::shared_ptr<IXStyleNode> style = m_context->styleForNode(node.get());
        PLPoint offset = style->floatingTargetOffset();
        offset.y += up ? 1 : down ? -1 : 0;
        offset.x += right ? 1 : left ? -1 : 0;
        style->setFloatingTargetOffset(offset);
        return;
    }

    const std::shared_ptr<IXBranchNode>& branch = branches.last();
    IXNode* parent = branch->parentNode();
    if (!parent) return;
    const IXBranchNode::BranchList& children = branch->branches();
    const std::shared_ptr<IXNode> first = children.isEmpty() ? nullptr : children.first();
    const std::shared_ptr<IXNode> last = children.isEmpty() ? nullptr : children.last();
    std::shared_ptr<IXNode> target;

    if (parent->isDocument()) {
        const IXDocumentNode::NodeList& roots = static_cast<IXDocumentNode*>(parent)->rootBranches();
        const int index = int(roots.indexOf(branch)), count = int(roots.size());
        if (index < 0) return;
        if (up) target = roots[std::max(index - 1, 0)];
        else if (down) target = roots[std::min(index + 1, count - 1)];
        else if (left) target = last;
        else target = first;
    } else {
        auto* parentBranch = dynamic_cast<IXBranchNode*>(parent);
        if (!parentBranch) return;
        const IXBranchNode::BranchList& siblings = parentBranch->branches();
        const int index = int(siblings.indexOf(branch)), count = int(siblings.size());
        if (index < 0) return;
        const std::shared_ptr<IXNode> previous = siblings[std::max(index - 1, 0)];
        const std::shared_ptr<IXNode> next = siblings[std::min(index + 1, count - 1)];
        const std::shared_ptr<IXNode> parentNode = parentBranch->shared_from_this();
        switch (layoutTypeOf(branch.get())) {
        case Right:
            target = up ? previous : down ? next : left ? parentNode : first;
            break;
        case Left:
            if (layoutTypeOf(parentBranch) == MindMapRoot) target = up ? next : down ? previous : left ? first : parentNode;
            else target = up ? previous : down ? next : left ? first : parentNode;
            break;
        case Down:
            target = up ? parentNode : down ? last : left ? previous : next;
            break;
        default:
            break;
        }
    }
    if (target && target != branch) m_context->setSelection(IXSelection::selectionWithNode(target));
}

void IXMapView::moveSelectedBranch(int keyCode)
{
    if (!m_context) return;
    m_context->performLayoutIfNeeded();
    const IXSelection selection = m_context->selection();
    if (selection.count() != 1) return;
    const std::shared_ptr<IXBranchNode> branch = std::dynamic_pointer_cast<IXBranchNode>(selection.lastNode());
    auto* parent = branch ? dynamic_cast<IXBranchNode*>(branch->parentNode()) : nullptr;
    if (!parent) return;
    const IXBranchNode::BranchList& siblings = parent->branches();
    const int index = int(siblings.indexOf(branch)), count = int(siblings.size());
    if (index < 0) return;
    const int earlier = std::max(index - 1, 0), later = std::min(index + 1, count - 1);
    const bool up = keyCode == PLKeyboard::UpArrow, down = keyCode == PLKeyboard::DownArrow;
    const bool left = keyCode == PLKeyboard::LeftArrow, right = keyCode == PLKeyboard::RightArrow;
    const bool besideMindMapRoot = layoutTypeOf(parent) == MindMapRoot;
    // On a mind-map root's two sides a branch stays on its own side.
    auto siblingTypeAt = [&](int at) { return layoutTypeOf(siblings[at].get()); };

    int target = index;
    switch (layoutTypeOf(branch.get())) {
    case Right:
        if (up) target = earlier;
        else if (down) {
            target = later;
            if (besideMindMapRoot && siblingTypeAt(target) != Right) return;
        }
        break;
    case Left:
        if (!besideMindMapRoot) target = up ? earlier : down ? later : index;
        else if (up) target = later;
        else if (down) {
            target = earlier;
            if (siblingTypeAt(target) != Left) return;
        }
        break;
    case Down:
        target = left ? earlier : right ? later : index;
        break;
    default:
        break;
    }
    if (target == index) return;
    const std::shared_ptr<IXBranchNode> keep = branch;
    parent->removeBranch(keep);
    parent->insertBranch(keep, target);
    m_context->controller()->setSelection(IXSelection::selectionWithNode(keep));
}

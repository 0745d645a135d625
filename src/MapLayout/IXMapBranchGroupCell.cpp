#include "MapLayout/IXMapBranchGroupCell.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchBoundaryCell.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXGeometryLimits.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXPictureCell.h"
#include "Platform/System/PLMouseEvent.h"
#include "Platform/Core/PLUndoManager.h"

#include <cmath>
#include <unordered_map>
#include <vector>

namespace {

bool isSideLayout(int type)
{
    return type == 2 || type == 3 || type == 4;
}

template <typename Cell>
void release(std::shared_ptr<Cell>& cell)
{
    if (!cell) return;
    cell->invalidate();
    cell.reset();
}

}  // namespace

IXMapBranchGroupCell::~IXMapBranchGroupCell() = default;

IXBranchNode* IXMapBranchGroupCell::branchNode() const
{
    return dynamic_cast<IXBranchNode*>(node());
}

IXLayoutCell* IXMapBranchGroupCell::boundaryCell() const
{
    return m_boundaryCell.get();
}

// --- Layout type ---

int IXMapBranchGroupCell::layoutKind()
{
    // The context's layout never changes: its name is compared once per cell.
    if (m_layoutKind < 0) {
        IXLayoutContext* context = this->context();
        const QString name = context && context->layoutNode() ? context->layoutNode()->layoutName() : QString();
        if (name == IXLayoutMindMapName) m_layoutKind = 1;
        else if (name == IXLayoutLeftRightName) m_layoutKind = 2;
        else if (name == IXLayoutTopDownName) m_layoutKind = 4;
        else m_layoutKind = 0;
    }
    return m_layoutKind;
}

int IXMapBranchGroupCell::layoutTypeForNode(IXNode* node, const IXStyleNode* style)
{
    IXLayoutContext* context = this->context();
    if (!node || !context) return 0;
    switch (layoutKind()) {
    case 4: return 4;
    case 2: {
        std::shared_ptr<const IXStyleNode> own;
        if (!style) style = (own = this->styleForReading()).get();
        return style && style->documentLayoutOrientation() != 0 ? 3 : 2;
    }
    case 1: break;
    default: return 0;
    }
    // Below the main branches every branch takes its main branch's side.
    auto* branch = dynamic_cast<IXBranchNode*>(node);
    if (!branch) return 0;
    if (branch->level() == 0) return 1;
    if (branch->level() == 1 && style && node == this->node()) return style->branchLayoutType();
    // Deeper down, the type is the parent group's (recorded at its rebuild, which runs before
    // its children are laid out): no walk up the tree for every group.
    if (branch->level() > 1) {
        if (node == this->node()) {
            if (auto* parentGroup = dynamic_cast<IXMapBranchGroupCell*>(parent())) return parentGroup->m_layoutType;
        } else if (branch->parentBranch() == this->node()) {
            return m_layoutType;
        }
    }
    while (branch->level() > 1 && branch->parentBranch()) branch = branch->parentBranch();
    if (branch->level() == 0) return 1;
    return context->styleForReading(branch)->branchLayoutType();
}

int IXMapBranchGroupCell::layoutTypeForNode(IXNode* node)
{
    return layoutTypeForNode(node, nullptr);
}

int IXMapBranchGroupCell::layoutType()
{
    std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    return layoutTypeForNode(node(), style.get());
}

void IXMapBranchGroupCell::setLayoutType(int layoutType)
{
    IXLayoutContext* context = this->context();
    IXNode* node = this->node();
    if (!context || !node || node->level() != 1 || layoutKind() != 1) return;
    std::shared_ptr<IXStyleNode> style = this->style();
    if (!style || style->branchLayoutType() == layoutType) return;
    PLUndoManager* undo = node->documentNode() ? node->documentNode()->undoManager() : nullptr;
    const bool outsideEdit = undo && undo->groupingLevel() == 0;
    if (outsideEdit) undo->disableUndoRegistration();
    style->setBranchLayoutType(layoutType);
    if (outsideEdit) undo->enableUndoRegistration();
}

bool IXMapBranchGroupCell::isCollapsed()
{
    std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    return style && style->branchCollapsed();
}

bool IXMapBranchGroupCell::hasBoundary()
{
    std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    return style && style->boundaryShow();
}

// --- Reload ---

void IXMapBranchGroupCell::reloadBranches()
{
    rebuild();
    // The new children are not laid out yet and the kept ones are marked: only this group and
    // its own cells need marking (going through the subtree from every group of a rebuild
    // would cost its depth).
    IXLayoutCell::invalidateLayout();
    invalidateOwnCells();
}

void IXMapBranchGroupCell::rebuild()
{
    IXLayoutContext* context = this->context();
    IXBranchNode* branch = branchNode();
    if (!context || !branch) return;
    IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory();
    if (!m_branchCell && factory) m_branchCell = factory->makeBranchCell(context, this, branch);
    std::shared_ptr<const IXStyleNode> style = this->styleForReading();

    if (branch->level() > 0 && style->boundaryShow()) {
        if (!m_boundaryCell) m_boundaryCell = std::make_shared<IXBranchBoundaryCell>(context, this, branch);
    } else {
        release(m_boundaryCell);
    }

    // Children found again keep their cells (and subtrees), shown or kept aside: each checks
    // at its next layout whether it must rebuild in turn, so a change of type reaches down
    // without building anything twice. A branch's first cell is the one kept; any other cell
    // of it (a list that named it twice) ends here, and since it may have been the one the
    // context named for a branch below, the kept cell names its subtree again.
    IXCellList previous = takeAllCells();
    previous.insert(previous.end(), std::make_move_iterator(m_keptAside.begin()),
                    std::make_move_iterator(m_keptAside.end()));
    m_keptAside.clear();
    std::unordered_map<const IXNode*, std::shared_ptr<IXLayoutCell>> kept;
    kept.reserve(previous.size());
    std::vector<const IXNode*> repeated;
    for (auto& cell : previous) {
        IXNode* node = cell->node();
        if (node && !kept.try_emplace(node, std::move(cell)).second) repeated.push_back(node);
    }
    for (const auto& cell : previous)
        if (cell) cell->invalidate();
    previous.clear();
    for (const IXNode* node : repeated)
        if (auto* group = dynamic_cast<IXMapBranchGroupCell*>(kept.at(node).get())) group->nameSubtree();

    const auto& subbranches = branch->branches();
    const int type = layoutTypeForNode(branch, style.get());
    const bool collapsed = style->branchCollapsed();
    // Recorded before the children are made: theirs follows from it.
    m_layoutType = type;
    m_collapsed = collapsed;
    if (type != 1 && subbranches.empty()) {
        release(m_collapseCell);
    } else if (isSideLayout(type)) {
        if (!m_collapseCell) m_collapseCell = std::make_shared<IXLayoutCell>(context, this, branch);
        m_collapseCell->setFrame(PLRect(0, 0, kCollapseButtonSize, kCollapseButtonSize));
    } else {
        release(m_collapseCell);
    }
    // Only the button collapses: a root in the mind map keeps its children.
    const bool hidesChildren = collapsed && isSideLayout(type);
    if (hidesChildren) {
        // Hidden children that have cells keep them aside; those without get none until shown.
        for (const auto& subbranch : subbranches) {
            if (auto found = kept.find(subbranch.get()); found != kept.end()) {
                found->second->setKeptAside(true);
                m_keptAside.push_back(std::move(found->second));
                kept.erase(found);
            }
        }
    } else if (factory) {
        for (const auto& subbranch : subbranches) {
            if (auto found = kept.find(subbranch.get()); found != kept.end()) {
                std::shared_ptr<IXLayoutCell> child = std::move(found->second);
                kept.erase(found);
                child->setKeptAside(false);
                addCell(child);
                // Marked without telling this group, which is being rebuilt or laid out; it
                // checks its style at its layout, since this group's type may have changed.
                if (auto* group = dynamic_cast<IXMapBranchGroupCell*>(child.get())) {
                    group->m_hasValidLayout = false;
                    group->m_rebuiltSinceLayout = false;
                } else {
                    child->invalidateLayout();
                }
                continue;
            }
            std::shared_ptr<IXBranchGroupCell> child = factory->makeBranchGroupCell(context, this, subbranch.get());
            if (!child) continue;
            addCell(child);
            context->cells().setCellForNode(child, subbranch.get());
            child->reloadBranches();
        }
    }
    for (auto& [node, cell] : kept) cell->invalidate();

    m_subcellsCount = int(cells().size());
    m_needsReload = false;
    m_rebuiltSinceLayout = true;
}

void IXMapBranchGroupCell::nameSubtree()
{
    IXLayoutContext* context = this->context();
    if (!context) return;
    std::vector<IXMapBranchGroupCell*> pending{this};
    while (!pending.empty()) {
        IXMapBranchGroupCell* group = pending.back();
        pending.pop_back();
        if (IXNode* node = group->node()) context->cells().setCellForNode(group->shared_from_this(), node);
        if (IXLayoutCell* picture = group->m_branchCell ? group->m_branchCell->pictureCell() : nullptr)
            if (IXNode* node = picture->node()) context->cells().setCellForNode(picture->shared_from_this(), node);
        for (const IXCellList* list : {&group->cells(), static_cast<const IXCellList*>(&group->m_keptAside)})
            for (const auto& cell : *list)
                if (auto* child = dynamic_cast<IXMapBranchGroupCell*>(cell.get())) pending.push_back(child);
    }
}

// --- Invalidation ---

void IXMapBranchGroupCell::invalidate()
{
    release(m_branchCell);
    release(m_boundaryCell);
    release(m_collapseCell);
    IXCellList aside;
    aside.swap(m_keptAside);
    for (const auto& cell : aside) cell->invalidate();
    IXBranchGroupCell::invalidate();
}

void IXMapBranchGroupCell::invalidateOwnCells()
{
    if (m_branchCell) m_branchCell->invalidateLayout();
    if (m_boundaryCell) m_boundaryCell->invalidateLayout();
    if (m_collapseCell) m_collapseCell->invalidateLayout();
}

void IXMapBranchGroupCell::invalidateLayout()
{
    // Not the child groups (see the class comment).
    IXLayoutCell::invalidateLayout();
    invalidateOwnCells();
    if (!context() || !node()) return;
    std::shared_ptr<const IXStyleNode> style = this->styleForReading();
    if (style && needsRebuild(*style)) m_needsReload = true;
}

bool IXMapBranchGroupCell::needsRebuild(const IXStyleNode& style)
{
    return layoutTypeForNode(node(), &style) != m_layoutType || style.branchCollapsed() != m_collapsed
        || (!m_boundaryCell && style.boundaryShow());
}

// --- Layout driver ---

void IXMapBranchGroupCell::layout()
{
    const PLRect oldFrame = m_frame;
    const PLRect oldBounds = m_bounds;
    m_bounds = PLRect();
    std::shared_ptr<const IXStyleNode> style = context() && node() ? this->styleForReading() : nullptr;
    if (!m_needsReload && !m_rebuiltSinceLayout && style) m_needsReload = needsRebuild(*style);
    if (m_needsReload) rebuild();
    m_rebuiltSinceLayout = false;
    if (m_branchCell) m_branchCell->performLayoutIfNeeded();
    if (style) {
        switch (m_layoutType) {
        case 1: layoutSubcellsCircular(*style); break;
        case 2:
        case 3: layoutSpreadSubcellsVertical(*style); break;
        case 4: layoutSpreadSubcellsHorizontal(*style); break;
        default: break;
        }
    }
    PLRect bounds = unionRectForCells(cells());
    if (m_branchCell) bounds = bounds.united(m_branchCell->frame());
    if (m_collapseCell) bounds = bounds.united(m_collapseCell->frame());
    if (m_boundaryCell && style) {
        const float room = std::ceil(style->boundaryLineWidth() + 4.0f + style->boundaryLineRoundness() * 0.5f);
        bounds = bounds.insetBy(-room, -room);
        m_boundaryCell->setFrame(bounds);
    }
    bounds = bounds.insetBy(-kGroupMargin, -kGroupMargin);
    m_bounds = bounds;
    m_frame.size = bounds.size;
    m_frame.origin = bounds.origin;
    if (node() && node()->level() == 0 && style) {
        const PLPoint offset = IXGeometryLimits::branchParentOffset(*style);
        m_frame.origin = PLPoint(bounds.origin.x + offset.x, bounds.origin.y + offset.y);
    }
    if (m_frame != oldFrame || m_bounds != oldBounds) invalidateTransform();
}

// --- Mouse ---

bool IXMapBranchGroupCell::trackMouse(const PLMouseEvent& event)
{
    if (event.type() != PLMouseEvent::LeftMouseDown || !m_collapseCell || !context()) return false;
    const PLPoint point = context()->coordinates().convertPointToCell(event.locationInView(), this);
    if (!m_collapseCell->frame().containsPoint(point)) return false;
    IXBranchNode* branch = branchNode();
    if (!branch) return false;
    branch->setCollapsed(!isCollapsed(), event.hasModifier(PLMouseEvent::Option));
    return true;
}

// The screen-facing half of the layout context: draw and hit stacks, drawing, the canvas and
// the cells a point may hit.
#include "MapLayout/IXLayoutContext.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXConnectionCell.h"
#include "MapLayout/IXDocumentViewing.h"
#include "MapLayout/IXLayoutCellIndex.h"
#include "MapLayout/IXLayoutGroupCell.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTimelineCell.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/System/PLScreen.h"
#include "Utilities/UTGeometry.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <tuple>
#include <unordered_set>

// Everything below the selection outlines, back to front (draw) and bottom to top (hit).
// The hit stack is the draw stack's top part (what is drawn below it is never hit).
struct IXLayoutContext::Stacks {
    IXCellList draw;
    IXCellList hit;
    // The canvas rectangles of the stacks' cells, for finding cells by rectangle or point;
    // made on first use and again after any cell moved.
    std::optional<IXLayoutCellIndex> drawIndex;
    std::optional<IXLayoutCellIndex> hitIndex;
    std::uint64_t drawIndexGeneration = 0;
    std::uint64_t hitIndexGeneration = 0;
    // The union of the draw stack's canvas rectangles, taken with drawIndex.
    PLRect drawnBounds;
};

// The selection outlines, drawn and hit on top of the rest (the same list for both); made
// again on their own when the selection changes, so that the large stacks below and their
// indexes stay.
struct IXLayoutContext::SelectionStack {
    IXCellList cells;
    std::optional<IXLayoutCellIndex> index;
    std::uint64_t indexGeneration = 0;
    // Both parts in one list, as drawStack() and hitStack() give them; made on request.
    std::optional<IXCellList> draw;
    std::optional<IXCellList> hit;
};

namespace {

struct Buckets {
    IXCellList bucket[8];
    // Membership of the buckets that later steps ask about.
    std::unordered_set<const IXLayoutCell*> floatingPictures;  // bucket 6
    std::unordered_set<const IXLayoutCell*> floatingTexts;  // bucket 7

    void add(int index, const std::shared_ptr<IXLayoutCell>& cell) { bucket[index].push_back(cell); }
    // Whether bucket 1 holds the cell. Asked only once the branches are in, and only for what
    // hangs on branches (floatings, connections), which most maps have little of: the set is
    // made on the first question.
    bool holdsBranchCell(const IXLayoutCell* cell)
    {
        if (!branchCells) {
            branchCells.emplace(bucket[1].size());
            for (const auto& branchCell : bucket[1]) branchCells->insert(branchCell.get());
        }
        return branchCells->count(cell) != 0;
    }

private:
    std::optional<std::unordered_set<const IXLayoutCell*>> branchCells;
};

std::shared_ptr<IXLayoutCell> sharedCell(IXLayoutCell* cell)
{
    return cell ? cell->shared_from_this() : nullptr;
}

// Branch groups with everything below them (unless collapsed). With a filter, only the
// filter's subtree is stacked, but the walk goes through the whole tree to find it.
void loadBranchGroup(Buckets& buckets, IXBranchGroupCell* root, bool rootIterateOnly, const IXNode* filter)
{
    std::vector<std::pair<IXBranchGroupCell*, bool>> pending{{root, rootIterateOnly}};
    while (!pending.empty()) {
        auto [group, iterateOnly] = pending.back();
        pending.pop_back();
        if (!group->isVisible()) continue;
        if (iterateOnly && group->node() == filter) iterateOnly = false;
        // The cheap questions first: a style look-up per group is most of the walk's cost, and
        // most groups have no boundary cell and no sub-groups (the leaves).
        if (!iterateOnly) {
            if (IXBranchCell* branchCell = group->branchCell()) buckets.add(1, sharedCell(branchCell));
            buckets.add(2, sharedCell(group));
            if (IXLayoutCell* boundary = group->boundaryCell(); boundary && group->hasBoundary())
                buckets.add(3, sharedCell(boundary));
        }
        const std::size_t siblingsPending = pending.size();
        const IXCellList& children = group->cells();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if (auto* child = dynamic_cast<IXBranchGroupCell*>(it->get())) pending.emplace_back(child, iterateOnly);
        if (pending.size() > siblingsPending && group->isCollapsed()) pending.resize(siblingsPending);
    }
}

void loadTimeline(Buckets& buckets, IXTimelineCell* timeline)
{
    for (const auto& ruler : timeline->rulerCells()) buckets.add(3, ruler);
    buckets.add(3, sharedCell(timeline));
    for (const auto& band : timeline->bandsCells()) buckets.add(1, band);
    for (const auto& group : timeline->branchGroupCells()) loadBranchGroup(buckets, group.get(), false, nullptr);
    if (IXBranchGroupCell* root = timeline->rootBranchCell()) loadBranchGroup(buckets, root, false, nullptr);
}

// The cells' canvas rectangles (empty for a cell that has left), and their union as taken
// (not normalized) when asked for.
std::vector<PLRect> canvasRects(const IXCellList& cells, PLRect* united = nullptr)
{
    std::vector<PLRect> rects;
    rects.reserve(cells.size());
    for (const auto& cell : cells) {
        if (!cell->context()) {
            rects.emplace_back();
            continue;
        }
        const PLRect rect = cell->convertRectToCell(cell->bounds(), nullptr);
        if (united) *united = united->united(rect);
        rects.push_back(UTGeometry::normalized(rect));
    }
    return rects;
}

// Branch connections alike in all that draws them (the same ends and reading style) paint the
// same pixels and the top one takes the mouse first: only that one is stacked, so that a
// branch holding a hundred thousand copies costs one curve a frame.
template <typename StyleOf>
void keepTopOfAlikeConnections(IXCellList& connections, StyleOf styleOf)
{
    if (connections.size() < 2) return;
    using Key = std::tuple<const void*, const void*, const void*>;
    const auto hash = [](const Key& key) {
        const std::hash<const void*> h;
        return h(std::get<0>(key)) ^ (h(std::get<1>(key)) * 31) ^ (h(std::get<2>(key)) * 131);
    };
    std::unordered_set<Key, decltype(hash)> seen(connections.size(), hash);
    IXCellList kept;
    for (auto it = connections.rbegin(); it != connections.rend(); ++it) {
        auto* connection = static_cast<IXConnectionNode*>((*it)->node());
        const Key key(connection->parentNode(), connection->targetNode().get(), styleOf(connection));
        if (seen.insert(key).second) kept.push_back(*it);
    }
    if (kept.size() == connections.size()) return;
    std::reverse(kept.begin(), kept.end());
    connections.swap(kept);
}

IXCellList joined(const IXCellList& below, const IXCellList& above)
{
    IXCellList list;
    list.reserve(below.size() + above.size());
    list.insert(list.end(), below.begin(), below.end());
    list.insert(list.end(), above.begin(), above.end());
    return list;
}

}  // namespace

// --- Stacks ---

const IXLayoutContext::Stacks& IXLayoutContext::stacks()
{
    if (!m_stacks) reloadStacks();
    if (!m_selectionStack) reloadSelectionStack();
    return *m_stacks;
}

const IXCellList& IXLayoutContext::drawStack()
{
    const Stacks& below = stacks();
    SelectionStack& selection = *m_selectionStack;
    if (selection.cells.empty()) return below.draw;
    if (!selection.draw) selection.draw = joined(below.draw, selection.cells);
    return *selection.draw;
}

const IXCellList& IXLayoutContext::hitStack()
{
    const Stacks& below = stacks();
    SelectionStack& selection = *m_selectionStack;
    if (selection.cells.empty()) return below.hit;
    if (!selection.hit) selection.hit = joined(below.hit, selection.cells);
    return *selection.hit;
}

void IXLayoutContext::invalidateDrawStack()
{
    // Callers iterating the stacks hold their own reference.
    m_stacks.reset();
    m_selectionStack.reset();
    if (m_view) m_view->setNeedsDisplay();
}

void IXLayoutContext::invalidateSelectionStack()
{
    m_selectionStack.reset();
    if (m_view) m_view->setNeedsDisplay();
}

IXLayoutContext::StacksHold IXLayoutContext::holdStacks()
{
    stacks();
    return {m_stacks, m_selectionStack};
}

bool IXLayoutContext::isSelectionCell(const IXLayoutCell* cell) const
{
    const IXLayoutCell* layer = m_selectionLayer.get();
    return layer && (cell == layer || cell->parent() == layer);
}

void IXLayoutContext::cellGeometryDidChange(IXLayoutCell* cell)
{
    if (isSelectionCell(cell)) ++m_selectionGeometryGeneration;
    else ++m_geometryGeneration;
}

void IXLayoutContext::stackedCellWillInvalidate(IXLayoutCell* cell)
{
    if (m_selectionLayer && cell->parent() == m_selectionLayer.get()) {
        if (m_selectionStack) invalidateSelectionStack();
    } else if (m_stacks) {
        invalidateDrawStack();
    }
}

void IXLayoutContext::layerDidLayout(IXLayoutGroupCell* layer)
{
    // Laying out may build or drop cells (a branch group rebuilds, a connection finds its
    // ends); what the stacks list is read again on next use.
    if (layer == m_selectionLayer.get()) {
        if (m_selectionStack) invalidateSelectionStack();
    } else if (layer == m_branchLayer.get() || layer == m_floatingLayer.get() || layer == m_connectionLayer.get()) {
        if (m_stacks) invalidateDrawStack();
    }
}

void IXLayoutContext::reloadSelectionStack()
{
    auto selection = std::make_shared<SelectionStack>();
    if ((m_drawMask & IXDrawMaskSelection) && m_selectionLayer) selection->cells = m_selectionLayer->cells();
    m_selectionStack = std::move(selection);
}

void IXLayoutContext::reloadStacks()
{
    auto stacks = std::make_shared<Stacks>();
    Buckets buckets;
    const IXNode* filter = m_branchFilter.get();

    if (m_branchLayer) {
        for (const auto& cell : IXCellList(m_branchLayer->cells())) {
            if (!cell->isVisible()) continue;
            if (auto* group = dynamic_cast<IXBranchGroupCell*>(cell.get()))
                loadBranchGroup(buckets, group, filter && group->node() != filter, filter);
            else if (auto* timeline = dynamic_cast<IXTimelineCell*>(cell.get()))
                loadTimeline(buckets, timeline);
        }
    }
    if (m_floatingLayer) {
        for (const auto& cell : IXCellList(m_floatingLayer->cells())) {
            if (!cell->isVisible()) continue;
            IXNode* node = cell->node();
            if (!node) continue;
            if (std::shared_ptr<IXNode> target = node->floatingTargetNode()) {
                // A floating placed by a hidden or filtered-out branch goes with it.
                if (!buckets.holdsBranchCell(m_cells.branchCellForNode(target.get()))) continue;
            } else if (filter) {
                continue;
            }
            if (dynamic_cast<IXPictureCell*>(cell.get())) {
                buckets.add(6, cell);
                buckets.floatingPictures.insert(cell.get());
            } else if (dynamic_cast<IXTextCell*>(cell.get())) {
                buckets.add(7, cell);
                buckets.floatingTexts.insert(cell.get());
            }
        }
    }
    bool collectBranchConnections = (m_drawMask & IXDrawMaskBranchConnections) != 0;
    if (m_drawMask == IXDrawMaskDefault)
        collectBranchConnections = m_documentNode && styleForReading(m_documentNode.get())->documentShowsBranchConnections();
    if (m_connectionLayer) {
        for (const auto& cell : IXCellList(m_connectionLayer->cells())) {
            if (!cell->isVisible()) continue;
            auto* connection = dynamic_cast<IXConnectionNode*>(cell->node());
            if (!connection) continue;
            IXNode* owner = connection->parentNode();
            std::shared_ptr<IXNode> target = connection->targetNode();
            auto targetShown = [&] { return target && buckets.holdsBranchCell(m_cells.branchCellForNode(target.get())); };
            if (owner && owner->isBranch()) {
                if (collectBranchConnections && buckets.holdsBranchCell(m_cells.branchCellForNode(owner)) && targetShown())
                    buckets.add(4, cell);
            } else if (owner && owner->isPicture()) {
                if (buckets.floatingPictures.count(m_cells.cellForNode(owner)) && targetShown()) buckets.add(6, cell);
            } else if (owner && owner->isComment()) {
                if (buckets.floatingTexts.count(m_cells.cellForNode(owner)) && targetShown()) buckets.add(7, cell);
            } else {
                buckets.add(5, cell);
            }
        }
        keepTopOfAlikeConnections(buckets.bucket[4], [this](IXNode* node) { return styleForReading(node).get(); });
    }

    const bool background = m_drawMask & IXDrawMaskBackground;
    const bool branchConnections = m_drawMask & IXDrawMaskBranchConnections;
    const bool floatings = m_drawMask & IXDrawMaskFloatings;
    // Bottom to top for hitting, back to front for drawing; the draw stack, made last, takes
    // the buckets' cells instead of copying them.
    std::vector<int> hitOrder;
    if (branchConnections) hitOrder.push_back(4);
    if (floatings) hitOrder.insert(hitOrder.end(), {6, 7});
    hitOrder.insert(hitOrder.end(), {2, 1});
    std::vector<int> drawOrder;
    if (background) drawOrder.push_back(0);
    drawOrder.insert(drawOrder.end(), {3, 5});
    drawOrder.insert(drawOrder.end(), hitOrder.begin(), hitOrder.end());
    auto sizeOf = [&](const std::vector<int>& order) {
        std::size_t size = 0;
        for (int index : order) size += buckets.bucket[index].size();
        return size;
    };
    stacks->hit.reserve(sizeOf(hitOrder));
    for (int index : hitOrder) stacks->hit.insert(stacks->hit.end(), buckets.bucket[index].begin(), buckets.bucket[index].end());
    stacks->draw.reserve(sizeOf(drawOrder));
    for (int index : drawOrder) {
        IXCellList& cells = buckets.bucket[index];
        stacks->draw.insert(stacks->draw.end(), std::make_move_iterator(cells.begin()), std::make_move_iterator(cells.end()));
    }
    // The hit order is the draw order's end (hitCandidates takes its rectangles from there).
    PL_ASSERT(stacks->hit.size() <= stacks->draw.size());
    m_stacks = std::move(stacks);
    // The selection outlines go on top (reloadSelectionStack).
    reloadSelectionStack();
}

// --- Drawing ---

void IXLayoutContext::indexDrawStack(Stacks& below)
{
    if (below.drawIndex && below.drawIndexGeneration == m_geometryGeneration) return;
    PLRect drawn;
    below.drawIndex.emplace(canvasRects(below.draw, &drawn));
    below.drawnBounds = drawn;
    below.drawIndexGeneration = m_geometryGeneration;
}

std::vector<IXLayoutCell*> IXLayoutContext::drawCandidates(const StacksHold& held, const PLRect& rect)
{
    Stacks& below = *held.below;
    SelectionStack& selection = *held.selection;
    indexDrawStack(below);
    std::vector<IXLayoutCell*> found;
    for (std::uint32_t position : below.drawIndex->positionsMeeting(rect)) found.push_back(below.draw[position].get());
    if (selection.cells.empty()) return found;
    if (!selection.index || selection.indexGeneration != m_selectionGeometryGeneration) {
        selection.index.emplace(canvasRects(selection.cells));
        selection.indexGeneration = m_selectionGeometryGeneration;
    }
    for (std::uint32_t position : selection.index->positionsMeeting(rect)) found.push_back(selection.cells[position].get());
    return found;
}

void IXLayoutContext::drawRect(PLGraphicsContext& graphics, const PLRect& rect)
{
    PL_ASSERT_PARAM(m_layoutNode, "_layoutNode");
    if (!m_view) performLayoutIfNeeded();
    const StacksHold held = holdStacks();
    if (m_drawMask & IXDrawMaskBackground) drawBackgroundInRect(graphics, rect);
    for (IXLayoutCell* cell : drawCandidates(held, UTGeometry::normalized(rect)))
        if (cell->context()) cell->display(graphics);
}

void IXLayoutContext::display(PLGraphicsContext& graphics)
{
    PL_ASSERT_PARAM(m_view, "_view");
    PL_ASSERT_PARAM(m_layoutNode, "_layoutNode");
    const StacksHold held = holdStacks();
    drawBackgroundInRect(graphics, m_coordinates.convertRectFromCell(m_canvasBounds, nullptr));
    const PLRect visible = UTGeometry::normalized(m_coordinates.convertRectToCell(m_view->visibleRect(), nullptr));
    for (IXLayoutCell* cell : drawCandidates(held, visible)) {
        if (!cell->context()) continue;
        if (m_view->needsToDrawRect(m_coordinates.convertRectFromCell(cell->bounds(), cell))) cell->display(graphics);
    }
}

// --- Canvas ---

PLRect IXLayoutContext::cellsBounds()
{
    performLayoutIfNeeded();
    PLRect bounds;
    for (IXLayoutGroupCell* layer : {m_branchLayer.get(), m_floatingLayer.get(), m_connectionLayer.get()})
        if (layer) bounds = bounds.united(layer->bounds());
    return bounds.integral();
}

PLRect IXLayoutContext::visibleCellsBounds()
{
    performLayoutIfNeeded();
    // The drawn cells but the selection outlines: their union is taken with the draw index.
    const StacksHold held = holdStacks();
    indexDrawStack(*held.below);
    return held.below->drawnBounds.integral();
}

void IXLayoutContext::disableCanvasAutosize()
{
    ++m_canvasAutosizeDisableCount;
}

void IXLayoutContext::enableCanvasAutosize()
{
    if (--m_canvasAutosizeDisableCount == 0 && m_layoutNode) performLayout();
}

PLSize IXLayoutContext::screenSize() const
{
    return m_view ? m_view->screenSize() : PLScreen::mainScreenSize();
}

void IXLayoutContext::autosizeCanvas()
{
    if (m_canvasAutosizeDisableCount > 0) return;
    float width = m_canvasBounds.width();
    float height = m_canvasBounds.height();
    const PLRect content = cellsBounds();
    const PLSize screen = screenSize();
    const float sw = std::floor(0.8f * screen.width);
    const float sh = std::floor(0.8f * screen.height);
    const float needWidth = std::max(sw, sw + content.width());
    const float needHeight = std::max(sh, sh + content.height());
    // Grows with 400 spare units; shrinks only past 1600 spare, to 1200, so that scroll
    // positions stay put while the map is edited.
    if (needWidth > width) width = needWidth + 400;
    else if (width > needWidth + 1600) width = needWidth + 1200;
    if (needHeight > height) height = needHeight + 400;
    else if (height > needHeight + 1600) height = needHeight + 1200;
    const float x = std::floor(content.minX() - std::ceil((width - content.width()) * 0.5f));
    const float y = std::floor(content.minY() - std::ceil((height - content.height()) * 0.5f));
    const PLRect canvas(x, y, std::ceil(width), std::ceil(height));
    if (canvas == m_canvasBounds) return;
    m_canvasBounds = canvas;
    m_coordinates.invalidateTransform();
}

// --- Hit candidates ---

IXLayoutContext::HitCandidates IXLayoutContext::drawCandidatesInRect(const PLRect& rectInView)
{
    const StacksHold held = holdStacks();
    Stacks& below = *held.below;
    indexDrawStack(below);
    const PLRect rect = UTGeometry::normalized(m_coordinates.convertRectToCell(rectInView, nullptr));
    HitCandidates found {{}, held.below, nullptr};
    for (std::uint32_t position : below.drawIndex->positionsMeeting(rect))
        found.cells.push_back(below.draw[position].get());
    return found;
}

IXLayoutContext::HitCandidates IXLayoutContext::hitCandidatesAt(PLPoint pointInView)
{
    const StacksHold held = holdStacks();
    Stacks& below = *held.below;
    SelectionStack& selection = *held.selection;
    const PLPoint p = m_coordinates.transViewToCanvas().transformPoint(pointInView);
    // The exact test happens in each cell's space; the slack covers the rounding between.
    const float slack = 0.01f + 1e-5f * (std::abs(p.x) + std::abs(p.y));
    std::vector<IXLayoutCell*> found;
    // From the top: the selection outlines, then the rest.
    if (!selection.cells.empty()) {
        if (!selection.index || selection.indexGeneration != m_selectionGeometryGeneration) {
            selection.index.emplace(canvasRects(selection.cells));
            selection.indexGeneration = m_selectionGeometryGeneration;
        }
        const std::vector<std::uint32_t> positions = selection.index->positionsNear(p, slack);
        for (auto it = positions.rbegin(); it != positions.rend(); ++it) found.push_back(selection.cells[*it].get());
    }
    if (!below.hitIndex || below.hitIndexGeneration != m_geometryGeneration) {
        // The hit stack is the draw stack's top part: its rectangles are the draw index's last.
        indexDrawStack(below);
        const std::vector<PLRect>& drawn = below.drawIndex->rects();
        below.hitIndex.emplace(std::vector<PLRect>(drawn.end() - std::ptrdiff_t(below.hit.size()), drawn.end()));
        below.hitIndexGeneration = m_geometryGeneration;
    }
    const std::vector<std::uint32_t> positions = below.hitIndex->positionsNear(p, slack);
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) found.push_back(below.hit[*it].get());
    return {std::move(found), held.below, held.selection};
}

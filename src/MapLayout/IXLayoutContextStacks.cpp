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
#include "MapLayout/IXLayoutCellFactory.h"
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
#include <unordered_map>
#include <unordered_set>

#include <QVarLengthArray>

namespace {

// A group's stacked extent: the union of the rectangles of every cell the stacks would hold for
// the group and below it, in the group's own space, so that a look-up by rectangle or point
// skips the subtrees that lie elsewhere. Not bounded when one of them is not finite.
struct StackedExtent {
    PLRect rect;
    bool bounded = true;
};

// What a map layout's context keeps from one reload of its stacks to the next: the groups'
// extents (a group's is kept only while those of its sub-groups are, and goes when a cell below
// it moves or leaves), and the state of outlines made on demand.
struct TreeState {
    std::unordered_map<const IXLayoutCell*, StackedExtent> extents;
    // The context's geometry generation the extents follow; any other change of it drops them.
    std::uint64_t knownGeneration = 0;
    bool outlinesOnDemand = false;
    std::unordered_set<const IXNode*> outlinedBranches;
    // Positions in the selection, made when outlines made on demand need ordering.
    std::unordered_map<const IXNode*, std::uint32_t> selectionOrder;

    void follow(std::uint64_t generation)
    {
        if (knownGeneration == generation) return;
        extents.clear();
        knownGeneration = generation;
    }
};

// Floatings and connections in a map layout, stacked on their own (the branches' cells are
// found by walking the groups): back to front, the hit part last, as in the flat stacks.
struct LooseStack {
    IXCellList draw;
    std::size_t hitCount = 0;
    std::optional<IXLayoutCellIndex> index;
    std::uint64_t indexGeneration = 0;
};

// What a walk of the groups found, bucket by bucket, each in stack order.
struct TreeCandidates {
    std::vector<IXLayoutCell*> boundaries;
    std::vector<IXLayoutCell*> groups;
    std::vector<IXLayoutCell*> boxes;
};

// A selection of more branches than this gets their outlines made as they are drawn or hit,
// not all at once: selecting all of a large map costs what is in sight.
constexpr std::size_t EagerOutlineLimit = 500;

}  // namespace

// Everything below the selection outlines, back to front (draw) and bottom to top (hit).
// The hit stack is the draw stack's top part (what is drawn below it is never hit).
struct IXLayoutContext::Stacks {
    // Map layouts find the branches' cells by walking the groups (Tree), skipping the subtrees
    // that lie elsewhere, so that an edit that moves cells rebuilds no list of every cell; the
    // flat lists below (Flat) serve the timeline and callers asking for the whole stacks. An
    // Unbuilt one only carries the tree state on to the next.
    enum class Kind { Unbuilt, Flat, Tree };
    Kind kind = Kind::Flat;
    std::shared_ptr<TreeState> tree;
    std::optional<LooseStack> loose;
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

bool isFiniteRect(const PLRect& r)
{
    return std::isfinite(r.minX()) && std::isfinite(r.minY()) && std::isfinite(r.maxX()) && std::isfinite(r.maxY())
        && std::isfinite(r.width()) && std::isfinite(r.height());
}

// The cell's rectangle in canvas space as the stacks' index takes it.
PLRect canvasRectOf(IXLayoutCell* cell)
{
    return UTGeometry::normalized(cell->convertRectToCell(cell->bounds(), nullptr));
}

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

// The floatings and connections the stacks hold, into their buckets: those hanging on a branch
// only while the stacks hold its box (as holds answers).
template <typename Holds>
void loadLooseCells(IXLayoutContext& context, Buckets& buckets, const IXNode* filter, Holds holds)
{
    if (context.floatingLayer()) {
        for (const auto& cell : IXCellList(context.floatingLayer()->cells())) {
            if (!cell->isVisible()) continue;
            IXNode* node = cell->node();
            if (!node) continue;
            if (std::shared_ptr<IXNode> target = node->floatingTargetNode()) {
                // A floating placed by a hidden or filtered-out branch goes with it.
                if (!holds(context.cells().branchCellForNode(target.get()))) continue;
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
    bool collectBranchConnections = (context.drawMask() & IXDrawMaskBranchConnections) != 0;
    if (context.drawMask() == IXDrawMaskDefault)
        collectBranchConnections = context.documentNode()
            && context.styleForReading(context.documentNode())->documentShowsBranchConnections();
    if (context.connectionLayer()) {
        for (const auto& cell : IXCellList(context.connectionLayer()->cells())) {
            if (!cell->isVisible()) continue;
            auto* connection = dynamic_cast<IXConnectionNode*>(cell->node());
            if (!connection) continue;
            IXNode* owner = connection->parentNode();
            std::shared_ptr<IXNode> target = connection->targetNode();
            auto targetShown = [&] { return target && holds(context.cells().branchCellForNode(target.get())); };
            if (owner && owner->isBranch()) {
                if (collectBranchConnections && holds(context.cells().branchCellForNode(owner)) && targetShown())
                    buckets.add(4, cell);
            } else if (owner && owner->isPicture()) {
                if (buckets.floatingPictures.count(context.cells().cellForNode(owner)) && targetShown())
                    buckets.add(6, cell);
            } else if (owner && owner->isComment()) {
                if (buckets.floatingTexts.count(context.cells().cellForNode(owner)) && targetShown())
                    buckets.add(7, cell);
            } else {
                buckets.add(5, cell);
            }
        }
        keepTopOfAlikeConnections(buckets.bucket[4],
                                  [&context](IXNode* node) { return context.styleForReading(node).get(); });
    }
}

IXCellList joined(const IXCellList& below, const IXCellList& above)
{
    IXCellList list;
    list.reserve(below.size() + above.size());
    list.insert(list.end(), below.begin(), below.end());
    list.insert(list.end(), above.begin(), above.end());
    return list;
}

bool findsCellsByTree(IXLayoutContext& context)
{
    if (context.isTimelineLayout()) return false;
    IXLayoutGroupCell* layer = context.branchLayer();
    if (!layer) return true;
    for (const auto& cell : layer->cells())
        if (cell->isVisible() && !dynamic_cast<IXBranchGroupCell*>(cell.get())) return false;
    return true;
}

// Whether the stacks would hold the branch cell: its group and every group above it visible,
// those above expanded, and (with a filter) the filter's branch at or above it. memo keeps each
// group's state: 0 not stacked and nothing below it, 1 stacked, 2 walked but not stacked
// (above the filter's branch).
bool isStackedBranchCell(IXLayoutContext& context, IXLayoutCell* cell,
                         std::unordered_map<const IXLayoutCell*, int>& memo)
{
    IXLayoutGroupCell* layer = context.branchLayer();
    if (!cell || !layer) return false;
    auto* group = dynamic_cast<IXBranchGroupCell*>(cell->parent());
    if (!group || group->branchCell() != cell) return false;
    if (const auto known = memo.find(group); known != memo.end()) return known->second == 1;
    const IXNode* filter = context.branchFilter().get();
    auto passedDown
        = [](IXBranchGroupCell* above, int state) { return state != 0 && above->isCollapsed() ? 0 : state; };
    QVarLengthArray<IXBranchGroupCell*, 32> chain;
    int state = 0;
    for (IXLayoutCell* current = group; current; current = current->parent()) {
        if (current == layer) {
            state = filter ? 2 : 1;
            break;
        }
        auto* above = dynamic_cast<IXBranchGroupCell*>(current);
        if (!above) break;
        if (const auto known = memo.find(above); known != memo.end()) {
            state = passedDown(above, known->second);
            break;
        }
        chain.append(above);
    }
    for (qsizetype i = chain.size(); i-- > 0;) {
        IXBranchGroupCell* current = chain[i];
        if (state != 0 && !current->isVisible()) state = 0;
        if (state == 2 && current->node() == filter) state = 1;
        memo.emplace(current, state);
        if (i > 0) state = passedDown(current, state);
    }
    return state == 1;
}

LooseStack makeLooseStack(IXLayoutContext& context)
{
    LooseStack loose;
    Buckets buckets;
    std::unordered_map<const IXLayoutCell*, int> memo;
    loadLooseCells(context, buckets, context.branchFilter().get(),
                   [&](IXLayoutCell* cell) { return isStackedBranchCell(context, cell, memo); });
    // Back to front as in the flat stacks; the hit part (connections of branches, floatings)
    // is the end.
    const std::int32_t mask = context.drawMask();
    std::vector<int> order {5};
    if (mask & IXDrawMaskBranchConnections) order.push_back(4);
    if (mask & IXDrawMaskFloatings) order.insert(order.end(), {6, 7});
    for (int index : order) {
        IXCellList& cells = buckets.bucket[index];
        if (index != 5) loose.hitCount += cells.size();
        loose.draw.insert(loose.draw.end(), std::make_move_iterator(cells.begin()),
                          std::make_move_iterator(cells.end()));
    }
    return loose;
}

void indexLooseStack(LooseStack& loose, std::uint64_t generation)
{
    if (loose.index && loose.indexGeneration == generation) return;
    loose.index.emplace(canvasRects(loose.draw));
    loose.indexGeneration = generation;
}

// Drops the extents of the cell's group and of every group above it, up to the first that has
// none (no group above that one has one either).
void dropExtents(TreeState& tree, IXLayoutCell* cell)
{
    if (tree.extents.empty()) return;
    for (IXLayoutCell* current = cell; current; current = current->parent()) {
        if (!dynamic_cast<IXBranchGroupCell*>(current)) continue;
        const auto found = tree.extents.find(current);
        if (found == tree.extents.end()) return;
        tree.extents.erase(found);
    }
}

// The group's extent, computing what is missing below it first (without recursion: maps may
// be deep). Measuring validates the cells' transforms, so that a later change of a frame reports
// itself (cellGeometryDidChange) and drops the extents above it. Should measuring lay something
// out (cells reporting changes meanwhile), nothing measured then is kept and the group is taken
// as unbounded this time.
StackedExtent extentOf(TreeState& tree, IXBranchGroupCell* top)
{
    if (const auto found = tree.extents.find(top); found != tree.extents.end()) return found->second;
    std::vector<std::pair<IXBranchGroupCell*, bool>> pending {{top, false}};
    bool unsettled = false;
    while (!pending.empty()) {
        IXBranchGroupCell* group = pending.back().first;
        if (!pending.back().second) {
            pending.back().second = true;
            for (const auto& cell : group->cells())
                if (auto* child = dynamic_cast<IXBranchGroupCell*>(cell.get()); child && !tree.extents.count(child))
                    pending.emplace_back(child, false);
            continue;
        }
        pending.pop_back();
        const std::uint64_t generation = tree.knownGeneration;
        group->transLocalToCanvas();
        StackedExtent extent;
        auto add = [&extent](const PLRect& r) {
            if (r.isEmpty()) return;
            if (!isFiniteRect(r))
                extent.bounded = false;
            else
                extent.rect = extent.rect.united(r);
        };
        add(UTGeometry::normalized(group->bounds()));
        for (IXLayoutCell* own : {static_cast<IXLayoutCell*>(group->branchCell()), group->boundaryCell()})
            if (own) add(UTGeometry::normalized(own->convertRectToCell(own->bounds(), group)));
        bool complete = true;
        for (const auto& cell : IXCellList(group->cells())) {
            auto* child = dynamic_cast<IXBranchGroupCell*>(cell.get());
            if (!child) continue;
            const auto found = tree.extents.find(child);
            if (found == tree.extents.end()) {
                complete = false;
                continue;
            }
            const StackedExtent below = found->second;
            if (!below.bounded)
                extent.bounded = false;
            else if (!below.rect.isEmpty())
                add(UTGeometry::normalized(child->convertRectToCell(below.rect, group)));
        }
        if (complete && tree.knownGeneration == generation) {
            tree.extents[group] = extent;
        } else {
            unsettled = true;
            tree.extents.erase(group);
        }
    }
    const auto found = tree.extents.find(top);
    if (unsettled || found == tree.extents.end()) return StackedExtent {PLRect(), false};
    return found->second;
}

// Whether the group's subtree may hold a cell meeting the area (canvas space).
bool mayMeet(TreeState& tree, IXBranchGroupCell* group, const PLRect& area)
{
    const StackedExtent extent = extentOf(tree, group);
    if (!extent.bounded) return true;
    if (extent.rect.isEmpty()) return false;
    const PLRect canvas = UTGeometry::normalized(group->convertRectToCell(extent.rect, nullptr));
    if (!isFiniteRect(canvas)) return true;
    // Room for the rounding between the group's space and the canvas: the extent only has to
    // hold every rectangle below it.
    const float slack = 0.01f
        + 1e-5f
            * std::max(
                {std::abs(canvas.minX()), std::abs(canvas.maxX()), std::abs(canvas.minY()), std::abs(canvas.maxY())});
    return canvas.minX() - slack <= area.maxX() && canvas.maxX() + slack >= area.minX()
        && canvas.minY() - slack <= area.maxY() && canvas.maxY() + slack >= area.minY();
}

// The boundaries, groups and boxes whose canvas rectangle the test accepts, as loadBranchGroup
// walks, visiting only the subtrees whose extent meets the area.
template <typename Accept>
void collectTreeCells(IXLayoutContext& context, TreeState& tree, const PLRect& area, Accept accept,
                      TreeCandidates& found)
{
    IXLayoutGroupCell* layer = context.branchLayer();
    if (!layer) return;
    const IXNode* filter = context.branchFilter().get();
    std::vector<std::pair<IXBranchGroupCell*, bool>> pending;
    for (const auto& cell : IXCellList(layer->cells())) {
        if (!cell->isVisible()) continue;
        auto* root = dynamic_cast<IXBranchGroupCell*>(cell.get());
        if (!root || !mayMeet(tree, root, area)) continue;
        pending.emplace_back(root, filter && root->node() != filter);
        while (!pending.empty()) {
            IXBranchGroupCell* group = pending.back().first;
            bool iterateOnly = pending.back().second;
            pending.pop_back();
            if (!group->isVisible()) continue;
            if (iterateOnly && group->node() == filter) iterateOnly = false;
            if (!iterateOnly) {
                if (IXBranchCell* box = group->branchCell(); box && accept(canvasRectOf(box)))
                    found.boxes.push_back(box);
                if (accept(canvasRectOf(group))) found.groups.push_back(group);
                if (IXLayoutCell* boundary = group->boundaryCell();
                    boundary && accept(canvasRectOf(boundary)) && group->hasBoundary())
                    found.boundaries.push_back(boundary);
            }
            if (group->cells().empty() || group->isCollapsed()) continue;
            // A copy: measuring an extent validates transforms, which may lay a group out.
            const IXCellList children = group->cells();
            for (auto it = children.rbegin(); it != children.rend(); ++it)
                if (auto* child = dynamic_cast<IXBranchGroupCell*>(it->get()); child && mayMeet(tree, child, area))
                    pending.emplace_back(child, iterateOnly);
        }
    }
}

// The draw order's cells but the selection outlines that meet the rectangle (canvas space):
// boundaries, the loose stack, the groups (their lines), the boxes.
std::vector<IXLayoutCell*> treeDrawCandidates(IXLayoutContext& context, TreeState& tree, LooseStack& loose,
                                              std::uint64_t generation, const PLRect& rect)
{
    std::vector<IXLayoutCell*> found;
    if (rect.isEmpty()) return found;
    tree.follow(generation);
    TreeCandidates cells;
    collectTreeCells(
        context, tree, rect, [&rect](const PLRect& r) { return r.intersects(rect); }, cells);
    indexLooseStack(loose, generation);
    found = std::move(cells.boundaries);
    for (std::uint32_t position : loose.index->positionsMeeting(rect)) found.push_back(loose.draw[position].get());
    found.insert(found.end(), cells.groups.begin(), cells.groups.end());
    found.insert(found.end(), cells.boxes.begin(), cells.boxes.end());
    return found;
}

// Makes the missing outlines of selected branches whose boxes lie near the area (canvas
// space), appended to the selection layer; whether any was made.
bool makeOutlinesNear(IXLayoutContext& context, TreeState& tree, std::uint64_t generation, const PLRect& area)
{
    IXLayoutGroupCell* layer = context.selectionLayer();
    IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory();
    if (!tree.outlinesOnDemand || !layer || !factory || area.isEmpty()) return false;
    tree.follow(generation);
    // An outline reaches 8 units past its box's rectangle rounded out to whole units.
    constexpr float Reach = 10;
    const PLRect near = area.insetBy(-Reach, -Reach);
    TreeCandidates found;
    collectTreeCells(
        context, tree, near, [&area](const PLRect& r) { return r.insetBy(-Reach, -Reach).intersects(area); }, found);
    bool made = false;
    for (IXLayoutCell* box : found.boxes) {
        IXNode* node = box->node();
        if (!node || !context.selection().containsNode(node) || !tree.outlinedBranches.insert(node).second) continue;
        if (std::shared_ptr<IXLayoutCell> cell = factory->makeSelectionCell(&context, layer, node)) {
            layer->addCell(cell);
            cell->performLayoutIfNeeded();
            made = true;
        }
    }
    return made;
}

// Makes every missing outline, the layer again in the selection's order, as made at once;
// whether anything changed.
bool makeAllOutlines(IXLayoutContext& context, TreeState& tree)
{
    IXLayoutGroupCell* layer = context.selectionLayer();
    if (!tree.outlinesOnDemand || !layer) return false;
    tree.outlinesOnDemand = false;
    tree.outlinedBranches.clear();
    tree.selectionOrder.clear();
    IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory();
    std::unordered_map<const IXNode*, std::shared_ptr<IXLayoutCell>> made;
    for (auto& cell : layer->takeAllCells()) made.try_emplace(cell->node(), std::move(cell));
    std::vector<IXLayoutCell*> fresh;
    for (const auto& node : context.selection().nodes()) {
        if (!node || node->isDocument()) continue;
        std::shared_ptr<IXLayoutCell> cell;
        if (const auto found = made.find(node.get()); found != made.end()) {
            cell = std::move(found->second);
            made.erase(found);
        } else if (factory && node->isBranch()) {
            cell = factory->makeSelectionCell(&context, layer, node.get());
            if (cell) fresh.push_back(cell.get());
        }
        if (cell) layer->addCell(cell);
    }
    for (auto& entry : made)
        if (entry.second) entry.second->invalidate();
    for (IXLayoutCell* cell : fresh) cell->performLayoutIfNeeded();
    return true;
}

// Outlines found, put in the selection's order (those made on demand join the layer in the
// order they came into sight).
void sortBySelectionOrder(TreeState* tree, const IXSelection& selection, std::vector<IXLayoutCell*>& outlines)
{
    if (outlines.size() < 2 || !tree || !tree->outlinesOnDemand) return;
    if (tree->selectionOrder.empty()) {
        const IXSelection::NodeList& nodes = selection.nodes();
        tree->selectionOrder.reserve(std::size_t(nodes.size()));
        for (qsizetype i = 0; i < nodes.size(); ++i) tree->selectionOrder.emplace(nodes[i].get(), std::uint32_t(i));
    }
    auto orderOf = [tree](IXLayoutCell* cell) {
        const auto found = tree->selectionOrder.find(cell->node());
        return found == tree->selectionOrder.end() ? std::numeric_limits<std::uint32_t>::max() : found->second;
    };
    std::stable_sort(outlines.begin(), outlines.end(),
                     [&](IXLayoutCell* a, IXLayoutCell* b) { return orderOf(a) < orderOf(b); });
}

IXCellList keptAlive(const std::vector<IXLayoutCell*>& cells)
{
    IXCellList kept;
    kept.reserve(cells.size());
    for (IXLayoutCell* cell : cells) kept.push_back(cell->shared_from_this());
    return kept;
}

}  // namespace

// --- Stacks ---

const IXLayoutContext::Stacks& IXLayoutContext::stacks()
{
    if (!m_stacks || m_stacks->kind != Stacks::Kind::Flat) reloadStacks();
    if (!m_selectionStack) reloadSelectionStack();
    return *m_stacks;
}

const IXCellList& IXLayoutContext::drawStack()
{
    // The whole stacks hold every outline.
    if (m_stacks && m_stacks->tree && makeAllOutlines(*this, *m_stacks->tree) && m_selectionStack)
        reloadSelectionStack();
    const Stacks& below = stacks();
    SelectionStack& selection = *m_selectionStack;
    if (selection.cells.empty()) return below.draw;
    if (!selection.draw) selection.draw = joined(below.draw, selection.cells);
    return *selection.draw;
}

const IXCellList& IXLayoutContext::hitStack()
{
    if (m_stacks && m_stacks->tree && makeAllOutlines(*this, *m_stacks->tree) && m_selectionStack)
        reloadSelectionStack();
    const Stacks& below = stacks();
    SelectionStack& selection = *m_selectionStack;
    if (selection.cells.empty()) return below.hit;
    if (!selection.hit) selection.hit = joined(below.hit, selection.cells);
    return *selection.hit;
}

void IXLayoutContext::invalidateDrawStack()
{
    // Callers iterating the stacks hold their own reference; the tree state goes on.
    std::shared_ptr<TreeState> tree = m_stacks ? m_stacks->tree : nullptr;
    m_stacks.reset();
    m_selectionStack.reset();
    if (tree) {
        m_stacks = std::make_shared<Stacks>();
        m_stacks->kind = Stacks::Kind::Unbuilt;
        m_stacks->tree = std::move(tree);
    }
    if (m_view) m_view->setNeedsDisplay();
}

void IXLayoutContext::invalidateSelectionStack()
{
    m_selectionStack.reset();
    if (m_view) m_view->setNeedsDisplay();
}

IXLayoutContext::StacksHold IXLayoutContext::holdStacks()
{
    if (!m_stacks || m_stacks->kind == Stacks::Kind::Unbuilt) {
        if (findsCellsByTree(*this)) {
            auto stacks = std::make_shared<Stacks>();
            stacks->kind = Stacks::Kind::Tree;
            if (m_stacks && m_stacks->tree) {
                stacks->tree = m_stacks->tree;
            } else {
                stacks->tree = std::make_shared<TreeState>();
                stacks->tree->knownGeneration = m_geometryGeneration;
            }
            stacks->loose.emplace(makeLooseStack(*this));
            m_stacks = std::move(stacks);
        } else {
            reloadStacks();
        }
    }
    if (!m_selectionStack) reloadSelectionStack();
    return {m_stacks, m_selectionStack};
}

bool IXLayoutContext::isSelectionCell(const IXLayoutCell* cell) const
{
    const IXLayoutCell* layer = m_selectionLayer.get();
    return layer && (cell == layer || cell->parent() == layer);
}

void IXLayoutContext::cellGeometryDidChange(IXLayoutCell* cell)
{
    if (isSelectionCell(cell)) {
        ++m_selectionGeometryGeneration;
        return;
    }
    ++m_geometryGeneration;
    if (!m_stacks || !m_stacks->tree) return;
    // The extents follow the cells' reports; a change of the generation made otherwise drops
    // them all.
    TreeState& tree = *m_stacks->tree;
    if (tree.knownGeneration + 1 == m_geometryGeneration) {
        tree.knownGeneration = m_geometryGeneration;
        dropExtents(tree, cell);
    } else {
        tree.follow(m_geometryGeneration);
    }
}

void IXLayoutContext::stackedCellWillInvalidate(IXLayoutCell* cell)
{
    if (m_selectionLayer && cell->parent() == m_selectionLayer.get()) {
        if (m_selectionStack) invalidateSelectionStack();
        return;
    }
    // A group that leaves takes its extent, and those above it, along.
    if (m_stacks && m_stacks->tree) dropExtents(*m_stacks->tree, cell);
    if (m_stacks && m_stacks->kind != Stacks::Kind::Unbuilt) invalidateDrawStack();
}

void IXLayoutContext::layerDidLayout(IXLayoutGroupCell* layer)
{
    // Laying out may build or drop cells (a branch group rebuilds, a connection finds its
    // ends); what the stacks list is read again on next use.
    if (layer == m_selectionLayer.get()) {
        if (m_selectionStack) invalidateSelectionStack();
    } else if (layer == m_branchLayer.get() || layer == m_floatingLayer.get() || layer == m_connectionLayer.get()) {
        if (m_stacks && m_stacks->kind != Stacks::Kind::Unbuilt) invalidateDrawStack();
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
    stacks->kind = Stacks::Kind::Flat;
    if (m_stacks) stacks->tree = m_stacks->tree;
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
    loadLooseCells(*this, buckets, filter, [&](IXLayoutCell* cell) { return buckets.holdsBranchCell(cell); });

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

// --- Selection outlines ---

void IXLayoutContext::reloadSelection()
{
    if (!buildsCells()) return;
    // Selection cells measure their targets.
    for (IXLayoutGroupCell* layer : {m_branchLayer.get(), m_floatingLayer.get(), m_connectionLayer.get()})
        if (layer) layer->performLayoutIfNeeded();
    if (m_selectionLayer)
        m_selectionLayer->removeAllCells();
    else
        m_selectionLayer = makeLayer();
    // A large selection of branches in a map layout gets their outlines as they come into
    // sight (makeOutlinesNear); the others' are made now.
    std::size_t branches = 0;
    for (const auto& node : m_selection.nodes())
        if (node && node->isBranch()) ++branches;
    const bool onDemand = branches > EagerOutlineLimit && findsCellsByTree(*this);
    if (onDemand && !m_stacks) {
        m_stacks = std::make_shared<Stacks>();
        m_stacks->kind = Stacks::Kind::Unbuilt;
    }
    if (onDemand && !m_stacks->tree) {
        m_stacks->tree = std::make_shared<TreeState>();
        m_stacks->tree->knownGeneration = m_geometryGeneration;
    }
    if (m_stacks && m_stacks->tree) {
        TreeState& tree = *m_stacks->tree;
        tree.outlinesOnDemand = onDemand;
        tree.outlinedBranches.clear();
        tree.selectionOrder.clear();
    }
    if (IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory()) {
        for (const auto& node : m_selection.nodes()) {
            if (!node || node->isDocument()) continue;
            if (onDemand && node->isBranch()) continue;
            if (std::shared_ptr<IXLayoutCell> cell
                = factory->makeSelectionCell(this, m_selectionLayer.get(), node.get()))
                m_selectionLayer->addCell(cell);
        }
    }
    if (m_selectionStack) invalidateSelectionStack();
    m_selectionLayer->invalidateLayout();
    m_reloads.postPerformLayout();
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
    std::vector<IXLayoutCell*> found;
    if (below.kind == Stacks::Kind::Tree) {
        found = treeDrawCandidates(*this, *below.tree, *below.loose, m_geometryGeneration, rect);
    } else {
        indexDrawStack(below);
        for (std::uint32_t position : below.drawIndex->positionsMeeting(rect))
            found.push_back(below.draw[position].get());
    }
    if (selection.cells.empty()) return found;
    if (!selection.index || selection.indexGeneration != m_selectionGeometryGeneration) {
        selection.index.emplace(canvasRects(selection.cells));
        selection.indexGeneration = m_selectionGeometryGeneration;
    }
    std::vector<IXLayoutCell*> outlines;
    for (std::uint32_t position : selection.index->positionsMeeting(rect))
        outlines.push_back(selection.cells[position].get());
    sortBySelectionOrder(below.tree.get(), m_selection, outlines);
    found.insert(found.end(), outlines.begin(), outlines.end());
    return found;
}

void IXLayoutContext::drawRect(PLGraphicsContext& graphics, const PLRect& rect)
{
    PL_ASSERT_PARAM(m_layoutNode, "_layoutNode");
    if (!m_view) performLayoutIfNeeded();
    if (m_stacks && m_stacks->tree
        && makeOutlinesNear(*this, *m_stacks->tree, m_geometryGeneration, UTGeometry::normalized(rect))
        && m_selectionStack)
        reloadSelectionStack();
    const StacksHold held = holdStacks();
    if (m_drawMask & IXDrawMaskBackground) drawBackgroundInRect(graphics, rect);
    const std::vector<IXLayoutCell*> cells = drawCandidates(held, UTGeometry::normalized(rect));
    const IXCellList kept = keptAlive(cells);
    for (IXLayoutCell* cell : cells)
        if (cell->context()) cell->display(graphics);
}

void IXLayoutContext::display(PLGraphicsContext& graphics)
{
    PL_ASSERT_PARAM(m_view, "_view");
    PL_ASSERT_PARAM(m_layoutNode, "_layoutNode");
    const PLRect visible = UTGeometry::normalized(m_coordinates.convertRectToCell(m_view->visibleRect(), nullptr));
    if (m_stacks && m_stacks->tree && makeOutlinesNear(*this, *m_stacks->tree, m_geometryGeneration, visible)
        && m_selectionStack)
        reloadSelectionStack();
    const StacksHold held = holdStacks();
    drawBackgroundInRect(graphics, m_coordinates.convertRectFromCell(m_canvasBounds, nullptr));
    const std::vector<IXLayoutCell*> cells = drawCandidates(held, visible);
    const IXCellList kept = keptAlive(cells);
    for (IXLayoutCell* cell : cells) {
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
    // The drawn cells but the selection outlines: their union is taken with the draw index,
    // in stack order (rarely asked: the flat stacks are made for it).
    stacks();
    const std::shared_ptr<Stacks> below = m_stacks;
    indexDrawStack(*below);
    return below->drawnBounds.integral();
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
    const PLRect rect = UTGeometry::normalized(m_coordinates.convertRectToCell(rectInView, nullptr));
    if (below.kind == Stacks::Kind::Tree) {
        HitCandidates found {treeDrawCandidates(*this, *below.tree, *below.loose, m_geometryGeneration, rect), nullptr,
                             nullptr};
        found.below = std::make_shared<IXCellList>(keptAlive(found.cells));
        return found;
    }
    indexDrawStack(below);
    HitCandidates found {{}, held.below, nullptr};
    for (std::uint32_t position : below.drawIndex->positionsMeeting(rect))
        found.cells.push_back(below.draw[position].get());
    return found;
}

IXLayoutContext::HitCandidates IXLayoutContext::hitCandidatesAt(PLPoint pointInView)
{
    const PLPoint p = m_coordinates.transViewToCanvas().transformPoint(pointInView);
    // The exact test happens in each cell's space; the slack covers the rounding between.
    const float slack = 0.01f + 1e-5f * (std::abs(p.x) + std::abs(p.y));
    const PLRect area(p.x - slack, p.y - slack, 2 * slack, 2 * slack);
    if (m_stacks && m_stacks->tree && makeOutlinesNear(*this, *m_stacks->tree, m_geometryGeneration, area)
        && m_selectionStack)
        reloadSelectionStack();
    const StacksHold held = holdStacks();
    Stacks& below = *held.below;
    SelectionStack& selection = *held.selection;
    std::vector<IXLayoutCell*> found;
    // From the top: the selection outlines, then the rest.
    if (!selection.cells.empty()) {
        if (!selection.index || selection.indexGeneration != m_selectionGeometryGeneration) {
            selection.index.emplace(canvasRects(selection.cells));
            selection.indexGeneration = m_selectionGeometryGeneration;
        }
        std::vector<IXLayoutCell*> outlines;
        for (std::uint32_t position : selection.index->positionsNear(p, slack))
            outlines.push_back(selection.cells[position].get());
        sortBySelectionOrder(below.tree.get(), m_selection, outlines);
        found.insert(found.end(), outlines.rbegin(), outlines.rend());
    }
    if (below.kind == Stacks::Kind::Tree) {
        TreeState& tree = *below.tree;
        tree.follow(m_geometryGeneration);
        // From the top: the boxes, the groups, then the hit part of the loose stack.
        TreeCandidates cells;
        collectTreeCells(
            *this, tree, area,
            [&](const PLRect& r) {
                return p.x >= r.minX() - slack && p.x <= r.maxX() + slack && p.y >= r.minY() - slack
                    && p.y <= r.maxY() + slack;
            },
            cells);
        found.insert(found.end(), cells.boxes.rbegin(), cells.boxes.rend());
        found.insert(found.end(), cells.groups.rbegin(), cells.groups.rend());
        LooseStack& loose = *below.loose;
        indexLooseStack(loose, m_geometryGeneration);
        const std::size_t firstHit = loose.draw.size() - loose.hitCount;
        const std::vector<std::uint32_t> positions = loose.index->positionsNear(p, slack);
        for (auto it = positions.rbegin(); it != positions.rend(); ++it)
            if (*it >= firstHit) found.push_back(loose.draw[*it].get());
        auto kept = std::make_shared<IXCellList>(keptAlive(found));
        return {std::move(found), std::move(kept), held.selection};
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

#include "MapLayout/IXLayoutContext.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFloatingReferenceNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXWindowControlling.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXConnectionCell.h"
#include "MapLayout/IXDocumentViewing.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContextObserver.h"
#include "MapLayout/IXLayoutGroupCell.h"
#include "MapLayout/IXLayoutModelObserver.h"
#include "MapLayout/IXLayoutView.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTimelineCell.h"
#include "MapLayout/IXTitlePremeasuring.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLLog.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

IXLayoutContext::IXLayoutContext(IXWindowControlling* controller, IXLayoutNode* layoutNode, IXLayoutView* view)
{
    PL_ASSERT_PARAM(controller, "controller");
    m_view = view;
    m_documentView = dynamic_cast<IXDocumentViewing*>(view);
    m_controller = controller;
    m_layoutNode = layoutNode;
    m_documentNode = controller->documentNode();
    if (layoutNode) m_styleSheet = layoutNode->styleSheet().get();
    else if (m_documentNode) m_styleSheet = m_documentNode->styleSheet().get();
    m_modelObserver = std::make_unique<IXLayoutModelObserver>(*this);
    if (m_documentNode) m_documentNode->addToObservers(m_modelObserver.get());
    m_broadcaster = std::make_unique<UTBroadcaster>();
    if (auto* observer = dynamic_cast<UTObserver*>(view)) m_broadcaster->addObserver(observer);
    if (auto* observer = dynamic_cast<UTObserver*>(controller)) m_broadcaster->addObserver(observer);
    m_drawMask = IXDrawMaskDefault;
    m_reloads.postReloadBranches();
    m_broadcaster->send(IXLayoutContextDidInit, this);
}

IXLayoutContext::~IXLayoutContext()
{
    if (m_controller) {
        // Released without invalidate: a programming error; ending it here keeps the document
        // and the run loop from calling a gone context.
        PLLog::write(QStringLiteral("Invalid parameter not satisfying: !_controller"));
        invalidate();
    }
}

void IXLayoutContext::invalidate()
{
    if (!m_controller) return;
    m_reloads.cancel();
    if (m_documentNode) m_documentNode->removeFromObservers(m_modelObserver.get());
    // The document stays alive until the cells are gone, so that they can still name their
    // nodes while they leave.
    std::shared_ptr<IXDocumentNode> document = std::move(m_documentNode);
    m_broadcaster->send(IXLayoutContextWillInvalidate, this);
    m_broadcaster.reset();
    for (IXLayoutGroupCell* layer : {m_branchLayer.get(), m_floatingLayer.get(), m_connectionLayer.get(),
                                     m_selectionLayer.get()})
        if (layer) layer->invalidate();
    m_cells.clear();
    if (m_timelineCell) m_timelineCell.reset();
    m_controller = nullptr;
    m_layoutNode = nullptr;
    m_documentView = nullptr;
    m_styleSheet = nullptr;
    m_selection = IXSelection();
    m_highlights = IXSelection();
    m_branchFilter.reset();
    m_stacks.reset();
    m_mouse.cellWillInvalidate(m_mouse.cellUnderMouse());
}

void IXLayoutContext::cellWillInvalidate(IXLayoutCell* cell)
{
    m_cells.forgetCell(cell);
    stackedCellWillInvalidate(cell);
    m_mouse.cellWillInvalidate(cell);
}

IXOpenDocument* IXLayoutContext::document() const
{
    return m_controller ? m_controller->document() : nullptr;
}

int IXLayoutContext::documentLayout() const
{
    return m_controller ? m_controller->documentLayout() : 0;
}

void IXLayoutContext::addObserver(UTObserver* observer)
{
    if (m_broadcaster) m_broadcaster->addObserver(observer);
}

void IXLayoutContext::removeObserver(UTObserver* observer)
{
    if (m_broadcaster) m_broadcaster->removeObserver(observer);
}

// --- Styles ---

std::shared_ptr<IXStyleNode> IXLayoutContext::styleForNode(IXNode* node) const
{
    PL_ASSERT_PARAM(m_styleSheet, "_styleSheet");
    return m_styleSheet->styleForNode(node);
}

std::shared_ptr<const IXStyleNode> IXLayoutContext::styleForReading(IXNode* node) const
{
    PL_ASSERT_PARAM(m_styleSheet, "_styleSheet");
    return m_styleSheet->styleForReading(node);
}

// --- State ---

void IXLayoutContext::setSelection(const IXSelection& selection)
{
    if (selection.isIdenticalTo(m_selection)) return;
    if (m_broadcaster)
        m_broadcaster->send(IXLayoutContextWillChangeSelection, this, m_selection);
    m_selection = selection;
    // Marked first: an observer laying out at once (the view, to show the selection) then
    // draws the new outlines in the same pass.
    m_reloads.postReloadSelection();
    if (m_broadcaster) m_broadcaster->send(IXLayoutContextDidChangeSelection, this, m_selection);
}

void IXLayoutContext::setHighlights(const IXSelection& highlights)
{
    if (highlights.isIdenticalTo(m_highlights)) return;
    if (m_broadcaster)
        m_broadcaster->send(IXLayoutContextWillChangeHighlights, this, m_highlights);
    m_highlights = highlights;
    if (m_broadcaster)
        m_broadcaster->send(IXLayoutContextDidChangeHighlights, this, m_highlights);
}

void IXLayoutContext::setBranchFilter(const std::shared_ptr<IXBranchNode>& filter)
{
    if (filter == m_branchFilter) return;
    if (m_broadcaster)
        m_broadcaster->send(IXLayoutContextWillChangeFilter, this, m_branchFilter);
    m_branchFilter = filter;
    if (m_timelineLayout) m_reloads.postReloadBranches();
    else invalidateDrawStack();
    if (m_broadcaster)
        m_broadcaster->send(IXLayoutContextDidChangeFilter, this, m_branchFilter);
}

void IXLayoutContext::setDrawMask(std::int32_t mask)
{
    if (mask == m_drawMask) return;
    m_drawMask = mask;
    m_reloads.postReloadBranches();
}

void IXLayoutContext::setDetailLevel(int level)
{
    if (m_branchFilter) {
        setDetailLevelForBranch(level, m_branchFilter.get());
        return;
    }
    if (!m_documentNode) return;
    for (const auto& root : IXDocumentNode::NodeList(m_documentNode->rootBranches()))
        if (auto* branch = dynamic_cast<IXBranchNode*>(root.get())) setDetailLevelForBranch(level, branch);
}

void IXLayoutContext::setDetailLevelForBranch(int level, IXBranchNode* branch)
{
    if (!branch) return;
    if (level <= 0) branch->setCollapsed(false, true);
    else collapseBranch(branch, level);
}

void IXLayoutContext::collapseBranch(IXBranchNode* branch, int level)
{
    // Depth first, parents before children, without recursion: maps may be deep.
    std::vector<std::pair<std::shared_ptr<IXBranchNode>, int>> pending;
    pending.emplace_back(std::static_pointer_cast<IXBranchNode>(branch->shared_from_this()), level);
    while (!pending.empty()) {
        auto [current, currentLevel] = std::move(pending.back());
        pending.pop_back();
        if (currentLevel < 1) {
            current->setCollapsed(true, false);
            continue;
        }
        current->setCollapsed(false, false);
        const auto& children = current->branches();
        for (auto it = children.rbegin(); it != children.rend(); ++it) pending.emplace_back(*it, currentLevel - 1);
    }
}

// --- Layout ---

bool IXLayoutContext::needsLayout() const
{
    if (m_reloads.hasPendingLayers()) return true;
    if (!m_layoutNode || m_layoutNode->layoutName() == IXLayoutOutlineName) return false;
    for (IXLayoutGroupCell* layer : {m_branchLayer.get(), m_floatingLayer.get(), m_connectionLayer.get(),
                                     m_selectionLayer.get()})
        if (layer && layer->needsLayout()) return true;
    return false;
}

void IXLayoutContext::performLayoutIfNeeded()
{
    if (m_layoutNode && needsLayout()) performLayout();
}

void IXLayoutContext::performLayout()
{
    PL_ASSERT_PARAM(m_layoutNode, "_layoutNode");
    auto invalidateLayers = [](std::initializer_list<IXLayoutGroupCell*> layers) {
        for (IXLayoutGroupCell* layer : layers)
            if (layer) layer->invalidateLayout();
    };
    using Layer = IXLayoutReloadScheduler::Layer;
    // Every title is new to its cell after a reload: measured on other cores while the cells
    // are built (the timeline's cells measure their own).
    std::optional<IXTitlePremeasuring> titles;
    const bool allBranches = m_reloads.takePending(Layer::Branches);
    const bool rootBranches = m_reloads.takePending(Layer::RootBranches);
    if (allBranches || rootBranches) {
        m_reloads.markPending(Layer::Selection);
        // Only the roots that get a group of their own are new to their cells.
        const bool keepsRoots = !allBranches && keepsRootGroups();
        if (buildsCells() && m_layoutNode->layoutName() != IXLayoutTimelineName)
            titles.emplace(this, keepsRoots ? IXTitlePremeasuring::NewRootsOnly : IXTitlePremeasuring::AllRoots);
        if (keepsRoots)
            reloadRootBranches();
        else
            reloadBranches();
    }
    if (m_branchLayer && m_branchLayer->needsLayout()) {
        m_branchLayer->performLayout();
        invalidateLayers({m_floatingLayer.get(), m_connectionLayer.get(), m_selectionLayer.get()});
    }
    titles.reset();
    if (m_reloads.takePending(Layer::Floatings)) {
        m_reloads.markPending(Layer::Connections | Layer::Selection);
        reloadFloatings();
    }
    if (m_floatingLayer && m_floatingLayer->needsLayout()) {
        m_floatingLayer->performLayout();
        invalidateLayers({m_connectionLayer.get(), m_selectionLayer.get()});
    }
    if (m_reloads.takePending(Layer::Connections)) {
        m_reloads.markPending(Layer::Selection);
        reloadConnections();
    }
    if (m_connectionLayer && m_connectionLayer->needsLayout()) {
        m_connectionLayer->performLayout();
        invalidateLayers({m_selectionLayer.get()});
    }
    if (m_reloads.takePending(Layer::Selection)) reloadSelection();
    if (m_selectionLayer && m_selectionLayer->needsLayout()) m_selectionLayer->performLayout();
    m_reloads.reloadDone();
    // The stacks went with the layers that were laid out (layerDidLayout).
    if (m_view) m_view->setNeedsDisplay();
    autosizeCanvas();
    if (m_broadcaster)
        m_broadcaster->send(IXLayoutContextDidLayout, this);
}

void IXLayoutContext::layoutGroupDidLayout(IXLayoutGroupCell* group)
{
    layerDidLayout(group);
    auto invalidateLayers = [](std::initializer_list<IXLayoutGroupCell*> layers) {
        for (IXLayoutGroupCell* layer : layers)
            if (layer) layer->invalidateLayout();
    };
    if (group == m_branchLayer.get()) {
        invalidateLayers({m_floatingLayer.get(), m_connectionLayer.get(), m_selectionLayer.get()});
    } else if (group == m_floatingLayer.get()) {
        invalidateLayers({m_connectionLayer.get(), m_selectionLayer.get()});
    } else if (group == m_connectionLayer.get()) {
        if (m_floatingLayer) m_floatingLayer->calculateBounds();
        invalidateLayers({m_selectionLayer.get()});
    }
}

bool IXLayoutContext::buildsCells() const
{
    // The outline shows the document in a view of its own; no cells.
    return m_layoutNode && m_documentNode && m_layoutNode->layoutName() != IXLayoutOutlineName;
}

std::shared_ptr<IXLayoutGroupCell> IXLayoutContext::makeLayer()
{
    return std::make_shared<IXLayoutGroupCell>(this, nullptr, nullptr);
}

void IXLayoutContext::reloadBranches()
{
    if (!buildsCells()) return;
    if (!m_branchLayer) m_branchLayer = makeLayer();
    m_timelineLayout = m_layoutNode->layoutName() == IXLayoutTimelineName;
    if (m_timelineLayout) {
        if (m_timelineCell) {
            m_timelineCell->reloadBranches();
        } else if (IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory()) {
            m_timelineCell = factory->makeTimelineCell(this, m_branchLayer.get(), m_documentNode.get());
            if (m_timelineCell) m_branchLayer->addCell(m_timelineCell);
        }
    } else {
        reloadMindMapView();
    }
    m_branchLayer->invalidateLayout();
}

int IXLayoutContext::mindMapLayoutType() const
{
    const QString& name = m_layoutNode->layoutName();
    if (name == IXLayoutMindMapName) return 1;
    if (name == IXLayoutTopDownName) return 4;
    if (name == IXLayoutLeftRightName)
        return styleForReading(m_documentNode.get())->documentLayoutOrientation() != 0 ? 3 : 2;
    return 0;
}

void IXLayoutContext::reloadMindMapView()
{
    PL_ASSERT_PARAM(m_layoutNode, "_layoutNode");
    const int layoutType = mindMapLayoutType();
    m_branchLayer->removeAllCells();
    IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory();
    if (!factory) return;
    for (const auto& root : IXDocumentNode::NodeList(m_documentNode->rootBranches())) {
        std::shared_ptr<IXBranchGroupCell> group = factory->makeBranchGroupCell(this, m_branchLayer.get(), root.get());
        if (!group) continue;
        group->setLayoutType(layoutType);
        m_branchLayer->addCell(group);
        m_cells.setCellForNode(group, root.get());
        group->reloadBranches();
    }
}

bool IXLayoutContext::keepsRootGroups() const
{
    // A timeline lays its branches out as one; a context that never built has nothing to keep.
    return buildsCells() && m_branchLayer && !m_timelineLayout && m_layoutNode->layoutName() != IXLayoutTimelineName;
}

void IXLayoutContext::reloadRootBranches()
{
    PL_ASSERT_PARAM(m_layoutNode, "_layoutNode");
    // The roots still listed keep their groups, laid out as they were; the others go and the
    // new ones are built. Anything unusual (a root listed twice, a layer cell that is no
    // root's group) takes the full rebuild.
    const IXDocumentNode::NodeList roots = m_documentNode->rootBranches();
    IXCellList previous = m_branchLayer->takeAllCells();
    std::unordered_map<const IXNode*, std::shared_ptr<IXLayoutCell>> kept;
    kept.reserve(previous.size());
    bool usual = true;
    for (auto& cell : previous) {
        IXNode* node = cell->node();
        if (!node || !dynamic_cast<IXBranchGroupCell*>(cell.get()) || !kept.try_emplace(node, cell).second)
            usual = false;
    }
    std::unordered_set<const IXNode*> listed;
    listed.reserve(size_t(roots.size()));
    for (const auto& root : roots)
        if (!listed.insert(root.get()).second) usual = false;
    IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory();
    if (!usual || !factory) {
        for (const auto& cell : previous) m_branchLayer->addCell(cell);
        reloadBranches();
        return;
    }
    previous.clear();
    const int layoutType = mindMapLayoutType();
    for (const auto& root : roots) {
        // A root that spent the turn elsewhere had cells built there: its group is stale.
        if (auto found = kept.find(root.get());
            found != kept.end() && m_cells.namedCell(root.get()) == found->second.get()) {
            m_branchLayer->addCell(found->second);
            kept.erase(found);
            continue;
        }
        std::shared_ptr<IXBranchGroupCell> group = factory->makeBranchGroupCell(this, m_branchLayer.get(), root.get());
        if (!group) continue;
        group->setLayoutType(layoutType);
        m_branchLayer->addCell(group);
        m_cells.setCellForNode(group, root.get());
        group->reloadBranches();
    }
    for (const auto& [node, cell] : kept) cell->invalidate();
    // The layer unites its groups' bounds again; the kept groups stay laid out.
    m_branchLayer->IXLayoutCell::invalidateLayout();
}

void IXLayoutContext::reloadFloatings()
{
    if (!buildsCells()) return;
    if (m_floatingLayer) m_floatingLayer->removeAllCells();
    else m_floatingLayer = makeLayer();
    // Connection cells point at the floating cells that are about to go.
    if (m_connectionLayer) m_connectionLayer->removeAllCells();
    else m_connectionLayer = makeLayer();
    if (IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory()) {
        for (const auto& picture : IXDocumentNode::NodeList(m_documentNode->pictures())) {
            std::shared_ptr<IXLayoutCell> cell = factory->makePictureCell(this, m_floatingLayer.get(), picture.get());
            if (!cell) continue;
            m_floatingLayer->addCell(cell);
            m_cells.setCellForNode(cell, picture.get());
        }
        for (const auto& comment : IXDocumentNode::NodeList(m_documentNode->comments())) {
            std::shared_ptr<IXLayoutCell> cell = factory->makeTextCell(this, m_floatingLayer.get(), comment.get());
            if (!cell) continue;
            m_floatingLayer->addCell(cell);
            m_cells.setCellForNode(cell, comment.get());
        }
    }
    m_floatingLayer->invalidateLayout();
    m_connectionLayer->invalidateLayout();
}

void IXLayoutContext::reloadConnections()
{
    if (!buildsCells()) return;
    if (m_connectionLayer) m_connectionLayer->removeAllCells();
    else m_connectionLayer = makeLayer();
    if (IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory()) {
        auto addConnection = [&](const std::shared_ptr<IXConnectionNode>& connection) {
            if (!connection) return;
            std::shared_ptr<IXLayoutCell> cell = factory->makeConnectionCell(this, m_connectionLayer.get(), connection.get());
            if (!cell) return;
            m_connectionLayer->addCell(cell);
            m_cells.setCellForNode(cell, connection.get());
        };
        for (const IXDocumentNode::NodeList* floatings : {&m_documentNode->pictures(), &m_documentNode->comments()}) {
            for (const auto& node : IXDocumentNode::NodeList(*floatings)) {
                if (!node->floatingTargetNode()) continue;
                if (auto* floating = dynamic_cast<IXFloatingReferenceNode*>(node.get())) addConnection(floating->connection());
            }
        }
        // A map without connections is not walked branch by branch.
        const IXDocumentNode::NodeList roots
            = m_documentNode->hasConnections() ? m_documentNode->rootBranches() : IXDocumentNode::NodeList();
        for (const auto& root : roots) {
            // Depth first, parents before children, in sub-branch order; no recursion.
            std::vector<IXBranchNode*> pending;
            if (auto* branch = dynamic_cast<IXBranchNode*>(root.get())) pending.push_back(branch);
            while (!pending.empty()) {
                IXBranchNode* branch = pending.back();
                pending.pop_back();
                for (const auto& connection : branch->connections()) addConnection(connection);
                const auto& children = branch->branches();
                for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(it->get());
            }
        }
    }
    m_connectionLayer->invalidateLayout();
}

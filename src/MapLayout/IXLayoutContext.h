#pragma once

#include "DocumentModel/IXSelection.h"
#include "MapLayout/IXLayoutCell.h"
#include "MapLayout/IXLayoutCellRegistry.h"
#include "MapLayout/IXLayoutCoordinates.h"
#include "MapLayout/IXLayoutMouseRouting.h"
#include "MapLayout/IXLayoutReloadScheduler.h"
#include "Platform/Drawing/PLRect.h"
#include "Utilities/UTBroadcaster.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class IXBranchCell;
class IXBranchGroupCell;
class IXBranchNode;
class IXDocumentNode;
class IXDocumentViewing;
class IXLayoutCellFactory;
class IXLayoutCellIndex;
class IXLayoutGroupCell;
class IXLayoutModelObserver;
class IXLayoutNode;
class IXLayoutView;
class IXNode;
class IXOpenDocument;
class IXStyleNode;
class IXStyleSheetNode;
class IXTimelineCell;
class IXWindowControlling;
class PLGraphicsContext;

// Which kinds of cell a context draws (and hits).
enum IXDrawMask : std::int32_t {
    IXDrawMaskBackground = 1,
    IXDrawMaskFloatings = 2,
    IXDrawMaskBranchConnections = 4,
    IXDrawMaskObjectIndicators = 8,
    IXDrawMaskCommentIndicators = 16,
    IXDrawMaskSelection = 32,
    IXDrawMaskDefault = 0x7fffffff,
};

// One document shown in one named layout: a tree of cells in four layers (1 branches or the
// timeline, 2 floating pictures and texts, 3 connections, 4 selection outlines), kept in step
// with the model, laid out lazily, drawn and hit-tested through flattened stacks, with the
// per-view state that cells consult (selection, highlights, branch filter, draw mask, flags).
//
// Every map view, print view and picture export owns one context; a context with a view
// redraws it and routes its mouse events, one without (off-screen) is drawn by its caller.
//
// The context hands out the parts that carry one role each: cells() finds cells by node,
// coordinates() converts between view, canvas and cell spaces, reloads() schedules the
// rebuilds and layouts that model notices ask for (an IXLayoutModelObserver of its own hears
// them), and mouse() routes mouse events and answers point queries.
//
// Ownership: the owner calls invalidate() before releasing the context (a context released
// without it logs the programming error and invalidates itself). The context keeps the
// document node alive; controller, view and layout node are not owned. Cells come from the
// installed IXLayoutCellFactory. Main thread only.
class IXLayoutContext {
public:
    // The controller is required ("controller"); the layout node may be null (the context
    // then builds nothing and uses the document's sheet); the view may be null (off-screen).
    IXLayoutContext(IXWindowControlling* controller, IXLayoutNode* layoutNode, IXLayoutView* view = nullptr);
    ~IXLayoutContext();
    IXLayoutContext(const IXLayoutContext&) = delete;
    IXLayoutContext& operator=(const IXLayoutContext&) = delete;

    void invalidate();
    // Every cell calls this as it is invalidated.
    void cellWillInvalidate(IXLayoutCell* cell);

    // --- Roles ---
    IXLayoutCellRegistry& cells() { return m_cells; }
    const IXLayoutCellRegistry& cells() const { return m_cells; }
    IXLayoutCoordinates& coordinates() { return m_coordinates; }
    IXLayoutReloadScheduler& reloads() { return m_reloads; }
    IXLayoutMouseRouting& mouse() { return m_mouse; }

    // --- Accessors ---
    IXLayoutView* view() const { return m_view; }
    IXDocumentViewing* documentView() const { return m_documentView; }
    IXWindowControlling* controller() const { return m_controller; }
    IXLayoutNode* layoutNode() const { return m_layoutNode; }
    IXDocumentNode* documentNode() const { return m_documentNode.get(); }
    IXOpenDocument* document() const;
    bool isTimelineLayout() const { return m_timelineLayout; }
    IXTimelineCell* timelineCell() const { return m_timelineCell.get(); }
    bool isWindowsCompatibleLayout() const { return m_windowsCompatible; }
    void setWindowsCompatibleLayout(bool flag) { m_windowsCompatible = flag; }
    bool showSpelling() const { return m_showSpelling; }
    void setShowSpelling(bool flag) { m_showSpelling = flag; }
    bool fixAntialiasing() const { return m_fixAntialiasing; }
    void setFixAntialiasing(bool flag) { m_fixAntialiasing = flag; }
    const IXSelection& selection() const { return m_selection; }
    const IXSelection& highlights() const { return m_highlights; }
    const std::shared_ptr<IXBranchNode>& branchFilter() const { return m_branchFilter; }
    std::int32_t drawMask() const { return m_drawMask; }
    // The window's view mode as the controller gives it (0 mind map ... 9 print).
    int documentLayout() const;
    // The layers (null until their first reload).
    IXLayoutGroupCell* branchLayer() const { return m_branchLayer.get(); }
    IXLayoutGroupCell* floatingLayer() const { return m_floatingLayer.get(); }
    IXLayoutGroupCell* connectionLayer() const { return m_connectionLayer.get(); }
    IXLayoutGroupCell* selectionLayer() const { return m_selectionLayer.get(); }

    // --- Observers ---
    void addObserver(UTObserver* observer);
    void removeObserver(UTObserver* observer);

    // --- Styles ---
    // The node's own style in the layout's sheet, made on first request: the one to set
    // attributes on ("_styleSheet" is required).
    std::shared_ptr<IXStyleNode> styleForNode(IXNode* node) const;
    // The node's computed style in the layout's sheet, for reading: it makes no style
    // (IXStyleSheetNode::styleForReading; "_styleSheet" is required).
    std::shared_ptr<const IXStyleNode> styleForReading(IXNode* node) const;

    // --- State ---
    void setSelection(const IXSelection& selection);
    void setHighlights(const IXSelection& highlights);
    void setBranchFilter(const std::shared_ptr<IXBranchNode>& filter);
    void setDrawMask(std::int32_t mask);
    // Level 0 or less expands everything; level N keeps N generations open and collapses the
    // next, for the filter's subtree or else every root branch.
    void setDetailLevel(int level);
    void setDetailLevelForBranch(int level, IXBranchNode* branch);

    // --- Layout (scheduled by reloads()) ---
    bool needsLayout() const;
    void performLayoutIfNeeded();
    void performLayout();
    void layoutGroupDidLayout(IXLayoutGroupCell* group);
    void reloadBranches();
    void reloadFloatings();
    void reloadConnections();
    void reloadSelection();

    // --- Stacks and drawing ---
    // Back to front, and bottom to top; rebuilt when missing. Valid until invalidateDrawStack
    // or a change of selection. The selection outlines on top are kept apart and rebuilt on
    // their own when the selection changes; the cells below are kept until cells come or go.
    const IXCellList& drawStack();
    const IXCellList& hitStack();
    void invalidateDrawStack();
    void reloadStacks();
    // Off-screen drawing of the canvas rectangle (canvas and view space coincide).
    void drawRect(PLGraphicsContext& graphics, const PLRect& rect);
    // On-screen drawing from the hosting view's paint, of the cells the view needs drawn.
    void display(PLGraphicsContext& graphics);
    void drawBackgroundInRect(PLGraphicsContext& graphics, const PLRect& rect);

    // --- Canvas ---
    PLRect cellsBounds();
    PLRect visibleCellsBounds();
    PLRect canvasBounds() const { return m_canvasBounds; }
    void disableCanvasAutosize();
    void enableCanvasAutosize();
    void autosizeCanvas();
    // The screen the canvas is sized against: the view's, else the main screen.
    PLSize screenSize() const;

    // --- Geometry ---
    // Cells call this when their frame, bounds or transforms change, so that the look-up of
    // cells by rectangle is rebuilt before it is used again (only the selection's, when a
    // selection outline moved). Without the cell, every look-up is rebuilt.
    void cellGeometryDidChange(IXLayoutCell* cell);
    void cellGeometryDidChange()
    {
        ++m_geometryGeneration;
        ++m_selectionGeometryGeneration;
    }

    // --- Hit candidates ---
    // The hit stack's cells whose bounds may hold the point (view space), from the top. The
    // stacks they come from stay alive with the list while a caller works through it.
    struct HitCandidates {
        std::vector<IXLayoutCell*> cells;
        std::shared_ptr<const void> below;
        std::shared_ptr<const void> selection;
    };
    HitCandidates hitCandidatesAt(PLPoint pointInView);
    // The draw stack's cells, without the selection outlines, whose bounds may meet the
    // rectangle (view space), in stack order: what a rubber band over the rectangle may touch.
    HitCandidates drawCandidatesInRect(const PLRect& rectInView);

private:
    struct Stacks;
    struct SelectionStack;

    bool buildsCells() const;
    std::shared_ptr<IXLayoutGroupCell> makeLayer();
    void reloadMindMapView();
    // The group layout type of the roots in this layout.
    int mindMapLayoutType() const;
    // Whether a change of the root list alone may keep the groups of the roots that stay,
    // and that reload (reloadBranches when it cannot).
    bool keepsRootGroups() const;
    void reloadRootBranches();
    void reloadBranchConnections(IXBranchNode* root, IXLayoutCellFactory* factory);
    void collapseBranch(IXBranchNode* branch, int level);
    const Stacks& stacks();
    // Keeps the stacks' cells while a caller works through them (the stacks may be dropped).
    struct StacksHold {
        std::shared_ptr<Stacks> below;
        std::shared_ptr<SelectionStack> selection;
    };
    StacksHold holdStacks();
    // Indexes the draw stack's cells (and takes their union) unless done since they moved.
    void indexDrawStack(Stacks& below);
    void reloadSelectionStack();
    void invalidateSelectionStack();
    bool isSelectionCell(const IXLayoutCell* cell) const;
    void stackedCellWillInvalidate(IXLayoutCell* cell);
    // A layer laid out: its cells may have come or gone.
    void layerDidLayout(IXLayoutGroupCell* layer);
    // The held draw stack's cells whose canvas rectangles meet the rectangle (canvas space),
    // in stack order.
    std::vector<IXLayoutCell*> drawCandidates(const StacksHold& held, const PLRect& rect);

    IXLayoutCellRegistry m_cells;
    IXLayoutCoordinates m_coordinates{*this};
    IXLayoutReloadScheduler m_reloads{*this};
    IXLayoutMouseRouting m_mouse{*this};
    std::unique_ptr<IXLayoutModelObserver> m_modelObserver;
    std::unique_ptr<UTBroadcaster> m_broadcaster;
    IXLayoutView* m_view = nullptr;
    IXWindowControlling* m_controller = nullptr;
    IXLayoutNode* m_layoutNode = nullptr;
    IXDocumentViewing* m_documentView = nullptr;
    bool m_timelineLayout = false;
    std::shared_ptr<IXTimelineCell> m_timelineCell;
    bool m_windowsCompatible = false;
    bool m_showSpelling = false;
    bool m_fixAntialiasing = false;
    std::shared_ptr<IXDocumentNode> m_documentNode;
    IXStyleSheetNode* m_styleSheet = nullptr;
    std::shared_ptr<IXLayoutGroupCell> m_branchLayer;
    std::shared_ptr<IXLayoutGroupCell> m_floatingLayer;
    std::shared_ptr<IXLayoutGroupCell> m_connectionLayer;
    std::shared_ptr<IXLayoutGroupCell> m_selectionLayer;
    std::int32_t m_canvasAutosizeDisableCount = 0;
    PLRect m_canvasBounds;
    IXSelection m_selection;
    IXSelection m_highlights;
    std::shared_ptr<IXBranchNode> m_branchFilter;
    // Shared so that a caller iterating the stacks keeps them while they are dropped.
    std::shared_ptr<Stacks> m_stacks;
    std::shared_ptr<SelectionStack> m_selectionStack;
    std::int32_t m_drawMask = IXDrawMaskDefault;
    std::uint64_t m_geometryGeneration = 0;
    std::uint64_t m_selectionGeometryGeneration = 0;
};

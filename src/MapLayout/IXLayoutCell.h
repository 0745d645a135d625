#pragma once

#include "Platform/Drawing/PLAffineTransform.h"
#include "Platform/Drawing/PLRect.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class IXLayoutCell;
class IXLayoutContext;
class IXNode;
class IXStyleNode;
class PLGraphicsContext;
class PLMouseEvent;

using IXCellList = std::vector<std::shared_ptr<IXLayoutCell>>;

// One element of a map canvas: a branch group, a branch box, a text, a picture, a connection,
// a selection outline, a layer. A cell has a frame in its parent's space and bounds in its
// own; its layout is computed lazily and its transforms to the canvas are cached.
//
// Ownership: cells live in std::shared_ptr; a group owns its children, the context owns its
// layers and its node look-up holds the cells it names. Context, parent and node are plain
// back links (the node link is weak, so a cell never reads a released node). A cell must be
// invalidated before it is released: invalidate() tells the parent and the context, which
// forget it, and clears the three links. A cell released without it logs the programming
// error and unregisters itself.
//
// Layout protocol: invalidateLayout marks the cell and every ancestor up to its layer invalid
// (stopping at the first one already invalid) and the groups on the way ask the context for a
// deferred layout; performLayout starts at the outermost invalid cell, which lays out its
// children. frame() and bounds() lay out first when invalid; origin() does not.
//
// Spaces: the canvas is the local space of the context's layers; a cell's transforms map its
// own space to the canvas and back (its frame's origin, minus its bounds' origin, scaled when
// bounds and frame differ in size). A cell whose frame or bounds change invalidates only its
// own transforms: each cell remembers which of its parent's transforms it was computed from
// and computes again, on its next use, when that one was replaced. Moving a group thus costs
// nothing for the cells below it until they are asked.
//
// Kept aside: a group may keep children that it does not show (those of a collapsed branch)
// with their layout, to show them again cheaply. They keep their links and hear their nodes'
// changes, but the context's look-ups by node pass them by.
//
// Main thread only.
class IXLayoutCell : public std::enable_shared_from_this<IXLayoutCell> {
public:
    IXLayoutCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node);
    virtual ~IXLayoutCell();
    IXLayoutCell(const IXLayoutCell&) = delete;
    IXLayoutCell& operator=(const IXLayoutCell&) = delete;

    // Text for debugging: the class, the node, frame and bounds, and the bounds in canvas and
    // view space when known.
    virtual QString description();

    // Ends the cell: parent and context are told (cellWillInvalidate) and the links cleared.
    virtual void invalidate();
    virtual void cellWillInvalidate(IXLayoutCell* cell) {}

    IXLayoutContext* context() const { return m_context; }
    IXLayoutCell* parent() const { return m_parent; }
    // Null for layers, and once the node is gone.
    IXNode* node() const;
    // The node the cell was made for, even once it is gone (never to be followed): the key
    // the context names the cell by.
    const IXNode* nodeKey() const { return m_node; }

    // --- Geometry ---
    PLRect frame();
    PLRect bounds();
    PLPoint origin() const { return m_frame.origin; }
    // Moves the cell within its parent; bounds and layout state stay.
    void setOrigin(PLPoint origin);
    // Sets the frame and makes the bounds (0, 0) and the frame's size; marks the layout valid.
    void setFrame(const PLRect& frame);

    // --- Layout ---
    virtual void invalidateLayoutForCell(IXLayoutCell* cell);
    virtual void invalidateLayout();
    bool needsLayout() const { return !m_hasValidLayout; }
    void performLayoutIfNeeded();
    virtual void performLayout();
    // Subclasses compute their frame and their children here.
    virtual void layout() {}

    // --- Kept aside ---
    void setKeptAside(bool aside) { m_keptAside = aside; }
    // Whether the cell or one of its ancestors is kept aside by its group.
    bool isKeptAside() const;

    // --- Transforms and conversions ---
    // The frame or bounds changed: the cell's own transforms are computed again on next use
    // (and, through it, those of the cells below it).
    void invalidateTransform();
    const PLAffineTransform& transLocalToCanvas();
    const PLAffineTransform& transCanvasToLocal();
    // Whether the cell's own transforms were computed since its frame or bounds last changed
    // (its ancestors may have moved since).
    bool hasValidTransform() const { return m_hasValidTransform; }

    // A value in this cell's space into another cell's space (null: the canvas), and back.
    // A rectangle converts its origin as a point and its size as a size.
    PLPoint convertPointToCell(PLPoint point, IXLayoutCell* cell);
    PLSize convertSizeToCell(PLSize size, IXLayoutCell* cell);
    PLRect convertRectToCell(const PLRect& rect, IXLayoutCell* cell);
    PLPoint convertPointFromCell(PLPoint point, IXLayoutCell* cell);
    PLSize convertSizeFromCell(PLSize size, IXLayoutCell* cell);
    PLRect convertRectFromCell(const PLRect& rect, IXLayoutCell* cell);
    // How large one unit of the view is in this cell's space (hairlines and handles use it).
    PLSize currentPixelSize();
    // The union of the cells' frames; empty frames add nothing.
    static PLRect unionRectForCells(const IXCellList& cells);

    // Asks the hosting view to redraw the cell, when it is laid out and visible there.
    void setNeedsDisplay();

    // --- Context state ---
    // The node's own style in the layout's sheet, made on first request: the one to set
    // attributes on (IXLayoutContext::styleForNode).
    std::shared_ptr<IXStyleNode> style();
    // The node's style for reading, which makes none (IXLayoutContext::styleForReading).
    std::shared_ptr<const IXStyleNode> styleForReading();
    virtual bool isVisible() { return true; }
    bool isSelected();
    bool isHighlighted();

    // --- Drawing and mouse ---
    // Draws the cell in its own space (the context's canvas-to-view transform, then the
    // cell's own, around draw).
    virtual void display(PLGraphicsContext& graphics);
    virtual void draw(PLGraphicsContext& graphics) {}
    // Whether the point (in the cell's space) hits the cell. Only points inside the bounds
    // can hit: the context looks up candidates by their bounds.
    virtual bool hitTest(PLPoint point) { return false; }
    // Whether the cell took the mouse-down.
    virtual bool trackMouse(const PLMouseEvent& event) { return false; }
    virtual bool acceptsMouseMoves(const PLMouseEvent& event) { return false; }
    virtual void mouseMoved(const PLMouseEvent& event) {}
    virtual void mouseEntered(const PLMouseEvent& event) {}
    virtual void mouseExited(const PLMouseEvent& event) {}

protected:
    // For cells that size themselves: the bounds become (0, 0, size) and the frame takes the
    // size, keeping its origin; the transforms are invalidated when anything changed.
    void setLayoutSize(PLSize size);

    // Subclasses that size themselves set these directly (with invalidateTransform when the
    // frame or bounds change).
    PLRect m_frame;
    PLRect m_bounds;
    bool m_hasValidLayout = false;
    // 0 outside layout; the number of the pass while one runs.
    std::uint8_t m_layoutInProgress = 0;

private:
    // Brings the transforms of the cell and of its ancestors up to date.
    void validateTransform();
    bool isTransformCurrent() const;
    // The cell's own transforms from its parent's current ones.
    void calculateTransform();

    IXLayoutContext* m_context;
    IXLayoutCell* m_parent;
    IXNode* m_node;
    std::weak_ptr<IXNode> m_nodeLink;
    bool m_hasValidTransform = false;
    bool m_keptAside = false;
    // This transform's number (unique in the process), the parent's it was computed from,
    // and the transform epoch at which the chain up to the canvas was last found current
    // (any invalidation starts a new epoch).
    std::uint64_t m_transformStamp = 0;
    std::uint64_t m_parentTransformStamp = 0;
    std::uint64_t m_transformCheckedEpoch = 0;
    PLAffineTransform m_transLocalToCanvas;
    PLAffineTransform m_transCanvasToLocal;
};

#pragma once

#include "DocumentModel/IXConnectionNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "MapLayout/IXLayoutCell.h"
#include "Platform/Drawing/PLBezierPath.h"

#include <array>
#include <memory>
#include <optional>

// The cell of one connection node, in canvas coordinates (its frame and bounds are the same
// rectangle). A connection owned by a branch is a dashed curve from the owner's box to the
// target branch's box with a dot at its start and an arrow head at its end, shaped by the two
// offsets of its style ("connection.offset1" from the start, "connection.offset2" from the
// end); it hovers, and a click selects it. A connection owned by a floating picture or
// comment places its owner at the target branch's centre plus "floating.targetOffset" and is
// drawn as a straight link that shows only outside both boxes.
//
// The end cells are looked up at each layout and kept alive (shared) until the layout is
// invalidated, the target node leaves the document or the connection's "targetRef" changes;
// the paths are built on first use and dropped with the end cells. Without both end cells
// the connection is not visible, has no paths and draws nothing.
class IXConnectionCell : public IXLayoutCell, public IXNodeObserver, public IXConnectionNodeObserver {
public:
    IXConnectionCell(IXLayoutContext* context, IXLayoutCell* parent, IXNode* node);
    ~IXConnectionCell() override;

    // Whether the connection node's parent is a branch.
    bool isBranchConnection() const;
    // The owner's cell (its branch box for a branch) and the target branch's box, looked up
    // in the context now; null when missing (a target that is not a branch has none).
    IXLayoutCell* sourceCell() const;
    IXLayoutCell* targetCell() const;

    // The solid curve (hit tests, the selection outline), the dashed curve that is drawn, the
    // dot and the arrow head; null while an end cell is missing.
    const PLBezierPath* connectionPath();
    const PLBezierPath* linePath();
    const PLBezierPath* dotPath();
    const PLBezierPath* arrowPath();
    // The handles in canvas coordinates: 0 the source box's centre, 1 that plus the first
    // offset, 2 the target box's centre plus the second offset, 3 the target box's centre.
    // Nothing while an end cell is missing.
    std::optional<std::array<PLPoint, 4>> points();
    // Drops the cached paths.
    void purge();

    // Where one end of the curve leaves its box and where its control point lies, for the
    // box (canvas) and the style's offset of that end.
    struct EndPoints {
        PLPoint anchor;
        PLPoint control;
    };
    static EndPoints endPoints(const PLRect& box, PLPoint offset);

    void invalidate() override;
    void invalidateLayout() override;
    bool isVisible() override;
    bool trackMouse(const PLMouseEvent& event) override;
    bool acceptsMouseMoves(const PLMouseEvent& event) override;
    void mouseExited(const PLMouseEvent& event) override;
    void mouseMoved(const PLMouseEvent& event) override;
    bool hitTest(PLPoint point) override;
    void draw(PLGraphicsContext& graphics) override;
    void layout() override;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfConnectionNode(IXConnectionNode* node, const QString& property) override;

private:
    void clearConnectionCells();
    void resetConnectionCells();
    void listenToNodes();
    void buildPaths();
    // Whether the point (this cell's space) lies on the curve, with the given path's width
    // plus 2 as tolerance.
    bool curveContainsPoint(const PLBezierPath* path, PLPoint point) const;
    PLRect canvasBoundsOf(IXLayoutCell* cell);
    void drawFloatingLink(PLGraphicsContext& graphics);

    std::shared_ptr<IXLayoutCell> m_sourceCell;
    std::shared_ptr<IXLayoutCell> m_targetCell;
    std::optional<PLBezierPath> m_connectionPath;
    std::optional<PLBezierPath> m_linePath;
    std::optional<PLBezierPath> m_dotPath;
    std::optional<PLBezierPath> m_arrowPath;
};

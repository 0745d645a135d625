#pragma once

#include "Platform/Drawing/PLRect.h"

#include <vector>

class IXBranchCell;
class IXLayoutCell;
class IXLayoutContext;
class IXNode;
class PLMouseEvent;

// Mouse events and point queries of a layout context, answered from its hit stack from the
// top (points in view space). A mouse-down goes to the first cell under it that takes it;
// moves go to the cell under the mouse, which hears it enter and leave. Main thread only.
class IXLayoutMouseRouting {
public:
    explicit IXLayoutMouseRouting(IXLayoutContext& context) : m_context(context) {}
    IXLayoutMouseRouting(const IXLayoutMouseRouting&) = delete;
    IXLayoutMouseRouting& operator=(const IXLayoutMouseRouting&) = delete;

    // Offers a mouse-down to the hit stack from the top; a mouse move goes to mouseMoved.
    // Whether a cell took it. Requires a view.
    bool trackMouse(const PLMouseEvent& event);
    void mouseMoved(const PLMouseEvent& event);
    IXLayoutCell* cellUnderMouse() const { return m_cellUnderMouse; }
    bool hasKeyFocus() const;
    // A cell is going: it is no longer under the mouse.
    void cellWillInvalidate(const IXLayoutCell* cell);

    IXNode* nodeAtPoint(PLPoint point);
    IXNode* branchNodeAtPoint(PLPoint point);
    IXBranchCell* branchCellAtPoint(PLPoint point, const std::vector<IXLayoutCell*>& skipCells = {});
    // A branch cell's title cell, or a floating text cell.
    IXLayoutCell* textCellAtPoint(PLPoint point);
    // The branch a dragged branch cell would go under at the point, from the nearest root
    // group, and the index among its sub-branches.
    IXBranchCell* parentForBranchCell(IXBranchCell* cell, PLPoint point, int* parentIndex);

private:
    // The first live cell under the point that passes the test (in the cell's space), or null.
    template <typename Test>
    IXLayoutCell* firstCellAt(PLPoint point, Test test);

    IXLayoutContext& m_context;
    IXLayoutCell* m_cellUnderMouse = nullptr;
};

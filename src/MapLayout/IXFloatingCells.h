#pragma once

class IXLayoutCell;
class PLMouseEvent;

// What floating texts and pictures share. The mouse-down of a selectable floating cell, once
// the cell has dealt with double clicks: Control, Option or Command presses are left to other handlers;
// Shift toggles the node in the selection; a plain press waits up to half a second for the
// button to go up or the mouse to drag. A click selects the node alone, except that a click on
// the only selected node is left unhandled (the caller may start editing on it); a drag or a
// held press selects the node and starts "IXDragFloatingTool" with it.
struct IXFloatingCells {
    static constexpr double ClickWait = 0.5;

    // Whether the press was handled. The cell must have a context and a node.
    static bool trackMouseDown(IXLayoutCell* cell, const PLMouseEvent& event);
    // A floating cell attached to a branch shows only while that branch's cell is visible.
    static bool isTargetVisible(IXLayoutCell* cell);
};

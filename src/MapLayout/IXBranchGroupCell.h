#pragma once

#include "MapLayout/IXLayoutGroupCell.h"

class IXBranchCell;

// The cell of one branch with everything below it in the map layouts: the branch's box, an
// optional boundary and one child group per shown sub-branch. This is what the layout context
// asks of a group; the class that places, draws and rebuilds groups implements it (and the
// timeline's branch cells derive from it).
class IXBranchGroupCell : public IXLayoutGroupCell {
public:
    using IXLayoutGroupCell::IXLayoutGroupCell;
    ~IXBranchGroupCell() override;

    // 0 none, 1 mind-map root, 2 right, 3 left, 4 top-down.
    virtual void setLayoutType(int layoutType) = 0;
    // The type the group lays its sub-branches out by; groups that do not spread them (the
    // timeline's) keep 0.
    virtual int layoutType() { return 0; }
    // Rebuilds the child groups from the branch's sub-branches, registering each with the
    // context.
    virtual void reloadBranches() = 0;
    // The branch's box; null before the first reload.
    virtual IXBranchCell* branchCell() const = 0;
    virtual IXLayoutCell* boundaryCell() const = 0;
    virtual bool hasBoundary() = 0;
    // Whether the sub-branches are hidden.
    virtual bool isCollapsed() = 0;
    // Where a drop of the dragged branch's cell at the point (view space) would insert it: the
    // new parent's branch cell and the child index (-1 appends), or null.
    virtual IXBranchCell* parentForBranchCell(IXBranchCell* cell, PLPoint point, int* parentIndex) = 0;
};

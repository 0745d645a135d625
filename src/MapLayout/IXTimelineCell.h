#pragma once

#include "MapLayout/IXLayoutCell.h"

class IXBranchGroupCell;

// The single cell of the timeline layout, over the document node: dated branches above a
// time axis, duration bars below it. This is what the layout context asks of it; the class
// that builds timelines implements it.
class IXTimelineCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXTimelineCell() override;

    // Rebuilds the branch, bar and ruler cells from the document.
    virtual void reloadBranches() = 0;
    // The pieces of the time axis, in order.
    virtual IXCellList rulerCells() const = 0;
    // The duration bars, in order.
    virtual IXCellList bandsCells() const = 0;
    // The dated branches (branch groups of their own), in order.
    virtual std::vector<std::shared_ptr<IXBranchGroupCell>> branchGroupCells() const = 0;
    // The root branch's title, or null.
    virtual IXBranchGroupCell* rootBranchCell() const = 0;
};

#pragma once

#include "MapLayout/IXBranchGroupCell.h"
#include "Platform/Drawing/PLColor.h"

#include <memory>

// One dated branch (or the root's title) in the timeline layout: a branch group holding the
// branch's box alone, without sub-branches, lines or boundary. The timeline cell makes it,
// sets its origin and owns it; its box comes from the installed cell factory at its first
// invalidation. Orders by the branch's begin date.
class IXTimelineBranchCell : public IXBranchGroupCell {
public:
    using IXBranchGroupCell::IXBranchGroupCell;
    ~IXTimelineBranchCell() override;

    // Makes the box when it is missing; no sub-branch groups.
    void reloadBranches() override;
    IXBranchCell* branchCell() const override { return m_branchCell.get(); }
    IXLayoutCell* boundaryCell() const override { return nullptr; }
    bool hasBoundary() override { return false; }
    bool isCollapsed() override { return false; }
    void setLayoutType(int) override {}
    IXBranchCell* parentForBranchCell(IXBranchCell*, PLPoint, int*) override { return nullptr; }

    void invalidate() override;
    void invalidateLayout() override;
    // Bounds at (0, 0) of the box's size; the frame takes the size, its origin is the
    // timeline's.
    void layout() override;

    // -1, 0 or 1 by the begin dates of the two branches (undated last).
    int compare(const IXTimelineBranchCell& other) const;
    // The fill the timeline gives the branch's box (the grey of its bar), or no colour.
    PLColor shadingColor() const;

private:
    std::shared_ptr<IXBranchCell> m_branchCell;
};

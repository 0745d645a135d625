#pragma once

#include "MapLayout/IXLayoutCell.h"
#include "Platform/Drawing/PLBezierPath.h"

#include <vector>

// The outline drawn around a branch and all its sub-branches, filled and stroked in the
// branch's boundary style ("boundary.*"). Its group gives it its frame (the group's content
// grown by the boundary's room); its bounds are that frame at the origin. It draws a rounded
// rectangle, or, when the sub-branches reach further out on the far side than the box's
// margin on the parent's side, a six-cornered outline that hugs the box on the parent's side
// and widens to the sub-branches' full height beyond it.
//
// Node and style are the branch's; the parent is the branch's group. Main thread only.
class IXBranchBoundaryCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXBranchBoundaryCell() override;

    void draw(PLGraphicsContext& graphics) override;

    // The outline for the cell's bounds g and the box b (both in the cell's space, already
    // inset by half a unit), by the group's layout type and collapsed state.
    static PLBezierPath outlinePath(const PLRect& g, const PLRect& b, int layoutType, bool collapsed,
                                    float roundness);
    // The dash pattern of "boundary.line.dash" for the line width (empty: solid).
    static std::vector<float> dashPattern(int dash, float lineWidth);
};

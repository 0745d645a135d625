#pragma once

#include "MapLayout/IXBranchGroupCell.h"
#include "Platform/Drawing/PLBezierPath.h"

#include <memory>

class IXBranchBoundaryCell;
class IXBranchNode;
class IXStyleNode;

// The branch group of the mind-map, left-right and top-down layouts: the branch's box, an
// optional boundary around the whole group, a collapse button and one child group per shown
// sub-branch, placed around the branch's anchor.
//
// Space: the group's origin is its branch's anchor, where the lines to its children start;
// its bounds are the union of everything it draws (children, box, button, boundary, plus a
// margin of 2). A root's frame lies at its bounds plus its "branch.parentOffset"; a child's
// frame is placed by its parent.
//
// Layout types: 0 none (other layouts; a mind-map main branch without a side), 1 mind-map
// root, 2 right, 3 left, 4 top-down. The type and collapsed state of the last reload drive
// the layout; a change of either (or a boundary switched on) rebuilds the children at the
// next layout.
//
// Invalidation: invalidating a group lays out again what shows its own branch (box, boundary,
// button, the placement of its children), not the child groups, which depend on their own
// branches; a change of type reaches them through the rebuild, which has each kept child
// check its own at its next layout. Collapsing keeps the child groups aside with their
// layout (named with the context, which passes them by), and expanding shows them again.
//
// Ownership: the group owns its box, boundary, button and child groups; it makes the box and
// the child groups through the installed IXLayoutCellFactory and registers every child group
// with the context under its node. Main thread only.
class IXMapBranchGroupCell : public IXBranchGroupCell {
public:
    using IXBranchGroupCell::IXBranchGroupCell;
    ~IXMapBranchGroupCell() override;

    // The layout type the node has in the context's layout, from the style as it is now.
    int layoutTypeForNode(IXNode* node);
    // The same, with this group's style at hand (null: looked up).
    int layoutTypeForNode(IXNode* node, const IXStyleNode* style);
    int layoutType() override;
    // Gives a mind-map main branch its side (2 or 3, written into its style as an undoable
    // change); other branches ignore it. A side given while no undo step is open (the first
    // layout after opening, an off-screen export) is not recorded: it is not an edit of the
    // user's, and undoing it would only make the next layout give it again.
    void setLayoutType(int layoutType) override;
    IXBranchCell* branchCell() const override { return m_branchCell.get(); }
    IXLayoutCell* boundaryCell() const override;
    IXLayoutCell* collapseCell() const { return m_collapseCell.get(); }
    bool isCollapsed() override;
    bool hasBoundary() override;
    void reloadBranches() override;
    // --- Drop target (view space) ---
    // The box nearest to the point in this group's subtree: a child group is preferred only
    // when its whole bounds lie strictly nearer than the best so far (starting with this
    // group's box). Gives the distance to that box and the point's quadrant about its centre
    // (UTGeometry::quadrant); null when the group has no box.
    IXBranchCell* nearestBranchCellAtPoint(PLPoint point, float* distance, int* quadrant);
    // The parent's box and child index (-1 appends) for a drop of the dragged box at the
    // point: on a box, into it; within 150 of one, beside it (before or after by the side the
    // parent's layout lays its children out); null for the dragged branch's own subtree, a
    // root's side, and far from every box.
    IXBranchCell* parentForBranchCell(IXBranchCell* cell, PLPoint point, int* parentIndex) override;
    // Type 1 a child slot, 2 and 3 a slot on the left and right of a mind-map root.
    void setPlaceholderType(int type, int index) override;
    int placeholderType() const { return m_placeholderType; }
    int placeholderIndex() const { return m_placeholderIndex; }
    // Where the ghost of the slot lies in the group's space: the anchor it hangs from, and
    // the start and end of its bar.
    struct PlaceholderGeometry {
        PLPoint start;
        PLPoint anchor;
        PLPoint barStart;
        PLPoint barEnd;
        int lineLayoutType;
    };
    PlaceholderGeometry placeholderGeometry();

    void invalidate() override;
    void invalidateLayout() override;
    void layout() override;
    // The child groups kept aside while the branch is collapsed, in branch order.
    const IXCellList& keptAsideCells() const { return m_keptAside; }
    // Whether thin straight lines are drawn without antialiasing: the context asks for crisp
    // lines, one view unit is about one device pixel and the window shows a map layout.
    bool shouldFixAntialiasing();
    void draw(PLGraphicsContext& graphics) override;
    // A left press on the collapse button toggles the branch's collapsed state (with Option,
    // of the whole subtree).
    bool trackMouse(const PLMouseEvent& event) override;
    void drawGroupCell(PLGraphicsContext& graphics, bool drawing);

    // Placement of the box, button and children in the group's space, by layout type, with
    // the group's style.
    void layoutSubcellsCircular(const IXStyleNode& style);
    void layoutSpreadSubcellsVertical(const IXStyleNode& style);
    void layoutSpreadSubcellsHorizontal(const IXStyleNode& style);

    // The margin the group keeps around its content, and the extra room of a boundary.
    static constexpr float kGroupMargin = 2;
    static constexpr float kCollapseButtonSize = 9;

private:
    IXBranchNode* branchNode() const;
    // 1 mind map, 2 left-right, 4 top-down, 0 any other layout.
    int layoutKind();
    void invalidateOwnCells();
    // Names this group and every cell below it that the context names (groups, pictures) with
    // the context again.
    void nameSubtree();
    // Brings the box, boundary, button and child groups in line with the branch.
    void rebuild();
    // Whether the type, the collapsed state or a boundary switched on changed since the last
    // rebuild.
    bool needsRebuild(const IXStyleNode& style);
    // Places one side's children: from the top (first) to the bottom (last), centred on the
    // anchor, on the left or the right of the box.
    void spreadSubcells(const IXCellList& cells, bool onLeft, const IXStyleNode& style);
    void drawCollapseButton(PLGraphicsContext& graphics);
    void drawLinesToChildren(PLGraphicsContext& graphics, bool fixAntialiasing);
    void drawPlaceholder(PLGraphicsContext& graphics);
    // The group's bounds grown by the margin, less the shape of the branch's box (even-odd).
    PLBezierPath clipOutsideBox(float margin, const IXStyleNode& style);

    std::shared_ptr<IXBranchCell> m_branchCell;
    std::shared_ptr<IXBranchBoundaryCell> m_boundaryCell;
    std::shared_ptr<IXLayoutCell> m_collapseCell;
    IXCellList m_keptAside;
    int m_layoutKind = -1;
    int m_layoutType = 0;
    bool m_collapsed = false;
    int m_subcellsCount = 0;
    bool m_needsReload = false;
    // Rebuilt since the last layout: the style was just read, no need to check it again.
    bool m_rebuiltSinceLayout = false;

    int m_placeholderType = 0;
    int m_placeholderIndex = -1;
};

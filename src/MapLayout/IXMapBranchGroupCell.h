#pragma once

#include "MapLayout/IXBranchGroupCell.h"

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
    int layoutType();
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
    // Drop targets are found by the drag tool's own search; a group offers none.
    IXBranchCell* parentForBranchCell(IXBranchCell* cell, PLPoint point, int* parentIndex) override;

    void invalidate() override;
    void invalidateLayout() override;
    void transformDidInvalidate() override;
    void layout() override;
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

    std::shared_ptr<IXBranchCell> m_branchCell;
    std::shared_ptr<IXBranchBoundaryCell> m_boundaryCell;
    std::shared_ptr<IXLayoutCell> m_collapseCell;
    int m_layoutKind = -1;
    int m_layoutType = 0;
    bool m_collapsed = false;
    int m_subcellsCount = 0;
    bool m_needsReload = false;
    // Rebuilt since the last layout: the style was just read, no need to check it again.
    bool m_rebuiltSinceLayout = false;
};

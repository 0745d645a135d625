#pragma once

#include "MapLayout/IXLayoutCell.h"

// A cell with an ordered list of children whose frames it unions into its bounds: the
// context's four layers and every branch group. The group owns its children; a child is made
// with the group as its parent and then added.
//
// A group's layout lays out its children and then unions them. When a child invalidates the
// group during that pass, the group runs a second pass; a group still invalid after it logs
// "Failed to perform layout". Either way the context hears layoutGroupDidLayout.
class IXLayoutGroupCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXLayoutGroupCell() override;

    const IXCellList& cells() const { return m_cells; }
    // The cell must belong to the same context and have this group as its parent.
    void addCell(const std::shared_ptr<IXLayoutCell>& cell);
    // Invalidates every child and empties the list.
    void removeAllCells();
    // Empties the list and hands the children to the caller, still valid: a group that
    // rebuilds its list keeps the children it finds again (it must add them back or
    // invalidate them).
    IXCellList takeAllCells();
    // The bounds become the union of the children's frames, and the frame takes their size.
    void calculateBounds();

    void invalidate() override;
    void invalidateLayoutForCell(IXLayoutCell* cell) override;
    void invalidateLayout() override;
    void layout() override;
    void performLayout() override;

private:
    IXCellList m_cells;
};

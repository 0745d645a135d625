#pragma once

#include <QHash>

#include <memory>

class IXBranchCell;
class IXBranchGroupCell;
class IXLayoutCell;
class IXNode;

// A layout context's cells by the node each was made for. The last cell named for a node wins.
// Cells kept aside by their group stay named, so that they hear their nodes' changes, but the
// look-ups pass them by: a branch under a collapsed one has no cell. Main thread only.
class IXLayoutCellRegistry {
public:
    void setCellForNode(const std::shared_ptr<IXLayoutCell>& cell, IXNode* node);
    IXLayoutCell* cellForNode(IXNode* node) const;
    IXBranchGroupCell* branchGroupCellForNode(IXNode* node) const;
    IXBranchCell* branchCellForNode(IXNode* node) const;
    // The cell named for the node, shown or kept aside.
    IXLayoutCell* namedCell(const IXNode* node) const;

    // Invalidates the layout of the cell named for the node, shown or kept aside.
    void invalidateLayoutOfNodeCell(const IXNode* node) const;
    // A change that reaches every branch: groups invalidate only what shows their own branch,
    // so each named cell is invalidated (those kept aside too).
    void invalidateLayoutOfNamedCells() const;
    // Forgets the cell as it is invalidated (by the node it was made for, which may be gone).
    void forgetCell(const IXLayoutCell* cell);
    void clear() { m_namedCells.clear(); }

private:
    // By node address: no id is made or hashed for a look-up, and two nodes of a damaged
    // file that repeat an id keep a cell each.
    QHash<const IXNode*, std::shared_ptr<IXLayoutCell>> m_namedCells;
};

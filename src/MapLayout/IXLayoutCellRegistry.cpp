#include "MapLayout/IXLayoutCellRegistry.h"

#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutCell.h"

#include <utility>

void IXLayoutCellRegistry::setCellForNode(const std::shared_ptr<IXLayoutCell>& cell, IXNode* node)
{
    if (!node || !cell) return;
    m_namedCells.insert(node, cell);
}

IXLayoutCell* IXLayoutCellRegistry::namedCell(const IXNode* node) const
{
    if (!node) return nullptr;
    const auto found = m_namedCells.constFind(node);
    if (found == m_namedCells.cend()) return nullptr;
    IXLayoutCell* cell = found->get();
    // A node at the address of a gone one is not the gone one's.
    return cell->node() == node ? cell : nullptr;
}

IXLayoutCell* IXLayoutCellRegistry::cellForNode(IXNode* node) const
{
    IXLayoutCell* cell = namedCell(node);
    return cell && !cell->isKeptAside() ? cell : nullptr;
}

IXBranchGroupCell* IXLayoutCellRegistry::branchGroupCellForNode(IXNode* node) const
{
    return dynamic_cast<IXBranchGroupCell*>(cellForNode(node));
}

IXBranchCell* IXLayoutCellRegistry::branchCellForNode(IXNode* node) const
{
    IXBranchGroupCell* group = branchGroupCellForNode(node);
    return group ? group->branchCell() : nullptr;
}

void IXLayoutCellRegistry::invalidateLayoutOfNodeCell(const IXNode* node) const
{
    if (IXLayoutCell* cell = namedCell(node)) cell->invalidateLayout();
}

void IXLayoutCellRegistry::invalidateLayoutOfNamedCells() const
{
    for (const auto& cell : std::as_const(m_namedCells)) cell->invalidateLayout();
}

void IXLayoutCellRegistry::forgetCell(const IXLayoutCell* cell)
{
    const IXNode* key = cell->nodeKey();
    if (!key) return;
    auto it = m_namedCells.find(key);
    if (it != m_namedCells.end() && it->get() == cell) m_namedCells.erase(it);
}

#include "MapLayout/IXLayoutGroupCell.h"

#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLLog.h"

IXLayoutGroupCell::~IXLayoutGroupCell() = default;

void IXLayoutGroupCell::addCell(const std::shared_ptr<IXLayoutCell>& cell)
{
    PL_ASSERT_PARAM(cell, "cell");
    PL_ASSERT_PARAM(cell->context() == context(), "cell->_context == _context");
    PL_ASSERT_PARAM(cell->parent() == this, "cell->_parent == self");
    m_cells.push_back(cell);
}

void IXLayoutGroupCell::removeAllCells()
{
    // The list is taken first: invalidating a child may reach code that reads this group.
    IXCellList cells;
    cells.swap(m_cells);
    for (const auto& cell : cells) cell->invalidate();
}

IXCellList IXLayoutGroupCell::takeAllCells()
{
    IXCellList cells;
    cells.swap(m_cells);
    return cells;
}

void IXLayoutGroupCell::calculateBounds()
{
    const PLRect bounds = unionRectForCells(m_cells);
    if (bounds == m_bounds && bounds.size == m_frame.size) return;
    m_bounds = bounds;
    m_frame.size = bounds.size;
    // The children's union moved the group's own space: derived transforms are stale.
    invalidateTransform();
}

void IXLayoutGroupCell::invalidate()
{
    for (const auto& cell : m_cells) cell->invalidate();
    IXLayoutCell::invalidate();
}

void IXLayoutGroupCell::invalidateLayoutForCell(IXLayoutCell* cell)
{
    IXLayoutCell::invalidateLayoutForCell(cell);
    if (context()) context()->reloads().postPerformLayout();
}

void IXLayoutGroupCell::invalidateLayout()
{
    IXLayoutCell::invalidateLayout();
    // By position: a child's work may change the list.
    for (std::size_t i = 0; i < m_cells.size(); ++i) std::shared_ptr<IXLayoutCell>(m_cells[i])->invalidateLayout();
}

void IXLayoutGroupCell::layout()
{
    for (std::size_t i = 0; i < m_cells.size(); ++i) std::shared_ptr<IXLayoutCell>(m_cells[i])->performLayoutIfNeeded();
    calculateBounds();
}

void IXLayoutGroupCell::performLayout()
{
    if (m_layoutInProgress) return;
    PL_ASSERT_PARAM(context(), "_context");
    m_layoutInProgress = 1;
    m_hasValidLayout = true;
    layout();
    if (!m_hasValidLayout) {
        m_layoutInProgress = 2;
        m_hasValidLayout = true;
        layout();
    }
    m_layoutInProgress = 0;
    if (!m_hasValidLayout) PLLog::write(QStringLiteral("Failed to perform layout"));
    context()->layoutGroupDidLayout(this);
}

#include "MapLayout/IXTimelineBranchCell.h"

#include "DocumentModel/IXBranchNode.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXTimelineCell.h"

IXTimelineBranchCell::~IXTimelineBranchCell() = default;

void IXTimelineBranchCell::reloadBranches()
{
    if (m_branchCell || !context() || !node()) return;
    if (IXLayoutCellFactory* factory = IXLayoutCellFactory::sharedFactory())
        m_branchCell = factory->makeBranchCell(context(), this, node());
    if (m_branchCell) addCell(m_branchCell);
}

void IXTimelineBranchCell::invalidate()
{
    IXBranchGroupCell::invalidate();
    m_branchCell.reset();
}

void IXTimelineBranchCell::invalidateLayout()
{
    IXBranchGroupCell::invalidateLayout();
    reloadBranches();
    if (m_branchCell) m_branchCell->invalidateLayout();
}

void IXTimelineBranchCell::layout()
{
    PLSize size;
    if (m_branchCell) {
        m_branchCell->setOrigin(PLPoint());
        size = m_branchCell->frame().size;
    }
    if (m_bounds != PLRect(PLPoint(), size) || m_frame.size != size) {
        m_bounds = PLRect(PLPoint(), size);
        m_frame.size = size;
        invalidateTransform();
    }
}

int IXTimelineBranchCell::compare(const IXTimelineBranchCell& other) const
{
    auto* mine = dynamic_cast<IXBranchNode*>(node());
    auto* theirs = dynamic_cast<IXBranchNode*>(other.node());
    const std::optional<UTDateTime> none;
    const std::optional<UTDateTime>& a = mine ? mine->beginDate() : none;
    const std::optional<UTDateTime>& b = theirs ? theirs->beginDate() : none;
    if (!a) return b ? 1 : 0;
    return a->compare(b);
}

PLColor IXTimelineBranchCell::shadingColor() const
{
    auto* timeline = dynamic_cast<IXTimelineCell*>(parent());
    return timeline ? timeline->shadingColorForCell(const_cast<IXTimelineBranchCell*>(this)) : PLColor();
}

#include "MapLayout/IXTimelineBarCell.h"

#include "DocumentModel/IXBranchNode.h"

IXTimelineBarCell::~IXTimelineBarCell() = default;

int IXTimelineBarCell::compare(const IXTimelineBarCell& other) const
{
    auto* mine = dynamic_cast<IXBranchNode*>(node());
    auto* theirs = dynamic_cast<IXBranchNode*>(other.node());
    if (!mine || !theirs) return mine ? -1 : (theirs ? 1 : 0);
    const std::optional<UTDateTime>& begin = mine->beginDate();
    const int byBegin = begin ? begin->compare(theirs->beginDate()) : (theirs->beginDate() ? 1 : 0);
    if (byBegin != 0) return byBegin;
    const std::optional<UTDateTime>& end = mine->endDate();
    return end ? end->compare(theirs->endDate()) : (theirs->endDate() ? 1 : 0);
}

#pragma once

#include "MapLayout/IXLayoutCell.h"

// The duration bar of a branch that has a begin and an end date, below the timeline's axis.
// The timeline cell makes it (not registered with the context), sets its frame (24 high, at
// least 100 wide, 2 units right of the begin date) and owns it. Orders by begin date, then
// by end date.
class IXTimelineBarCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXTimelineBarCell() override;

    // -1, 0 or 1.
    int compare(const IXTimelineBarCell& other) const;
};

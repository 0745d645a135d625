#pragma once

#include "MapLayout/IXLayoutCell.h"

class IXTextCell;

// The box of one branch (title, icons, picture, indicators, frame). This is what the layout
// context asks of it; the class that lays out and draws branch boxes implements it.
class IXBranchCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXBranchCell() override;

    // The cell of the branch's title text.
    virtual IXTextCell* titleCell() const = 0;
};

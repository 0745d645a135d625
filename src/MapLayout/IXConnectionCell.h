#pragma once

#include "MapLayout/IXLayoutCell.h"

// The cell of one connection node: a curve from its owner (a branch, a floating picture or
// comment) to its target branch. The class that lays out and draws connections derives from
// this one.
class IXConnectionCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXConnectionCell() override;

    // Whether the connection node's parent is a branch.
    bool isBranchConnection() const;
};

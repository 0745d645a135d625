#pragma once

#include "MapLayout/IXLayoutCell.h"

// A picture on the map: a branch's picture, or a floating picture (a cell of the context's
// floating layer). The class that lays out and draws pictures derives from this one; the
// context tells pictures apart from other cells by it.
class IXPictureCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXPictureCell() override;
};

#pragma once

#include "MapLayout/IXLayoutCell.h"

// A text on the map: a branch's title, or a floating comment (a cell of the context's
// floating layer). The class that lays out and edits texts derives from this one; the context
// tells texts apart from other cells by it.
class IXTextCell : public IXLayoutCell {
public:
    using IXLayoutCell::IXLayoutCell;
    ~IXTextCell() override;
};

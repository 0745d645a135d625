#pragma once

#include "MapLayout/IXLayoutCell.h"

// The row of a branch's icons (its node is the branch), from the shared icon library at the
// library's icon size, one unit apart. A row wider than 70 (1,000 in the Windows-compatible
// layout) wraps into rows of as many icons as fit; the first row is at the top. A name the
// library has no picture for keeps its place empty.
class IXIconsCell : public IXLayoutCell {
public:
    static constexpr float RowLimit = 70;
    static constexpr float WindowsRowLimit = 1000;

    using IXLayoutCell::IXLayoutCell;
    ~IXIconsCell() override;

    void layout() override;
    void draw(PLGraphicsContext& graphics) override;
};

#pragma once

#include <memory>

class IXLayoutNode;

// The window's printing view as the map inspector reaches it (the view itself lives in
// DocumentViews, which the inspectors do not link). The placement of the map on the spread
// lives in the style of the printed layout node: "print.page.scale" and the offsets
// "print.page.offset.x"/"print.page.offset.y" in paper points from the spread's bottom-left
// corner, the spread "print.page.hcount" by "print.page.vcount". Every change is an
// undoable style change that the printing view hears.
class IXPrintingViewing {
public:
    virtual ~IXPrintingViewing();

    // The layout printed (the window's layout; the mind map while the print layout shows).
    virtual std::shared_ptr<IXLayoutNode> layoutNode() const = 0;
    // Scales the map to fill the spread and centres it (scale and both offsets stored). An
    // empty map or printing area stores scale 1 and offsets 0.
    virtual void scaleToFitPages() = 0;
    // Prints at the map's own size: scale 1, offsets kept.
    virtual void scaleToActualSize() = 0;
};

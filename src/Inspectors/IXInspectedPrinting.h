#pragma once

#include <memory>

class IXLayoutNode;

// What the map inspector's print section needs of a window's printing view: the layout it
// prints, fitting the map to the pages and the printing area. A window without a printing view
// answers none, and the controls that need it stay disabled.
class IXInspectedPrinting {
public:
    virtual ~IXInspectedPrinting();

    // The print layout's node, whose style holds the print options.
    virtual std::shared_ptr<IXLayoutNode> layoutNode() const = 0;
    // Scales the map so that it fills the pages.
    virtual void scaleToFitPages() = 0;
    // The printing area: whether printing is limited to one branch, where the view offers one.
    virtual bool isPrintingAreaEnabled() const = 0;
    virtual bool printingArea() const = 0;
    virtual void setPrintingArea(bool limited) = 0;
};

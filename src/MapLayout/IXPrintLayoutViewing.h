#pragma once

// The window's print layout view as the map inspector reaches it: the printing area, which
// limits printing to the branch that was the window's branch filter when the print layout
// was shown.
class IXPrintLayoutViewing {
public:
    virtual ~IXPrintLayoutViewing();

    // True when there is a branch to limit printing to.
    virtual bool printingAreaEnabled() const = 0;
    // True when printing is limited to that branch.
    virtual bool printingArea() const = 0;
    // Limits printing to the branch (or not) and refits the map; nothing without a branch.
    virtual void setPrintingArea(bool limited) = 0;
};

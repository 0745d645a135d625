#pragma once

#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

class IXPrintingView;

// Notice of a printing view through its document's broadcaster: its page layout, spread,
// placement or printed bounds changed (the print layout view re-fits and redraws).
class IXPrintInfoObserver : public virtual UTObserver {
public:
    virtual void printInfoDidChange(IXPrintingView* view) { }
};

inline constexpr auto IXPrintInfoDidChange = UT_NOTIFICATION(IXPrintInfoObserver, printInfoDidChange, "");

#pragma once

#include "Platform/Drawing/PLAffineTransform.h"

class IXLayoutContext;

// A view that shows a document through a layout context (the map view, the outline map view,
// the print layout view). A context whose hosting view also implements this reads its
// canvas-to-view transform from it.
class IXDocumentViewing {
public:
    virtual ~IXDocumentViewing();

    // A new transform from canvas space to the view's space (the map view scrolls, zooms and
    // moves the canvas origin to the view's). The view calls its context's
    // invalidateTransform whenever this changes.
    virtual PLAffineTransform documentViewTransform() const = 0;
    virtual IXLayoutContext* layoutContext() const = 0;
    virtual void detachFromController() = 0;
};

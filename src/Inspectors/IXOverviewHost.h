#pragma once

#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLRect.h"

// What the overview's views and window need of the one who feeds them (the overview
// inspector): where the overview window must stay, how wide the document window is, scrolling
// the document, and a new picture.
class IXOverviewHost {
public:
    virtual ~IXOverviewHost();

    // The area the overview window stays in, y-up, in the space of the window's frame (its
    // parent's coordinates mirrored, or the screen's for a top-level window); empty when there
    // is none.
    virtual PLRect hostWindowFrame() const = 0;
    // The width of the document window served (bounds the framed view's size); 0 when unknown.
    virtual float hostWindowWidth() const = 0;
    // Scrolls the document so that its visible part starts at the point (document space, y-up).
    virtual void setVisibleFrameToPoint(PLPoint point) = 0;
    // Makes the picture again (its size changed).
    virtual void updatePreview() = 0;
};

#pragma once

#include "Platform/Drawing/PLRect.h"

class QImage;

// A document view that the overview previews: where its page lies, a count that changes
// whenever what it shows changes, and a small picture of the whole page.
class IXOverview {
public:
    virtual ~IXOverview();

    // The page in the view's y-up space.
    virtual PLRect overviewDocumentViewFrame() const = 0;
    // Raised on every change the preview would show; the overview redraws when it differs.
    virtual int overviewChangeCount() const = 0;
    // Draws the whole page scaled into the image, on white.
    virtual void overviewDrawPreviewToImage(QImage& image) = 0;
};

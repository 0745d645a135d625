#pragma once

#include "Platform/Drawing/PLAffineTransform.h"
#include "Platform/Drawing/PLRect.h"

class IXLayoutCell;
class IXLayoutContext;

// The spaces of a layout context: view space is the hosting view's; canvas space is the
// layers' own (the view's document transform maps it to the view, the identity without one);
// each cell has its own. The transform is read from the view on first use after
// invalidateTransform. Main thread only.
class IXLayoutCoordinates {
public:
    explicit IXLayoutCoordinates(const IXLayoutContext& context) : m_context(context) {}
    IXLayoutCoordinates(const IXLayoutCoordinates&) = delete;
    IXLayoutCoordinates& operator=(const IXLayoutCoordinates&) = delete;

    const PLAffineTransform& transCanvasToView();
    const PLAffineTransform& transViewToCanvas();
    void invalidateTransform() { m_hasValidTransform = false; }
    // A value in view space into a cell's space (null: the canvas), and back.
    PLPoint convertPointToCell(PLPoint point, IXLayoutCell* cell);
    PLSize convertSizeToCell(PLSize size, IXLayoutCell* cell);
    PLRect convertRectToCell(const PLRect& rect, IXLayoutCell* cell);
    PLPoint convertPointFromCell(PLPoint point, IXLayoutCell* cell);
    PLSize convertSizeFromCell(PLSize size, IXLayoutCell* cell);
    PLRect convertRectFromCell(const PLRect& rect, IXLayoutCell* cell);

private:
    const IXLayoutContext& m_context;
    bool m_hasValidTransform = false;
    PLAffineTransform m_transCanvasToView;
    PLAffineTransform m_transViewToCanvas;
};

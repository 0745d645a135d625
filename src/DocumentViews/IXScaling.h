#pragma once

#include <QRectF>
#include <QSize>

// A document view that the zooming scroll view zooms. The scroll view computes and announces
// the factor; the view scales itself and re-lays out its frame.
class IXScaling {
public:
    virtual ~IXScaling();

    // The range the factor is held in.
    virtual double scalingMinFactor() const = 0;
    virtual double scalingMaxFactor() const = 0;
    // The rectangle that zooming to fit must show: unscaled, in the view's own coordinates
    // (y-down) relative to the origin of what it shows at the top-left of its frame.
    virtual QRectF scalingContentsRect() const = 0;
    // After every change of the factor: the view reads the scroll view's scaleFactor and
    // re-lays out its frame.
    virtual void reflectScalingFactor() = 0;
    // The visible area changed size (the scroll view was re-tiled): the view adjusts its frame.
    virtual void resizeWithOldSuperviewSize(const QSize& oldSize);
};

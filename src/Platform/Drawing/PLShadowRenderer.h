#pragma once

#include <QColor>
#include <QImage>

// Makes the picture of a drop shadow from what was drawn: the source's coverage painted
// in one colour and blurred.
class PLShadowRenderer {
public:
    // The shadow of source (ARGB32 premultiplied), margin pixels larger on every side so
    // that the blur can spread, blurred by a Gaussian whose standard deviation is half the
    // radius (pixels). The colour's alpha scales the coverage.
    static QImage shadowImage(const QImage& source, int margin, const QColor& color, double blurRadius);
};

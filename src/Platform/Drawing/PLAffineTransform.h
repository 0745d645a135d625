#pragma once

#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLSize.h"

class QTransform;

// A 2-D affine transform of the y-up map geometry in 32-bit floats. A point (x, y) maps to
// (m11 x + m21 y + tX, m12 x + m22 y + tY). The building operations (translate, scale,
// rotate) act on incoming points BEFORE what the transform already does, so a sequence of
// calls reads like nested drawing code: translate to the centre, rotate, translate back.
// Sizes map without the translation. A value type.
class PLAffineTransform {
public:
    float m11 = 1, m12 = 0, m21 = 0, m22 = 1, tX = 0, tY = 0;

    constexpr PLAffineTransform() = default;
    constexpr PLAffineTransform(float a, float b, float c, float d, float x, float y)
        : m11(a), m12(b), m21(c), m22(d), tX(x), tY(y) {}

    static PLAffineTransform transform() { return {}; }

    void translateXBy(float dx, float dy);
    void scaleBy(float factor) { scaleXBy(factor, factor); }
    void scaleXBy(float sx, float sy);
    // Counter-clockwise in a y-up space.
    void rotateByDegrees(float angle);
    void rotateByRadians(float angle);
    // This transform followed by other (other acts on the results of this one).
    void appendTransform(const PLAffineTransform& other);
    // Other followed by this transform.
    void prependTransform(const PLAffineTransform& other);
    // Becomes its inverse; a singular transform is left unchanged and false returned.
    bool invert();
    PLAffineTransform inverted() const;

    PLPoint transformPoint(PLPoint p) const;
    PLSize transformSize(PLSize s) const;

    bool isIdentity() const { return *this == PLAffineTransform(); }
    constexpr bool operator==(const PLAffineTransform&) const = default;

    // The same mapping for QPainter (Qt's row-vector convention has the same element order).
    QTransform toQTransform() const;
};

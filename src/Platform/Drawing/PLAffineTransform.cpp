#include "Platform/Drawing/PLAffineTransform.h"

#include <QTransform>

#include <cmath>
#include <numbers>

void PLAffineTransform::translateXBy(float dx, float dy)
{
    tX += m11 * dx + m21 * dy;
    tY += m12 * dx + m22 * dy;
}

void PLAffineTransform::scaleXBy(float sx, float sy)
{
    m11 *= sx;
    m12 *= sx;
    m21 *= sy;
    m22 *= sy;
}

void PLAffineTransform::rotateByDegrees(float angle)
{
    rotateByRadians(float(double(angle) * std::numbers::pi / 180.0));
}

void PLAffineTransform::rotateByRadians(float angle)
{
    // Whole quarter turns come out exact, so that rotated rectangles stay on whole points.
    double c = std::cos(double(angle));
    double s = std::sin(double(angle));
    if (std::fabs(c) < 1e-7) c = 0;
    if (std::fabs(s) < 1e-7) s = 0;
    prependTransform(PLAffineTransform(float(c), float(s), float(-s), float(c), 0, 0));
}

void PLAffineTransform::appendTransform(const PLAffineTransform& o)
{
    const PLAffineTransform m = *this;
    m11 = m.m11 * o.m11 + m.m12 * o.m21;
    m12 = m.m11 * o.m12 + m.m12 * o.m22;
    m21 = m.m21 * o.m11 + m.m22 * o.m21;
    m22 = m.m21 * o.m12 + m.m22 * o.m22;
    tX = m.tX * o.m11 + m.tY * o.m21 + o.tX;
    tY = m.tX * o.m12 + m.tY * o.m22 + o.tY;
}

void PLAffineTransform::prependTransform(const PLAffineTransform& o)
{
    PLAffineTransform result = o;
    result.appendTransform(*this);
    *this = result;
}

bool PLAffineTransform::invert()
{
    const double det = double(m11) * m22 - double(m12) * m21;
    if (det == 0 || !std::isfinite(det)) return false;
    const double a = m22 / det, b = -m12 / det, c = -m21 / det, d = m11 / det;
    const double x = -(tX * a + tY * c), y = -(tX * b + tY * d);
    *this = PLAffineTransform(float(a), float(b), float(c), float(d), float(x), float(y));
    return true;
}

PLAffineTransform PLAffineTransform::inverted() const
{
    PLAffineTransform copy = *this;
    copy.invert();
    return copy;
}

PLPoint PLAffineTransform::transformPoint(PLPoint p) const
{
    return {m11 * p.x + m21 * p.y + tX, m12 * p.x + m22 * p.y + tY};
}

PLSize PLAffineTransform::transformSize(PLSize s) const
{
    return {m11 * s.width + m21 * s.height, m12 * s.width + m22 * s.height};
}

QTransform PLAffineTransform::toQTransform() const
{
    return QTransform(m11, m12, m21, m22, tX, tY);
}

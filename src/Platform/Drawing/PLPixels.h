#pragma once

#include <QRect>
#include <QRectF>

#include <algorithm>
#include <cmath>

// Conversions of map geometry to the integer pixels of widgets and scroll bars. A huge map
// (or a hostile one) can give coordinates beyond what an int holds, and converting such a
// float is undefined: values are clamped first, to a range with room for the sums Qt makes.
class PLPixels {
public:
    static constexpr double Limit = 1 << 30;

    // The value clamped to +-Limit, 0 when it is not a number.
    static double clamped(double value)
    {
        if (std::isnan(value)) return 0;
        return std::clamp(value, -Limit, Limit);
    }
    static int roundedInt(double value) { return int(std::lround(clamped(value))); }
    static int floorInt(double value) { return int(std::floor(clamped(value))); }
    static int ceilInt(double value) { return int(std::ceil(clamped(value))); }
    // The smallest integral rectangle holding the rectangle, clamped.
    static QRect alignedRect(const QRectF& rect)
    {
        const double left = clamped(rect.left()), top = clamped(rect.top());
        const double right = clamped(rect.right()), bottom = clamped(rect.bottom());
        return QRectF(left, top, right - left, bottom - top).toAlignedRect();
    }
};

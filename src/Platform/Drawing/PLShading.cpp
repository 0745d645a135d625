#include "Platform/Drawing/PLShading.h"

#include <algorithm>
#include <cmath>

PLShading PLShading::axial(PLPoint start, PLPoint end, const Function& function, int samples, bool extendStart,
                           bool extendEnd)
{
    PLShading shading;
    shading.m_start = start;
    shading.m_end = end;
    shading.m_extendStart = extendStart;
    shading.m_extendEnd = extendEnd;
    const int count = std::max(2, samples);
    shading.m_samples.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const PLColor c = function(float(i) / float(count - 1));
        shading.m_samples.push_back(c.isNull() ? PLColor::rgb(0, 0, 0, 0) : c.toRGB());
    }
    return shading;
}

PLColor PLShading::colorAt(float t) const
{
    if (m_samples.empty()) return PLColor();
    const float position = std::clamp(t, 0.0f, 1.0f) * float(m_samples.size() - 1);
    const size_t i = std::min(size_t(position), m_samples.size() - 1);
    if (i + 1 >= m_samples.size()) return m_samples.back();
    return m_samples[i].blended(position - float(i), m_samples[i + 1]);
}

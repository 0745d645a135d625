#pragma once

#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLPoint.h"

#include <functional>
#include <vector>

// An axial shading: colours along the axis from start to end, given by a function of the
// position t in [0, 1] that is sampled when the shading is made. Perpendicular to the axis
// the colour is constant. Beyond either end it paints nothing unless extended there, in
// which case the end colour continues. A value type.
class PLShading {
public:
    using Function = std::function<PLColor(float t)>;

    // samples: how many evenly spaced values of the function are taken (at least 2, t = 0
    // and t = 1 among them); colours between samples are interpolated linearly in RGBA.
    static PLShading axial(PLPoint start, PLPoint end, const Function& function, int samples = 256,
                           bool extendStart = false, bool extendEnd = false);

    PLPoint start() const { return m_start; }
    PLPoint end() const { return m_end; }
    bool extendsStart() const { return m_extendStart; }
    bool extendsEnd() const { return m_extendEnd; }
    // The sampled colours (RGB space), first at t = 0, last at t = 1.
    const std::vector<PLColor>& samples() const { return m_samples; }
    // The shading's colour at t (pinned to [0, 1]), from the samples.
    PLColor colorAt(float t) const;

private:
    PLPoint m_start, m_end;
    std::vector<PLColor> m_samples;
    bool m_extendStart = false;
    bool m_extendEnd = false;
};

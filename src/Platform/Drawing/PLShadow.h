#pragma once

#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLSize.h"

// A drop shadow under what a graphics context draws: the drawing's coverage moved by the
// offset (y-up points of the base space, not affected by the context's transform), blurred
// by the radius (points) and painted in the colour under the drawing. A value type; a
// shadow without colour, or with a clear one, draws nothing.
struct PLShadow {
    PLSize offset;
    float blurRadius = 0;
    PLColor color = PLColor::black().withAlpha(1.0f / 3.0f);

    bool isVisible() const { return !color.isNull() && color.alpha() > 0; }
    bool operator==(const PLShadow&) const = default;
};

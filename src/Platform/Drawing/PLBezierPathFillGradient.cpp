// Two-colour axial gradient fills of a path.
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Drawing/PLGraphicsContext.h"

#include <cmath>

namespace {

// The start colour's red, green, blue and alpha, then the differences end - start. Each
// gradient carries its own block, so gradients may be drawn in any order.
struct IXShadingParams {
    float values[8];
};

void IXCalculateShadingValues(const IXShadingParams& info, const float* input, float* output)
{
    for (int k = 0; k < 4; ++k) output[k] = input[0] * info.values[4 + k] + info.values[k];
}

IXShadingParams shadingParams(const PLColor& startColor, const PLColor& endColor)
{
    const PLColor a = startColor.isNull() ? PLColor::rgb(0, 0, 0, 0) : startColor.toRGB();
    const PLColor b = endColor.isNull() ? PLColor::rgb(0, 0, 0, 0) : endColor.toRGB();
    IXShadingParams params{};
    for (int k = 0; k < 4; ++k) {
        params.values[k] = a.component(k);
        params.values[4 + k] = b.component(k) - a.component(k);
    }
    return params;
}

}  // namespace

void PLBezierPath::fillGradientFromPoint(PLPoint from, PLPoint to, const PLColor& startColor, const PLColor& endColor) const
{
    PLGraphicsContext* context = PLGraphicsContext::currentContext();
    PL_ASSERT(context);
    const IXShadingParams params = shadingParams(startColor, endColor);
    // The function is linear, so its two ends sample it exactly.
    const PLShading shading = PLShading::axial(from, to, [params](float t) {
        float out[4];
        IXCalculateShadingValues(params, &t, out);
        return PLColor::rgb(out[0], out[1], out[2], out[3]);
    }, 2);
    context->fillPathWithShading(*this, shading);
}

void PLBezierPath::fillGradientFrom(const PLColor& startColor, const PLColor& endColor, float angle) const
{
    const PLRect b = bounds();
    const float x = b.minX(), y = b.minY(), w = b.width(), h = b.height();
    const float tolerance = std::asin(0.5f / std::max(w, h));
    const float a = angle - 360 * std::trunc(angle / 360);
    PLPoint from, to;
    if (std::fabs(a) < tolerance) {
        from = {x, y};
        to = {x + w, y};
    } else if (std::fabs(a - 90) < tolerance) {
        from = {x, y};
        to = {x, y + h};
    } else if (std::fabs(a - 180) < tolerance) {
        from = {x + w, y};
        to = {x, y};
    } else if (std::fabs(a - 270) < tolerance) {
        from = {x, y + h};
        to = {x, y};
    } else {
        PLBezierPath rotated = *this;
        PLAffineTransform turn;
        turn.rotateByDegrees(-a);
        rotated.transformUsingAffineTransform(turn);
        const PLRect r = rotated.bounds();
        PLAffineTransform back;
        back.rotateByDegrees(a);
        from = back.transformPoint({r.minX(), r.minY()});
        to = back.transformPoint({r.maxX(), r.minY()});
    }
    fillGradientFromPoint(from, to, startColor, endColor);
}

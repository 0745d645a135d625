#include "MapLayout/IXGeometryLimits.h"

#include "DocumentModel/IXStyleNode.h"

#include <algorithm>
#include <cmath>

namespace {

// The one table of bounds, by kind. Real maps use gaps and lengths of tens of units, lines
// and frames a few units wide, texts a few hundred wide and offsets of a few thousand.
constexpr float Bounds[] = {
    10000,    // Gap
    10000,    // Length
    1000,     // LineWidth
    100000,   // TextWidth
    10000,    // Roundness
    1000000,  // Offset
    100000,   // PictureSize
};

}  // namespace

float IXGeometryLimits::bound(Kind kind)
{
    return Bounds[int(kind)];
}

float IXGeometryLimits::clamped(float value, Kind kind)
{
    if (std::isnan(value)) return 0;
    const float limit = bound(kind);
    return std::clamp(value, -limit, limit);
}

PLPoint IXGeometryLimits::clampedOffset(PLPoint offset)
{
    return PLPoint(clamped(offset.x, Kind::Offset), clamped(offset.y, Kind::Offset));
}

PLSize IXGeometryLimits::clampedPictureSize(PLSize size)
{
    return PLSize(clamped(size.width, Kind::PictureSize), clamped(size.height, Kind::PictureSize));
}

float IXGeometryLimits::gapVertical(const IXStyleNode& style)
{
    return clamped(style.documentGapVertical(), Kind::Gap);
}

float IXGeometryLimits::gapHorizontal(const IXStyleNode& style)
{
    return clamped(style.documentGapHorizontal(), Kind::Gap);
}

float IXGeometryLimits::branchMinLength(const IXStyleNode& style)
{
    return clamped(style.documentBranchMinLength(), Kind::Length);
}

float IXGeometryLimits::branchLineWidth(const IXStyleNode& style)
{
    return clamped(style.branchLineWidth(), Kind::LineWidth);
}

float IXGeometryLimits::branchTextWidth(const IXStyleNode& style)
{
    return clamped(style.branchTextWidth(), Kind::TextWidth);
}

float IXGeometryLimits::branchFrameLineRoundness(const IXStyleNode& style)
{
    return clamped(style.branchFrameLineRoundness(), Kind::Roundness);
}

PLPoint IXGeometryLimits::branchParentOffset(const IXStyleNode& style)
{
    return clampedOffset(style.branchParentOffset());
}

float IXGeometryLimits::connectionLineWidth(const IXStyleNode& style)
{
    return clamped(style.connectionLineWidth(), Kind::LineWidth);
}

PLPoint IXGeometryLimits::connectionOffset1(const IXStyleNode& style)
{
    return clampedOffset(style.connectionOffset1());
}

PLPoint IXGeometryLimits::connectionOffset2(const IXStyleNode& style)
{
    return clampedOffset(style.connectionOffset2());
}

float IXGeometryLimits::floatingLineWidth(const IXStyleNode& style)
{
    return clamped(style.floatingLineWidth(), Kind::LineWidth);
}

float IXGeometryLimits::floatingFrameWidth(const IXStyleNode& style)
{
    return clamped(style.floatingFrameWidth(), Kind::LineWidth);
}

float IXGeometryLimits::commentTextWidth(const IXStyleNode& style)
{
    return clamped(style.commentTextWidth(), Kind::TextWidth);
}

PLPoint IXGeometryLimits::floatingTargetOffset(const IXStyleNode& style)
{
    return clampedOffset(style.floatingTargetOffset());
}

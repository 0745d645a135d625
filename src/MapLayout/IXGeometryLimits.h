#pragma once

#include "Platform/Drawing/PLPoint.h"
#include "Platform/Drawing/PLSize.h"

class IXStyleNode;

// Bounds on the geometry a map's file gives (gaps, lengths, widths, roundness, offsets,
// picture sizes, title lengths), applied where layout and drawing use a value; the stored
// value is kept for writing back. The bounds lie far outside anything a real map holds, so
// maps draw as they always did, but a hostile value (1e20, infinity, not a number) can no
// longer push sizes past what the cell index, the canvas and the views' integer pixels hold.
class IXGeometryLimits {
public:
    enum class Kind { Gap, Length, LineWidth, TextWidth, Roundness, Offset, PictureSize };

    // The value within [-bound, bound] of its kind; 0 for a value that is not a number.
    static float clamped(float value, Kind kind);
    static PLPoint clampedOffset(PLPoint offset);
    static PLSize clampedPictureSize(PLSize size);
    static float bound(Kind kind);

    // The style's values as layout and drawing use them.
    static float gapVertical(const IXStyleNode& style);
    static float gapHorizontal(const IXStyleNode& style);
    static float branchMinLength(const IXStyleNode& style);
    static float branchLineWidth(const IXStyleNode& style);
    static float branchTextWidth(const IXStyleNode& style);
    static float branchFrameLineRoundness(const IXStyleNode& style);
    static PLPoint branchParentOffset(const IXStyleNode& style);
    static float connectionLineWidth(const IXStyleNode& style);
    static PLPoint connectionOffset1(const IXStyleNode& style);
    static PLPoint connectionOffset2(const IXStyleNode& style);
    static float floatingLineWidth(const IXStyleNode& style);
    static float floatingFrameWidth(const IXStyleNode& style);
    static float commentTextWidth(const IXStyleNode& style);
    static PLPoint floatingTargetOffset(const IXStyleNode& style);

    // Titles and comments longer than this show their beginning and an ellipsis (Qt lays an
    // unbroken run out in time that grows with the square of its length).
    static constexpr int ShownTextCharacters = 10000;
};

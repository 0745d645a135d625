#pragma once

#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLRect.h"

#include <optional>

class IXStyleNode;

// The frame of a branch in one of eleven shapes, chosen by the style's "branch.frame.type":
// 0 borderless, 1 square, 2 ellipse, 3 rounded square, 4 standard (a box with a tab on its
// top-left corner), 5 thinking bubble, 6 square cut, 7 notebook horizontal (rings along the
// left edge), 8 notebook vertical (rings along the top edge), 9 clipboard, 10 hand drawn.
// Any other type draws nothing, has no margins and clips to the frame rectangle.
//
// Besides drawing, it answers the geometry the branch cells need: the margins between the
// frame and the content, the conversions between the two rectangles and the clip path of
// the shape's inside. Everything is in the cell's y-up coordinates. Margins of the ellipse,
// the bubble and the hand-drawn shape are proportional to the rectangle they are taken of,
// so their two conversions are not exact inverses (the hand-drawn one not even in exact
// arithmetic).
//
// Static functions only; drawing goes to the current graphics context (nothing is drawn
// without one). Strokes keep the path's default width of 1; a drawing function that sets a
// colour without saving the state leaves it set, as the branch cell expects.
class IXShapeDrawer {
public:
    IXShapeDrawer() = delete;

    // Distances between the frame and the content rectangle on each side.
    struct Margins {
        float left = 0;
        float top = 0;
        float right = 0;
        float bottom = 0;
        bool operator==(const Margins&) const = default;
    };

    // What the branch cell passes along with the style: "fill" and "altfill" replace the
    // style's two fill colours of a rounded square, "level" is the branch's depth, which
    // picks a square's colour from the style's palette.
    struct Attributes {
        std::optional<PLColor> fill;
        std::optional<PLColor> altFill;
        std::optional<int> level;
    };

    // --- Geometry
    static PLRect frameRectForContentRect(const PLRect& content, const IXStyleNode& style);
    static PLRect contentRectForFrameRect(const PLRect& frame, const IXStyleNode& style);
    // The inside of the shape; none for a borderless frame.
    static std::optional<PLBezierPath> clipPathForFrameRect(const PLRect& frame, const IXStyleNode& style);

    // --- Drawing
    static void drawShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                   const Attributes& attributes = {});

    static void drawBorderlessFrame(const PLRect& frame, const IXStyleNode& style, const Attributes& attributes);
    static void drawSquareShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes& attributes);
    static void drawEllipseShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes& attributes);
    static void drawRoundedSquareShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                                const Attributes& attributes);
    static void drawStandardShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes& attributes);
    static void drawThinkingBubbleShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                                 const Attributes& attributes);
    static void drawSquareCutShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes& attributes);
    static void drawNoteBookHorizontalShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                                     const Attributes& attributes);
    static void drawNoteBookVerticalShapeWithFrame(const PLRect& frame, const IXStyleNode& style,
                                                   const Attributes& attributes);
    static void drawClipboardShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes& attributes);
    static void drawHandDrawnShapeWithFrame(const PLRect& frame, const IXStyleNode& style, const Attributes& attributes);

    // --- Margins (left, top, right, bottom)
    static Margins squareMargins() { return {1, 1, 1, 1}; }
    static Margins roundedSquareMargins() { return {1, 1, 1, 1}; }
    static Margins standardMargins() { return {1, 11, 1, 1}; }
    static Margins squareCutMargins() { return {1, 1, 1, 1}; }
    static Margins noteBookHorizontalMargins() { return {18, 1, 1, 1}; }
    static Margins noteBookVerticalMargins() { return {1, 18, 1, 1}; }
    static Margins clipboardMargins() { return {6, 22, 6, 12}; }
    static Margins ellipseMarginsForFrameRect(const PLRect& frame);
    static Margins ellipseMarginsForContentRect(const PLRect& content);
    static Margins bubbleMarginsForFrameRect(const PLRect& frame);
    static Margins bubbleMarginsForContentRect(const PLRect& content);
    static Margins handDrawnMarginsForFrameRect(const PLRect& frame);
    static Margins handDrawnMarginsForContentRect(const PLRect& content);

    // --- Clip paths
    static PLBezierPath squareClipWithRect(const PLRect& rect);
    static PLBezierPath ellipseClipWithRect(const PLRect& rect);
    static PLBezierPath roundedSquareClipWithRect(const PLRect& rect, const IXStyleNode& style);
    static PLBezierPath standardClipWithRect(const PLRect& rect);
    static PLBezierPath bubbleClipWithRect(const PLRect& rect);
    static PLBezierPath squareCutClipWithRect(const PLRect& rect);
    static PLBezierPath noteBookHorizontalClipWithRect(const PLRect& rect);
    static PLBezierPath noteBookVerticalClipWithRect(const PLRect& rect);
    static PLBezierPath clipboardClipWithRect(const PLRect& rect);
    static PLBezierPath handDrawnClipWithRect(const PLRect& rect);

private:
    // The margins used on the way from content to frame, or from frame to content.
    static Margins marginsForContentRect(const PLRect& content, int frameType);
    static Margins marginsForFrameRect(const PLRect& frame, int frameType);
    // The box with its four corners cut off by cut units, counter-clockwise from the left
    // side's lower end.
    static PLBezierPath squareCutPath(const PLRect& rect, float cut);
    // Maps the 100 x 100 design box of the bubble and the hand-drawn shape onto the rect.
    static PLAffineTransform designBoxTransform(const PLRect& rect);
};

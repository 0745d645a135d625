#pragma once

#include "Platform/System/PLCursor.h"
#include "Platform/System/PLMouseEvent.h"
#include "Platform/Drawing/PLRect.h"
#include "Platform/Drawing/PLSize.h"

#include <cstdint>
#include <optional>

// What a layout context and its cells need of the view that shows them (the map view
// implements it). Rectangles are in the view's y-up space unless named otherwise.
class IXLayoutView {
public:
    virtual ~IXLayoutView();

    // The part of the view that is shown in its window.
    virtual PLRect visibleRect() const = 0;
    virtual void setNeedsDisplay() = 0;
    virtual void setNeedsDisplayInRect(const PLRect& rect) = 0;
    // While the view draws: whether the rectangle meets the area being redrawn.
    virtual bool needsToDrawRect(const PLRect& rect) const = 0;
    // Whether the view's window is the key window and the view its first responder.
    virtual bool hasKeyFocus() const = 0;
    // Between the view's space and its window's (y-up as well).
    virtual PLRect convertRectToWindow(const PLRect& rect) const = 0;
    virtual PLRect convertRectFromWindow(const PLRect& rect) const = 0;
    // The size of the screen that the canvas is sized against; the main screen's by default.
    virtual PLSize screenSize() const;
    // The pointer shape while a cell tracks the mouse. Views without a pointer (printing,
    // pictures) ignore it, as the default does.
    virtual void setCursor(PLCursor cursor);
    // Scrolls when a drag leaves the visible part; the default does not scroll.
    virtual void autoscroll(const PLMouseEvent& event);
    // Waits up to timeout seconds, in the event-tracking mode, for the next mouse event whose
    // type is in the mask (PLMouseEvent::maskForType), leaving it queued so that it is still
    // delivered; nothing when none came in time (the button is held still). By default from
    // the events the view posts to PLMouseTracking.
    virtual std::optional<PLMouseEvent> nextEventMatchingMask(std::uint32_t mask, double timeout);
};

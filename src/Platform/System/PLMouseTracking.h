#pragma once

#include "Platform/System/PLMouseEvent.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// The mouse events of tracking loops. A handler that follows a drag until the button goes up
// (a resize, a reshape), or waits to learn whether a press becomes a click or a drag, asks for
// its next event here from within the mouse-down handler, as a modal panel runs its own loop:
// nextEvent runs a nested event loop in the event-tracking run-loop mode until the hosting
// view posts a matching event. So deferred work queued for that mode (the layout context's
// reloads) goes on during the drag, work for the default mode waits, and everything the
// handler records for undo stays one step (a nested loop does not end the turn).
//
// The hosting view posts each mouse event here while isTracking() holds, and handles it as
// usual otherwise. After the handler returns, the view takes back with takePendingEvents()
// what was posted and not taken (a release that a timed press only looked at) and delivers it
// in order, for example to the tool the handler started with the press.
//
// Main thread only; needs the Qt application object.
class PLMouseTracking {
public:
    // How long a press waits for a release or a drag before it counts as held.
    static constexpr std::chrono::milliseconds PressWait{500};

    // What a press became: the button went up, the mouse was dragged, or neither in time.
    enum class PressOutcome { Released, Dragged, Held };

    // Whether a handler is waiting in nextEvent.
    static bool isTracking();
    static void postEvent(const PLMouseEvent& event);

    // The next posted event whose type is in the mask (PLMouseEvent::maskForType), waiting at
    // most the timeout (without one, until it comes); nothing when the time ran out. With
    // dequeue the event is taken and the events of other types before it are dropped (a
    // tracking loop owns the mouse); without it the queue is left as it is. One pass of the
    // nested loop runs even when the event is already queued.
    static std::optional<PLMouseEvent> nextEvent(std::uint32_t mask,
                                                 std::optional<std::chrono::milliseconds> timeout = std::nullopt,
                                                 bool dequeue = true);
    // Waits up to the wait for the press's release or first drag, leaving both queued.
    static PressOutcome waitForPressOutcome(std::chrono::milliseconds wait = PressWait);

    // Empties the queue, giving back what was posted and not taken, in order.
    static std::vector<PLMouseEvent> takePendingEvents();
};

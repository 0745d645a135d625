#pragma once

#include "Platform/Drawing/PLPoint.h"

#include <cstdint>

// A mouse event as the map's cells see it: the hosting view turns Qt's events into these, with
// the location already in the view's y-up space. Types keep the numbers the cells test
// (1 left down, 2 left up, 5 moved, 6 left dragged), so that event masks are 1 << type.
class PLMouseEvent {
public:
    enum Type : int {
        LeftMouseDown = 1,
        LeftMouseUp = 2,
        RightMouseDown = 3,
        RightMouseUp = 4,
        MouseMoved = 5,
        LeftMouseDragged = 6,
        RightMouseDragged = 7,
        MouseEntered = 8,
        MouseExited = 9,
        // Not the mouse's own: a tracking loop's gesture was abandoned (Escape, or the view
        // lost the keyboard focus or was hidden while the button was down).
        TrackingCancelled = 10,
    };

    // Modifier keys held during the event. Command is the shortcut key (Ctrl on this system's
    // keyboards), Control the other one (Meta), Option the Alt key.
    enum Modifier : std::uint32_t {
        Shift = 1u << 0,
        Control = 1u << 1,
        Option = 1u << 2,
        Command = 1u << 3,
    };

    static constexpr std::uint32_t maskForType(Type type) { return 1u << type; }

    constexpr PLMouseEvent() = default;
    constexpr PLMouseEvent(Type type, PLPoint locationInView, int clickCount = 1, std::uint32_t modifierFlags = 0)
        : m_type(type), m_location(locationInView), m_clickCount(clickCount), m_modifierFlags(modifierFlags)
    {
    }

    constexpr Type type() const { return m_type; }
    constexpr PLPoint locationInView() const { return m_location; }
    // Where the event happened in its window (y-up), which stays put while the view scrolls
    // under the pointer; the view's location when the hosting view gave none.
    constexpr PLPoint locationInWindow() const { return m_hasWindowLocation ? m_windowLocation : m_location; }
    constexpr void setLocationInWindow(PLPoint location)
    {
        m_windowLocation = location;
        m_hasWindowLocation = true;
    }
    constexpr int clickCount() const { return m_clickCount; }
    constexpr std::uint32_t modifierFlags() const { return m_modifierFlags; }
    constexpr bool hasModifier(Modifier modifier) const { return (m_modifierFlags & modifier) != 0; }
    constexpr bool matchesMask(std::uint32_t mask) const { return (mask & maskForType(m_type)) != 0; }

private:
    Type m_type = MouseMoved;
    PLPoint m_location;
    PLPoint m_windowLocation;
    bool m_hasWindowLocation = false;
    int m_clickCount = 0;
    std::uint32_t m_modifierFlags = 0;
};

#pragma once

#include "Platform/System/PLMouseEvent.h"

#include <memory>
#include <optional>

class QKeyEvent;

// The event that starts a tool: a mouse event in the hosting view's y-up space (from a view
// or a cell), a key press (typing that starts a text tool), or none. A value; the key press is
// copied, so the event may outlive Qt's.
class IXToolEvent {
public:
    IXToolEvent() = default;
    explicit IXToolEvent(const PLMouseEvent& mouseEvent) : m_mouseEvent(mouseEvent) {}
    explicit IXToolEvent(const QKeyEvent& keyEvent);

    bool isNone() const { return !m_mouseEvent && !m_keyEvent; }
    // The mouse event, or null.
    const PLMouseEvent* mouseEvent() const { return m_mouseEvent ? &*m_mouseEvent : nullptr; }
    // The key press, or null.
    const QKeyEvent* keyEvent() const { return m_keyEvent.get(); }

private:
    std::optional<PLMouseEvent> m_mouseEvent;
    std::shared_ptr<const QKeyEvent> m_keyEvent;
};

#pragma once

#include "Platform/Core/PLIdentity.h"

#include <QFlags>
#include <QObject>

#include <chrono>
#include <functional>
#include <string_view>
#include <type_traits>

// The kinds of work the main loop is doing. Qt has no run-loop modes of its own: code that
// tracks the mouse or runs a modal panel says so through PLRunLoopModeScope, and deferred
// work that does not name the current mode waits until the mode allows it.
enum class PLRunLoopMode : unsigned {
    Default = 0x1,
    EventTracking = 0x2,
    ModalPanel = 0x4,
};
Q_DECLARE_FLAGS(PLRunLoopModes, PLRunLoopMode)
Q_DECLARE_OPERATORS_FOR_FLAGS(PLRunLoopModes)

// Deferred work on the main event loop.
//
//     PLRunLoop::perform(this, "doReload", [this] { doReload(); }, 0ms, PLRunLoop::commonModes());
//     PLRunLoop::cancel(this, "doReload");
//
// Work runs once, after its delay, on a later turn of the loop (never from within perform),
// in the order of its due time and then of its request; only in a mode it names. Every
// request has an owner (any object; compared by identity) and an action key, by which it can
// be cancelled. Work owned by a QObject is cancelled when the object is destroyed. Requests
// are not coalesced: callers that want one pending request check isPending first.
//
// Main thread only; needs the Qt application object.
class PLRunLoop {
public:
    static PLRunLoopModes commonModes()
    {
        return PLRunLoopMode::Default | PLRunLoopMode::EventTracking | PLRunLoopMode::ModalPanel;
    }

    static PLRunLoopMode currentMode();
    // Prefer PLRunLoopModeScope. Held work that the new mode allows runs on the next turn.
    static void setCurrentMode(PLRunLoopMode mode);

    static void perform(const void* owner, std::string_view key, std::function<void()> action,
                        std::chrono::milliseconds delay = {}, PLRunLoopModes modes = PLRunLoopMode::Default);
    template <typename T>
        requires std::is_class_v<T>
    static void perform(const T* owner, std::string_view key, std::function<void()> action,
                        std::chrono::milliseconds delay = {}, PLRunLoopModes modes = PLRunLoopMode::Default)
    {
        const QObject* watched = nullptr;
        if constexpr (std::is_base_of_v<QObject, T>) watched = owner;
        performFor(PLIdentityOf(owner), watched, key, std::move(action), delay, modes);
    }

    // Cancels the owner's pending work (of one action key).
    static void cancel(const void* owner);
    static void cancel(const void* owner, std::string_view key);
    template <typename T>
        requires std::is_class_v<T>
    static void cancel(const T* owner)
    {
        cancel(PLIdentityOf(owner));
    }
    template <typename T>
        requires std::is_class_v<T>
    static void cancel(const T* owner, std::string_view key)
    {
        cancel(PLIdentityOf(owner), key);
    }

    static bool isPending(const void* owner, std::string_view key);
    template <typename T>
        requires std::is_class_v<T>
    static bool isPending(const T* owner, std::string_view key)
    {
        return isPending(PLIdentityOf(owner), key);
    }

private:
    static void performFor(const void* owner, const QObject* watched, std::string_view key, std::function<void()> action,
                           std::chrono::milliseconds delay, PLRunLoopModes modes);
};

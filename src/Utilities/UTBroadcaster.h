#pragma once

#include "Platform/Core/PLIdentity.h"
#include "Utilities/UTNotification.h"
#include "Utilities/UTObserver.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// A multicast proxy for notifications. A sender calls send() once, as if the broadcaster
// were one observer, and the broadcaster passes the call on to every registered observer
// that implements it (UTObserver::respondsToSelector) and derives from the protocol that
// declares it; nobody else is called and a call that nobody implements is dropped. A call
// names its notification by the protocol's constant (UTNotification), which carries both the
// selector text and the method:
//
//     broadcaster.send(IXBranchNodeDidChangeProperty, this, QStringLiteral("title"));
//
// An observer may restrict itself to chosen senders (addObserverTarget): it then receives a
// call only when the call's first argument is one of them. A first argument that is not a
// pointer to an object, or is null, passes every filter.
//
// Neither observers nor senders are owned; senders are compared by identity (the address of
// the most-derived object). Delivery runs over a snapshot of the receivers taken when the
// call starts: observers may register and unregister themselves or others, send further
// notifications, or destroy the broadcaster while a call is being delivered, and an observer
// removed meanwhile is not called any more. Observers filtered on one sender each are indexed
// by sender, so a call reaches its receivers without visiting the others, and removing an
// observer or a sender costs only its own entries.
//
// Main thread only.
class UTBroadcaster {
public:
    UTBroadcaster();
    ~UTBroadcaster();
    UTBroadcaster(const UTBroadcaster&) = delete;
    UTBroadcaster& operator=(const UTBroadcaster&) = delete;

    // Registers the observer for every call it implements; registering it again changes
    // nothing (in particular, it keeps its sender filter).
    void addObserver(UTObserver* observer);
    // Unregisters the observer together with its sender filter; an unknown observer is ignored.
    void removeObserver(UTObserver* observer);

    // Registers the observer if needed and adds the sender to its sender filter.
    void addObserverTarget(UTObserver* observer, const void* sender);
    template <typename T>
        requires std::is_class_v<T>
    void addObserverTarget(UTObserver* observer, const T* sender)
    {
        addObserverTarget(observer, PLIdentityOf(sender));
    }

    // Removes the sender from the observer's sender filter; an observer whose filter becomes
    // empty is unregistered. An observer registered without a filter is left untouched.
    void removeObserverTarget(UTObserver* observer, const void* sender);
    template <typename T>
        requires std::is_class_v<T>
    void removeObserverTarget(UTObserver* observer, const T* sender)
    {
        removeObserverTarget(observer, PLIdentityOf(sender));
    }

    // Removes the sender from every observer's sender filter, by the rule above.
    void removeAnyObserversWithTarget(const void* sender);
    template <typename T>
        requires std::is_class_v<T>
    void removeAnyObserversWithTarget(const T* sender)
    {
        removeAnyObserversWithTarget(PLIdentityOf(sender));
    }

    bool hasObserver(const UTObserver* observer) const;
    std::size_t observerCount() const;

    // Delivers a notification: calls its method with args on every registered observer that
    // responds to its selector, is a Protocol and whose sender filter (if any) admits the
    // first argument, in the order they registered. Return values are dropped.
    template <typename Protocol, typename Result, typename... Params, typename... Args>
    void send(const UTNotification<Protocol, Result, Params...>& notification, const Args&... args)
    {
        static_assert(std::is_base_of_v<UTObserver, Protocol>, "notification protocols derive from UTObserver");
        const std::string_view selector = notification.selector();
        const auto method = notification.method();
        static_assert(sizeof...(Params) == sizeof...(Args), "argument count does not match the notification");
        // The tables stay alive through the local reference even if a receiver destroys
        // the broadcaster; they are emptied then, so nobody else is called.
        const std::shared_ptr<State> state = m_state;
        const void* sender = nullptr;
        if constexpr (sizeof...(Args) > 0) sender = senderOf(args...);
        const std::vector<Receiver> receivers = receiversOf(*state, selector, sender);
        const std::uint64_t removals = removalsOf(*state);
        for (const Receiver& receiver : receivers) {
            if (!isStillReceiving(*state, removals, receiver, sender)) continue;
            if (auto* target = dynamic_cast<Protocol*>(receiver.observer)) (target->*method)(args...);
        }
    }

private:
    struct State;
    struct Receiver {
        UTObserver* observer;
        std::uint64_t serial;
    };

    template <typename T>
    struct IsSharedPtr : std::false_type {};
    template <typename T>
    struct IsSharedPtr<std::shared_ptr<T>> : std::true_type {};

    // The first argument is the sender when it points at an object (raw or shared pointer).
    template <typename First, typename... Rest>
    static const void* senderOf(const First& first, const Rest&...)
    {
        using T = std::remove_cv_t<First>;
        if constexpr (std::is_pointer_v<T> && std::is_class_v<std::remove_pointer_t<T>>) {
            return PLIdentityOf(first);
        } else if constexpr (IsSharedPtr<T>::value) {
            if constexpr (std::is_class_v<typename T::element_type>) return PLIdentityOf(first.get());
            else return nullptr;
        } else {
            return nullptr;
        }
    }

    static std::vector<Receiver> receiversOf(State& state, std::string_view selector, const void* sender);
    static std::uint64_t removalsOf(const State& state);
    // Whether a receiver of the snapshot is still registered (as the same object) and still
    // admits the sender.
    static bool isStillReceiving(const State& state, std::uint64_t removalsAtSnapshot, const Receiver& receiver, const void* sender);
    void unregister(UTObserver* observer);

    std::shared_ptr<State> m_state;
};

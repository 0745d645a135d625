#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

class UTBroadcaster;

// Base of every observer that registers with a UTBroadcaster.
//
// A notification protocol is an abstract class deriving virtually from UTObserver whose
// notification methods do nothing by default, with one UTNotification constant per method
// (the selector text and the method together). An observer derives from the protocols it
// listens to and names, in respondsToSelector, the notifications it really implements by
// those constants (isAnyOf(selector, {IXBranchNodeDidChangeProperty})). The broadcaster calls
// an observer only for those, so observers that ignore a notification cost nothing when it
// is sent.
//
// An observer that is destroyed while still registered unregisters itself from every
// broadcaster it is registered with, so a forgotten removeObserver never leaves a dangling
// pointer behind.
class UTObserver {
public:
    UTObserver() = default;
    // Registrations belong to one object: a copy starts unregistered and assignment keeps
    // the target's own registrations.
    UTObserver(const UTObserver&) noexcept {}
    UTObserver& operator=(const UTObserver&) noexcept { return *this; }
    virtual ~UTObserver();

    // Whether this observer implements the notification with the given selector text.
    // The answer must not change while the observer is registered.
    virtual bool respondsToSelector(std::string_view selector) const;

protected:
    // Convenience for respondsToSelector overrides.
    static bool isAnyOf(std::string_view selector, std::initializer_list<std::string_view> selectors);

private:
    friend class UTBroadcaster;
    // The broadcasters this observer is registered with (usually one or two).
    std::vector<UTBroadcaster*> m_broadcasters;
};

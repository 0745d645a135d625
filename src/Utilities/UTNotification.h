#pragma once

#include <cstddef>
#include <string_view>

// One notification of a protocol: its selector text and the protocol method that receives it,
// made together by UT_NOTIFICATION so that the two cannot disagree. The selector's first
// keyword is the method's own name (stringized by the macro), and a selector that does not
// take one argument per colon does not compile. Senders pass the constant to
// UTBroadcaster::send; observers name the same constants in respondsToSelector (a constant is a
// std::string_view), so a misspelt notification never compiles.
//
//     inline constexpr auto IXBranchNodeDidChangeProperty =
//         UT_NOTIFICATION(IXBranchNodeObserver, notifiedOfBranchNode, "didChangeProperty:");
template <typename Protocol, typename Result, typename... Params>
class UTNotification {
public:
    using Method = Result (Protocol::*)(Params...);

    consteval UTNotification(std::string_view selector, Method method) : m_selector(selector), m_method(method)
    {
        std::size_t colons = 0;
        for (const char c : selector) colons += c == ':' ? 1 : 0;
        // Not a constant expression, so a wrong selector stops the compilation here.
        if (colons != sizeof...(Params) || selector.empty() || selector.back() != ':') throw "one colon per argument";
    }

    constexpr std::string_view selector() const { return m_selector; }
    constexpr Method method() const { return m_method; }
    constexpr operator std::string_view() const { return m_selector; }

private:
    std::string_view m_selector;
    Method m_method;
};

// The notification of Protocol::method; rest is the selector after the method's own keyword
// ("didChangeProperty:"), empty for a notification with one argument.
#define UT_NOTIFICATION(Protocol, method, rest) UTNotification(#method ":" rest, &Protocol::method)

#include "Utilities/UTBroadcaster.h"

#include "Platform/Core/PLAssert.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {
struct TransparentHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};
}

struct UTBroadcaster::State {
    struct Registration {
        // Registration order; also tells a re-registered observer (or a new object at the
        // address of a removed one) from the one a snapshot was taken of.
        std::uint64_t serial = 0;
        // The senders of the filter, each with the observer's position in that sender's
        // list of bySender. Empty: the observer takes calls from every sender.
        std::unordered_map<const void*, std::size_t> senders;
    };
    // The observers that respond to one selector, with their serials, split by whether they
    // filter on senders.
    struct Responders {
        std::unordered_map<UTObserver*, std::uint64_t> unfiltered;
        std::unordered_map<UTObserver*, std::uint64_t> filtered;
    };

    std::unordered_map<UTObserver*, Registration> observers;
    // For every sender, the observers whose filter holds it (in no particular order).
    std::unordered_map<const void*, std::vector<UTObserver*>> bySender;
    // Made on the first call of a selector and kept current as observers come and go.
    std::unordered_map<std::string, Responders, TransparentHash, std::equal_to<>> responders;
    std::uint64_t nextSerial = 1;
    // Counts removals (of observers or of senders from filters). A delivery whose snapshot is
    // as old as the last removal need not check its receivers again.
    std::uint64_t removals = 0;

    Responders& respondersFor(std::string_view selector)
    {
        auto found = responders.find(selector);
        if (found != responders.end()) return found->second;
        Responders& made = responders[std::string(selector)];
        for (const auto& [observer, registration] : observers) {
            if (!observer->respondsToSelector(selector)) continue;
            auto& side = registration.senders.empty() ? made.unfiltered : made.filtered;
            side.emplace(observer, registration.serial);
        }
        return made;
    }

    void addToSender(UTObserver* observer, Registration& registration, const void* sender)
    {
        std::vector<UTObserver*>& list = bySender[sender];
        if (registration.senders.try_emplace(sender, list.size()).second) list.push_back(observer);
    }

    // Takes the observer out of the sender's list in constant time: the last entry moves
    // into its place.
    void removeFromSender(Registration& registration, const void* sender)
    {
        const auto position = registration.senders.find(sender);
        const auto list = bySender.find(sender);
        UTObserver* moved = list->second.back();
        if (moved != list->second[position->second]) {
            list->second[position->second] = moved;
            observers.at(moved).senders.at(sender) = position->second;
        }
        list->second.pop_back();
        if (list->second.empty()) bySender.erase(list);
        registration.senders.erase(position);
        ++removals;
    }
};

UTBroadcaster::UTBroadcaster() : m_state(std::make_shared<State>()) {}

UTBroadcaster::~UTBroadcaster()
{
    for (const auto& entry : m_state->observers) std::erase(entry.first->m_broadcasters, this);
    // A call being delivered holds the tables; emptying them stops it from calling anyone else.
    m_state->observers.clear();
    m_state->bySender.clear();
    m_state->responders.clear();
    ++m_state->removals;
}

void UTBroadcaster::addObserver(UTObserver* observer)
{
    PL_ASSERT_PARAM(observer, "observer");
    State& state = *m_state;
    auto [entry, inserted] = state.observers.try_emplace(observer);
    if (!inserted) return;
    entry->second.serial = state.nextSerial++;
    observer->m_broadcasters.push_back(this);
    for (auto& [selector, responders] : state.responders) {
        if (observer->respondsToSelector(selector)) responders.unfiltered.emplace(observer, entry->second.serial);
    }
}

void UTBroadcaster::removeObserver(UTObserver* observer)
{
    PL_ASSERT_PARAM(observer, "observer");
    unregister(observer);
}

void UTBroadcaster::unregister(UTObserver* observer)
{
    State& state = *m_state;
    const auto entry = state.observers.find(observer);
    if (entry == state.observers.end()) return;
    State::Registration& registration = entry->second;
    for (auto& [selector, responders] : state.responders) {
        auto& side = registration.senders.empty() ? responders.unfiltered : responders.filtered;
        side.erase(observer);
    }
    while (!registration.senders.empty()) state.removeFromSender(registration, registration.senders.begin()->first);
    state.observers.erase(entry);
    ++state.removals;
    std::erase(observer->m_broadcasters, this);
}

void UTBroadcaster::addObserverTarget(UTObserver* observer, const void* sender)
{
    PL_ASSERT_PARAM(observer, "observer");
    PL_ASSERT_PARAM(sender, "sender");
    addObserver(observer);
    State& state = *m_state;
    State::Registration& registration = state.observers.at(observer);
    if (registration.senders.empty()) {
        // The observer turns from taking every call to taking only its senders' calls.
        for (auto& [selector, responders] : state.responders) {
            if (auto node = responders.unfiltered.extract(observer)) responders.filtered.insert(std::move(node));
        }
    }
    state.addToSender(observer, registration, sender);
}

void UTBroadcaster::removeObserverTarget(UTObserver* observer, const void* sender)
{
    PL_ASSERT_PARAM(observer, "observer");
    PL_ASSERT_PARAM(sender, "sender");
    State& state = *m_state;
    const auto entry = state.observers.find(observer);
    if (entry == state.observers.end()) return;
    State::Registration& registration = entry->second;
    if (!registration.senders.contains(sender)) return;
    if (registration.senders.size() == 1) {
        // With its last sender gone the observer leaves rather than start taking every call.
        unregister(observer);
        return;
    }
    state.removeFromSender(registration, sender);
}

void UTBroadcaster::removeAnyObserversWithTarget(const void* sender)
{
    PL_ASSERT_PARAM(sender, "sender");
    const auto list = m_state->bySender.find(sender);
    if (list == m_state->bySender.end()) return;
    const std::vector<UTObserver*> holders = list->second;
    for (UTObserver* observer : holders) removeObserverTarget(observer, sender);
}

bool UTBroadcaster::hasObserver(const UTObserver* observer) const
{
    return m_state->observers.contains(const_cast<UTObserver*>(observer));
}

std::size_t UTBroadcaster::observerCount() const
{
    return m_state->observers.size();
}

std::vector<UTBroadcaster::Receiver> UTBroadcaster::receiversOf(State& state, std::string_view selector, const void* sender)
{
    std::vector<Receiver> receivers;
    if (state.observers.empty()) return receivers;
    const State::Responders& responders = state.respondersFor(selector);
    for (const auto& [observer, serial] : responders.unfiltered) receivers.push_back({observer, serial});
    if (sender) {
        // Only the observers filtered on this sender.
        const auto list = state.bySender.find(sender);
        if (list != state.bySender.end()) {
            for (UTObserver* observer : list->second) {
                const auto responder = responders.filtered.find(observer);
                if (responder != responders.filtered.end()) receivers.push_back({observer, responder->second});
            }
        }
    } else {
        for (const auto& [observer, serial] : responders.filtered) receivers.push_back({observer, serial});
    }
    // Registration order, so that runs are reproducible.
    std::sort(receivers.begin(), receivers.end(), [](const Receiver& a, const Receiver& b) { return a.serial < b.serial; });
    return receivers;
}

std::uint64_t UTBroadcaster::removalsOf(const State& state)
{
    return state.removals;
}

bool UTBroadcaster::isStillReceiving(const State& state, std::uint64_t removalsAtSnapshot, const Receiver& receiver, const void* sender)
{
    if (state.removals == removalsAtSnapshot) return true;
    const auto entry = state.observers.find(receiver.observer);
    if (entry == state.observers.end() || entry->second.serial != receiver.serial) return false;
    const auto& senders = entry->second.senders;
    return !sender || senders.empty() || senders.contains(sender);
}

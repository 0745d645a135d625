#include "Utilities/UTBroadcaster.h"

#include "TestSupport/ExpectAssertion.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct Node {
    virtual ~Node() = default;
    int tag = 0;
};

// A sender whose Node part does not sit at the start of the object, so that a pointer to
// the base and one to the whole object differ.
struct Padding {
    virtual ~Padding() = default;
    double padding = 0;
};
struct PaddedNode : Padding, Node {};

class NodeProtocol : public virtual UTObserver {
public:
    virtual void notifiedOfNode(const Node* node, const std::string& property) {}
    virtual void notifiedOfCount(int count) {}
};

class OtherProtocol : public virtual UTObserver {
public:
    virtual void notifiedOfOther(std::shared_ptr<Node> node) {}
};

constexpr auto NodeChanged = UT_NOTIFICATION(NodeProtocol, notifiedOfNode, "didChangeProperty:");
constexpr auto CountChanged = UT_NOTIFICATION(NodeProtocol, notifiedOfCount, "");
constexpr auto OtherChanged = UT_NOTIFICATION(OtherProtocol, notifiedOfOther, "");

// Records every call in one shared log as "<name>:<selector>".
class Recorder : public NodeProtocol, public OtherProtocol {
public:
    Recorder(std::string name, std::vector<std::string>* log, std::set<std::string_view> selectors = {NodeChanged, CountChanged, OtherChanged})
        : name(std::move(name)), log(log), selectors(std::move(selectors))
    {
    }
    bool respondsToSelector(std::string_view selector) const override { return selectors.contains(selector); }
    void notifiedOfNode(const Node*, const std::string&) override { record(NodeChanged); }
    void notifiedOfCount(int) override { record(CountChanged); }
    void notifiedOfOther(std::shared_ptr<Node>) override { record(OtherChanged); }

    std::function<void()> onCall;
    std::string name;

private:
    void record(std::string_view selector)
    {
        log->push_back(name + ":" + std::string(selector));
        if (onCall) onCall();
    }
    std::vector<std::string>* log;
    std::set<std::string_view> selectors;
};

// Claims a selector but is not of the protocol that declares it.
class Impostor : public OtherProtocol {
public:
    bool respondsToSelector(std::string_view selector) const override { return selector == NodeChanged; }
};

void sendNode(UTBroadcaster& broadcaster, const Node* node)
{
    broadcaster.send(NodeChanged, node, std::string("title"));
}

} // namespace

TEST(UTBroadcaster, CallsThatNobodyImplementsAreDropped)
{
    UTBroadcaster broadcaster;
    Node node;
    // Nobody ever registered.
    EXPECT_NO_THROW(sendNode(broadcaster, &node));
    EXPECT_NO_THROW(broadcaster.send(CountChanged, 3));

    std::vector<std::string> log;
    Recorder countOnly("a", &log, {CountChanged});
    Impostor impostor;
    broadcaster.addObserver(&countOnly);
    broadcaster.addObserver(&impostor);
    sendNode(broadcaster, &node);
    EXPECT_TRUE(log.empty());
    broadcaster.send(CountChanged, 3);
    EXPECT_EQ(log, std::vector<std::string>{"a:notifiedOfCount:"});
}

TEST(UTBroadcaster, SenderFiltersAdmitOnlyTheirSendersButNeverFilterNonObjectFirstArguments)
{
    std::vector<std::string> log;
    UTBroadcaster broadcaster;
    Node a, b;
    auto shared = std::make_shared<Node>();
    Recorder filtered("filtered", &log), everything("everything", &log);
    broadcaster.addObserverTarget(&filtered, &a);
    broadcaster.addObserverTarget(&filtered, shared.get());
    broadcaster.addObserver(&everything);

    const struct {
        const char* label;
        std::function<void()> send;
        std::vector<std::string> expected;
    } cases[] = {
        {"its sender", [&] { sendNode(broadcaster, &a); }, {"filtered:" + std::string(NodeChanged), "everything:" + std::string(NodeChanged)}},
        {"another sender", [&] { sendNode(broadcaster, &b); }, {"everything:" + std::string(NodeChanged)}},
        {"null sender", [&] { sendNode(broadcaster, nullptr); }, {"filtered:" + std::string(NodeChanged), "everything:" + std::string(NodeChanged)}},
        {"non-object first argument", [&] { broadcaster.send(CountChanged, 7); },
         {"filtered:" + std::string(CountChanged), "everything:" + std::string(CountChanged)}},
        {"shared pointer sender", [&] { broadcaster.send(OtherChanged, shared); },
         {"filtered:" + std::string(OtherChanged), "everything:" + std::string(OtherChanged)}},
        {"other shared pointer", [&] { broadcaster.send(OtherChanged, std::make_shared<Node>()); },
         {"everything:" + std::string(OtherChanged)}},
    };
    for (const auto& c : cases) {
        log.clear();
        c.send();
        EXPECT_EQ(log, c.expected) << c.label;
    }
}

TEST(UTBroadcaster, SendersAreComparedAsWholeObjects)
{
    std::vector<std::string> log;
    UTBroadcaster broadcaster;
    PaddedNode node;
    const Node* asBase = &node;
    ASSERT_NE(static_cast<const void*>(asBase), static_cast<const void*>(&node));
    Recorder recorder("r", &log);
    broadcaster.addObserverTarget(&recorder, &node);
    sendNode(broadcaster, asBase);
    EXPECT_EQ(log.size(), 1u);
    broadcaster.removeAnyObserversWithTarget(asBase);
    EXPECT_FALSE(broadcaster.hasObserver(&recorder));
}

TEST(UTBroadcaster, RegistrationRules)
{
    std::vector<std::string> log;
    UTBroadcaster broadcaster;
    Node a, b;
    Recorder r("r", &log);

    // Registering twice delivers once; a second addObserver keeps the sender filter.
    broadcaster.addObserverTarget(&r, &a);
    broadcaster.addObserver(&r);
    broadcaster.addObserver(&r);
    EXPECT_EQ(broadcaster.observerCount(), 1u);
    sendNode(broadcaster, &b);
    EXPECT_TRUE(log.empty());
    sendNode(broadcaster, &a);
    EXPECT_EQ(log.size(), 1u);

    // Removing a sender the observer does not filter on changes nothing.
    broadcaster.removeObserverTarget(&r, &b);
    EXPECT_TRUE(broadcaster.hasObserver(&r));

    // Removing the last sender unregisters; a later addObserver receives everything.
    broadcaster.removeObserverTarget(&r, &a);
    EXPECT_FALSE(broadcaster.hasObserver(&r));
    log.clear();
    sendNode(broadcaster, &a);
    EXPECT_TRUE(log.empty());
    broadcaster.addObserver(&r);
    sendNode(broadcaster, &b);
    EXPECT_EQ(log.size(), 1u);

    // An observer without a sender filter is untouched by sender removal.
    broadcaster.removeObserverTarget(&r, &a);
    broadcaster.removeAnyObserversWithTarget(&a);
    EXPECT_TRUE(broadcaster.hasObserver(&r));

    // Removing an unknown observer is harmless.
    Recorder stranger("s", &log);
    EXPECT_NO_THROW(broadcaster.removeObserver(&stranger));
    EXPECT_NO_THROW(broadcaster.removeObserverTarget(&stranger, &a));
}

TEST(UTBroadcaster, RemoveAnyObserversWithTargetDropsOnlyThatSender)
{
    std::vector<std::string> log;
    UTBroadcaster broadcaster;
    Node a, b;
    Recorder onlyA("onlyA", &log), both("both", &log), all("all", &log);
    broadcaster.addObserverTarget(&onlyA, &a);
    broadcaster.addObserverTarget(&both, &a);
    broadcaster.addObserverTarget(&both, &b);
    broadcaster.addObserver(&all);

    broadcaster.removeAnyObserversWithTarget(&a);
    EXPECT_FALSE(broadcaster.hasObserver(&onlyA));
    EXPECT_TRUE(broadcaster.hasObserver(&both));
    EXPECT_TRUE(broadcaster.hasObserver(&all));
    sendNode(broadcaster, &a);
    EXPECT_EQ(log, std::vector<std::string>{"all:" + std::string(NodeChanged)});
    log.clear();
    sendNode(broadcaster, &b);
    EXPECT_EQ(log, (std::vector<std::string>{"both:" + std::string(NodeChanged), "all:" + std::string(NodeChanged)}));
}

TEST(UTBroadcaster, RespondersStayCurrentAfterASelectorWasFirstSent)
{
    std::vector<std::string> log;
    UTBroadcaster broadcaster;
    Node a, b;
    Recorder early("early", &log), late("late", &log), turned("turned", &log);
    broadcaster.addObserver(&early);
    broadcaster.addObserver(&turned);
    sendNode(broadcaster, &a); // builds the responder set of the selector

    broadcaster.addObserver(&late);
    broadcaster.addObserverTarget(&turned, &b); // from every call to b's calls only
    broadcaster.removeObserver(&early);
    log.clear();
    sendNode(broadcaster, &a);
    EXPECT_EQ(log, std::vector<std::string>{"late:" + std::string(NodeChanged)});
    log.clear();
    sendNode(broadcaster, &b);
    EXPECT_EQ(log, (std::vector<std::string>{"turned:" + std::string(NodeChanged), "late:" + std::string(NodeChanged)}));
}

TEST(UTBroadcaster, DeliversInRegistrationOrder)
{
    std::vector<std::string> log;
    UTBroadcaster broadcaster;
    Node a;
    std::vector<std::unique_ptr<Recorder>> recorders;
    std::vector<std::string> expected;
    for (int i = 0; i < 6; ++i) {
        recorders.push_back(std::make_unique<Recorder>(std::to_string(i), &log));
        // Alternate filtered and unfiltered observers so that both kinds are merged.
        if (i % 2) broadcaster.addObserverTarget(recorders.back().get(), &a);
        else broadcaster.addObserver(recorders.back().get());
        expected.push_back(std::to_string(i).append(":").append(std::string(NodeChanged)));
    }
    sendNode(broadcaster, &a);
    EXPECT_EQ(log, expected);
    log.clear();
    sendNode(broadcaster, nullptr);
    EXPECT_EQ(log, expected);
}

TEST(UTBroadcaster, MissingArgumentsAreProgrammingErrors)
{
    std::vector<std::string> log;
    UTBroadcaster broadcaster;
    Recorder r("r", &log);
    Node a;
    const struct {
        const char* condition;
        std::function<void()> call;
    } cases[] = {
        {"observer", [&] { broadcaster.addObserver(nullptr); }},
        {"observer", [&] { broadcaster.removeObserver(nullptr); }},
        {"observer", [&] { broadcaster.addObserverTarget(nullptr, &a); }},
        {"sender", [&] { broadcaster.addObserverTarget(&r, nullptr); }},
        {"observer", [&] { broadcaster.removeObserverTarget(nullptr, &a); }},
        {"sender", [&] { broadcaster.removeObserverTarget(&r, nullptr); }},
        {"sender", [&] { broadcaster.removeAnyObserversWithTarget(nullptr); }},
    };
    for (const auto& c : cases) expectAssertion(c.condition, c.call);
    EXPECT_EQ(broadcaster.observerCount(), 0u);
}

TEST(UTBroadcaster, DeliveryIsSafeWhenReceiversChangeTheRegistrations)
{
    std::vector<std::string> log;
    Node a, b;
    auto names = [&] {
        std::vector<std::string> result;
        for (const auto& line : log) result.push_back(line.substr(0, line.find(':')));
        return result;
    };

    {   // Removing itself and a later observer: the removed one is not called.
        UTBroadcaster broadcaster;
        Recorder first("first", &log), second("second", &log), third("third", &log);
        for (Recorder* r : {&first, &second, &third}) broadcaster.addObserver(r);
        first.onCall = [&] { broadcaster.removeObserver(&first); broadcaster.removeObserver(&second); };
        sendNode(broadcaster, &a);
        EXPECT_EQ(names(), (std::vector<std::string>{"first", "third"}));
        EXPECT_EQ(broadcaster.observerCount(), 1u);
    }
    log.clear();
    {   // An observer added during delivery is called from the next call on.
        UTBroadcaster broadcaster;
        Recorder first("first", &log), added("added", &log);
        broadcaster.addObserver(&first);
        first.onCall = [&] { broadcaster.addObserver(&added); };
        sendNode(broadcaster, &a);
        EXPECT_EQ(names(), std::vector<std::string>{"first"});
        first.onCall = nullptr;
        sendNode(broadcaster, &a);
        EXPECT_EQ(names(), (std::vector<std::string>{"first", "first", "added"}));
    }
    log.clear();
    {   // Destroying a later observer (which unregisters it), even when a new observer takes
        // its address, or dropping its sender: nobody stale is called.
        UTBroadcaster broadcaster;
        Recorder first("first", &log), filtered("filtered", &log);
        auto doomed = std::make_unique<Recorder>("doomed", &log);
        broadcaster.addObserver(&first);
        broadcaster.addObserver(doomed.get());
        broadcaster.addObserverTarget(&filtered, &a);
        broadcaster.addObserverTarget(&filtered, &b);
        // The doomed observer is rebuilt in its own storage, so the new one has the old address.
        first.onCall = [&] {
            Recorder* address = doomed.release();
            address->~Recorder();
            new (address) Recorder("reborn", &log);
            doomed.reset(address);
            broadcaster.addObserver(doomed.get());
            broadcaster.removeObserverTarget(&filtered, &a);
        };
        sendNode(broadcaster, &a);
        EXPECT_EQ(names(), std::vector<std::string>{"first"});
    }
    log.clear();
    {   // A receiver that destroys the broadcaster ends the delivery quietly.
        auto broadcaster = std::make_unique<UTBroadcaster>();
        Recorder first("first", &log), second("second", &log);
        broadcaster->addObserver(&first);
        broadcaster->addObserver(&second);
        first.onCall = [&] { broadcaster.reset(); };
        sendNode(*broadcaster, &a);
        EXPECT_EQ(names(), std::vector<std::string>{"first"});
        EXPECT_EQ(broadcaster, nullptr);
    }
    log.clear();
    {   // A receiver may send further notifications.
        UTBroadcaster broadcaster;
        Recorder first("first", &log, {NodeChanged}), second("second", &log, {CountChanged});
        broadcaster.addObserver(&first);
        broadcaster.addObserver(&second);
        first.onCall = [&] { broadcaster.send(CountChanged, 1); };
        sendNode(broadcaster, &a);
        EXPECT_EQ(log, (std::vector<std::string>{"first:" + std::string(NodeChanged), "second:" + std::string(CountChanged)}));
    }
}

TEST(UTBroadcaster, ObserversAndBroadcastersMayGoAwayInEitherOrder)
{
    std::vector<std::string> log;
    Node a;
    UTBroadcaster broadcaster;
    {
        Recorder forgetful("forgetful", &log);
        broadcaster.addObserverTarget(&forgetful, &a);
        UTBroadcaster other;
        other.addObserver(&forgetful);
    } // forgetful outlives `other` by a moment, then goes without unregistering
    EXPECT_EQ(broadcaster.observerCount(), 0u);
    sendNode(broadcaster, &a);
    EXPECT_TRUE(log.empty());

    Recorder survivor("survivor", &log);
    {
        UTBroadcaster shortLived;
        shortLived.addObserver(&survivor);
        broadcaster.addObserver(&survivor);
    }
    sendNode(broadcaster, &a);
    EXPECT_EQ(log.size(), 1u);

    // A copy of an observer starts unregistered.
    Recorder copy = survivor;
    EXPECT_FALSE(broadcaster.hasObserver(&copy));
}

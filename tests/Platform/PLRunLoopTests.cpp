#include "TestSupport/ExpectAssertion.h"
#include "TestSupport/PLExpectBoundaryCatch.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLRunLoopModeScope.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

using namespace std::chrono_literals;

namespace {

// Runs the event loop until the condition holds or a generous deadline passes.
bool runUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 2000ms)
{
    const QDeadlineTimer deadline(limit);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

// Runs the event loop for a while so that due work gets its chance.
void runFor(std::chrono::milliseconds duration)
{
    const QDeadlineTimer deadline(duration);
    while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Owner {
    int tag = 0;
};

struct OtherBase {
    virtual ~OtherBase() = default;
    int padding = 0;
};
// An owner whose QObject part does not sit at the start of the object.
class MixedOwner : public OtherBase, public QObject {};

} // namespace

TEST(PLRunLoop, RunsLaterInDueOrderAndNeverFromWithinPerform)
{
    Owner owner;
    QStringList log;
    PLRunLoop::perform(&owner, "late", [&] { log << QStringLiteral("late"); }, 40ms);
    for (const char* name : {"a", "b", "c"}) PLRunLoop::perform(&owner, name, [&, name] { log << QString::fromLatin1(name); });
    EXPECT_TRUE(log.isEmpty());
    bool nestedRanInside = false;
    PLRunLoop::perform(&owner, "outer", [&] {
        PLRunLoop::perform(&owner, "inner", [&] { log << QStringLiteral("inner"); });
        nestedRanInside = log.contains(QStringLiteral("inner"));
    });
    ASSERT_TRUE(runUntil([&] { return log.contains(QStringLiteral("late")); }));
    EXPECT_FALSE(nestedRanInside);
    EXPECT_EQ(log, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("inner"), QStringLiteral("late")}));

    // No coalescing: two requests run twice.
    log.clear();
    PLRunLoop::perform(&owner, "twice", [&] { log << QStringLiteral("x"); });
    PLRunLoop::perform(&owner, "twice", [&] { log << QStringLiteral("x"); });
    EXPECT_TRUE(PLRunLoop::isPending(&owner, "twice"));
    ASSERT_TRUE(runUntil([&] { return log.size() == 2; }));
    EXPECT_FALSE(PLRunLoop::isPending(&owner, "twice"));
}

TEST(PLRunLoop, AThrowingActionIsLoggedAndAbandonedAndTheOthersRun)
{
    const PLExpectBoundaryCatch expect;
    QStringList log;
    const PLLog::Sink previous = PLLog::setSink([&log](const QString& line) { log << line; });
    Owner owner;
    QStringList ran;
    PLRunLoop::perform(&owner, "first", [&] { ran << QStringLiteral("first"); });
    PLRunLoop::perform(&owner, "assert", [] { PL_ASSERT_PARAM(false, "node"); });
    PLRunLoop::perform(&owner, "setter", [] { throw std::runtime_error("invalid day value"); });
    PLRunLoop::perform(&owner, "last", [&] { ran << QStringLiteral("last"); });
    PLRunLoop::perform(&owner, "later", [&] { ran << QStringLiteral("later"); }, 30ms);
    // Nothing unwinds through the event loop; the work of this and later turns still runs.
    ASSERT_TRUE(runUntil([&] { return ran.contains(QStringLiteral("later")); }));
    EXPECT_EQ(ran, (QStringList{QStringLiteral("first"), QStringLiteral("last"), QStringLiteral("later")}));
    EXPECT_EQ(log, (QStringList{QStringLiteral("Deferred action \"assert\" abandoned: Invalid parameter not satisfying: node"),
                                QStringLiteral("Deferred action \"setter\" abandoned: invalid day value")}));
    PLLog::setSink(previous);
}

TEST(PLRunLoop, WorkWaitsForAModeThatItNames)
{
    const struct {
        PLRunLoopMode mode;
        const char* label;
    } modes[] = {{PLRunLoopMode::EventTracking, "tracking"}, {PLRunLoopMode::ModalPanel, "modal"}};
    for (const auto& m : modes) {
        Owner owner;
        QStringList log;
        PLRunLoop::perform(&owner, "default", [&] { log << QStringLiteral("default"); });
        {
            PLRunLoopModeScope scope(m.mode);
            EXPECT_EQ(PLRunLoop::currentMode(), m.mode);
            PLRunLoop::perform(&owner, "common", [&] { log << QStringLiteral("common"); }, 0ms, PLRunLoop::commonModes());
            PLRunLoop::perform(&owner, "own", [&] { log << QStringLiteral("own"); }, 0ms, m.mode);
            ASSERT_TRUE(runUntil([&] { return log.size() == 2; })) << m.label;
            runFor(30ms);
            EXPECT_EQ(log, (QStringList{QStringLiteral("common"), QStringLiteral("own")})) << m.label;
            {   // Scopes nest; the work of the outer mode stays held in the inner one.
                PLRunLoopModeScope inner(m.mode == PLRunLoopMode::EventTracking ? PLRunLoopMode::ModalPanel : PLRunLoopMode::EventTracking);
                PLRunLoop::perform(&owner, "outer mode", [&] { log << QStringLiteral("outer mode"); }, 0ms, m.mode);
                runFor(30ms);
                EXPECT_EQ(log.size(), 2) << m.label;
            }
            ASSERT_TRUE(runUntil([&] { return log.size() == 3; })) << m.label;
        }
        EXPECT_EQ(PLRunLoop::currentMode(), PLRunLoopMode::Default);
        // Held work runs on a later turn, not when the scope ends.
        EXPECT_EQ(log.size(), 3) << m.label;
        ASSERT_TRUE(runUntil([&] { return log.size() == 4; })) << m.label;
        EXPECT_EQ(log.last(), QStringLiteral("default")) << m.label;
    }
}

TEST(PLRunLoop, CancelByOwnerOrByAction)
{
    Owner first, second;
    QStringList log;
    const auto record = [&](const char* name) { return [&log, name] { log << QString::fromLatin1(name); }; };
    PLRunLoop::perform(&first, "reload", record("first reload"));
    PLRunLoop::perform(&first, "layout", record("first layout"));
    PLRunLoop::perform(&second, "reload", record("second reload"));
    PLRunLoop::perform(&second, "layout", record("second layout"), 20ms);
    PLRunLoop::perform(&second, "tooltip", record("second tooltip"), 20ms);
    PLRunLoop::cancel(&first, "reload");
    PLRunLoop::cancel(&second);
    EXPECT_FALSE(PLRunLoop::isPending(&first, "reload"));
    EXPECT_TRUE(PLRunLoop::isPending(&first, "layout"));
    EXPECT_FALSE(PLRunLoop::isPending(&second, "layout"));

    // Work cancelled by earlier work of the same turn does not run either.
    PLRunLoop::perform(&second, "canceller", [&] { PLRunLoop::cancel(&second, "victim"); });
    PLRunLoop::perform(&second, "victim", record("victim"));
    ASSERT_TRUE(runUntil([&] { return !log.isEmpty(); }));
    runFor(50ms);
    EXPECT_EQ(log, QStringList{QStringLiteral("first layout")});
}

TEST(PLRunLoop, DestroyingAnOwnerCancelsItsWork)
{
    QStringList log;
    auto plain = std::make_unique<QObject>();
    auto mixed = std::make_unique<MixedOwner>();
    QObject survivor;
    PLRunLoop::perform(plain.get(), "reload", [&] { log << QStringLiteral("plain"); });
    PLRunLoop::perform(plain.get(), "layout", [&] { log << QStringLiteral("plain later"); }, 10ms);
    PLRunLoop::perform(static_cast<QObject*>(mixed.get()), "reload", [&] { log << QStringLiteral("mixed"); });
    PLRunLoop::perform(&survivor, "reload", [&] { log << QStringLiteral("survivor"); });
    // The owner is the whole object, whichever base it is named by.
    EXPECT_TRUE(PLRunLoop::isPending(static_cast<OtherBase*>(mixed.get()), "reload"));
    plain.reset();
    mixed.reset();
    ASSERT_TRUE(runUntil([&] { return !log.isEmpty(); }));
    runFor(40ms);
    EXPECT_EQ(log, QStringList{QStringLiteral("survivor")});
}

TEST(PLRunLoop, MissingArgumentsAreProgrammingErrors)
{
    Owner owner;
    const struct {
        const char* condition;
        std::function<void()> call;
    } cases[] = {
        {"owner", [] { PLRunLoop::perform(static_cast<const void*>(nullptr), "k", [] {}); }},
        {"action", [&] { PLRunLoop::perform(&owner, "k", {}); }},
        {"modes", [&] { PLRunLoop::perform(&owner, "k", [] {}, 0ms, PLRunLoopModes()); }},
    };
    for (const auto& c : cases) expectAssertion(c.condition, c.call);
    EXPECT_FALSE(PLRunLoop::isPending(&owner, "k"));
}

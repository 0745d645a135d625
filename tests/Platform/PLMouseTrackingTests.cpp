#include "Platform/System/PLMouseTracking.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLUndoManager.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr std::uint32_t DragOrUp =
    PLMouseEvent::maskForType(PLMouseEvent::LeftMouseDragged) | PLMouseEvent::maskForType(PLMouseEvent::LeftMouseUp);

PLMouseEvent eventOf(PLMouseEvent::Type type, float x = 0)
{
    return PLMouseEvent(type, PLPoint(x, 0));
}

// Posts the events later, one per delay, as the view would while the loop waits.
void postLater(const std::vector<std::pair<std::chrono::milliseconds, PLMouseEvent>>& events)
{
    for (const auto& [delay, event] : events)
        QTimer::singleShot(delay, [event = event] { PLMouseTracking::postEvent(event); });
}

// Follows a drag as a resize does: every event until the release.
std::vector<PLMouseEvent> trackUntilRelease(const std::function<void(const PLMouseEvent&)>& perEvent = {})
{
    std::vector<PLMouseEvent> seen;
    for (;;) {
        const std::optional<PLMouseEvent> event = PLMouseTracking::nextEvent(DragOrUp, 2000ms);
        if (!event) break;
        seen.push_back(*event);
        if (perEvent) perEvent(*event);
        if (event->type() == PLMouseEvent::LeftMouseUp) break;
    }
    return seen;
}

struct MouseTrackingTest : ::testing::Test {
    void SetUp() override { PLMouseTracking::takePendingEvents(); }
    void TearDown() override
    {
        PLMouseTracking::takePendingEvents();
        int owner = 0;
        PLRunLoop::cancel(&owner);
    }
};

} // namespace

TEST_F(MouseTrackingTest, DragRunsTrackingWorkAndHoldsDefaultWorkUntilRelease)
{
    QStringList log;
    int owner = 0;
    PLRunLoop::perform(&owner, "tracking", [&] { log << QStringLiteral("tracking work"); }, 0ms,
                       PLRunLoop::commonModes());
    PLRunLoop::perform(&owner, "default", [&] { log << QStringLiteral("default work"); });
    postLater({{20ms, eventOf(PLMouseEvent::LeftMouseDragged, 1)},
               {40ms, eventOf(PLMouseEvent::MouseMoved, 2)},
               {60ms, eventOf(PLMouseEvent::LeftMouseDragged, 3)},
               {80ms, eventOf(PLMouseEvent::LeftMouseUp, 4)}});
    EXPECT_FALSE(PLMouseTracking::isTracking());
    const auto seen = trackUntilRelease([&](const PLMouseEvent& event) {
        EXPECT_EQ(PLRunLoop::currentMode(), PLRunLoopMode::Default);
        log << QStringLiteral("event %1").arg(event.locationInView().x);
    });
    EXPECT_EQ(log, QStringList({"tracking work", "event 1", "event 3", "event 4"}));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen.back().type(), PLMouseEvent::LeftMouseUp);
    EXPECT_TRUE(PLMouseTracking::takePendingEvents().empty()); // the move was dropped
    QCoreApplication::processEvents();
    EXPECT_EQ(log.last(), QStringLiteral("default work"));
}

TEST_F(MouseTrackingTest, IsTrackingWhileWaiting)
{
    bool trackingSeen = false;
    QTimer::singleShot(10ms, [&] {
        trackingSeen = PLMouseTracking::isTracking();
        PLMouseTracking::postEvent(eventOf(PLMouseEvent::LeftMouseUp));
    });
    trackUntilRelease();
    EXPECT_TRUE(trackingSeen);
    EXPECT_FALSE(PLMouseTracking::isTracking());
}

TEST_F(MouseTrackingTest, ChangesRecordedDuringOneDragAreOneUndoStep)
{
    PLUndoManager undo;
    int value = 0;
    std::function<void(int)> setValue = [&](int newValue) {
        const int old = value;
        undo.registerUndo(&value, [&, old] { setValue(old); });
        value = newValue;
    };
    postLater({{10ms, eventOf(PLMouseEvent::LeftMouseDragged, 5)},
               {20ms, eventOf(PLMouseEvent::LeftMouseDragged, 7)},
               {30ms, eventOf(PLMouseEvent::LeftMouseUp, 9)}});
    trackUntilRelease([&](const PLMouseEvent& event) { setValue(int(event.locationInView().x)); });
    QCoreApplication::processEvents();
    EXPECT_EQ(value, 9);
    undo.undo();
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(MouseTrackingTest, PressOutcomeLeavesTheEventsForTheNextHandler)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::chrono::milliseconds, PLMouseEvent::Type>> posted;
        PLMouseTracking::PressOutcome outcome;
        size_t pending;
    };
    const Case cases[] = {
        {"release", {{10ms, PLMouseEvent::LeftMouseUp}}, PLMouseTracking::PressOutcome::Released, 1},
        // The release comes well after the drag, so that a slow run does not take it in too.
        {"drag then release", {{10ms, PLMouseEvent::LeftMouseDragged}, {150ms, PLMouseEvent::LeftMouseUp}},
         PLMouseTracking::PressOutcome::Dragged, 1},
        {"queued release", {{0ms, PLMouseEvent::LeftMouseUp}}, PLMouseTracking::PressOutcome::Released, 1},
        {"moves only", {{10ms, PLMouseEvent::MouseMoved}}, PLMouseTracking::PressOutcome::Held, 1},
        {"nothing", {}, PLMouseTracking::PressOutcome::Held, 0},
        {"release too late", {{300ms, PLMouseEvent::LeftMouseUp}}, PLMouseTracking::PressOutcome::Held, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [delay, type] : c.posted) {
            if (delay == 0ms)
                PLMouseTracking::postEvent(eventOf(type));
            else
                postLater({{delay, eventOf(type)}});
        }
        EXPECT_EQ(PLMouseTracking::waitForPressOutcome(100ms), c.outcome);
        // Peeking takes nothing; what came in time is still there, in order.
        const auto pending = PLMouseTracking::takePendingEvents();
        EXPECT_EQ(pending.size(), c.pending);
        if (!pending.empty()) {
            EXPECT_EQ(pending.front().type(), c.posted.front().second);
        }
        // Late timers of this case are drained before the next.
        QTimer::singleShot(250ms, [] {});
        const auto until = std::chrono::steady_clock::now() + 250ms;
        while (std::chrono::steady_clock::now() < until) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        PLMouseTracking::takePendingEvents();
    }
}

TEST_F(MouseTrackingTest, DequeueDropsOtherEventsAheadButKeepsLaterOnes)
{
    PLMouseTracking::postEvent(eventOf(PLMouseEvent::MouseMoved, 1));
    PLMouseTracking::postEvent(eventOf(PLMouseEvent::LeftMouseDragged, 2));
    PLMouseTracking::postEvent(eventOf(PLMouseEvent::RightMouseDown, 3));
    const auto event = PLMouseTracking::nextEvent(DragOrUp, 100ms);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->locationInView().x, 2);
    const auto rest = PLMouseTracking::takePendingEvents();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest.front().type(), PLMouseEvent::RightMouseDown);
    EXPECT_FALSE(PLMouseTracking::nextEvent(DragOrUp, 30ms));
}

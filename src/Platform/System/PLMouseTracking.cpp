#include "Platform/System/PLMouseTracking.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLRunLoopModeScope.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <deque>

namespace {

std::deque<PLMouseEvent> queuedEvents;
QEventLoop* waitingLoop = nullptr;
int trackingDepth = 0;

void assertMainThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    PL_ASSERT_PARAM(application && QThread::currentThread() == application->thread(), "main thread");
}

// Runs a nested loop until an event is posted or the wait ends (at once for zero).
void runNestedLoop(std::chrono::milliseconds wait)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(std::max(wait, std::chrono::milliseconds(0)));
    QEventLoop* outer = waitingLoop;
    waitingLoop = &loop;
    loop.exec();
    waitingLoop = outer;
}

} // namespace

bool PLMouseTracking::isTracking()
{
    return trackingDepth > 0;
}

void PLMouseTracking::postEvent(const PLMouseEvent& event)
{
    assertMainThread();
    queuedEvents.push_back(event);
    if (waitingLoop) waitingLoop->quit();
}

std::optional<PLMouseEvent> PLMouseTracking::nextEvent(std::uint32_t mask, std::optional<std::chrono::milliseconds> timeout,
                                                       bool dequeue)
{
    assertMainThread();
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    PLRunLoopModeScope mode(PLRunLoopMode::EventTracking);
    ++trackingDepth;
    struct Depth {
        ~Depth() { --trackingDepth; }
    } depth;

    runNestedLoop(std::chrono::milliseconds(0));
    for (;;) {
        const auto match = std::find_if(queuedEvents.begin(), queuedEvents.end(),
                                        [mask](const PLMouseEvent& event) { return event.matchesMask(mask); });
        if (match != queuedEvents.end()) {
            const PLMouseEvent event = *match;
            if (dequeue) queuedEvents.erase(queuedEvents.begin(), match + 1);
            return event;
        }
        std::chrono::milliseconds wait = std::chrono::hours(24);
        if (timeout) {
            wait = *timeout - std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
            if (wait <= std::chrono::milliseconds(0)) return std::nullopt;
        }
        runNestedLoop(wait);
    }
}

PLMouseTracking::PressOutcome PLMouseTracking::waitForPressOutcome(std::chrono::milliseconds wait)
{
    const std::uint32_t mask =
        PLMouseEvent::maskForType(PLMouseEvent::LeftMouseUp) | PLMouseEvent::maskForType(PLMouseEvent::LeftMouseDragged);
    const std::optional<PLMouseEvent> event = nextEvent(mask, wait, false);
    if (!event) return PressOutcome::Held;
    return event->type() == PLMouseEvent::LeftMouseUp ? PressOutcome::Released : PressOutcome::Dragged;
}

std::vector<PLMouseEvent> PLMouseTracking::takePendingEvents()
{
    std::vector<PLMouseEvent> events(queuedEvents.begin(), queuedEvents.end());
    queuedEvents.clear();
    return events;
}

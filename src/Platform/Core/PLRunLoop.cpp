#include "Platform/Core/PLRunLoop.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

PLRunLoopMode currentModeValue = PLRunLoopMode::Default;

// Holds the pending requests and one timer set to the earliest that the current mode allows.
class Scheduler : public QObject {
public:
    struct Request {
        const void* owner;
        std::string key;
        std::function<void()> action;
        PLRunLoopModes modes;
        Clock::time_point due;
        bool watched;
    };

    explicit Scheduler(QObject* parent) : QObject(parent)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        PLExceptionBoundary::connect(&m_timer, &QTimer::timeout, this, [this] { fire(); });
    }

    void add(Request request, const QObject* watched)
    {
        if (watched) {
            auto& watch = m_watches[request.owner];
            if (watch.requests++ == 0) {
                const void* owner = request.owner;
                watch.connection = PLExceptionBoundary::connect(watched, &QObject::destroyed, this, [this, owner] { cancel(owner, nullptr); });
            }
        }
        m_requests.emplace(m_nextSerial++, std::move(request));
        schedule();
    }

    // Cancels the owner's requests, of one key when key is given.
    void cancel(const void* owner, const std::string_view* key)
    {
        // The cancelled actions (and what they captured) go last, when the tables are consistent.
        std::vector<Request> cancelled;
        for (auto it = m_requests.begin(); it != m_requests.end();) {
            if (it->second.owner == owner && (!key || it->second.key == *key)) {
                cancelled.push_back(take(it));
                it = m_requests.erase(it);
            } else {
                ++it;
            }
        }
        // Nothing cancelled leaves the timer as it is (cells cancel on every invalidation).
        if (!cancelled.empty()) schedule();
    }

    bool isPending(const void* owner, std::string_view key) const
    {
        return std::any_of(m_requests.begin(), m_requests.end(),
                           [&](const auto& entry) { return entry.second.owner == owner && entry.second.key == key; });
    }

    void schedule()
    {
        const PLRunLoopMode mode = currentModeValue;
        const Request* next = nullptr;
        for (const auto& [serial, request] : m_requests) {
            if ((request.modes & mode) && (!next || request.due < next->due)) next = &request;
        }
        if (!next) {
            m_timer.stop();
            return;
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next->due - Clock::now());
        m_timer.start(std::max(wait, std::chrono::milliseconds(0)));
    }

private:
    struct Watch {
        QMetaObject::Connection connection;
        int requests = 0;
    };

    // Moves the request out of its entry and drops its owner watch when it was the last one.
    Request take(std::map<std::uint64_t, Request>::iterator entry)
    {
        Request request = std::move(entry->second);
        if (request.watched) {
            const auto watch = m_watches.find(request.owner);
            if (watch != m_watches.end() && --watch->second.requests == 0) {
                QObject::disconnect(watch->second.connection);
                m_watches.erase(watch);
            }
        }
        return request;
    }

    void fire()
    {
        // The batch is fixed first: work requested by these actions runs on a later turn.
        const Clock::time_point now = Clock::now();
        std::vector<std::pair<Clock::time_point, std::uint64_t>> batch;
        for (const auto& [serial, request] : m_requests) {
            if (request.due <= now && (request.modes & currentModeValue)) batch.emplace_back(request.due, serial);
        }
        std::sort(batch.begin(), batch.end());
        for (const auto& [due, serial] : batch) {
            const auto entry = m_requests.find(serial);
            // Cancelled by an earlier action, or held back by a mode it set.
            if (entry == m_requests.end() || !(entry->second.modes & currentModeValue)) continue;
            Request request = take(entry);
            m_requests.erase(entry);
            // An action that throws is abandoned; the batch goes on.
            PLExceptionBoundary::run(QStringLiteral("Deferred action \"%1\" abandoned").arg(QString::fromStdString(request.key)),
                                     request.action);
        }
        schedule();
    }

    std::map<std::uint64_t, Request> m_requests; // by request order
    std::unordered_map<const void*, Watch> m_watches;
    std::uint64_t m_nextSerial = 1;
    QTimer m_timer;
};

QPointer<Scheduler> schedulerInstance;

// The scheduler lives as a child of the application object and goes with it.
Scheduler* scheduler(bool create)
{
    if (!schedulerInstance && create) {
        QCoreApplication* application = QCoreApplication::instance();
        PL_ASSERT_PARAM(application, "QCoreApplication::instance()");
        schedulerInstance = new Scheduler(application);
    }
    return schedulerInstance.data();
}

void assertMainThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    PL_ASSERT_PARAM(!application || QThread::currentThread() == application->thread(), "main thread");
}

} // namespace

PLRunLoopMode PLRunLoop::currentMode()
{
    return currentModeValue;
}

void PLRunLoop::setCurrentMode(PLRunLoopMode mode)
{
    assertMainThread();
    if (mode == currentModeValue) return;
    currentModeValue = mode;
    if (Scheduler* s = scheduler(false)) s->schedule();
}

void PLRunLoop::perform(const void* owner, std::string_view key, std::function<void()> action,
                        std::chrono::milliseconds delay, PLRunLoopModes modes)
{
    performFor(owner, nullptr, key, std::move(action), delay, modes);
}

void PLRunLoop::performFor(const void* owner, const QObject* watched, std::string_view key, std::function<void()> action,
                           std::chrono::milliseconds delay, PLRunLoopModes modes)
{
    PL_ASSERT_PARAM(owner, "owner");
    PL_ASSERT_PARAM(action, "action");
    PL_ASSERT_PARAM(modes, "modes");
    assertMainThread();
    Scheduler::Request request{owner, std::string(key), std::move(action), modes,
                               Clock::now() + std::max(delay, std::chrono::milliseconds(0)), watched != nullptr};
    scheduler(true)->add(std::move(request), watched);
}

void PLRunLoop::cancel(const void* owner)
{
    if (Scheduler* s = scheduler(false)) s->cancel(owner, nullptr);
}

void PLRunLoop::cancel(const void* owner, std::string_view key)
{
    if (Scheduler* s = scheduler(false)) s->cancel(owner, &key);
}

bool PLRunLoop::isPending(const void* owner, std::string_view key)
{
    const Scheduler* s = scheduler(false);
    return s && s->isPending(owner, key);
}

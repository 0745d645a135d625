#include "MapLayout/IXTextMeasuringBatch.h"

#include "Platform/Text/PLTextLayout.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <memory>
#include <condition_variable>
#include <mutex>

namespace {

std::atomic<std::uint64_t> measuredTexts{0};

// Measuring has a pool of its own (as many threads as cores). On Qt's global pool its workers
// would queue behind whatever else runs there, and with work there that waits for the main
// thread while the main thread waits for measuring, neither would go on. The workers here wait
// for nothing but the chunks their batch publishes.
// The pool belongs to the application, so its threads end (and free their font caches) while
// Qt's thread storage still exists; without an application it lives as long as the process.
QThreadPool& measuringPool()
{
    static QPointer<QThreadPool> pool;
    if (!pool) {
        QCoreApplication* application = QCoreApplication::instance();
        pool = new QThreadPool(application);
        if (!application) {
            static std::unique_ptr<QThreadPool> owned;
            owned.reset(pool.data());
        }
    }
    return *pool;
}

struct Chunk {
    std::vector<const PLAttributedString*> texts;
    std::vector<IXTextMeasurement> results;
};

}  // namespace

// What the owner and the workers share: the published chunks, taken in order.
struct IXTextMeasuringBatch::Shared {
    PLSize container;
    std::mutex mutex;
    std::condition_variable published;  // a chunk was published or the batch closed
    std::condition_variable measured;   // a chunk was measured
    std::vector<std::unique_ptr<Chunk>> chunks;
    size_t next = 0;          // the first chunk no thread has taken
    size_t measuredCount = 0; // chunks measured
    bool closed = false;      // no more chunks come

    // The next chunk; waits for one while the batch is open when asked to.
    Chunk* take(bool wait)
    {
        std::unique_lock lock(mutex);
        if (wait) published.wait(lock, [this] { return next < chunks.size() || closed; });
        return next < chunks.size() ? chunks[next++].get() : nullptr;
    }

    // A worker leaves a chunk that failed (an assertion) without results, for the owner to
    // measure again where the failure reaches it as it would have serially.
    void measure(Chunk& chunk, PLTextLayout& layout, bool onWorker)
    {
        try {
            chunk.results.reserve(chunk.texts.size());
            for (const PLAttributedString* text : chunk.texts)
                chunk.results.push_back(IXTextMeasurements::layOut(layout, *text, container));
            measuredTexts += chunk.texts.size();
        } catch (...) {
            chunk.results.clear();
            if (!onWorker) {
                markMeasured();
                throw;
            }
        }
        markMeasured();
    }

    void markMeasured()
    {
        {
            const std::lock_guard lock(mutex);
            ++measuredCount;
        }
        measured.notify_all();
    }
};

int IXTextMeasuringBatch::idealWorkerCount()
{
    return std::max(0, QThread::idealThreadCount() - 1);
}

std::uint64_t IXTextMeasuringBatch::measuredCount()
{
    return measuredTexts;
}

IXTextMeasuringBatch::IXTextMeasuringBatch(PLSize container, int workerCount, int startAt)
    : m_shared(std::make_shared<Shared>()), m_workerCount(workerCount), m_startAt(startAt)
{
    m_shared->container = container;
    m_filling.reserve(ChunkSize);
}

IXTextMeasuringBatch::~IXTextMeasuringBatch()
{
    // Chunks not taken are dropped; those being measured read the owner's texts, so they are
    // waited for (a chunk per worker at most).
    Shared& shared = *m_shared;
    std::unique_lock lock(shared.mutex);
    shared.closed = true;
    const size_t taken = shared.next;
    shared.next = shared.chunks.size();
    shared.published.notify_all();
    shared.measured.wait(lock, [&] { return shared.measuredCount >= taken; });
}

void IXTextMeasuringBatch::add(const PLAttributedString& text)
{
    m_filling.push_back(&text);
    ++m_count;
    if (m_filling.size() >= size_t(ChunkSize)) publish();
}

void IXTextMeasuringBatch::publish()
{
    if (m_filling.empty()) return;
    auto chunk = std::make_unique<Chunk>();
    chunk->texts = std::move(m_filling);
    m_filling = {};
    m_filling.reserve(ChunkSize);
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->chunks.push_back(std::move(chunk));
    }
    m_shared->published.notify_one();
    if (m_workersStarted == 0 && m_count >= m_startAt) startWorkers();
}

void IXTextMeasuringBatch::startWorkers()
{
    for (; m_workersStarted < m_workerCount; ++m_workersStarted) {
        measuringPool().start([shared = m_shared] {
            PLTextLayout layout;  // this thread's own, with Qt's font cache of this thread
            while (Chunk* chunk = shared->take(true)) shared->measure(*chunk, layout, true);
        });
    }
}

std::vector<IXTextMeasurement> IXTextMeasuringBatch::finish()
{
    publish();
    Shared& shared = *m_shared;
    {
        const std::lock_guard lock(shared.mutex);
        shared.closed = true;
    }
    shared.published.notify_all();
    // The owner measures what is left rather than wait idle.
    PLTextLayout layout;
    while (Chunk* chunk = shared.take(false)) shared.measure(*chunk, layout, false);

    std::vector<IXTextMeasurement> results;
    results.reserve(size_t(m_count));
    {
        std::unique_lock lock(shared.mutex);
        shared.measured.wait(lock, [&] { return shared.measuredCount == shared.chunks.size(); });
    }
    for (const auto& chunk : shared.chunks) {
        if (chunk->results.size() != chunk->texts.size()) shared.measure(*chunk, layout, false);
        results.insert(results.end(), chunk->results.begin(), chunk->results.end());
    }
    // A fresh state (and workers) for the next texts, if any; the old workers have stopped.
    const PLSize container = shared.container;
    m_shared = std::make_shared<Shared>();
    m_shared->container = container;
    m_count = 0;
    m_workersStarted = 0;
    return results;
}

#pragma once

#include "MapLayout/IXTextMeasurements.h"
#include "Platform/Text/PLAttributedString.h"
#include "Platform/Drawing/PLSize.h"

#include <cstdint>
#include <memory>
#include <vector>

// Measures many texts in one container on worker threads while its owner is still adding
// them: add() hands a text over, finish() measures what no worker has taken on the owner's
// thread, waits for the workers and returns the measurements in the order the texts were
// added. A measurement depends only on its text and container, so the results are the same
// whatever the number of threads (IXTextMeasurements::layOut, one text layout per thread).
//
// Texts go out in chunks; workers (at most `workerCount`, from a thread pool of measuring's
// own, never Qt's global one) start once `startAt` texts are waiting, so a small batch is
// measured on the owner's thread alone and costs no thread. Workers see only the texts given to them (plain values): nodes and
// styles stay with the owner. A batch dropped before finish() waits for the chunks being
// measured and drops the others. One thread uses a batch.
class IXTextMeasuringBatch {
public:
    static constexpr int ChunkSize = 64;
    static constexpr int DefaultStartAt = 4 * ChunkSize;

    // Workers besides the calling thread: one less than the cores this process may run on.
    static int idealWorkerCount();

    explicit IXTextMeasuringBatch(PLSize container, int workerCount = idealWorkerCount(), int startAt = DefaultStartAt);
    ~IXTextMeasuringBatch();
    IXTextMeasuringBatch(const IXTextMeasuringBatch&) = delete;
    IXTextMeasuringBatch& operator=(const IXTextMeasuringBatch&) = delete;

    // The text is read by another thread later: it stays where it is, unchanged, until
    // finish() returns.
    void add(const PLAttributedString& text);
    qsizetype count() const { return m_count; }
    // The measurements by the index of their text; the batch is empty afterwards.
    std::vector<IXTextMeasurement> finish();

    // Workers started so far (0 for a batch measured on its owner's thread).
    int workersStarted() const { return m_workersStarted; }

private:
    friend class IXTextMeasuringBatchProbe;
    // Texts measured by batches since the start, on any thread.
    static std::uint64_t measuredCount();
    struct Shared;
    void publish();
    void startWorkers();

    std::shared_ptr<Shared> m_shared;
    std::vector<const PLAttributedString*> m_filling;
    qsizetype m_count = 0;
    int m_workerCount;
    int m_startAt;
    int m_workersStarted = 0;
};

#pragma once

#include "MapLayout/IXTextMeasuringBatch.h"

#include <cstdint>

// How many texts batches have measured since the start, on any thread, so that tests can tell
// what batches measured from what cells measured themselves. A friend of the batch; tests only.
class IXTextMeasuringBatchProbe {
public:
    static std::uint64_t measuredCount() { return IXTextMeasuringBatch::measuredCount(); }
};

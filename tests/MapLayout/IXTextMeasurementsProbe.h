#pragma once

#include "MapLayout/IXTextMeasurements.h"

#include <cstdint>

// How many texts the cache has laid out since the start (misses, here or on worker threads),
// so that tests and benchmarks can tell what was measured from what was found. A friend of
// the cache; tests and benchmarks only.
class IXTextMeasurementsProbe {
public:
    static std::uint64_t layoutCount(const IXTextMeasurements& measurements) { return measurements.m_layouts; }
    static std::uint64_t layoutCount() { return layoutCount(IXTextMeasurements::shared()); }
};

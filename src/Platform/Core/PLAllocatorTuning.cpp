#include "Platform/Core/PLAllocatorTuning.h"

#include <cstdint>
#include <string_view>

#if defined(IX_ALLOCATOR_JEMALLOC)
#include <jemalloc/jemalloc.h>
#elif defined(IX_ALLOCATOR_MIMALLOC)
#include <mimalloc.h>
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

// Executables are linked with this symbol marked undefined, so that this file is taken from
// the static library even by one that calls nothing here, and its settings are in force.
extern "C" const int ix_allocator_settings = 1;

#if defined(IX_ALLOCATOR_JEMALLOC)
// Read by jemalloc when it starts, before main. "thp:always" advises huge pages for every heap
// mapping (the kernel's usual "madvise" mode needs the advice), "metadata_thp:auto" for its
// bookkeeping once that grows. (jemalloc.h declares it, with C linkage.)
const char* malloc_conf = "thp:always,metadata_thp:auto";
#elif defined(IX_ALLOCATOR_MIMALLOC)
namespace {
// Set while the program starts, before main: mimalloc then advises huge pages for every segment
// (32 MiB) it maps from here on. The first segment, mapped as the process was loaded, keeps
// small pages.
const bool hugePagesSet = [] {
    mi_option_enable(mi_option_large_os_pages);
    return true;
}();
}  // namespace
#endif

PLAllocatorTuning::Allocator PLAllocatorTuning::allocator()
{
#if defined(IX_ALLOCATOR_JEMALLOC)
    return Allocator::Jemalloc;
#elif defined(IX_ALLOCATOR_MIMALLOC)
    return Allocator::Mimalloc;
#else
    return Allocator::System;
#endif
}

bool PLAllocatorTuning::usesHugePages()
{
#if defined(IX_ALLOCATOR_JEMALLOC)
    const char* thp = nullptr;
    size_t size = sizeof(thp);
    return mallctl("opt.thp", &thp, &size, nullptr, 0) == 0 && thp && std::string_view(thp) == "always";
#elif defined(IX_ALLOCATOR_MIMALLOC)
    return mi_option_is_enabled(mi_option_large_os_pages);
#else
    return false;
#endif
}

std::size_t PLAllocatorTuning::allocatedBytes()
{
#if defined(IX_ALLOCATOR_JEMALLOC)
    // The statistics are a snapshot, taken again when the epoch advances.
    std::uint64_t epoch = 1;
    size_t size = sizeof(epoch);
    mallctl("epoch", &epoch, &size, &epoch, size);
    std::size_t allocated = 0;
    size = sizeof(allocated);
    return mallctl("stats.allocated", &allocated, &size, nullptr, 0) == 0 ? allocated : 0;
#elif defined(IX_ALLOCATOR_MIMALLOC)
    size_t elapsed = 0, user = 0, system = 0, rss = 0, peakRss = 0, commit = 0, peakCommit = 0, faults = 0;
    mi_process_info(&elapsed, &user, &system, &rss, &peakRss, &commit, &peakCommit, &faults);
    return commit;
#elif defined(__GLIBC__)
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

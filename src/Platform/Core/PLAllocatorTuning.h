#pragma once

#include <cstddef>

// The heap allocator the program is linked with, and the settings compiled into it.
//
// Opening a big map allocates a few hundred megabytes in small blocks at once. With 4 KiB pages
// a 100,000-branch map takes some 60,000 page faults, and on a virtual machine each can cost
// microseconds: the cold open took three to four times as long. The editor, its tools and
// benchmarks therefore link an allocator (IX_ALLOCATOR at configure time: jemalloc, which opened
// the big map fastest, or mimalloc, which peaks lower) whose heaps ask for transparent huge
// pages, with the setting compiled in and made as the program starts:
// nothing in the environment changes, so the programs the editor starts inherit nothing, and
// there is no second start. The sanitizer builds keep the system allocator (the sanitizers
// bring their own).
class PLAllocatorTuning {
public:
    enum class Allocator { System, Jemalloc, Mimalloc };

    PLAllocatorTuning() = delete;

    static Allocator allocator();
    // Whether the heaps ask the kernel for transparent huge pages.
    static bool usesHugePages();
    // Bytes the program holds on the heap now, as the allocator counts them (for the
    // benchmarks' heap figures): allocated bytes, or with mimalloc the memory committed for them.
    static std::size_t allocatedBytes();
};

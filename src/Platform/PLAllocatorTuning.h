#pragma once

#include <string>

// Gives glibc's heaps transparent huge pages, for what opening a big map does: a few
// hundred megabytes in small blocks, allocated at once. With 4 KiB pages a 100,000-branch
// map takes some 60,000 page faults, and on a virtual machine each can cost microseconds: the
// cold open took three to four times as long.
//
// glibc reads this setting only when a process starts, from GLIBC_TUNABLES, so the process
// starts itself once more with it added, under the same id, before it does anything else.
// Nothing happens when the huge page setting is there already (whoever set it, so there is
// no second restart; "glibc.malloc.hugetlb=0" turns the tuning off), off glibc, under
// valgrind, or when the restart fails (the program goes on untuned).
class PLAllocatorTuning {
public:
    PLAllocatorTuning() = delete;

    // Call first thing in main, with main's argv.
    static void restartTunedIfNeeded(char** argv);
    // The GLIBC_TUNABLES value that adds the huge page setting to current (empty when current
    // holds it already).
    static std::string tunedValue(const char* current);
};

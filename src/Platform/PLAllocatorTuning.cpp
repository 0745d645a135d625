#include "Platform/PLAllocatorTuning.h"

#include <cstdlib>
#include <string>
#include <string_view>

#include <unistd.h>

std::string PLAllocatorTuning::tunedValue(const char* current)
{
    std::string value = current ? current : "";
    if (value.find("glibc.malloc.hugetlb") != std::string::npos) return {};
    if (!value.empty()) value += ':';
    return value + "glibc.malloc.hugetlb=1";
}

void PLAllocatorTuning::restartTunedIfNeeded(char** argv)
{
#if defined(__GLIBC__) && defined(__linux__)
    if (!argv || !argv[0]) return;
    // Under valgrind the restart would leave the tool behind, and its allocator ignores the
    // setting anyway.
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload && std::string_view(preload).find("vgpreload") != std::string_view::npos) return;
    const std::string tuned = tunedValue(std::getenv("GLIBC_TUNABLES"));
    if (tuned.empty() || setenv("GLIBC_TUNABLES", tuned.c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // Still here: the restart failed; go on as started.
#else
    (void)argv;
#endif
}

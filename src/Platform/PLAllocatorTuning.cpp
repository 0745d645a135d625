#include "Platform/PLAllocatorTuning.h"

#include <cstdlib>
#include <string>
#include <string_view>

#include <unistd.h>

const char* PLAllocatorTuning::tunedValue(const char* current)
{
    static std::string value;
    const std::string existing = current ? current : "";
    if (existing.find("glibc.malloc.hugetlb") != std::string::npos) return "";
    value = existing;
    if (!value.empty()) value += ':';
    value += "glibc.malloc.hugetlb=1";
    return value.c_str();
}

void PLAllocatorTuning::restartTunedIfNeeded(char** argv)
{
#if defined(__GLIBC__) && defined(__linux__)
    if (!argv || !argv[0]) return;
    // Under valgrind the restart would leave the tool behind, and its allocator ignores the
    // setting anyway.
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload && std::string_view(preload).find("vgpreload") != std::string_view::npos) return;
    const char* tuned = tunedValue(std::getenv("GLIBC_TUNABLES"));
    if (!*tuned) return;
    if (setenv("GLIBC_TUNABLES", tuned, 1) != 0) return;
    execv("/proc/self/exe", argv);
    // Still here: the restart failed; go on as started.
#else
    (void)argv;
#endif
}

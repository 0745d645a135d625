#include "Platform/PLAllocatorTuning.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PLAllocatorTuning, AddsTheTuningOnceAndKeepsWhatIsSet)
{
    struct Case {
        const char* current;
        const char* tuned;
    };
    const Case cases[] = {
        {nullptr, "glibc.malloc.hugetlb=1"},
        {"", "glibc.malloc.hugetlb=1"},
        {"glibc.rtld.nns=8:glibc.malloc.mxfast=64", "glibc.rtld.nns=8:glibc.malloc.mxfast=64:glibc.malloc.hugetlb=1"},
        // Already tuned, by us or by the user: no change, so no second restart.
        {"glibc.malloc.hugetlb=1", ""},
        {"glibc.malloc.hugetlb=0", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(PLAllocatorTuning::tunedValue(c.current), c.tuned) << (c.current ? c.current : "(unset)");
}

}  // namespace

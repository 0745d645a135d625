#include "Platform/Core/PLAllocatorTuning.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// The "THPeligible" line of the mapping of /proc/self/smaps that holds the address: whether
// the kernel may back it with transparent huge pages.
int hugePageEligibility(const void* address)
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly)) return -1;
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        // A mapping's first line starts "<start>-<end> "; its fields start "<Name>: ".
        const qsizetype dash = line.indexOf('-');
        const qsizetype space = line.indexOf(' ');
        if (dash > 0 && space > dash && line[space - 1] != ':') {
            bool ok = false;
            const std::uintptr_t start = line.left(dash).toULongLong(&ok, 16);
            const std::uintptr_t end = line.mid(dash + 1, space - dash - 1).toULongLong(&ok, 16);
            inside = start <= at && at < end;
        } else if (inside && line.startsWith("THPeligible:")) {
            return line.mid(12).trimmed().toInt();
        }
    }
    return -1;
}

bool kernelOffersHugePages()
{
    QFile setting(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    return setting.open(QIODevice::ReadOnly) && !setting.readAll().contains("[never]");
}

TEST(PLAllocatorTuning, TheLinkedAllocatorServesTheProgramsHeap)
{
    constexpr std::size_t blockSize = 256;
    constexpr int count = 400000;  // some 100 MB
    const std::size_t before = PLAllocatorTuning::allocatedBytes();
    std::vector<std::unique_ptr<char[]>> blocks;
    blocks.reserve(count);
    for (int i = 0; i < count; ++i) blocks.emplace_back(new char[blockSize]);
    const std::size_t during = PLAllocatorTuning::allocatedBytes();
    if (PLAllocatorTuning::allocator() == PLAllocatorTuning::Allocator::System && during == before)
        GTEST_SKIP() << "the sanitizers' allocator keeps no counts";
    // mimalloc counts what it committed, in whole segments, some of them committed before.
    EXPECT_GE(during, before + count * blockSize / 2);
}

TEST(PLAllocatorTuning, HeapsAskForHugePagesWithoutARestart)
{
    if (PLAllocatorTuning::allocator() == PLAllocatorTuning::Allocator::System) {
        EXPECT_FALSE(PLAllocatorTuning::usesHugePages());
        GTEST_SKIP() << "built with the system allocator";
    }
    // Nothing in the environment: the setting is compiled into the program.
    EXPECT_FALSE(std::getenv("MALLOC_CONF"));
    EXPECT_FALSE(std::getenv("MIMALLOC_LARGE_OS_PAGES"));
    EXPECT_TRUE(PLAllocatorTuning::usesHugePages());
    if (!kernelOffersHugePages()) GTEST_SKIP() << "the kernel offers no transparent huge pages";
    // Small blocks, as a map's nodes are, more than fill the heap's first mapping (made while
    // the process was loaded, before the setting).
    std::vector<std::unique_ptr<char[]>> blocks;
    for (int i = 0; i < 400000; ++i) blocks.emplace_back(new char[200]);
    EXPECT_EQ(hugePageEligibility(blocks.back().get()), 1);
}

}  // namespace

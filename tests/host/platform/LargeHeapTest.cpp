#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "zk/host/platform/LargeHeap.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kOwnAllocator = true;  // the sanitizers' allocators have no heap to prepare
#else
constexpr bool kOwnAllocator = false;
#endif

// The flags of the mapping that holds Address, from /proc/self/smaps ("rd wr mr ... hg").
std::string FlagsOfMappingAt(const void* Address) {
    auto at = reinterpret_cast<uintptr_t>(Address);
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        uintptr_t from = 0, to = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &from, &to) == 2 && line.find(' ') > 8)
            inside = from <= at && at < to;
        else if (inside && line.rfind("VmFlags:", 0) == 0)
            return line;
    }
    return "";
}

TEST(LargeHeapTest, SmallBlocksAfterwardsComeFromHugePageAdvisedHeap) {
    if (kOwnAllocator) GTEST_SKIP() << "sanitizer allocator";
    zk::platform::PrepareHeapFor(size_t{64} << 20);
    // Blocks well past what the heap had before, as the tree of a large form gets them.
    std::vector<void*> blocks(40000);
    for (void*& b : blocks) b = std::malloc(256);
    EXPECT_NE(FlagsOfMappingAt(blocks.back()).find(" hg"), std::string::npos)
        << FlagsOfMappingAt(blocks.back());
    for (void* b : blocks) std::free(b);
}

}  // namespace

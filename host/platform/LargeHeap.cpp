#include "zk/host/platform/LargeHeap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace zk::platform {

void PrepareHeapFor(size_t Bytes) {
    constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
    if (Bytes < 4 * kHugePage) return;
    void* before = sbrk(0);
    if (before == reinterpret_cast<void*>(-1)) return;
    // The next growth of the heap adds Bytes at once (and a trim keeps that much). A block
    // just under the largest mapping threshold makes that growth happen now, from the heap.
    constexpr size_t kProbe = size_t{16} << 20;
    if (mallopt(M_TOP_PAD, static_cast<int>(std::min<size_t>(Bytes, INT_MAX / 2))) == 0) return;
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(2 * kProbe));
    void* probe = malloc(kProbe);
    if (probe) *static_cast<volatile char*>(probe) = 0;  // an unused block might be elided
    void* after = sbrk(0);
    auto from = (reinterpret_cast<uintptr_t>(before) + kHugePage - 1) & ~(kHugePage - 1);
    auto to = reinterpret_cast<uintptr_t>(after) & ~(kHugePage - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    // Freed, the block goes back to the system; the padding stays the heap's.
    free(probe);
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

}  // namespace zk::platform

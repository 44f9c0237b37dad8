// Room for a large working set of small blocks (the tree of a big form file). The heap grows
// once by about that much, and the kernel is asked to back the new part with transparent huge
// pages: filling it then costs one page fault per 2 MiB instead of one per 4 KiB, which is
// most of what reading a form of tens of thousands of components costs. Advice only: where
// the system declines, memory works as before.
#pragma once

#include <cstddef>

namespace zk::platform {

// Prepares the heap for about Bytes more of small allocations; nothing below 8 MiB.
void PrepareHeapFor(size_t Bytes);

}  // namespace zk::platform

// The plain senders when memory runs out: each allocation a send makes is failed in turn, and
// every such send must return false without raising and without leaving a descriptor open.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

namespace {

// Counts down on the arming thread only, so the slot's own threads allocate as usual.
thread_local long gFailAt = -1;  // 0: the next allocation fails; -1: none does
thread_local bool gFailed = false;

void* Allocate(std::size_t Size) {
    if (gFailAt >= 0 && gFailAt-- == 0) {
        gFailed = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(Size ? Size : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace

// Every form that allocates without alignment is replaced, so that each pairs with a free()
// below; a sanitizer's own form would otherwise meet a free() here.
void* operator new(std::size_t Size) { return Allocate(Size); }
void* operator new[](std::size_t Size) { return Allocate(Size); }
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(Size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t Size, const std::nothrow_t& Tag) noexcept {
    return operator new(Size, Tag);
}
void operator delete(void* P) noexcept { std::free(P); }
void operator delete[](void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }
void operator delete[](void* P, std::size_t) noexcept { std::free(P); }
void operator delete(void* P, const std::nothrow_t&) noexcept { std::free(P); }
void operator delete[](void* P, const std::nothrow_t&) noexcept { std::free(P); }

namespace {

int OpenDescriptors() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

TEST(SendOutOfMemory, EveryFailedAllocationIsAFailedSendThatLeavesNothingOpen) {
    zktest::SlotDir dir;
    const std::string name = zktest::UniqueSlotName("oom");
    zktest::Owned<TzkMailSlot> rx(new TzkMailSlot(nullptr));
    rx->SetSlot(name);
    rx->Open();
    const std::string server = ".";
    const std::string text = "x";
    const int descriptors = OpenDescriptors();
    long points = 0;
    for (long n = 0;; ++n) {
        bool ok = false;
        bool threw = false;
        gFailed = false;
        gFailAt = n;
        try {
            ok = SendToMailSlot(server, name, text);
        } catch (...) {
            threw = true;
        }
        gFailAt = -1;
        ASSERT_FALSE(threw) << "allocation " << n;
        if (!gFailed) {
            EXPECT_TRUE(ok) << "with every allocation granted";
            break;
        }
        EXPECT_FALSE(ok) << "allocation " << n;
        EXPECT_EQ(OpenDescriptors(), descriptors) << "allocation " << n;
        ++points;
    }
    EXPECT_GE(points, 5);
}

}  // namespace

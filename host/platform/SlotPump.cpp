#include "zk/host/platform/SlotPump.h"

#include <signal.h>
#include <sys/epoll.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <exception>
#include <thread>

#include "zk/host/platform/Slot.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

// Never destroyed, like the pump itself.
std::mutex& GStartLock = *new std::mutex;
TSlotPump* GPump = nullptr;
std::atomic<uint64_t> GNextId{1};

// Events taken per epoll_wait; a busy slot does not starve the others, since each slot drains
// at most a batch per event (see TSlot::Pump).
constexpr int kEventsPerWait = 64;

// After a pass that staged something the pump lets datagrams gather this long before it looks
// again, so that a stream of them costs one wake-up per batch, not one per datagram. The
// kernel's queue (net.unix.max_dgram_qlen, often 10) holds what comes meanwhile; a writer that
// fills it waits no longer than this for room.
constexpr auto kGatherTime = std::chrono::microseconds(200);

}  // namespace

TSlotPump* TSlotPump::Get(DWORD& Error) {
    std::lock_guard<std::mutex> lock(GStartLock);
    if (GPump) return GPump;
    int fd = SysEpollCreate(EPOLL_CLOEXEC);
    if (fd < 0) {
        Error = Win32ErrorOf(errno);
        return nullptr;
    }
    TSlotPump* pump = new TSlotPump(fd);
    // The thread starts with every signal blocked, so that signals go to the program's own
    // threads, which expect them.
    sigset_t all;
    sigset_t old;
    sigfillset(&all);
    bool masked = SysSigMask(SIG_SETMASK, &all, &old) == 0;
    try {
        std::thread([pump] { pump->Run(); }).detach();
    } catch (const std::exception&) {
        Error = ERROR_NOT_ENOUGH_MEMORY;
        delete pump;
        pump = nullptr;
    }
    if (masked) SysSigMask(SIG_SETMASK, &old, nullptr);
    GPump = pump;
    return pump;
}

uint64_t TSlotPump::NewId() { return GNextId.fetch_add(1, std::memory_order_relaxed); }

DWORD TSlotPump::Add(uint64_t Id, int Fd, std::shared_ptr<TSlot> Slot) {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FSlots[Id] = std::move(Slot);
    }
    DWORD err = Watch(Id, Fd);
    if (err != ERROR_SUCCESS) Forget(Id);
    return err;
}

DWORD TSlotPump::Watch(uint64_t Id, int Fd) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = Id;
    if (SysEpollCtl(FEpoll.Get(), EPOLL_CTL_ADD, Fd, &ev) != 0) return Win32ErrorOf(errno);
    return ERROR_SUCCESS;
}

DWORD TSlotPump::Unwatch(int Fd) {
    if (SysEpollCtl(FEpoll.Get(), EPOLL_CTL_DEL, Fd, nullptr) != 0) return Win32ErrorOf(errno);
    return ERROR_SUCCESS;
}

void TSlotPump::Forget(uint64_t Id) {
    std::shared_ptr<TSlot> slot;
    {
        std::lock_guard<std::mutex> lock(FLock);
        auto it = FSlots.find(Id);
        if (it == FSlots.end()) return;
        slot = std::move(it->second);
        FSlots.erase(it);
    }
    // The slot may be destroyed here, outside the lock, when nobody else holds it.
}

std::shared_ptr<TSlot> TSlotPump::Find(uint64_t Id) {
    std::lock_guard<std::mutex> lock(FLock);
    auto it = FSlots.find(Id);
    return it == FSlots.end() ? nullptr : it->second;
}

void TSlotPump::Run() {
    epoll_event events[kEventsPerWait];
    for (;;) {
        int ready = SysEpollWait(FEpoll.Get(), events, kEventsPerWait, -1);
        if (ready < 0) {
            // Cannot happen with a valid epoll descriptor short of an injected failure; do not
            // spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        size_t staged = 0;
        for (int i = 0; i < ready; ++i) {
            // A slot closed since the event was collected is no longer found.
            if (std::shared_ptr<TSlot> slot = Find(events[i].data.u64)) staged += slot->Pump();
        }
        if (staged > 0) std::this_thread::sleep_for(kGatherTime);
    }
}

}  // namespace zk::platform

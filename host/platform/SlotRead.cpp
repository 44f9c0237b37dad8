// The reader's side of a slot: staging datagrams for an exact count and size, the pump's share
// of that work, waiting for a message on the socket itself, and taking one message per read.
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <thread>

#include "zk/host/platform/HandleTable.h"
#include "zk/host/platform/Slot.h"
#include "zk/host/platform/SlotPump.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

using TClockType = std::chrono::steady_clock;

// Datagrams the pump moves per event before it lets the reader (and other slots) have a turn;
// while more wait, epoll reports the socket again at once.
constexpr size_t kPumpBatch = 256;

}  // namespace

DWORD TSlot::DrainLocked(size_t Limit, bool& Full) {
    Full = false;
    size_t before = FStage.Count();
    DWORD err = ERROR_SUCCESS;
    for (size_t taken = 0; taken < Limit; ++taken) {
        // MSG_TRUNC makes the peek report the datagram's real length without copying it.
        ssize_t size = SysRecv(FFd.Get(), nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
        if (size < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK) err = Win32ErrorOf(errno);
            break;
        }
        if (MaxMessageSize != 0 && static_cast<size_t>(size) > MaxMessageSize) {
            // A writer that ignored the size sidecar: the message never reaches the reader.
            if (SysRecv(FFd.Get(), nullptr, 0, MSG_DONTWAIT) < 0) {
                err = Win32ErrorOf(errno);
                break;
            }
            continue;
        }
        if (!FStage.Admits(static_cast<size_t>(size))) {
            Full = true;
            break;
        }
        std::string message(static_cast<size_t>(size), '\0');
        ssize_t got = SysRecv(FFd.Get(), message.data(), message.size(), MSG_DONTWAIT);
        if (got < 0) {
            err = Win32ErrorOf(errno);
            break;
        }
        message.resize(static_cast<size_t>(got));
        FStage.Push(std::move(message));
    }
    // A reader waiting on the socket would not see what was taken out of it.
    if (FStage.Count() != before && FReaders > 0) WakeReadersLocked();
    return FStage.Empty() ? err : ERROR_SUCCESS;
}

void TSlot::WakeReadersLocked() {
    if (FWakePending) return;
    const uint64_t one = 1;
    // A failed write leaves the readers to their next look: they wait on the socket too.
    if (SysWrite(FWake.Get(), &one, sizeof one) == sizeof one) FWakePending = true;
}

DWORD TSlot::UpdateWatchLocked() {
    const bool want = FPump != nullptr && !FClosed && !FFull && FReaders == 0;
    if (want == FWatched) return ERROR_SUCCESS;
    // A failure keeps the old state; the next read or look tries again.
    DWORD err = want ? FPump->Watch(FPumpId, FFd.Get()) : FPump->Unwatch(FFd.Get());
    if (err == ERROR_SUCCESS) FWatched = want;
    return err;
}

size_t TSlot::Pump() {
    std::lock_guard<std::mutex> lock(FLock);
    if (FClosed || !FWatched) return 0;
    size_t before = FStage.Count();
    bool full = false;
    // A failed receive is left to the reader, which reports it; epoll reports the socket again.
    DrainLocked(kPumpBatch, full);
    // While the queue is full nobody reads the socket, so its writers meet back-pressure.
    if (full) {
        FFull = true;
        UpdateWatchLocked();
    }
    return FStage.Count() - before;
}

DWORD TSlot::WaitLocked(std::unique_lock<std::mutex>& Lock) {
    std::optional<TClockType::time_point> deadline;
    if (ReadTimeout != MAILSLOT_WAIT_FOREVER)
        deadline = TClockType::now() + std::chrono::milliseconds(ReadTimeout);
    bool counted = false;
    const auto leave = [&](DWORD Result) {
        if (counted) {
            --FReaders;
            // The pump takes over the socket again; should it fail, the next read retries.
            UpdateWatchLocked();
        }
        return Result;
    };
    for (;;) {
        if (FClosed) return leave(ERROR_OPERATION_ABORTED);
        bool full = false;
        DWORD err = DrainLocked(SIZE_MAX, full);
        if (!FStage.Empty()) return leave(ERROR_SUCCESS);
        if (err != ERROR_SUCCESS) return leave(err);
        int timeoutMs = -1;
        if (deadline) {
            const auto left = *deadline - TClockType::now();
            if (left <= TClockType::duration::zero()) return leave(ERROR_SEM_TIMEOUT);
            // Rounded up, so that the wait does not end just short of the deadline.
            timeoutMs =
                static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
        }
        if (!counted) {
            counted = true;
            ++FReaders;
            UpdateWatchLocked();
        }
        // The queue is empty and the socket was found empty under the lock: whatever comes
        // from now on makes the socket or the wake descriptor readable.
        if (FWakePending) {
            uint64_t count = 0;
            if (SysRead(FWake.Get(), &count, sizeof count) == sizeof count) FWakePending = false;
        }
        Lock.unlock();
        pollfd fds[2] = {{FFd.Get(), POLLIN, 0}, {FWake.Get(), POLLIN, 0}};
        int ready = SysPoll(fds, 2, timeoutMs);
        // Cannot fail on two valid descriptors short of an injected failure; do not spin on it.
        if (ready < 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Lock.lock();
    }
}

DWORD TSlot::Info(DWORD& NextSize, DWORD& Count) {
    std::lock_guard<std::mutex> lock(FLock);
    bool full = false;
    DWORD err = DrainLocked(SIZE_MAX, full);
    if (err != ERROR_SUCCESS) return err;
    UpdateWatchLocked();
    Count = static_cast<DWORD>(FStage.Count());
    NextSize = FStage.Empty() ? MAILSLOT_NO_MESSAGE : static_cast<DWORD>(FStage.Front().size());
    return ERROR_SUCCESS;
}

DWORD TSlot::Read(void* Buffer, DWORD Size, DWORD& Read) {
    Read = 0;
    std::unique_lock<std::mutex> lock(FLock);
    if (FClosed) return ERROR_OPERATION_ABORTED;
    // What the socket holds queued behind the staged messages; the next one is staged already.
    if (FStage.Empty()) {
        DWORD err = WaitLocked(lock);
        if (err != ERROR_SUCCESS) return err;
    }
    if (Buffer == nullptr && Size == 0) return ERROR_SUCCESS;
    const std::string& next = FStage.Front();
    if (next.size() > Size) return ERROR_INSUFFICIENT_BUFFER;
    if (!next.empty()) std::memcpy(Buffer, next.data(), next.size());
    Read = static_cast<DWORD>(next.size());
    FStage.Pop();
    // There is room again; a failed resume is retried by the next read or look.
    FFull = false;
    UpdateWatchLocked();
    return ERROR_SUCCESS;
}

}  // namespace zk::platform

// The reader's side of a slot: staging datagrams for an exact count and size, the pump's share
// of that work, waiting for a message without spinning, and taking one message per read.
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>

#include "host/platform/HandleTable.h"
#include "host/platform/Slot.h"
#include "host/platform/SlotPump.h"
#include "host/platform/SysCalls.h"

namespace zk::platform {

using namespace zk::win32;

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
    if (FStage.Count() != before) FChanged.notify_all();
    return FStage.Empty() ? err : ERROR_SUCCESS;
}

DWORD TSlot::ResumeLocked() {
    if (!FPaused || FClosed || FPump == nullptr) return ERROR_SUCCESS;
    DWORD err = FPump->Watch(FPumpId, FFd.Get());
    if (err == ERROR_SUCCESS) FPaused = false;
    return err;
}

void TSlot::Pump(TSlotPump& Owner) {
    std::lock_guard<std::mutex> lock(FLock);
    if (FClosed || FPaused) return;
    bool full = false;
    // A failed receive is left to the reader, which reports it; epoll reports the socket again.
    DrainLocked(kPumpBatch, full);
    // While the queue is full nobody reads the socket, so its writers meet back-pressure. A
    // failed removal leaves the socket watched, and the next event tries again.
    if (full && Owner.Unwatch(FFd.Get()) == ERROR_SUCCESS) FPaused = true;
}

DWORD TSlot::WaitLocked(std::unique_lock<std::mutex>& Lock) {
    std::optional<TClockType::time_point> deadline;
    if (ReadTimeout != MAILSLOT_WAIT_FOREVER)
        deadline = TClockType::now() + std::chrono::milliseconds(ReadTimeout);
    for (;;) {
        if (FClosed) return ERROR_OPERATION_ABORTED;
        bool full = false;
        DWORD err = DrainLocked(SIZE_MAX, full);
        if (!FStage.Empty()) return ERROR_SUCCESS;
        if (err != ERROR_SUCCESS) return err;
        // An empty queue is never full; only a failed resume can have left the socket unwatched,
        // and then nobody would wake this wait.
        err = ResumeLocked();
        if (err != ERROR_SUCCESS) return err;
        if (!deadline) {
            FChanged.wait(Lock);
        } else {
            if (TClockType::now() >= *deadline) return ERROR_SEM_TIMEOUT;
            FChanged.wait_until(Lock, *deadline);
        }
    }
}

DWORD TSlot::Info(DWORD& NextSize, DWORD& Count) {
    std::lock_guard<std::mutex> lock(FLock);
    bool full = false;
    DWORD err = DrainLocked(SIZE_MAX, full);
    if (err != ERROR_SUCCESS) return err;
    Count = static_cast<DWORD>(FStage.Count());
    NextSize = FStage.Empty() ? MAILSLOT_NO_MESSAGE : static_cast<DWORD>(FStage.Front().size());
    return ERROR_SUCCESS;
}

DWORD TSlot::Read(void* Buffer, DWORD Size, DWORD& Read) {
    Read = 0;
    std::unique_lock<std::mutex> lock(FLock);
    DWORD err = WaitLocked(lock);
    if (err != ERROR_SUCCESS) return err;
    if (Buffer == nullptr && Size == 0) return ERROR_SUCCESS;
    const std::string& next = FStage.Front();
    if (next.size() > Size) return ERROR_INSUFFICIENT_BUFFER;
    if (!next.empty()) std::memcpy(Buffer, next.data(), next.size());
    Read = static_cast<DWORD>(next.size());
    FStage.Pop();
    // There is room again; a failed resume is retried by the next read or wait.
    ResumeLocked();
    return ERROR_SUCCESS;
}

}  // namespace zk::platform

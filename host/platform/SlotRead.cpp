// The reader's side of a slot: staging datagrams for an exact count and size, waiting for a
// message without spinning, and taking one message per read.
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>

#include "host/platform/HandleTable.h"
#include "host/platform/Slot.h"
#include "host/platform/SysCalls.h"

namespace zk::platform {

using namespace zk::win32;

namespace {

using TClockType = std::chrono::steady_clock;

// Milliseconds left until Deadline for poll: -1 for none (wait forever), 0 when passed.
int PollTimeout(const std::optional<TClockType::time_point>& Deadline) {
    if (!Deadline) return -1;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(*Deadline - TClockType::now());
    if (left.count() <= 0) return 0;
    return left.count() > INT_MAX ? INT_MAX : static_cast<int>(left.count());
}

}  // namespace

void TSlot::Kick() {
    uint64_t one = 1;
    // Fails only when the counter is about to overflow, and then the descriptor is readable.
    SysWrite(FWakeFd.Get(), &one, sizeof one);
}

DWORD TSlot::DrainLocked() {
    size_t before = FStage.Count();
    DWORD err = ERROR_SUCCESS;
    for (;;) {
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
        if (!FStage.Admits(static_cast<size_t>(size))) break;
        std::string message(static_cast<size_t>(size), '\0');
        ssize_t got = SysRecv(FFd.Get(), message.data(), message.size(), MSG_DONTWAIT);
        if (got < 0) {
            err = Win32ErrorOf(errno);
            break;
        }
        message.resize(static_cast<size_t>(got));
        FStage.Push(std::move(message));
    }
    if (FStage.Count() != before) {
        // A thread polling the socket would not see what was just taken out of it.
        if (FPolling) Kick();
        FChanged.notify_all();
    }
    return FStage.Empty() ? err : ERROR_SUCCESS;
}

DWORD TSlot::WaitLocked(std::unique_lock<std::mutex>& Lock) {
    std::optional<TClockType::time_point> deadline;
    if (ReadTimeout != MAILSLOT_WAIT_FOREVER)
        deadline = TClockType::now() + std::chrono::milliseconds(ReadTimeout);
    for (;;) {
        if (FClosed) return ERROR_OPERATION_ABORTED;
        DWORD err = DrainLocked();
        if (!FStage.Empty()) return ERROR_SUCCESS;
        if (err != ERROR_SUCCESS) return err;
        int timeout = PollTimeout(deadline);
        if (timeout == 0) return ERROR_SEM_TIMEOUT;
        if (FPolling) {
            if (deadline)
                FChanged.wait_until(Lock, *deadline);
            else
                FChanged.wait(Lock);
            continue;
        }
        FPolling = true;
        pollfd fds[2] = {{FFd.Get(), POLLIN, 0}, {FWakeFd.Get(), POLLIN, 0}};
        Lock.unlock();
        int ready = SysPoll(fds, 2, timeout);
        int pollErrno = errno;
        Lock.lock();
        FPolling = false;
        // The only poller resets a drain's kick (EAGAIN when there was none); a close's kick
        // stays, so that every later wait ends at once.
        if (!FClosed) {
            uint64_t count;
            SysRead(FWakeFd.Get(), &count, sizeof count);
        }
        FChanged.notify_all();
        if (ready < 0) return Win32ErrorOf(pollErrno);
    }
}

DWORD TSlot::Info(DWORD& NextSize, DWORD& Count) {
    std::lock_guard<std::mutex> lock(FLock);
    DWORD err = DrainLocked();
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
    return ERROR_SUCCESS;
}

}  // namespace zk::platform

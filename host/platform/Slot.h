// The reading end of a mailslot: the bound socket and its staging queue, filled by the
// process's pump (SlotPump.h) whatever the reading thread is doing, and by the reader itself
// before it reports or reads, so that a message sent before the call is always counted.
//
// Shutdown order matters across threads and processes. CloseHandle takes the handle out of the
// table and calls Close, which removes the socket file (under the directory lock, while the
// socket is still bound, so no other creator can have claimed the name yet), takes the socket
// out of the pump's epoll set, wakes every thread waiting in ReadFile and drops the pump's
// reference. The socket closes in the destructor, once the last of those threads (or a pump
// pass that had already found the slot) has returned and dropped its reference.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "host/platform/HandleTable.h"
#include "host/platform/SlotSocket.h"
#include "host/platform/StagingQueue.h"

namespace zk::platform {

using namespace zk::win32;

class TSlotPump;

// Where a slot's files are, as they were when it was bound.
struct TSlotFiles {
    std::string Dir;
    std::string Socket;
    dev_t Device = 0;
    ino_t Inode = 0;
};

class TSlot : public THandleObject {
  public:
    // Takes ownership of the bound, non-blocking socket Fd. Not yet pumped: see StartPumping.
    TSlot(int Fd, TSlotFiles Files, DWORD MaxMessageSize, DWORD ReadTimeout);
    void Close() override;

    const DWORD MaxMessageSize;
    const DWORD ReadTimeout;

    // Hands the slot (Self is this slot) to the process's pump. ERROR_SUCCESS, or why the pump
    // could not take it; then the slot must not be used.
    DWORD StartPumping(const std::shared_ptr<TSlot>& Self);

    // Stages what the socket holds and reports the count and the next size (MAILSLOT_NO_MESSAGE
    // when none). ERROR_SUCCESS, or the error of a failed receive.
    DWORD Info(DWORD& NextSize, DWORD& Count);

    // ReadFile on the slot: waits up to ReadTimeout for a message, then takes the next one into
    // Buffer when it fits into Size bytes. A null Buffer with Size 0 only waits. ERROR_SUCCESS or
    // the Win32 error; Read gets the number of bytes taken.
    DWORD Read(void* Buffer, DWORD Size, DWORD& Read);

    // On the pump's thread, when the socket is readable: stages a batch of datagrams, and takes
    // the socket out of the epoll set while the queue is full.
    void Pump(TSlotPump& Owner);

  private:
    // Moves at most Limit waiting datagrams from the socket into the staging queue while it
    // admits them; Full tells that a datagram waits that the queue does not admit now.
    DWORD DrainLocked(size_t Limit, bool& Full);
    // Puts a paused socket back into the pump's epoll set.
    DWORD ResumeLocked();
    // Returns ERROR_SUCCESS once a message is staged, ERROR_SEM_TIMEOUT after ReadTimeout, or
    // ERROR_OPERATION_ABORTED once the slot is closed.
    DWORD WaitLocked(std::unique_lock<std::mutex>& Lock);
    // Removes the socket file and the size sidecar if they are still this slot's.
    void RemoveFiles();

    TFd FFd;
    const TSlotFiles FFiles;
    const uint64_t FPumpId;
    TSlotPump* FPump = nullptr;

    std::mutex FLock;
    std::condition_variable FChanged;
    TStagingQueue FStage;
    bool FClosed = false;
    // Out of the pump's epoll set: before StartPumping, while the queue is full, after Close.
    bool FPaused = true;
};

// Creates the local slot named by Path ("\\.\mailslot\NAME") and enters it into the handle
// table. ERROR_SUCCESS with Handle set, or the Win32 error (ERROR_BAD_PATHNAME,
// ERROR_ALREADY_EXISTS, ERROR_ACCESS_DENIED, ...).
DWORD CreateSlot(const std::string& Path, DWORD MaxMessageSize, DWORD ReadTimeout, THandle& Handle);

}  // namespace zk::platform

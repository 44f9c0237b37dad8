// The reading end of a mailslot: the bound socket and its staging queue, filled by the
// process's pump (SlotPump.h) whatever the reading thread is doing, and by the reader itself
// before it reports or reads, so that a message sent before the call is always counted.
//
// A thread that waits in ReadFile on an empty slot waits on the socket itself (and on the
// slot's wake descriptor), and the pump leaves the socket alone meanwhile: the writer's send
// wakes the reader directly, with no hand-over through the pump on the way.
//
// Shutdown order matters across threads and processes. CloseHandle takes the handle out of the
// table and calls Close, which removes the socket file (under the directory lock, while the
// socket is still bound, so no other creator can have claimed the name yet), takes the socket
// out of the pump's epoll set, wakes every thread waiting in ReadFile and drops the pump's
// reference. The socket closes in the destructor, once the last of those threads (or a pump
// pass that had already found the slot) has returned and dropped its reference.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "zk/host/platform/HandleTable.h"
#include "zk/host/platform/SlotSocket.h"
#include "zk/host/platform/StagingQueue.h"

namespace zk::platform {

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
    // Takes ownership of the bound, non-blocking socket Fd and of WakeFd, a non-blocking
    // eventfd. Not yet pumped: see StartPumping.
    TSlot(int Fd, int WakeFd, TSlotFiles Files, DWORD MaxMessageSize, DWORD ReadTimeout);
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
    // the socket out of the epoll set while the queue is full. The number of datagrams staged.
    size_t Pump();

  private:
    // Moves at most Limit waiting datagrams from the socket into the staging queue while it
    // admits them; Full tells that a datagram waits that the queue does not admit now.
    DWORD DrainLocked(size_t Limit, bool& Full);
    // Puts the socket into the pump's epoll set or takes it out, as the state asks: watched
    // while the slot is open, its queue has room and no reader waits on the socket itself.
    DWORD UpdateWatchLocked();
    // Wakes the readers that wait on the socket and the wake descriptor.
    void WakeReadersLocked();
    // Returns ERROR_SUCCESS once a message is staged, ERROR_SEM_TIMEOUT after ReadTimeout, or
    // ERROR_OPERATION_ABORTED once the slot is closed.
    DWORD WaitLocked(std::unique_lock<std::mutex>& Lock);
    // Removes the socket file and the size sidecar if they are still this slot's.
    void RemoveFiles();

    TFd FFd;
    // Readable while something waiting readers must see happened: a message staged by another
    // thread, or Close. Reset only while the queue is empty.
    TFd FWake;
    const TSlotFiles FFiles;
    const uint64_t FPumpId;
    TSlotPump* FPump = nullptr;

    std::mutex FLock;
    TStagingQueue FStage;
    bool FClosed = false;
    bool FFull = false;         // the pump met a datagram the queue did not admit
    int FReaders = 0;           // threads waiting in ReadFile
    bool FWakePending = false;  // FWake holds a count
    bool FWatched = false;      // in the pump's epoll set
};

// Creates the local slot named by Path ("\\.\mailslot\NAME") and enters it into the handle
// table. ERROR_SUCCESS with Handle set, or the Win32 error (ERROR_BAD_PATHNAME,
// ERROR_ALREADY_EXISTS, ERROR_ACCESS_DENIED, ...).
DWORD CreateSlot(const std::string& Path, DWORD MaxMessageSize, DWORD ReadTimeout, THandle& Handle);

}  // namespace zk::platform

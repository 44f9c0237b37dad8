// The reading end of a mailslot: the bound socket, its staging queue and the wake descriptor.
//
// Shutdown order matters across threads and processes. CloseHandle takes the handle out of the
// table and calls Close, which removes the socket file (under the directory lock, while the
// socket is still bound, so no other creator can have claimed the name yet) and then wakes every
// thread waiting in ReadFile. The descriptors close in the destructor, once the last of those
// threads has returned and dropped its reference.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <string>

#include "host/platform/HandleTable.h"
#include "host/platform/SlotSocket.h"
#include "host/platform/StagingQueue.h"

namespace zk::platform {

using namespace zk::win32;

// Where a slot's files are, as they were when it was bound.
struct TSlotFiles {
    std::string Dir;
    std::string Socket;
    dev_t Device = 0;
    ino_t Inode = 0;
};

class TSlot : public THandleObject {
  public:
    // Takes ownership of the bound, non-blocking socket Fd and of the eventfd WakeFd.
    TSlot(int Fd, int WakeFd, TSlotFiles Files, DWORD MaxMessageSize, DWORD ReadTimeout);
    void Close() override;

    const DWORD MaxMessageSize;
    const DWORD ReadTimeout;

    // Stages what the socket holds and reports the count and the next size (MAILSLOT_NO_MESSAGE
    // when none). ERROR_SUCCESS, or the error of a failed receive.
    DWORD Info(DWORD& NextSize, DWORD& Count);

    // ReadFile on the slot: waits up to ReadTimeout for a message, then takes the next one into
    // Buffer when it fits into Size bytes. A null Buffer with Size 0 only waits. ERROR_SUCCESS or
    // the Win32 error; Read gets the number of bytes taken.
    DWORD Read(void* Buffer, DWORD Size, DWORD& Read);

  private:
    // Moves waiting datagrams from the socket into the staging queue while it admits them.
    DWORD DrainLocked();
    // Returns ERROR_SUCCESS once a message is staged, ERROR_SEM_TIMEOUT after ReadTimeout, or
    // ERROR_OPERATION_ABORTED once the slot is closed. Only one thread polls the socket; others
    // wait on FChanged until it reports.
    DWORD WaitLocked(std::unique_lock<std::mutex>& Lock);
    // Removes the socket file and the size sidecar if they are still this slot's.
    void RemoveFiles();
    // Makes the wake descriptor readable.
    void Kick();

    TFd FFd;
    TFd FWakeFd;
    const TSlotFiles FFiles;

    std::mutex FLock;
    std::condition_variable FChanged;
    TStagingQueue FStage;
    bool FClosed = false;
    bool FPolling = false;
};

// Creates the local slot named by Path ("\\.\mailslot\NAME") and enters it into the handle
// table. ERROR_SUCCESS with Handle set, or the Win32 error (ERROR_BAD_PATHNAME,
// ERROR_ALREADY_EXISTS, ERROR_ACCESS_DENIED, ...).
DWORD CreateSlot(const std::string& Path, DWORD MaxMessageSize, DWORD ReadTimeout, THandle& Handle);

}  // namespace zk::platform

// The writing end of a mailslot: a datagram socket connected to the slot, and how long a write
// waits for room in a full slot before it fails.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "zk/host/platform/HandleTable.h"
#include "zk/host/platform/SlotSocket.h"

namespace zk::platform {

// How long WriteFile waits for room in a full slot before failing with ERROR_SEM_TIMEOUT.
constexpr uint32_t kDefaultSendWaitMs = 5000;

// Changes the wait for write handles opened from now on (tests; at least 1 ms).
void SetSendWaitMs(uint32_t Milliseconds);
uint32_t SendWaitMs();

// Every write handle keeps room for at least this many bytes in its socket's send buffer, so
// that messages of 65,535 bytes (and a few in flight) always fit.
constexpr int kMinSendBuffer = 256 * 1024;

class TSlotWriter : public THandleObject {
  public:
    // Takes ownership of Fd, a socket connected to the slot. MaxMessageSize 0: no known limit.
    TSlotWriter(TFd Fd, uint32_t MaxMessageSize)
        : MaxMessageSize(MaxMessageSize), FFd(std::move(Fd)) {}
    // Sends Size bytes as one message. ERROR_SUCCESS or the Win32 error.
    virtual DWORD Send(const void* Buffer, DWORD Size);

    const uint32_t MaxMessageSize;

  protected:
    int Fd() const { return FFd.Get(); }

  private:
    TFd FFd;
};

// Opens the slot named by Path ("\\SERVER\mailslot\NAME") for writing and enters the writer
// into the handle table; a server other than this machine gets a TRemoteSlotWriter
// (RemoteWrite.h). ERROR_SUCCESS with Handle set, or the Win32 error (ERROR_BAD_NETPATH,
// ERROR_FILE_NOT_FOUND, ...). Running out of memory raises std::bad_alloc
// and leaves no descriptor and no handle behind.
DWORD OpenSlotWriter(const std::string& Path, THandle& Handle);

}  // namespace zk::platform

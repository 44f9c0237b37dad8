// The writing end of a slot on another machine: a UDP socket, and one NetBIOS datagram per
// message (docs/mailslots.md, "Between machines").
#pragma once

#include <string>

#include "zk/host/platform/Fd.h"
#include "zk/host/platform/RemoteResolve.h"
#include "zk/host/platform/SlotPath.h"
#include "zk/host/platform/SlotWrite.h"

namespace zk::platform {

// The most bytes the slot name (with its zero byte) and the message may take together in one
// datagram over UDP ([MS-MAIL]).
constexpr uint32_t kRemoteNameAndDataMax = 443;

class TRemoteSlotWriter : public TSlotWriter {
  public:
    // Takes ownership of Fd, a UDP socket that may broadcast; Template holds everything of the
    // datagram but the id, the source address and the data.
    TRemoteSlotWriter(TFd Fd, TMailslotDatagram Template, TRemoteTarget Target)
        : TSlotWriter(std::move(Fd), kRemoteMessageMax),
          FTemplate(std::move(Template)),
          FTarget(std::move(Target)) {}
    // Sends one datagram to every hop of the target. A message longer than kRemoteMessageMax,
    // or with the slot name longer than kRemoteNameAndDataMax, sends nothing and fails with
    // ERROR_INVALID_PARAMETER. Nobody answers a second-class write: success means the datagrams
    // left this machine.
    DWORD Send(const void* Buffer, DWORD Size) override;

  private:
    const TMailslotDatagram FTemplate;
    const TRemoteTarget FTarget;
};

// Opens a writer for Path, whose server is not this machine: reads the NetBIOS configuration,
// resolves the server (RemoteResolve.h) and opens the socket, bound to an ephemeral port (138
// is the receiving bridge's). ERROR_SUCCESS with Handle set, or the Win32 error
// (ERROR_BAD_NETPATH for a server not found).
DWORD OpenRemoteSlotWriter(const TSlotPath& Path, THandle& Handle);

}  // namespace zk::platform

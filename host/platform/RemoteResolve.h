// Where a mailslot write to another machine goes: the NetBIOS name it is addressed to, the
// datagram type and the UDP addresses it is sent to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zk/host/platform/ErrorCodes.h"
#include "zk/host/platform/NetBios.h"
#include "zk/host/platform/NetBiosConfig.h"

namespace zk::platform {

// A broadcast name query goes out this many times, this far apart, before the name counts as
// unknown: Windows' NetBT defaults (BcastNameQueryCount, BcastQueryTimeout); RFC 1002 suggests
// 3 and 250 ms.
constexpr int kNameQueryCount = 3;
constexpr int kNameQueryWaitMs = 750;

// One copy of the datagram: where it goes (host order) and the source address it names.
struct TRemoteHop {
    uint32_t Ip = 0;
    uint32_t SourceIp = 0;  // 0: the address the kernel picks (filled in by the writer)
};

struct TRemoteTarget {
    TDatagramType Type = TDatagramType::DirectUnique;
    TNetBiosName Destination;
    std::vector<TRemoteHop> Hops;
};

// Resolves SERVER of "\\SERVER\mailslot\NAME" (not this machine):
// - "*" and the configured workgroup: a direct group datagram to WORKGROUP<00>, the group name
//   every member of the workgroup holds, broadcast on each configured interface;
// - an IPv4 address: a direct unique datagram to that address;
// - a name: the system resolver (hosts file, DNS), then a NetBIOS name query for NAME<00>
//   broadcast on each configured interface.
// A direct unique datagram is addressed to SERVER<00>: SERVER up to its first '.', upper case,
// cut to 15 bytes. ERROR_BAD_NETPATH when SERVER is no host name, when nothing answers, or when
// a group has no interface to go out on.
DWORD ResolveRemoteServer(const std::string& Server, const TNetBiosConfig& Config,
                          TRemoteTarget& Target);

// Broadcasts name queries for Name on Interfaces as above; true with the first answer's address.
bool QueryNetBiosName(const TNetBiosName& Name, const std::vector<TNetInterface>& Interfaces,
                      uint32_t& Ip);

}  // namespace zk::platform

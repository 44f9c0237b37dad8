// This machine's NetBIOS identity for mailslots between machines: its name, its workgroup and
// the IPv4 interfaces it sends broadcasts on. The settings come from /etc/samba/smb.conf when it
// exists (so a machine that runs Samba needs no second set), then from our own file
// /etc/mailslot/netbios.conf, which wins; MAILSLOT_NETBIOS_CONF names a file to read instead of
// both. Both files use smb.conf's syntax; docs/mailslots.md describes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zk::platform {

constexpr const char* kSambaConfigPath = "/etc/samba/smb.conf";
constexpr const char* kNetBiosConfigPath = "/etc/mailslot/netbios.conf";
constexpr const char* kNetBiosConfigVariable = "MAILSLOT_NETBIOS_CONF";

// An IPv4 interface that can broadcast; addresses in host byte order.
struct TNetInterface {
    std::string Name;
    uint32_t Address = 0;
    uint32_t Netmask = 0;
    uint32_t Broadcast = 0;
    bool operator==(const TNetInterface&) const = default;
};

// The settings as written: empty when a file leaves them out.
struct TNetBiosSettings {
    std::string NetBiosName;
    std::string Workgroup;
    std::vector<std::string> Interfaces;  // names (globs with '*'), addresses, address/mask
};

// Reads the keys `netbios name`, `workgroup` and `interfaces` of Text into Settings, over what
// Settings holds. smb.conf's rules: key case and spaces do not matter, lines starting with '#'
// or ';' are comments, a '\' at a line's end continues it, and only keys before any section or
// in [global] count. Other keys are skipped. Never fails.
void ParseNetBiosSettings(std::string_view Text, TNetBiosSettings& Settings);

// What senders and the bridge use.
struct TNetBiosConfig {
    std::string Name;       // upper case, at most 15 bytes
    std::string Workgroup;  // upper case, at most 15 bytes
    std::vector<TNetInterface> Interfaces;
};

// Applies the defaults to Settings: the name is HostName up to its first '.', the workgroup is
// WORKGROUP, both upper-cased and cut to 15 bytes; the interfaces are those of Live that a word
// of Settings.Interfaces picks (a name or glob, an address, or a network as address/bits or
// address/mask containing the interface's address), or all of Live when it names none.
TNetBiosConfig ResolveNetBiosConfig(const TNetBiosSettings& Settings, const std::string& HostName,
                                    const std::vector<TNetInterface>& Live);

// The interfaces of this machine (this network namespace) that are up, IPv4, not loopback and
// can broadcast. Empty when they cannot be listed.
std::vector<TNetInterface> BroadcastInterfaces();

// Reads the files, the host name and the interfaces now. A file that cannot be read counts as
// absent.
TNetBiosConfig LoadNetBiosConfig();

}  // namespace zk::platform

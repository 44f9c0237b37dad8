// Mailslot paths and the file names that stand for them in the slot directory. Pure text work,
// no system calls; docs/mailslots.md describes the naming for programs in other languages.
#pragma once

#include <cstdint>
#include <string>

namespace zk::platform {

// The parts of "\\SERVER\mailslot\NAME".
struct TSlotPath {
    std::string Server;
    std::string Name;
};

// Splits Path into server and name. The word "mailslot" may have any letter case; NAME is
// everything behind it, backslashes included. False when Path has another form or the server
// or the name is empty.
bool ParseSlotPath(const std::string& Path, TSlotPath& Out);

// True when Server names this machine: "." or HostName, ignoring the case of ASCII letters.
bool IsLocalServer(const std::string& Server, const std::string& HostName);

// The socket file name of slot Name: ASCII letters lower-cased (slot names ignore case), then
// every byte outside a-z 0-9 '_' '-' written as '%' and two uppercase hex digits.
std::string EncodeSlotName(const std::string& Name);

// The socket path of slot Name in directory Dir, or "" when it does not fit a socket address.
std::string SlotSocketPath(const std::string& Dir, const std::string& Name);

// The sidecar that tells writers a slot's maximum message size, beside its socket file. An
// encoded name never holds '.', so no slot's socket file can be taken for it.
std::string SlotMaxSizePath(const std::string& SocketPath);

// The lock file that serialises creating and removing slots in Dir.
std::string SlotLockPath(const std::string& Dir);

// The sidecar's text for Size: decimal digits and a line feed.
std::string FormatMaxSize(uint32_t Size);

// Reads the sidecar's text: decimal digits, optionally followed by white space. False for
// anything else, and for values that do not fit 32 bits.
bool ParseMaxSize(const std::string& Text, uint32_t& Size);

}  // namespace zk::platform

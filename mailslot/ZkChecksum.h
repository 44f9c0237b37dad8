// The 16-bit frame checksum shared by every framed mailslot format: a reflected CRC-16 with the
// polynomial 0xA001, initial value 0 and no final XOR, computed from a constant table that
// differs from the published CRC-16/ARC table in four entries (18, 26, 55 and 211). Peers use
// the same table, so those four entries are part of the wire formats.
#pragma once

#include <cstdint>
#include <string>

#include "zk/Export.h"

namespace zk {

// The lookup table, constant data; entry i is the CRC-16/ARC entry for i except the four above.
extern ZK_EXPORT const uint16_t FrameChecksumTable[256];

// Checksum of the first Count bytes at Buf, taken as unsigned bytes. A Count of zero or less
// gives 0 and reads nothing. Needs no state; safe on any thread.
ZK_EXPORT uint16_t FrameChecksum(const void* Buf, int32_t Count);

// The value as four uppercase hexadecimal digits, left-padded with zeros ("0080", "A01D"), as
// the secure-mail header carries it and the popup receiver compares it.
ZK_EXPORT std::string ChecksumText(uint16_t Value);

}  // namespace zk

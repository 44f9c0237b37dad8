// The plain senders: one message, a buffer or a text, written to a named slot on a machine.
// Every call opens the slot, writes once and closes it again; failures are reported only by the
// result, never raised.
#pragma once

#include <cstdint>
#include <string>

#include "zk/Export.h"

namespace zk {

// Writes Len bytes at Buf as one message to Slot on Server ("." is this machine). True when all
// Len bytes were written; false for a missing slot, a failed write or a negative Len.
ZK_EXPORT bool SendBufToMailSlot(const std::string& Server, const std::string& Slot,
                                 const void* Buf, int32_t Len);
// Writes the characters of Text, without a terminating zero, as one message.
ZK_EXPORT bool SendToMailSlot(const std::string& Server, const std::string& Slot,
                              const std::string& Text);

}  // namespace zk

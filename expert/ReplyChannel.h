// The Help Expert window's reply channel, off unless asked for: a slot of the window's own on
// which the authoring application answers its commands. While it is on, every command the
// window sends to "HS" is preceded by one more message, "REPLYTO," and the reply slot's name,
// so that the application knows where to answer; with it off the window sends exactly its
// commands and nothing else.
#pragma once

#include <optional>
#include <string>

#include "zk/mailslot/ZkEndpoint.h"

namespace zk::expert {

// The boolean (integer) value under Software\Vdx that turns the channel on; missing: off.
inline const char* const ReplyChannelValue = "ReplyChannel";
// The keyword of the message that names the reply slot: "REPLYTO,<slot>".
inline const char* const ReplyToKeyword = "REPLYTO";
// Reply slots are named this and a number, the lowest one free on the machine: HSReply1, ...
inline const char* const ReplySlotStem = "HSReply";

// Overrides the registry value for windows this process opens from now on: true or false
// decides, nullopt goes back to the registry (a program's command-line switch).
void SetReplyChannelOverride(std::optional<bool> Value);
// Whether a window shown now opens a reply channel: the override when set, else the registry
// value (missing, not an integer or an unreadable registry: off).
bool ReplyChannelEnabled();

// Opens Slot under the first free name ReplySlotStem + 1, 2, ...; raises the endpoint's
// EzkMailSlot for any failure other than a name already taken.
void OpenReplySlot(TzkCustomMailSlot& Slot);

// The message that names Slot as the reply slot of the command that follows it.
std::string ReplyToMessage(const std::string& Slot);

}  // namespace zk::expert

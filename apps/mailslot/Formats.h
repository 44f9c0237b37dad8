// The wire formats the tool speaks: how to send a payload in each, and which receiving
// component reads it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "zk/mailslot/Zkmailslot.h"

namespace mailslot_tool {

// Where a listener reports the frames its receiver turns down.
struct RejectReport {
    // A frame that failed its check, whole (header included).
    std::function<void(const char* Frame, int32_t Len)> Rejected;
    // A frame that repeated the last accepted one and was dropped.
    std::function<void()> Duplicate;
};

struct Format {
    std::string Name;
    // Sends Payload to Slot on Server; true when every frame went out.
    std::function<bool(const std::string& Server, const std::string& Slot,
                       const std::string& Payload)>
        Send;
    // A new receiving endpoint for this format (owned by the caller).
    std::function<zk::TzkCustomMailSlot*()> NewReceiver;
    // The largest payload one send may carry.
    size_t MaxPayload;
    // Binds the receiver's error and duplicate events to Report; empty when it has none.
    std::function<void(zk::TzkCustomMailSlot& Receiver, const RejectReport& Report)>
        AttachReporting;
};

// Every format, "plain" first.
const std::vector<Format>& Formats();
// The format of that name, or null.
const Format* FindFormat(const std::string& Name);
// The format names joined by '|', for help texts.
std::string FormatNames();

}  // namespace mailslot_tool

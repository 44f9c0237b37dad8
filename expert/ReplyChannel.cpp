#include "zk/expert/ReplyChannel.h"

#include "zk/expert/P0300.h"
#include "zk/host/registry/Registry.h"

namespace zk::expert {

using namespace zk::registry;
using namespace zk::rtl;

namespace {

// Set and read on the main thread only, like every other part of the expert.
std::optional<bool> gOverride;

// How many reply slots one machine may have open at once before a window gives up.
constexpr int kMaxReplySlots = 1000;

}  // namespace

void SetReplyChannelOverride(std::optional<bool> Value) { gOverride = Value; }

bool ReplyChannelEnabled() {
    if (gOverride) return *gOverride;
    try {
        TRegistry reg;
        return reg.OpenKey(DocuvaneRegistryKey, false) && reg.ValueExists(ReplyChannelValue) &&
               reg.ReadBool(ReplyChannelValue);
    } catch (const Exception&) {
        // A value of another type or a corrupt file: the window goes on without the channel.
        return false;
    }
}

void OpenReplySlot(TzkCustomMailSlot& Slot) {
    for (int n = 1;; ++n) {
        Slot.SetSlot(ReplySlotStem + std::to_string(n));
        try {
            Slot.Open();
            return;
        } catch (const EzkMailSlot& e) {
            // Another window has this one; any other refusal would repeat for every name.
            if (e.Message() != "Mailslot already exists" || n == kMaxReplySlots) throw;
        }
    }
}

std::string ReplyToMessage(const std::string& Slot) {
    return std::string(ReplyToKeyword) + "," + Slot;
}

}  // namespace zk::expert

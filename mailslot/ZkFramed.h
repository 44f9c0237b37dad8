// What the framed formats share on both ends: sending one built frame, and reporting a frame
// that a receiver turns down. Internal to the library: not part of its interface.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "zk/mailslot/ZkEndpoint.h"
#include "zk/mailslot/ZkSend.h"

namespace zk::zkframes {

// Builds a frame with MakeFrame and writes it as one message to Slot on Server; the result of
// the plain sender. A frame that cannot be allocated is a failed send: senders report by their
// result and never raise.
template <class Encode>
bool SendFrame(const std::string& Server, const std::string& Slot, Encode MakeFrame) {
    try {
        const std::string Frame = MakeFrame();
        return SendBufToMailSlot(Server, Slot, Frame.data(), static_cast<int32_t>(Frame.size()));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The text of Msg's view: its bytes up to the first zero byte, at most Len of them.
inline std::string ViewText(const TMsgPtr& Msg) {
    return std::string(Msg.Cur, strnlen(Msg.Cur, static_cast<size_t>(Msg.Len)));
}

// Reports the frame in Msg's view as turned down: Receiver's DoError with its text, then its
// DoBinError with its bytes, both through the virtual slots.
template <class Receiver>
void ReportRejected(Receiver& R, const TMsgPtr& Msg) {
    R.DoError(ViewText(Msg));
    R.DoBinError(Msg.Cur, Msg.Len);
}

}  // namespace zk::zkframes

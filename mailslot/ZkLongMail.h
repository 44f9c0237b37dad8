// Long mail: messages of up to 65,532 bytes cut into fragments of at most 394 bytes, each sent as
// one checked-mail frame with a 4-byte header (message id with a first-fragment flag, bytes
// remaining), and reassembled by the receiver, which delivers each message whole through the
// endpoint's ordinary events.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "zk/Export.h"
#include "zk/mailslot/ZkNoErrMail.h"

namespace zk {

// The reassembly list (mailslot/ZkLongMailList.h), internal to the library.
class TzkLongMailInfoList;

// Sends the Len bytes at Buf to Slot on Server as long mail, under a fresh 15-bit id from the
// library's generator, pausing 20 ms (host Sleep) before fragments 20, 40, ... True when every
// fragment went out, and for Len <= 0 (nothing is sent). False for Len > 65,532 (nothing is
// sent) or at the first fragment that fails (those before it have gone out). Never raises.
ZK_EXPORT bool SendBufLong(const std::string& Server, const std::string& Slot, const void* Buf,
                           int32_t Len);
// The characters of Text (no terminating zero) as long mail, through SendBufLong.
ZK_EXPORT bool SendLongMail(const std::string& Server, const std::string& Slot,
                            const std::string& Text);

// The long-mail receiver: checked mail whose frames are fragments. A frame that fails the
// checksum is reported as by checked mail; fragments that cannot be filed are dropped without an
// event; a completed message is delivered as if it had come in one piece.
class ZK_EXPORT TzkCustomLongMail : public TzkCustomNoErrMail {
    ZK_CLASS(TzkCustomLongMail)
  public:
    // A closed endpoint with an empty reassembly list.
    explicit TzkCustomLongMail(TComponent* AOwner);
    // Releases the list with every unfinished message, then destroys the endpoint.
    ~TzkCustomLongMail() override;

    // Reads and checks the next frame and files it as a fragment. True when it completed a
    // message: Msg then holds the whole message (Size = Len = its length, Cur = Data, a zero
    // byte behind it). False for a rejected, dropped or merely filed frame; read errors pass
    // through, while a failure to file (out of memory) drops the frame.
    bool ReadNext(TMsgPtr& Msg) override;

  protected:
    // The messages being collected; opening and closing the slot leave it as it is.
    std::unique_ptr<TzkLongMailInfoList> FMsgList;
};

// Long mail with the properties of TzkNoErrMail published.
class ZK_EXPORT TzkLongMail : public TzkCustomLongMail {
    ZK_CLASS(TzkLongMail)
  public:
    using TzkCustomLongMail::TzkCustomLongMail;
};

}  // namespace zk

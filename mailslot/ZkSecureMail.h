// Secure mail: an 8-character text header (four uppercase hexadecimal digits of a random tag,
// four of the payload's frame checksum) in front of the payload. The receiver reports a frame
// whose checksum text does not match and drops one whose header equals that of the last frame
// it accepted, so a message sent once is delivered once even if it arrives again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "zk/Export.h"
#include "zk/mailslot/ZkEndpoint.h"
#include "zk/mailslot/ZkSend.h"

namespace zk {

// Sends the Len bytes at Buf as one secure frame of Len + 8 bytes, with a fresh tag from the
// library's generator, to Slot on Server. True when the whole frame was written; false when the
// slot cannot be opened, the write falls short, the frame cannot be allocated or Len is negative
// (then nothing is sent). Never raises.
ZK_EXPORT bool SendBufSecure(const std::string& Server, const std::string& Slot, const void* Buf,
                             int32_t Len);
// The characters of Text (no terminating zero) as one secure frame, through SendBufSecure.
ZK_EXPORT bool SendSecureMail(const std::string& Server, const std::string& Slot,
                              const std::string& Text);

// The secure-mail receiver. The checksum test comes first: a frame that fails it (lowercase
// digits and frames shorter than the header included) fires OnError and then OnBinError with
// the whole frame. A frame that passes is dropped with OnDuplicated when its header equals the
// last accepted one, and delivered without its header otherwise.
class ZK_EXPORT TzkCustomSecureMail : public TzkCustomMailSlot {
    ZK_CLASS(TzkCustomSecureMail)
  public:
    using TzkCustomMailSlot::TzkCustomMailSlot;
    // Releases the last accepted header, then destroys the endpoint.
    ~TzkCustomSecureMail() override;

    // Virtual operations appended behind the endpoint's, in this order; each fires its event if
    // assigned.
    virtual void DoError(std::string Msg);
    virtual void DoBinError(char* Data, int32_t Len);
    virtual void DoDuplicated();

    // Reads the next message; true with the view narrowed to the payload when the frame is
    // accepted, false when it was reported or dropped. Read errors pass through.
    bool ReadNext(TMsgPtr& Msg) override;

    const TmsMessageAvail& OnError() const { return FOnError; }
    void SetOnError(TmsMessageAvail Value) { FOnError = std::move(Value); }
    // Not a design-time property, but code may assign it.
    const TmsBinMessageAvail& OnBinError() const { return FOnBinError; }
    void SetOnBinError(TmsBinMessageAvail Value) { FOnBinError = std::move(Value); }
    const rtl::TNotifyEvent& OnDuplicated() const { return FOnDuplicated; }
    void SetOnDuplicated(rtl::TNotifyEvent Value) { FOnDuplicated = std::move(Value); }

  protected:
    // The checksum and header tests on the raw frame in Msg's view; narrows the view to the
    // payload and returns true when the frame is accepted.
    bool AcceptSecure(TMsgPtr& Msg);

    // Header of the last accepted frame; absent until the first frame is accepted.
    std::optional<std::string> FLastHeader;
    TmsMessageAvail FOnError;
    TmsBinMessageAvail FOnBinError;
    rtl::TNotifyEvent FOnDuplicated;
};

// Secure mail with its properties published (OnBinError is not among them).
class ZK_EXPORT TzkSecureMail : public TzkCustomSecureMail {
    ZK_CLASS(TzkSecureMail)
  public:
    using TzkCustomSecureMail::TzkCustomSecureMail;
};

}  // namespace zk

// Checked mail and safe mail. A checked frame is the payload's frame checksum (two bytes, low
// byte first) followed by the payload; the receiver reports a frame that does not match instead
// of delivering it. Safe mail is checked mail whose payload begins with a two-byte random serial;
// its receiver also drops a frame that repeats the serial of the last frame it accepted.
#pragma once

#include <cstdint>
#include <string>

#include "zk/Export.h"
#include "zk/mailslot/ZkEndpoint.h"
#include "zk/mailslot/ZkSend.h"

namespace zk {

// Sends the Len bytes at Buf as one checked frame of Len + 2 bytes to Slot on Server. True when
// the whole frame was written; false when the slot cannot be opened, the write falls short, the
// frame cannot be allocated or Len is negative (then nothing is sent). Never raises.
ZK_EXPORT bool SendBufNoErr(const std::string& Server, const std::string& Slot, const void* Buf,
                            int32_t Len);
// The characters of Text (no terminating zero) as one checked frame, through SendBufNoErr.
ZK_EXPORT bool SendNoErrMail(const std::string& Server, const std::string& Slot,
                             const std::string& Text);

// Sends the Len bytes at Buf as one safe frame of Len + 4 bytes: a fresh serial from the library's
// generator and the payload, framed as checked mail. Results as SendBufNoErr.
ZK_EXPORT bool SendBufSafe(const std::string& Server, const std::string& Slot, const void* Buf,
                           int32_t Len);
// The characters of Text as one safe frame, through SendBufSafe.
ZK_EXPORT bool SendSafeMail(const std::string& Server, const std::string& Slot,
                            const std::string& Text);

// The checked-mail receiver: delivers the payload of each frame whose checksum matches and
// reports every other frame, whole, through OnError and then OnBinError.
class ZK_EXPORT TzkCustomNoErrMail : public TzkCustomMailSlot {
    ZK_CLASS(TzkCustomNoErrMail)
  public:
    using TzkCustomMailSlot::TzkCustomMailSlot;

    // Virtual operations appended behind the endpoint's: fire OnError or OnBinError if assigned.
    virtual void DoError(std::string Msg);
    virtual void DoBinError(char* Data, int32_t Len);

    // Reads the next message; true with the view narrowed to the payload when its checksum
    // matches. False after a mismatch (or a frame too short to hold a checksum), with the view
    // on the whole frame again and OnError and OnBinError fired. Read errors pass through.
    bool ReadNext(TMsgPtr& Msg) override;

    const TmsMessageAvail& OnError() const { return FOnError; }
    void SetOnError(TmsMessageAvail Value) { FOnError = std::move(Value); }
    // Not a design-time property, but code may assign it.
    const TmsBinMessageAvail& OnBinError() const { return FOnBinError; }
    void SetOnBinError(TmsBinMessageAvail Value) { FOnBinError = std::move(Value); }

  protected:
    // The checked test on the raw frame in Msg's view: narrows the view to the payload and
    // returns true, or reports the frame and returns false.
    bool AcceptChecked(TMsgPtr& Msg);

    TmsMessageAvail FOnError;
    TmsBinMessageAvail FOnBinError;
};

// Checked mail with its properties published (OnBinError is not among them).
class ZK_EXPORT TzkNoErrMail : public TzkCustomNoErrMail {
    ZK_CLASS(TzkNoErrMail)
  public:
    using TzkCustomNoErrMail::TzkCustomNoErrMail;
};

// The safe-mail receiver: checked mail, then the serial test. The first frame that passes the
// checksum is delivered whatever its serial; from then on a frame whose serial equals that of
// the last accepted frame fires OnDuplicated and is dropped.
class ZK_EXPORT TzkCustomSafeMail : public TzkCustomNoErrMail {
    ZK_CLASS(TzkCustomSafeMail)
  public:
    using TzkCustomNoErrMail::TzkCustomNoErrMail;

    // Virtual operation appended behind DoBinError: fires OnDuplicated if assigned.
    virtual void DoDuplicated();

    // Checked mail's ReadNext, then the serial test; true with the view narrowed to the payload
    // behind the serial. A checked payload too short for a serial is reported like a mismatch.
    bool ReadNext(TMsgPtr& Msg) override;

    const rtl::TNotifyEvent& OnDuplicated() const { return FOnDuplicated; }
    void SetOnDuplicated(rtl::TNotifyEvent Value) { FOnDuplicated = std::move(Value); }

  protected:
    // The serial test on the checked payload in Msg's view (the frame minus its checksum).
    bool AcceptSerial(TMsgPtr& Msg);

    // Serial of the last accepted frame; meaningful once FSerialSeen is true.
    uint16_t FLastSerial = 0;
    bool FSerialSeen = false;
    rtl::TNotifyEvent FOnDuplicated;
};

// Safe mail with its properties published.
class ZK_EXPORT TzkSafeMail : public TzkCustomSafeMail {
    ZK_CLASS(TzkSafeMail)
  public:
    using TzkCustomSafeMail::TzkCustomSafeMail;
};

}  // namespace zk

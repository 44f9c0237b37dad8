#include "zk/mailslot/ZkNoErrMail.h"

#include "zk/mailslot/ZkFramed.h"
#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/Zkmailslot.h"

using namespace zk::rtl;

namespace zk {

using namespace win32;

using zkframes::CheckedHeaderSize;
using zkframes::SafeSerialSize;
using zkframes::SendFrame;

bool SendBufNoErr(const std::string& Server, const std::string& Slot, const void* Buf,
                  int32_t Len) {
    if (Len < 0) return false;
    return SendFrame(Server, Slot, [&] { return zkframes::EncodeChecked(Buf, Len); });
}

bool SendNoErrMail(const std::string& Server, const std::string& Slot, const std::string& Text) {
    return SendBufNoErr(Server, Slot, Text.data(), static_cast<int32_t>(Text.size()));
}

bool SendBufSafe(const std::string& Server, const std::string& Slot, const void* Buf, int32_t Len) {
    if (Len < 0) return false;
    return SendFrame(Server, Slot, [&] { return zkframes::EncodeSafe(DrawFrameTag(), Buf, Len); });
}

bool SendSafeMail(const std::string& Server, const std::string& Slot, const std::string& Text) {
    return SendBufSafe(Server, Slot, Text.data(), static_cast<int32_t>(Text.size()));
}

ZK_IMPLEMENT_CLASS(TzkCustomNoErrMail, TzkCustomMailSlot)

const TClassInfo& TzkNoErrMail::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TzkNoErrMail> b("TzkNoErrMail", &TzkCustomNoErrMail::StaticClass());
        PublishSlotProps(b);
        PublishOpenCloseEvents(b);
        PublishMessageEvents(b);
        b.Event("OnError", &TzkNoErrMail::OnError, &TzkNoErrMail::SetOnError);
        return b.Build();
    }();
    return info;
}

void TzkCustomNoErrMail::DoError(std::string Msg) {
    if (FOnError) FOnError(this, std::move(Msg));
}

void TzkCustomNoErrMail::DoBinError(char* Data, int32_t Len) {
    if (FOnBinError) FOnBinError(this, Data, Len);
}

bool TzkCustomNoErrMail::ReadNext(TMsgPtr& Msg) {
    if (!TzkCustomMailSlot::ReadNext(Msg)) return false;
    return AcceptChecked(Msg);
}

bool TzkCustomNoErrMail::AcceptChecked(TMsgPtr& Msg) {
    // Also fails a frame shorter than its checksum, so nothing is read past the message.
    if (!zkframes::CheckedFrameValid(Msg.Cur, Msg.Len)) {
        zkframes::ReportRejected(*this, Msg);
        return false;
    }
    Msg.Cur += CheckedHeaderSize;
    Msg.Len -= CheckedHeaderSize;
    return true;
}

ZK_IMPLEMENT_CLASS(TzkCustomSafeMail, TzkCustomNoErrMail)

const TClassInfo& TzkSafeMail::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TzkSafeMail> b("TzkSafeMail", &TzkCustomSafeMail::StaticClass());
        PublishSlotProps(b);
        PublishOpenCloseEvents(b);
        PublishMessageEvents(b);
        b.Event("OnError", &TzkSafeMail::OnError, &TzkSafeMail::SetOnError)
            .Event("OnDuplicated", &TzkSafeMail::OnDuplicated, &TzkSafeMail::SetOnDuplicated);
        return b.Build();
    }();
    return info;
}

void TzkCustomSafeMail::DoDuplicated() {
    if (FOnDuplicated) FOnDuplicated(this);
}

bool TzkCustomSafeMail::ReadNext(TMsgPtr& Msg) {
    if (!TzkCustomNoErrMail::ReadNext(Msg)) return false;
    return AcceptSerial(Msg);
}

bool TzkCustomSafeMail::AcceptSerial(TMsgPtr& Msg) {
    if (Msg.Len < SafeSerialSize) {
        // No room for a serial: the whole frame is reported, as for a checksum mismatch.
        Msg.Cur -= CheckedHeaderSize;
        Msg.Len += CheckedHeaderSize;
        zkframes::ReportRejected(*this, Msg);
        return false;
    }
    const uint16_t Serial = zkframes::ReadLE16(Msg.Cur);
    if (FSerialSeen && Serial == FLastSerial) {
        DoDuplicated();
        return false;
    }
    FLastSerial = Serial;
    FSerialSeen = true;
    Msg.Cur += SafeSerialSize;
    Msg.Len -= SafeSerialSize;
    return true;
}

}  // namespace zk

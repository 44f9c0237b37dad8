#include "mailslot/ZkNoErrMail.h"

#include <cstring>
#include <new>

#include "mailslot/ZkFrames.h"
#include "mailslot/Zkmailslot.h"

namespace zk {

using namespace win32;

using zkframes::CheckedHeaderSize;
using zkframes::SafeSerialSize;

namespace {

// Builds a frame and writes it as one message. A frame that cannot be allocated is a failed
// send: senders report by their result and never raise.
template <class Encode>
bool SendFrame(const std::string& Server, const std::string& Slot, int32_t Len, Encode MakeFrame) {
    if (Len < 0) return false;
    try {
        const std::string Frame = MakeFrame();
        return SendBufToMailSlot(Server, Slot, Frame.data(), static_cast<int32_t>(Frame.size()));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

bool SendBufNoErr(const std::string& Server, const std::string& Slot, const void* Buf,
                  int32_t Len) {
    return SendFrame(Server, Slot, Len, [&] { return zkframes::EncodeChecked(Buf, Len); });
}

bool SendNoErrMail(const std::string& Server, const std::string& Slot, const std::string& Text) {
    return SendBufNoErr(Server, Slot, Text.data(), static_cast<int32_t>(Text.size()));
}

bool SendBufSafe(const std::string& Server, const std::string& Slot, const void* Buf, int32_t Len) {
    return SendFrame(Server, Slot, Len,
                     [&] { return zkframes::EncodeSafe(DrawFrameTag(), Buf, Len); });
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
        ReportFrame(Msg);
        return false;
    }
    Msg.Cur += CheckedHeaderSize;
    Msg.Len -= CheckedHeaderSize;
    return true;
}

void TzkCustomNoErrMail::ReportFrame(const TMsgPtr& Msg) {
    DoError(std::string(Msg.Cur, strnlen(Msg.Cur, static_cast<size_t>(Msg.Len))));
    DoBinError(Msg.Cur, Msg.Len);
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
        ReportFrame(Msg);
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

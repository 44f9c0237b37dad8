#include "zk/mailslot/ZkSecureMail.h"

#include <cstring>

#include "zk/mailslot/ZkFramed.h"
#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/Zkmailslot.h"

using namespace zk::rtl;

namespace zk {

using namespace win32;

using zkframes::SecureHeaderSize;

bool SendBufSecure(const std::string& Server, const std::string& Slot, const void* Buf,
                   int32_t Len) {
    if (Len < 0) return false;
    return zkframes::SendFrame(Server, Slot,
                               [&] { return zkframes::EncodeSecure(DrawFrameTag(), Buf, Len); });
}

bool SendSecureMail(const std::string& Server, const std::string& Slot, const std::string& Text) {
    return SendBufSecure(Server, Slot, Text.data(), static_cast<int32_t>(Text.size()));
}

ZK_IMPLEMENT_CLASS(TzkCustomSecureMail, TzkCustomMailSlot)

const TClassInfo& TzkSecureMail::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TzkSecureMail> b("TzkSecureMail", &TzkCustomSecureMail::StaticClass());
        PublishSlotProps(b);
        PublishOpenCloseEvents(b);
        PublishMessageEvents(b);
        b.Event("OnError", &TzkSecureMail::OnError, &TzkSecureMail::SetOnError)
            .Event("OnDuplicated", &TzkSecureMail::OnDuplicated, &TzkSecureMail::SetOnDuplicated);
        return b.Build();
    }();
    return info;
}

TzkCustomSecureMail::~TzkCustomSecureMail() { FLastHeader.reset(); }

void TzkCustomSecureMail::DoError(std::string Msg) {
    if (FOnError) FOnError(this, std::move(Msg));
}

void TzkCustomSecureMail::DoBinError(char* Data, int32_t Len) {
    if (FOnBinError) FOnBinError(this, Data, Len);
}

void TzkCustomSecureMail::DoDuplicated() {
    if (FOnDuplicated) FOnDuplicated(this);
}

bool TzkCustomSecureMail::ReadNext(TMsgPtr& Msg) {
    if (!TzkCustomMailSlot::ReadNext(Msg)) return false;
    return AcceptSecure(Msg);
}

bool TzkCustomSecureMail::AcceptSecure(TMsgPtr& Msg) {
    // First the checksum, so a corrupted copy of an accepted frame counts as an error.
    if (!zkframes::SecureFrameValid(Msg.Cur, Msg.Len)) {
        zkframes::ReportRejected(*this, Msg);
        return false;
    }
    // The header is kept and compared as text: a zero byte ends it.
    std::string Header(Msg.Cur, strnlen(Msg.Cur, SecureHeaderSize));
    if (FLastHeader == Header) {
        DoDuplicated();
        return false;
    }
    FLastHeader = std::move(Header);
    Msg.Cur += SecureHeaderSize;
    Msg.Len -= SecureHeaderSize;
    return true;
}

}  // namespace zk

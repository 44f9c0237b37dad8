#include "zk/mailslot/ZkLongMail.h"

#include <cstring>
#include <exception>

#include "zk/host/win32/Windows.h"
#include "zk/mailslot/ZkFramed.h"
#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/ZkLongMailList.h"
#include "zk/mailslot/Zkmailslot.h"

namespace zk {

using namespace win32;

using namespace rtl;

bool SendBufLong(const std::string& Server, const std::string& Slot, const void* Buf, int32_t Len) {
    if (Len > zkframes::LongMailMax) return false;
    const uint16_t Id = static_cast<uint16_t>(DrawFrameTag() & zkframes::FragmentIdMask);
    const int32_t Fragments = zkframes::FragmentCount(Len);
    for (int32_t k = 1; k <= Fragments; ++k) {
        // Paced so that a slow reader's slot does not fill up under a long message.
        if (k % zkframes::PacingEvery == 0) Sleep(zkframes::PacingPauseMs);
        // Each fragment travels as one checked frame.
        const bool Sent = zkframes::SendFrame(Server, Slot, [&] {
            const std::string Fragment = zkframes::EncodeFragment(Id, Buf, Len, k - 1);
            return zkframes::EncodeChecked(Fragment.data(), static_cast<int32_t>(Fragment.size()));
        });
        if (!Sent) return false;
    }
    return true;
}

bool SendLongMail(const std::string& Server, const std::string& Slot, const std::string& Text) {
    if (Text.size() > static_cast<size_t>(zkframes::LongMailMax)) return false;
    return SendBufLong(Server, Slot, Text.data(), static_cast<int32_t>(Text.size()));
}

ZK_IMPLEMENT_CLASS(TzkCustomLongMail, TzkCustomNoErrMail)

const TClassInfo& TzkLongMail::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TzkLongMail> b("TzkLongMail", &TzkCustomLongMail::StaticClass());
        PublishSlotProps(b);
        PublishOpenCloseEvents(b);
        PublishMessageEvents(b);
        b.Event("OnError", &TzkLongMail::OnError, &TzkLongMail::SetOnError);
        return b.Build();
    }();
    return info;
}

TzkCustomLongMail::TzkCustomLongMail(TComponent* AOwner)
    : TzkCustomNoErrMail(AOwner), FMsgList(std::make_unique<TzkLongMailInfoList>()) {}

TzkCustomLongMail::~TzkCustomLongMail() = default;

bool TzkCustomLongMail::ReadNext(TMsgPtr& Msg) {
    if (!TzkCustomNoErrMail::ReadNext(Msg)) return false;
    try {
        const int32_t Id = FileLongMailFragment(*FMsgList, Msg.Cur, Msg.Len);
        if (Id < 0) return false;
        FreeNext(Msg);
        const int32_t Len = FMsgList->GetLen(Id);
        // Refused above 65,532 bytes: a message announcing up to 65,535 is dropped when complete.
        const bool Whole = AllocNext(Msg, Len);
        if (Whole) std::memcpy(Msg.Data, FMsgList->GetMsg(Id), static_cast<size_t>(Len));
        FMsgList->FreeMsg(Id);
        return Whole;
    } catch (const std::exception&) {
        // Out of memory while filing: the frame is dropped, the list keeps what it had.
        return false;
    }
}

}  // namespace zk

#include "zk/mailslot/ZkWinPopup.h"

#include <new>

#include "zk/host/win32/CodePage.h"
#include "zk/host/win32/Windows.h"
#include "zk/mailslot/ZkChecksum.h"
#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/ZkSend.h"

namespace zk {

using namespace rtl;
using namespace win32;

namespace {

// A repeat of the last frame is dropped when it comes fewer than this many whole seconds later.
constexpr int32_t RepeatWindowSeconds = 2;

// Text converts in place: each page is single-byte, so the length stays.
std::string ToOem(std::string Text) {
    CharToOemA(Text.c_str(), Text.data());
    return Text;
}

std::string ToAnsi(std::string Text) {
    OemToCharA(Text.c_str(), Text.data());
    return Text;
}

}  // namespace

bool SendToWinpopup(const std::string& AServer, const std::string& AReciever,
                    const std::string& ASender, const std::string& AMsg) {
    try {
        const std::string Frame =
            zkframes::EncodePopup(ToOem(ASender), ToOem(AReciever), ToOem(AMsg));
        return SendToMailSlot(ToOem(AServer), PopupSlot, Frame);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

ZK_IMPLEMENT_CLASS(TzkCustomWinPopup, TzkCustomMailSlot)

const TClassInfo& TzkWinPopup::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TzkWinPopup> b("TzkWinPopup", &TzkCustomWinPopup::StaticClass());
        b.Bool("Active", &TzkWinPopup::Active, &TzkWinPopup::SetActive, false)
            .Ord("MaxSize", TypeInfo_Cardinal(), &TzkWinPopup::MaxSize, &TzkWinPopup::SetMaxSize,
                 0);
        PublishOpenCloseEvents(b);
        b.Event("OnMessage", &TzkWinPopup::OnMessage, &TzkWinPopup::SetOnMessage);
        return b.Build();
    }();
    return info;
}

TzkCustomWinPopup::TzkCustomWinPopup(TComponent* AOwner) : TzkCustomMailSlot(AOwner) {
    SetSlot(PopupSlot);
}

bool TzkCustomWinPopup::Send(const std::string& AServer, const std::string& ASender,
                             const std::string& AReciever, const std::string& AMsg) {
    return SendToWinpopup(AServer, AReciever, ASender, AMsg);
}

void TzkCustomWinPopup::DoBinMessageAvail(char* Data, int32_t Len) {
    if (!FOnMessage) return;
    const std::string Checksum = ChecksumText(FrameChecksum(Data, Len));
    const uint32_t Now = GetTickCount();
    const int32_t Seconds = static_cast<int32_t>(Now - FLastTick) / 1000;
    const bool Deliver = Seconds >= RepeatWindowSeconds || Checksum != FLastChecksum;
    FLastTick = Now;
    FLastChecksum = Checksum;
    if (!Deliver) return;
    // The split stops at the end of the message, so a frame short of zero bytes gives empty
    // fields rather than a read past it.
    const zkframes::PopupFields Fields = zkframes::SplitPopup(Data, Len);
    FOnMessage(this, ToAnsi(Fields.Receiver), ToAnsi(Fields.Sender), ToAnsi(Fields.Text));
}

}  // namespace zk

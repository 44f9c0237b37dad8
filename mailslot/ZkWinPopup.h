// Messenger popups: short notes naming a sender, a receiver and a text, carried over the slot
// "messngr" in the OEM code page as three fields separated by zero bytes (no checksum). The
// receiver converts the fields to the ANSI page and drops a frame that repeats the one before it
// within two seconds.
#pragma once

#include <cstdint>
#include <string>

#include "zk/Export.h"
#include "zk/mailslot/ZkEndpoint.h"

namespace zk {

// The slot every popup goes to and every popup component listens on.
inline constexpr const char* PopupSlot = "messngr";

// Sender, AReciever, ASender, AMsg.
using TwpMessage = rtl::TEvent<rtl::TObject*, std::string, std::string, std::string>;

// Sends the popup ASender -> AReciever with text AMsg to the slot "messngr" on AServer; all four
// strings (the machine name too) are converted to the OEM page first, the caller's stay as they
// are. True when the whole frame was written; false otherwise. Never raises.
ZK_EXPORT bool SendToWinpopup(const std::string& AServer, const std::string& AReciever,
                              const std::string& ASender, const std::string& AMsg);

// The popup receiver: an endpoint fixed to the local slot "messngr" whose byte event is replaced
// by OnMessage. OnMessageAvail still fires first, with the sender field in the OEM page.
class ZK_EXPORT TzkCustomWinPopup : public TzkCustomMailSlot {
    ZK_CLASS(TzkCustomWinPopup)
  public:
    // An endpoint whose Slot is "messngr", set as its own name so renaming does not change it.
    explicit TzkCustomWinPopup(TComponent* AOwner);

    // SendToWinpopup(AServer, AReciever, ASender, AMsg): note the sender comes before the
    // receiver here. Uses no state of the component; works open or closed.
    bool Send(const std::string& AServer, const std::string& ASender, const std::string& AReciever,
              const std::string& AMsg);

    // Without an OnMessage handler: returns at once, the repeat fields untouched. Otherwise
    // records the frame's checksum and tick, and unless it repeats the last frame within 2000 ms
    // fires OnMessage with its three fields in the ANSI page. Never fires OnBinMessageAvail.
    void DoBinMessageAvail(char* Data, int32_t Len) override;

    const TwpMessage& OnMessage() const { return FOnMessage; }
    void SetOnMessage(TwpMessage Value) { FOnMessage = std::move(Value); }

  protected:
    TwpMessage FOnMessage;
    // Checksum text of the last frame seen while OnMessage was assigned; empty at creation.
    std::string FLastChecksum;
    // Tick count at which that frame was seen; 0 at creation.
    uint32_t FLastTick = 0;
};

// The popup receiver with Active, MaxSize, OnOpen, OnClose and OnMessage published; Server and
// Slot are not, so it always listens on the local "messngr".
class ZK_EXPORT TzkWinPopup : public TzkCustomWinPopup {
    ZK_CLASS(TzkWinPopup)
  public:
    using TzkCustomWinPopup::TzkCustomWinPopup;
};

}  // namespace zk

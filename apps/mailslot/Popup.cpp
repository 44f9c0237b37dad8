#include <cstdio>
#include <memory>

#include "apps/mailslot/Commands.h"
#include "zk/host/platform/SlotErrorText.h"
#include "zk/host/win32/Windows.h"
#include "zk/mailslot/Zkmailslot.h"

using namespace zk;
using namespace zk::rtl;

namespace mailslot_tool {

int PopupSend(const PopupSendOptions& Options) {
    if (!SendToWinpopup(Options.Server, Options.To, Options.From, Options.Text)) {
        std::fprintf(stderr, "mailslot: cannot send to \\\\%s\\mailslot\\%s: %s\n",
                     Options.Server.c_str(), PopupSlot,
                     zk::platform::SlotErrorText(zk::win32::GetLastError()).c_str());
        return 1;
    }
    return 0;
}

int PopupListen() {
    TOwned<TzkWinPopup> receiver(new TzkWinPopup(nullptr));
    receiver->SetOnMessage(
        TwpMessage([](TObject*, std::string AReciever, std::string ASender, std::string AMsg) {
            const std::string line = "from " + ASender + " to " + AReciever + ": " + AMsg + "\n";
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fflush(stdout);
        }));
    return RunReceiver(*receiver);
}

}  // namespace mailslot_tool

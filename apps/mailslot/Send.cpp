#include <cstdio>
#include <iostream>
#include <iterator>

#include "apps/mailslot/Commands.h"
#include "apps/mailslot/Formats.h"
#include "zk/host/platform/SlotErrorText.h"
#include "zk/host/win32/Windows.h"

namespace mailslot_tool {

int Send(const SendOptions& Options) {
    const Format* format = FindFormat(Options.Format);
    std::string payload = Options.Text;
    if (Options.FromStdin)
        payload.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    if (payload.size() > format->MaxPayload) {
        std::fprintf(stderr,
                     "mailslot: message of %zu bytes is longer than %s mail allows (%zu bytes)\n",
                     payload.size(), format->Name.c_str(), format->MaxPayload);
        return 1;
    }
    if (!format->Send(Options.Server, Options.Slot, payload)) {
        std::fprintf(stderr, "mailslot: cannot send to \\\\%s\\mailslot\\%s: %s\n",
                     Options.Server.c_str(), Options.Slot.c_str(),
                     zk::platform::SlotErrorText(zk::win32::GetLastError()).c_str());
        return 1;
    }
    return 0;
}

}  // namespace mailslot_tool

#include "apps/mailslot/Formats.h"

namespace mailslot_tool {

const std::vector<Format>& Formats() {
    static const std::vector<Format> formats = {
        {"plain",
         [](const std::string& server, const std::string& slot, const std::string& payload) {
             return SendToMailSlot(server, slot, payload);
         },
         [] { return new TzkMailSlot(nullptr); }, static_cast<size_t>(MaxMessageSize)},
    };
    return formats;
}

const Format* FindFormat(const std::string& Name) {
    for (const Format& f : Formats())
        if (f.Name == Name) return &f;
    return nullptr;
}

std::string FormatNames() {
    std::string out;
    for (const Format& f : Formats()) out += (out.empty() ? "" : "|") + f.Name;
    return out;
}

}  // namespace mailslot_tool

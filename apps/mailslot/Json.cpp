#include <nlohmann/json.hpp>

#include "apps/mailslot/Commands.h"

namespace mailslot_tool {

std::string JsonMessage(const std::string& Slot, const std::string& Format, const char* Data,
                        size_t Len) {
    // Ordered, so that every line lists its fields the same way.
    nlohmann::ordered_json line;
    line["slot"] = Slot;
    line["format"] = Format;
    line["length"] = Len;
    line["text"] = std::string(Data, Len);
    line["hex"] = HexBytes(Data, Len);
    return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace mailslot_tool

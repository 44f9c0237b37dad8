// The tool's commands. Each returns the process exit status: 0 success, 1 failure.
#pragma once

#include <string>

namespace mailslot_tool {

struct ListenOptions {
    std::string Slot;
    std::string Format = "plain";
    bool Hex = false;
};

struct SendOptions {
    std::string Slot;
    std::string Server = ".";
    std::string Format = "plain";
    std::string Text;
    bool FromStdin = false;
};

int Listen(const ListenOptions& Options);
int Send(const SendOptions& Options);

// Bytes as uppercase hexadecimal pairs separated by blanks.
std::string HexBytes(const char* Data, size_t Len);

}  // namespace mailslot_tool

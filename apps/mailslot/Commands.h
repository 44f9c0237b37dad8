// The tool's commands. Each returns the process exit status: 0 success, 1 failure.
#pragma once

#include <string>

namespace zk {
class TzkCustomMailSlot;
}

namespace mailslot_tool {

struct ListenOptions {
    std::string Slot;
    std::string Format = "plain";
    bool Hex = false;
    bool Json = false;
};

struct SendOptions {
    std::string Slot;
    std::string Server = ".";
    std::string Format = "plain";
    std::string Text;
    bool FromStdin = false;
};

struct PopupSendOptions {
    std::string Server = ".";
    std::string To;
    std::string From;
    std::string Text;
};

int Listen(const ListenOptions& Options);
int Send(const SendOptions& Options);
int PopupSend(const PopupSendOptions& Options);
int PopupListen();

// Opens Receiver (its slot already named) and delivers its events until SIGINT or SIGTERM, then
// closes it: 0. When the slot cannot be opened: the reason on standard error, 1.
int RunReceiver(zk::TzkCustomMailSlot& Receiver);

// Bytes as uppercase hexadecimal pairs separated by blanks.
std::string HexBytes(const char* Data, size_t Len);

// One message as a line of JSON: {"slot", "format", "length", "text", "hex"}. The text is the
// bytes as UTF-8, each invalid byte replaced by U+FFFD; hex (as HexBytes) has the exact bytes.
std::string JsonMessage(const std::string& Slot, const std::string& Format, const char* Data,
                        size_t Len);

}  // namespace mailslot_tool

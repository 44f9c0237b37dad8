#include "zk/host/platform/SlotPath.h"

#include <sys/un.h>

#include "zk/host/platform/Ascii.h"

namespace zk::platform {

bool ParseSlotPath(const std::string& Path, TSlotPath& Out) {
    static const std::string kWord = "mailslot";
    if (Path.size() < 2 || Path[0] != '\\' || Path[1] != '\\') return false;
    size_t serverEnd = Path.find('\\', 2);
    if (serverEnd == std::string::npos || serverEnd == 2) return false;
    size_t wordEnd = serverEnd + 1 + kWord.size();
    if (wordEnd >= Path.size() || Path[wordEnd] != '\\') return false;
    if (!SameAsciiText(Path.substr(serverEnd + 1, kWord.size()), kWord)) return false;
    if (wordEnd + 1 == Path.size()) return false;
    Out.Server = Path.substr(2, serverEnd - 2);
    Out.Name = Path.substr(wordEnd + 1);
    return true;
}

bool IsLocalServer(const std::string& Server, const std::string& HostName) {
    return Server == "." || (!HostName.empty() && SameAsciiText(Server, HostName));
}

std::string EncodeSlotName(const std::string& Name) {
    std::string out;
    out.reserve(Name.size());
    for (char raw : Name) {
        char c = LowerAscii(raw);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
            out += c;
        } else {
            auto b = static_cast<unsigned char>(c);
            out += '%';
            out += HexDigit(b >> 4);
            out += HexDigit(b);
        }
    }
    return out;
}

std::string SlotSocketPath(const std::string& Dir, const std::string& Name) {
    std::string path = Dir + "/" + EncodeSlotName(Name);
    // sun_path also holds the terminating zero byte.
    if (path.size() >= sizeof(sockaddr_un{}.sun_path)) return {};
    return path;
}

std::string SlotMaxSizePath(const std::string& SocketPath) { return SocketPath + ".max"; }

std::string SlotLockPath(const std::string& Dir) { return Dir + "/.lock"; }

std::string FormatMaxSize(uint32_t Size) { return std::to_string(Size) + "\n"; }

bool ParseMaxSize(const std::string& Text, uint32_t& Size) {
    uint64_t value = 0;
    size_t i = 0;
    for (; i < Text.size() && Text[i] >= '0' && Text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<uint64_t>(Text[i] - '0');
        if (value > UINT32_MAX) return false;
    }
    if (i == 0) return false;
    for (; i < Text.size(); ++i)
        if (Text[i] != ' ' && Text[i] != '\t' && Text[i] != '\r' && Text[i] != '\n') return false;
    Size = static_cast<uint32_t>(value);
    return true;
}

}  // namespace zk::platform

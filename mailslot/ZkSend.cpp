#include "zk/mailslot/ZkSend.h"

#include <new>

#include "zk/host/win32/Windows.h"

namespace zk {

using namespace win32;

namespace {

THandle OpenMailSlotForWrite(const std::string& Server, const std::string& Slot) {
    std::string path = "\\\\" + Server + "\\mailslot\\" + Slot;
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, 0);
}

}  // namespace

bool SendBufToMailSlot(const std::string& Server, const std::string& Slot, const void* Buf,
                       int32_t Len) {
    if (Len < 0) return false;
    THandle h = INVALID_HANDLE_VALUE;
    // Senders never raise: a path that cannot be built is a failed send.
    try {
        h = OpenMailSlotForWrite(Server, Slot);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, Buf, static_cast<DWORD>(Len), &written, nullptr);
    bool result = ok && static_cast<int64_t>(written) == static_cast<int64_t>(Len);
    CloseHandle(h);
    return result;
}

bool SendToMailSlot(const std::string& Server, const std::string& Slot, const std::string& Text) {
    return SendBufToMailSlot(Server, Slot, Text.data(), static_cast<int32_t>(Text.size()));
}

}  // namespace zk

// The mailslot and file calls: argument checks and the last error here, the slots themselves in
// the platform layer.
#include <memory>
#include <new>

#include "zk/host/platform/Slot.h"
#include "zk/host/platform/SlotWrite.h"
#include "zk/host/win32/Windows.h"

namespace zk::win32 {

using namespace zk::platform;

namespace {

THandle Fail(DWORD Error) {
    SetLastError(Error);
    return INVALID_HANDLE_VALUE;
}

// The object named by Handle when it is a T; otherwise null with the last error set.
template <typename T>
std::shared_ptr<T> FindSlotHandle(THandle Handle, DWORD WrongKindError) {
    DWORD err = ERROR_SUCCESS;
    std::shared_ptr<T> obj = FindHandleOf<T>(Handle, WrongKindError, err);
    if (!obj) SetLastError(err);
    return obj;
}

}  // namespace

THandle CreateMailslotA(const char* lpName, DWORD nMaxMessageSize, DWORD lReadTimeout,
                        void* /*lpSecurityAttributes*/) {
    if (lpName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    THandle h = INVALID_HANDLE_VALUE;
    DWORD err = CreateSlot(lpName, nMaxMessageSize, lReadTimeout, h);
    return err == ERROR_SUCCESS ? h : Fail(err);
}

bool GetMailslotInfo(THandle hMailslot, DWORD* lpMaxMessageSize, DWORD* lpNextSize,
                     DWORD* lpMessageCount, DWORD* lpReadTimeout) {
    std::shared_ptr<TSlot> slot = FindSlotHandle<TSlot>(hMailslot, ERROR_INVALID_HANDLE);
    if (!slot) return false;
    DWORD next = MAILSLOT_NO_MESSAGE;
    DWORD count = 0;
    DWORD err = slot->Info(next, count);
    if (err != ERROR_SUCCESS) {
        SetLastError(err);
        return false;
    }
    if (lpMaxMessageSize) *lpMaxMessageSize = slot->MaxMessageSize;
    if (lpNextSize) *lpNextSize = next;
    if (lpMessageCount) *lpMessageCount = count;
    if (lpReadTimeout) *lpReadTimeout = slot->ReadTimeout;
    return true;
}

bool ReadFile(THandle hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, DWORD* lpNumberOfBytesRead,
              void* lpOverlapped) {
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToRead != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::shared_ptr<TSlot> slot = FindSlotHandle<TSlot>(hFile, ERROR_ACCESS_DENIED);
    if (!slot) return false;
    DWORD read = 0;
    DWORD err = slot->Read(lpBuffer, nNumberOfBytesToRead, read);
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = read;
    if (err != ERROR_SUCCESS) {
        SetLastError(err);
        return false;
    }
    return true;
}

THandle CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                    void* /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                    DWORD /*dwFlagsAndAttributes*/, THandle /*hTemplateFile*/) {
    if (lpFileName == nullptr || dwCreationDisposition != OPEN_EXISTING)
        return Fail(ERROR_INVALID_PARAMETER);
    if ((dwDesiredAccess & GENERIC_WRITE) == 0) return Fail(ERROR_ACCESS_DENIED);
    THandle h = INVALID_HANDLE_VALUE;
    DWORD err = ERROR_SUCCESS;
    // A Win32 call reports failure, it never raises; the plain senders rely on that.
    try {
        err = OpenSlotWriter(lpFileName, h);
    } catch (const std::bad_alloc&) {
        err = ERROR_NOT_ENOUGH_MEMORY;
    }
    return err == ERROR_SUCCESS ? h : Fail(err);
}

bool WriteFile(THandle hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
               DWORD* lpNumberOfBytesWritten, void* lpOverlapped) {
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToWrite != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::shared_ptr<TSlotWriter> writer = FindSlotHandle<TSlotWriter>(hFile, ERROR_ACCESS_DENIED);
    if (!writer) return false;
    DWORD err = writer->Send(lpBuffer, nNumberOfBytesToWrite);
    if (err != ERROR_SUCCESS) {
        SetLastError(err);
        return false;
    }
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
    return true;
}

}  // namespace zk::win32

// Handles and the last error: CloseHandle releases any object of the platform's handle table.
#include "zk/host/platform/HandleTable.h"
#include "zk/host/win32/Windows.h"

namespace zk::win32 {

namespace {

thread_local DWORD GLastError = ERROR_SUCCESS;

}  // namespace

bool CloseHandle(THandle hObject) {
    std::shared_ptr<platform::THandleObject> obj = platform::TakeHandle(hObject);
    if (!obj) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    obj->Close();
    return true;
}

DWORD GetLastError() { return GLastError; }

void SetLastError(DWORD dwErrCode) { GLastError = dwErrCode; }

}  // namespace zk::win32

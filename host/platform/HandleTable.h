// The process-wide handle table. A handle is a 32-bit number drawn from a counter and names a
// shared object; callers never see a descriptor. A call looks its object up and keeps a shared
// reference for its duration, so closing a handle on one thread never frees an object that
// another thread is still using: its descriptors close when the last user lets go.
#pragma once

#include <memory>

#include "zk/host/platform/ErrorCodes.h"

namespace zk::platform {

// An object a handle can name.
class THandleObject {
  public:
    virtual ~THandleObject() = default;
    // Called once by CloseHandle after the handle left the table; users that still hold a
    // reference must be woken and must then fail. Releasing descriptors belongs to the destructor.
    virtual void Close() {}
};

// Enters Object into the table and returns its new handle (never 0, never
// INVALID_HANDLE_VALUE, not reused until the 32-bit counter wraps).
THandle AddHandle(std::shared_ptr<THandleObject> Object);

// The object named by Handle, or null when the handle is not open.
std::shared_ptr<THandleObject> FindHandle(THandle Handle);

// Takes the object named by Handle out of the table; null when the handle is not open.
std::shared_ptr<THandleObject> TakeHandle(THandle Handle);

// The object named by Handle when it is a T; otherwise null, with Error set to
// ERROR_INVALID_HANDLE for an unknown handle and to WrongKindError for an object of another kind.
template <typename T>
std::shared_ptr<T> FindHandleOf(THandle Handle, DWORD WrongKindError, DWORD& Error) {
    std::shared_ptr<THandleObject> obj = FindHandle(Handle);
    if (!obj) {
        Error = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    std::shared_ptr<T> typed = std::dynamic_pointer_cast<T>(obj);
    if (!typed) Error = WrongKindError;
    return typed;
}

}  // namespace zk::platform

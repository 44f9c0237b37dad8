// The Win32 numbers the platform layer speaks: the handle and size types, the mailslot waits and
// the error codes it reports failures in. They live here, beneath win32, which re-exports them
// (host/win32/WinTypes.h) so that its callers see the same names and values.
#pragma once

#include <cstdint>

namespace zk::platform {

using DWORD = uint32_t;
using THandle = uint32_t;

constexpr THandle INVALID_HANDLE_VALUE = 0xFFFFFFFFu;

constexpr DWORD MAILSLOT_WAIT_FOREVER = 0xFFFFFFFFu;
constexpr DWORD MAILSLOT_NO_MESSAGE = 0xFFFFFFFFu;

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_BAD_NETPATH = 53;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_SEM_TIMEOUT = 121;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_BAD_PATHNAME = 161;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;

}  // namespace zk::platform

// The Win32 vocabulary: handle and size types, flags and error codes. The codes and types the
// platform layer beneath reports in are its own (host/platform/ErrorCodes.h); they are declared
// here again, as the same entities, so that Win32 callers find them under zk::win32.
#pragma once

#include "zk/host/platform/ErrorCodes.h"

namespace zk::win32 {

using DWORD = platform::DWORD;
using THandle = platform::THandle;
using HANDLE = THandle;

using platform::INVALID_HANDLE_VALUE;

using platform::MAILSLOT_NO_MESSAGE;
using platform::MAILSLOT_WAIT_FOREVER;

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x00000001u;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002u;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080u;

using platform::ERROR_ACCESS_DENIED;
using platform::ERROR_ALREADY_EXISTS;
using platform::ERROR_BAD_NETPATH;
using platform::ERROR_BAD_PATHNAME;
using platform::ERROR_FILE_NOT_FOUND;
using platform::ERROR_GEN_FAILURE;
using platform::ERROR_INSUFFICIENT_BUFFER;
using platform::ERROR_INVALID_HANDLE;
using platform::ERROR_INVALID_PARAMETER;
using platform::ERROR_NOT_ENOUGH_MEMORY;
using platform::ERROR_OPERATION_ABORTED;
using platform::ERROR_PATH_NOT_FOUND;
using platform::ERROR_SEM_TIMEOUT;
using platform::ERROR_SUCCESS;
using platform::ERROR_TOO_MANY_OPEN_FILES;

}  // namespace zk::win32

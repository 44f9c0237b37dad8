// The Win32 calls the libraries make, realised on Linux. Mailslots are AF_UNIX datagram sockets
// in the slot directory; handles are entries of a process-wide handle table, never raw
// descriptors. docs/mailslots.md, "Mailslots on Linux", gives the convention other programs
// follow to write to or listen on a slot. Processes are in host/win32/WinProcess.h, code pages in
// host/win32/CodePage.h.
#pragma once

#include <cstdint>

#include "zk/Export.h"
#include "zk/host/win32/WinTypes.h"

namespace zk::win32 {

// Creates the local mailslot lpName ("\\.\mailslot\NAME"); the caller becomes its one reader.
// nMaxMessageSize 0 accepts any size. lReadTimeout: milliseconds a read waits for a message,
// 0 = none, MAILSLOT_WAIT_FOREVER = unlimited. Returns INVALID_HANDLE_VALUE and sets the last
// error on failure (ERROR_BAD_PATHNAME, ERROR_ALREADY_EXISTS, ERROR_ACCESS_DENIED, ...).
ZK_EXPORT THandle CreateMailslotA(const char* lpName, DWORD nMaxMessageSize, DWORD lReadTimeout,
                                  void* lpSecurityAttributes);

// Reports about a slot handle; every output may be null. lpNextSize gets the exact size of the
// next message (MAILSLOT_NO_MESSAGE when none waits), lpMessageCount the number waiting.
ZK_EXPORT bool GetMailslotInfo(THandle hMailslot, DWORD* lpMaxMessageSize, DWORD* lpNextSize,
                               DWORD* lpMessageCount, DWORD* lpReadTimeout);

// On a slot: takes exactly one message when it fits into nNumberOfBytesToRead bytes (a
// zero-length message fits into zero bytes); a message that does not fit stays and the call fails
// with ERROR_INSUFFICIENT_BUFFER. An empty slot waits up to the slot's read time-out
// (ERROR_SEM_TIMEOUT). A zero-byte read with lpBuffer null only waits: it returns true once a
// message waits and takes none. Closing the handle on another thread ends a waiting read at once
// (false, ERROR_OPERATION_ABORTED). lpOverlapped must be null.
ZK_EXPORT bool ReadFile(THandle hFile, void* lpBuffer, DWORD nNumberOfBytesToRead,
                        DWORD* lpNumberOfBytesRead, void* lpOverlapped);

// Opens "\\SERVER\mailslot\NAME" for writing. SERVER "." or this machine's host name is the
// local machine; a slot that no live process owns fails with ERROR_FILE_NOT_FOUND. Any other
// SERVER (an address, a host or NetBIOS name, a workgroup, "*") gets one NetBIOS datagram per
// WriteFile of at most 424 bytes (docs/mailslots.md, "Between machines"); a server that cannot be
// found fails with ERROR_BAD_NETPATH. Only OPEN_EXISTING with GENERIC_WRITE is supported.
ZK_EXPORT THandle CreateFileA(const char* lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                              void* lpSecurityAttributes, DWORD dwCreationDisposition,
                              DWORD dwFlagsAndAttributes, THandle hTemplateFile);

// Writes the bytes as one message. A full slot is waited on for a bounded time (5 s, see
// docs/mailslots.md), then the call fails with ERROR_SEM_TIMEOUT; a message larger than the
// slot's maximum size fails with ERROR_INVALID_PARAMETER. Nothing is ever dropped silently.
ZK_EXPORT bool WriteFile(THandle hFile, const void* lpBuffer, DWORD nNumberOfBytesToWrite,
                         DWORD* lpNumberOfBytesWritten, void* lpOverlapped);

// Releases a handle. Closing a slot removes its socket file and wakes a thread waiting in it.
// An unknown handle fails with ERROR_INVALID_HANDLE. Handle values are not reused.
ZK_EXPORT bool CloseHandle(THandle hObject);

// The calling thread's last error code.
ZK_EXPORT DWORD GetLastError();
ZK_EXPORT void SetLastError(DWORD dwErrCode);

// Milliseconds since an arbitrary start, monotonic, wrapping at 2^32 (from the run-time library's
// replaceable clock, host/rtl/Clock.h).
ZK_EXPORT uint32_t GetTickCount();
// Pauses the calling thread for Milliseconds (on a test clock: advances it instead).
ZK_EXPORT void Sleep(uint32_t Milliseconds);

}  // namespace zk::win32

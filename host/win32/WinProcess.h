// The Win32 process and shell calls, realised on Linux: CreateProcessA starts a command line,
// ShellExecuteA opens a file as a program. Neither runs a shell and neither waits; the started
// program is never a child of the caller, so it leaves no zombie behind (host/platform/
// ProcessStart.h). A show-window request reaches the program as DOCUVANE_SHOW in its
// environment ("normal", "minimized", ... see host/win32/CommandLine.h), which stands in for the
// window state Windows would give it.
#pragma once

#include <cstdint>

#include "zk/host/win32/Windows.h"

namespace zk::win32 {

using WORD = uint16_t;
using HWND = uint32_t;
using HINST = uint32_t;

constexpr DWORD CREATE_NEW_CONSOLE = 0x00000010u;
constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020u;

constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001u;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;

constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_NO_ASSOCIATION = 1155;

// ShellExecuteA's failure results (all 32 or less).
constexpr HINST SE_ERR_FNF = 2;
constexpr HINST SE_ERR_PNF = 3;
constexpr HINST SE_ERR_ACCESSDENIED = 5;
constexpr HINST SE_ERR_OOM = 8;
constexpr HINST ERROR_BAD_FORMAT = 11;
constexpr HINST SE_ERR_NOASSOC = 31;

// The Win32 startup record. Only cb, dwFlags and wShowWindow are looked at.
struct STARTUPINFOA {
    DWORD cb;
    char* lpReserved;
    char* lpDesktop;
    char* lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    uint8_t* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
using STARTUPINFO = STARTUPINFOA;

// What CreateProcessA reports about the started program. Both handles are entries of the
// handle table that CloseHandle releases; the thread is the program's main thread, whose id
// equals the process id on Linux.
struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};

// Starts a program without waiting for it. The program is lpApplicationName when given (run
// as it is, no search), otherwise the first word of lpCommandLine, found via PATH when it has
// no slash. lpCommandLine is split into the program's arguments as a shell would (quotes and
// backslashes respected, host/win32/CommandLine.h); without it the arguments are the application
// name alone. lpEnvironment is a Win32 block ("A=1\0B=2\0\0") or null for the caller's;
// lpCurrentDirectory null or empty keeps the caller's. CREATE_NEW_CONSOLE puts the program in
// a session of its own with its standard streams on /dev/null; without it the program shares
// the caller's terminal and standard streams, as a console program shares its parent's console.
// Security attributes, handle inheritance and the priority class are accepted and have no effect
// (the caller's descriptors are close-on-exec). With STARTF_USESHOWWINDOW in lpStartupInfo the
// program's environment gets DOCUVANE_SHOW. Returns true and fills lpProcessInformation (when
// given); false with the last error: ERROR_INVALID_PARAMETER (no command line and no application
// name, an empty line, an unterminated quote), ERROR_FILE_NOT_FOUND (no such program),
// ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED (not executable, a directory), ERROR_BAD_EXE_FORMAT,
// ERROR_DIRECTORY (lpCurrentDirectory missing).
bool CreateProcessA(const char* lpApplicationName, char* lpCommandLine, void* lpProcessAttributes,
                    void* lpThreadAttributes, bool bInheritHandles, DWORD dwCreationFlags,
                    void* lpEnvironment, const char* lpCurrentDirectory,
                    STARTUPINFOA* lpStartupInfo, PROCESS_INFORMATION* lpProcessInformation);

// Opens lpFile as a program: lpFile is the program itself (not a command line, so it may
// contain blanks; found via PATH when it has no slash), lpParameters its arguments split as a
// shell would, lpDirectory its working directory (null or empty: the caller's), nShowCmd its
// show request (DOCUVANE_SHOW). The program runs in a session of its own with its standard
// streams on /dev/null. lpOperation must be null, empty or "open" (any case). hwnd is not used.
// Returns a value above 32 on success; on failure SE_ERR_FNF (no such file, or an empty name),
// SE_ERR_PNF (path or directory missing), SE_ERR_NOASSOC (a file that is not a program, or another
// operation), ERROR_BAD_FORMAT, SE_ERR_ACCESSDENIED or SE_ERR_OOM, with the matching last error.
HINST ShellExecuteA(HWND hwnd, const char* lpOperation, const char* lpFile,
                    const char* lpParameters, const char* lpDirectory, int nShowCmd);

}  // namespace zk::win32

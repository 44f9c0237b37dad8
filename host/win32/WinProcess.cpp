#include "zk/host/win32/WinProcess.h"

#include <cerrno>
#include <memory>
#include <optional>

#include "zk/host/platform/HandleTable.h"
#include "zk/host/platform/ProcessStart.h"
#include "zk/host/platform/SysCalls.h"
#include "zk/host/rtl/SysUtils.h"
#include "zk/host/win32/CommandLine.h"

namespace zk::win32 {

using namespace zk::rtl;
using namespace zk::platform;

namespace {

// A started program as a handle names it. Nothing waits on it: closing only forgets it.
class TProcessObject : public platform::THandleObject {
  public:
    explicit TProcessObject(pid_t Pid) : FPid(Pid) {}
    pid_t Pid() const { return FPid; }

  private:
    pid_t FPid;
};

// The value ShellExecuteA returns on success; Win32 guarantees only "above 32".
constexpr HINST kShellStarted = 42;

DWORD Win32ErrorOfStart(int Errno) {
    switch (Errno) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case ENOEXEC:
            return ERROR_BAD_EXE_FORMAT;
        default:
            return platform::Win32ErrorOf(Errno);
    }
}

struct TLaunch {
    std::string Program;  // as given: a path, or a name to look for in PATH
    std::vector<std::string> Args;
    std::vector<std::string> Environment;
    std::string Directory;
    // A console of its own: its own session, and none of the caller's standard streams.
    bool NewConsole = false;
};

// Finds and starts the program; ERROR_SUCCESS and the process id, or the Win32 error. When
// NotAProgram is given it is set when the file exists but is no program.
DWORD Launch(TLaunch L, pid_t& Pid, bool* NotAProgram = nullptr) {
    platform::TStartRequest request;
    if (int err = platform::FindProgram(L.Program, request.Program)) {
        if (NotAProgram) *NotAProgram = err == EACCES;
        return Win32ErrorOfStart(err);
    }
    request.Args = std::move(L.Args);
    request.Environment = std::move(L.Environment);
    request.Directory = std::move(L.Directory);
    request.NewSession = L.NewConsole;
    request.DetachStreams = L.NewConsole;
    platform::TStartResult started = platform::StartDetached(request);
    if (started.Error == 0) {
        Pid = started.Pid;
        return ERROR_SUCCESS;
    }
    if (started.FailedStep == platform::TStartStep::ChangeDirectory) return ERROR_DIRECTORY;
    return Win32ErrorOfStart(started.Error);
}

bool Fail(DWORD Error) {
    SetLastError(Error);
    return false;
}

}  // namespace

bool CreateProcessA(const char* lpApplicationName, char* lpCommandLine,
                    void* /*lpProcessAttributes*/, void* /*lpThreadAttributes*/,
                    bool /*bInheritHandles*/, DWORD dwCreationFlags, void* lpEnvironment,
                    const char* lpCurrentDirectory, STARTUPINFOA* lpStartupInfo,
                    PROCESS_INFORMATION* lpProcessInformation) {
    std::string application = lpApplicationName ? lpApplicationName : "";
    TLaunch launch;
    if (lpCommandLine) {
        std::optional<std::vector<std::string>> words = SplitCommandLine(lpCommandLine);
        if (!words) return Fail(ERROR_INVALID_PARAMETER);
        launch.Args = std::move(*words);
    }
    if (application.empty()) {
        if (launch.Args.empty()) return Fail(ERROR_INVALID_PARAMETER);
        launch.Program = launch.Args[0];
    } else {
        // An application name is a file, never looked up in PATH.
        launch.Program =
            application.find('/') == std::string::npos ? "./" + application : application;
        if (launch.Args.empty()) launch.Args.push_back(application);
    }
    std::string show;
    if (lpStartupInfo && (lpStartupInfo->dwFlags & STARTF_USESHOWWINDOW))
        show = ShowWindowName(lpStartupInfo->wShowWindow);
    launch.Environment = WithShowRequest(
        lpEnvironment ? EnvironmentFromBlock(static_cast<const char*>(lpEnvironment))
                      : platform::CurrentEnvironment(),
        show);
    launch.Directory = lpCurrentDirectory ? lpCurrentDirectory : "";
    launch.NewConsole = (dwCreationFlags & CREATE_NEW_CONSOLE) != 0;

    pid_t pid = 0;
    if (DWORD err = Launch(std::move(launch), pid)) return Fail(err);
    if (lpProcessInformation) {
        lpProcessInformation->hProcess = platform::AddHandle(std::make_shared<TProcessObject>(pid));
        lpProcessInformation->hThread = platform::AddHandle(std::make_shared<TProcessObject>(pid));
        lpProcessInformation->dwProcessId = static_cast<DWORD>(pid);
        lpProcessInformation->dwThreadId = static_cast<DWORD>(pid);
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

HINST ShellExecuteA(HWND /*hwnd*/, const char* lpOperation, const char* lpFile,
                    const char* lpParameters, const char* lpDirectory, int nShowCmd) {
    // Sets the last error that goes with a result.
    auto answer = [](DWORD Error, HINST Result) {
        SetLastError(Error);
        return Result;
    };
    if (lpOperation && lpOperation[0] != '\0' && StrIComp(lpOperation, "open") != 0)
        return answer(ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC);
    if (!lpFile || lpFile[0] == '\0') return answer(ERROR_FILE_NOT_FOUND, SE_ERR_FNF);

    TLaunch launch;
    launch.Program = lpFile;
    launch.Args.push_back(lpFile);
    if (lpParameters) {
        std::optional<std::vector<std::string>> words = SplitCommandLine(lpParameters);
        if (!words) return answer(ERROR_INVALID_PARAMETER, 0);
        launch.Args.insert(launch.Args.end(), words->begin(), words->end());
    }
    launch.Environment = WithShowRequest(platform::CurrentEnvironment(),
                                         ShowWindowName(static_cast<uint16_t>(nShowCmd)));
    launch.Directory = lpDirectory ? lpDirectory : "";
    // An opened program runs on its own, as one started from the desktop: it shares neither
    // the caller's terminal nor its standard streams.
    launch.NewConsole = true;

    pid_t pid = 0;
    bool notAProgram = false;
    DWORD err = Launch(std::move(launch), pid, &notAProgram);
    if (notAProgram) return answer(ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC);
    switch (err) {
        case ERROR_SUCCESS:
            return answer(ERROR_SUCCESS, kShellStarted);
        case ERROR_FILE_NOT_FOUND:
            return answer(err, SE_ERR_FNF);
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY:
            return answer(err, SE_ERR_PNF);
        case ERROR_BAD_EXE_FORMAT:
            return answer(err, ERROR_BAD_FORMAT);
        case ERROR_NOT_ENOUGH_MEMORY:
            return answer(err, SE_ERR_OOM);
        default:
            return answer(err, SE_ERR_ACCESSDENIED);
    }
}

}  // namespace zk::win32

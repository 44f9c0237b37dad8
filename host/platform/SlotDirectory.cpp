#include "host/platform/SlotDirectory.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdlib>

#include "host/platform/SlotPath.h"
#include "host/platform/SysCalls.h"

namespace zk::platform {

using namespace zk::win32;

namespace {

std::string EnvOrEmpty(const char* Name) {
    const char* v = std::getenv(Name);
    return v ? v : "";
}

DWORD CheckDirectory(const struct stat& St) {
    if (!S_ISDIR(St.st_mode)) return ERROR_ACCESS_DENIED;  // also a symlink: lstat sees the link
    if (St.st_uid != SysEffectiveUid()) return ERROR_ACCESS_DENIED;
    if ((St.st_mode & (S_IWGRP | S_IWOTH)) != 0) return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

}  // namespace

std::string SlotDirectoryPath() {
    std::string dir = EnvOrEmpty("MAILSLOT_DIR");
    if (!dir.empty()) return dir;
    std::string runtime = EnvOrEmpty("XDG_RUNTIME_DIR");
    if (!runtime.empty()) return runtime + "/mailslot";
    return "/tmp/mailslot-" + std::to_string(SysEffectiveUid());
}

DWORD OpenSlotDirectory(bool CreateMissing, std::string& Dir) {
    Dir = SlotDirectoryPath();
    struct stat st {};
    if (SysLstat(Dir.c_str(), &st) == 0) return CheckDirectory(st);
    if (errno != ENOENT) return Win32ErrorOf(errno);
    if (!CreateMissing) return ERROR_FILE_NOT_FOUND;
    // Another creator may make it at the same time; either way the result is checked below.
    if (SysMkdir(Dir.c_str(), 0700) != 0 && errno != EEXIST)
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorOf(errno);
    if (SysLstat(Dir.c_str(), &st) != 0) return Win32ErrorOf(errno);
    return CheckDirectory(st);
}

TSlotDirLock::TSlotDirLock(const std::string& Dir) {
    std::string path = SlotLockPath(Dir);
    FFd = SysOpen(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (FFd < 0) {
        FError = Win32ErrorOf(errno);
        return;
    }
    if (SysFlock(FFd, LOCK_EX) != 0) {
        FError = Win32ErrorOf(errno);
        SysClose(FFd);
        FFd = -1;
    }
}

TSlotDirLock::~TSlotDirLock() {
    // Closing the descriptor releases the lock.
    SysClose(FFd);
}

}  // namespace zk::platform

#include "zk/host/platform/SlotDirectory.h"

#include <fcntl.h>
#include <sys/file.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

#include "zk/host/platform/SlotPath.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

std::string EnvOrEmpty(const char* Name) {
    const char* v = std::getenv(Name);
    return v ? v : "";
}

// "/x/dir/", "/x/dir//" and "/x/dir/." all name "/x/dir", but lstat would follow a symlink at
// "/x/dir" for them; the check must see the last component itself.
std::string WithoutTrailingParts(std::string Dir) {
    for (;;) {
        if (Dir.size() > 1 && Dir.back() == '/')
            Dir.pop_back();
        else if (Dir.size() > 2 && Dir.compare(Dir.size() - 2, 2, "/.") == 0)
            Dir.resize(Dir.size() - 2);
        else
            return Dir;
    }
}

std::string OctalMode(mode_t Mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(Mode & 07777));
    return text;
}

// Tells the user once per process and problem why the slot directory was refused: the Win32
// error alone (ERROR_ACCESS_DENIED) does not say what to fix.
void ReportRefusal(const std::string& Text) {
    static std::mutex& lock = *new std::mutex;
    static std::set<std::string>& told = *new std::set<std::string>;
    std::string line = "slot directory refused: " + Text + "\n";
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!told.insert(line).second) return;
    }
    SysWrite(STDERR_FILENO, line.data(), line.size());
}

// Any socket in the directory receives this user's messages and any file in it could be
// swapped by whoever may write there, so nobody else may have any access at all.
DWORD CheckDirectory(const std::string& Dir, const struct stat& St) {
    if (S_ISLNK(St.st_mode)) {
        ReportRefusal(Dir + " is a symbolic link");
        return ERROR_ACCESS_DENIED;
    }
    if (!S_ISDIR(St.st_mode)) {
        ReportRefusal(Dir + " is not a directory");
        return ERROR_ACCESS_DENIED;
    }
    uid_t me = SysEffectiveUid();
    if (St.st_uid != me) {
        ReportRefusal(Dir + " belongs to uid " + std::to_string(St.st_uid) + ", not to uid " +
                      std::to_string(me));
        return ERROR_ACCESS_DENIED;
    }
    if ((St.st_mode & 077) != 0) {
        ReportRefusal(Dir + " has mode " + OctalMode(St.st_mode) +
                      "; group and others must have no access (chmod 0700)");
        return ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
}

}  // namespace

std::string SlotDirectoryPath() {
    std::string dir = EnvOrEmpty("MAILSLOT_DIR");
    if (!dir.empty()) return WithoutTrailingParts(dir);
    std::string runtime = EnvOrEmpty("XDG_RUNTIME_DIR");
    if (!runtime.empty()) return runtime + "/mailslot";
    return "/tmp/mailslot-" + std::to_string(SysEffectiveUid());
}

DWORD OpenSlotDirectory(bool CreateMissing, std::string& Dir) {
    Dir = SlotDirectoryPath();
    struct stat st {};
    if (SysLstat(Dir.c_str(), &st) == 0) return CheckDirectory(Dir, st);
    if (errno != ENOENT) return Win32ErrorOf(errno);
    if (!CreateMissing) return ERROR_FILE_NOT_FOUND;
    // Another creator may make it at the same time; either way the result is checked below.
    if (SysMkdir(Dir.c_str(), 0700) != 0 && errno != EEXIST)
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorOf(errno);
    if (SysLstat(Dir.c_str(), &st) != 0) return Win32ErrorOf(errno);
    return CheckDirectory(Dir, st);
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

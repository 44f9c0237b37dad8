#include "zk/host/platform/ConfigFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "zk/host/platform/Fd.h"
#include "zk/host/platform/FileIo.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

[[noreturn]] void Fail(const std::string& What, const std::string& Path, int Errno) {
    throw EConfigFileError("Cannot " + What + " " + Path + ": " + std::strerror(Errno));
}

void MakeDirectories(const std::string& Dir) {
    for (size_t pos = 1; pos <= Dir.size(); ++pos) {
        if (pos < Dir.size() && Dir[pos] != '/') continue;
        std::string part = Dir.substr(0, pos);
        if (SysMkdir(part.c_str(), 0700) != 0 && errno != EEXIST) Fail("create", part, errno);
    }
}

std::string ReadAll(int Fd, const std::string& Path) {
    std::string text;
    if (int err = ReadToEnd(Fd, text)) Fail("read", Path, err);
    return text;
}

// Writes Text into a temporary file beside Path and renames it over Path. The caller holds the
// lock, so one fixed temporary name suffices; a leftover from a crashed writer is truncated.
void ReplaceFile(const std::string& Path, const std::string& Text) {
    std::string temp = Path + ".tmp";
    TFd fd(SysOpen(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (fd.Get() < 0) Fail("create", temp, errno);
    const char* step = nullptr;
    if (int err = CommitReplacement(fd.Get(), Text, temp, Path, step))
        Fail(step, std::string(step) == "replace" ? Path : temp, err);
}

}  // namespace

std::optional<std::string> ReadConfigFile(const std::string& Path) {
    TFd fd(SysOpen(Path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT) return std::nullopt;
        Fail("open", Path, errno);
    }
    return ReadAll(fd.Get(), Path);
}

void RewriteConfigFile(const std::string& Path, const TConfigEdit& Edit) {
    MakeDirectories(DirectoryOf(Path));
    std::string lockPath = Path + ".lock";
    // The lock file is never removed: removing it would let two writers lock different files.
    TFd lock(SysOpen(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.Get() < 0) Fail("open", lockPath, errno);
    if (SysFlock(lock.Get(), LOCK_EX) != 0) Fail("lock", lockPath, errno);
    // Closing the descriptor at the end of the scope releases the lock.
    std::optional<std::string> next = Edit(ReadConfigFile(Path));
    if (next) ReplaceFile(Path, *next);
}

std::string UserConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return std::string(home) + "/.config";
    passwd pw{};
    passwd* found = nullptr;
    char buf[4096];
    if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir)
        return std::string(found->pw_dir) + "/.config";
    throw EConfigFileError("Cannot find the home directory of the current user");
}

}  // namespace zk::platform

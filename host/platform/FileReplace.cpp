#include "host/platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "host/platform/Fd.h"
#include "host/platform/FileIo.h"
#include "host/platform/SysCalls.h"

namespace zk::platform {

namespace {

[[noreturn]] void Fail(const std::string& What, const std::string& Path, int Errno) {
    throw EFileError("cannot " + What + " " + Path + ": " + std::strerror(Errno));
}

std::string ReadFd(int Fd, const std::string& Path) {
    std::string text;
    // One allocation for a regular file instead of a growing buffer.
    struct stat st {};
    if (::fstat(Fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        text.reserve(static_cast<size_t>(st.st_size));
    if (int err = ReadToEnd(Fd, text)) Fail("read", Path, err);
    return text;
}

void WriteFd(int Fd, const std::string& Text, const std::string& Path) {
    if (int err = WriteWhole(Fd, Text)) Fail("write", Path, err);
}

}  // namespace

std::string ReadWholeFile(const std::string& Path) {
    if (Path == "-") return ReadFd(0, "standard input");
    TFd fd(SysOpen(Path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) Fail("read", Path, errno);
    return ReadFd(fd.Get(), Path);
}

namespace {

// The file a symbolic link at Path leads to (Path itself when it is none): the new content
// replaces that file, so the link stays a link. A dangling link leads to the file it would
// create.
std::string FollowLinks(const std::string& Path) {
    std::string path = Path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (SysLstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) Fail("write", Path, errno);
        if (static_cast<size_t>(n) == target.size()) Fail("write", Path, ENAMETOOLONG);
        target.resize(static_cast<size_t>(n));
        path = target[0] == '/' ? target : DirectoryOf(path) + "/" + target;
    }
    Fail("write", Path, ELOOP);
}

// Writes Content to a fresh temporary file beside Path, with Path's mode, flushed to disk;
// returns its name.
std::string WriteBeside(const std::string& Path, const std::string& Content) {
    // The original's mode, or the usual one of a new file.
    mode_t mode = 0666;
    bool keepMode = false;
    struct stat st {};
    if (::stat(Path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) Fail("write", Path, EISDIR);
        mode = st.st_mode & 07777;
        keepMode = true;
    }
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = DirectoryOf(Path) + "/." + Path.substr(Path.find_last_of('/') + 1) + ".tmp" +
               std::to_string(::getpid()) + "-" + std::to_string(counter++);
        raw = SysOpen(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (raw < 0 && errno != EEXIST) Fail("write", Path, errno);
    }
    if (raw < 0) Fail("write", Path, EEXIST);
    TFd fd(raw);
    int err = 0;
    // The umask must not narrow a kept mode.
    if (keepMode && ::fchmod(fd.Get(), mode) != 0) err = errno;
    if (err == 0) err = WriteWhole(fd.Get(), Content);
    if (err == 0 && ::fsync(fd.Get()) != 0) err = errno;
    if (err != 0) {
        SysUnlink(temp.c_str());
        Fail("write", Path, err);
    }
    return temp;
}

void RenameOver(const std::string& Temp, const std::string& Path) {
    if (SysRename(Temp.c_str(), Path.c_str()) != 0) {
        const int err = errno;
        SysUnlink(Temp.c_str());
        Fail("write", Path, err);
    }
    SyncDirectoryOf(Path);
}

}  // namespace

void ReplaceFile(const std::string& Path, const std::string& Content) {
    if (Path == "-") {
        WriteFd(1, Content, "standard output");
        return;
    }
    std::string file = FollowLinks(Path);
    RenameOver(WriteBeside(file, Content), file);
}

void ReplaceFiles(const std::vector<std::pair<std::string, std::string>>& Files) {
    std::vector<std::string> files, temps;  // "" for standard output
    try {
        for (const auto& [path, content] : Files) {
            files.push_back(path == "-" ? std::string() : FollowLinks(path));
            temps.push_back(path == "-" ? std::string() : WriteBeside(files.back(), content));
        }
    } catch (const EFileError&) {
        for (const std::string& t : temps)
            if (!t.empty()) SysUnlink(t.c_str());
        throw;
    }
    // Every new content is on disk: only the renames are left.
    for (size_t i = 0; i < Files.size(); ++i) {
        if (temps[i].empty())
            WriteFd(1, Files[i].second, "standard output");
        else
            RenameOver(temps[i], files[i]);
    }
}

}  // namespace zk::platform

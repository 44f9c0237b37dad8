#include "zk/host/platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <functional>
#include <map>
#include <set>
#include <thread>

#include "zk/host/platform/Fd.h"
#include "zk/host/platform/FileIo.h"
#include "zk/host/platform/SysCalls.h"

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

// A new content written beside its file, and the file system it went to.
struct TStaged {
    std::string Temp;
    dev_t Device = 0;
};

// Writes Content to a fresh temporary file beside Path, with Path's mode, flushed to disk when
// Flush (a batch flushes all its files at once instead).
TStaged WriteBeside(const std::string& Path, const std::string& Content, bool Flush) {
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
    if (err == 0 && Flush && ::fsync(fd.Get()) != 0) err = errno;
    struct stat written {};
    if (err == 0 && ::fstat(fd.Get(), &written) != 0) err = errno;
    if (err != 0) {
        SysUnlink(temp.c_str());
        Fail("write", Path, err);
    }
    return {temp, written.st_dev};
}

void RenameOver(const std::string& Temp, const std::string& Path) {
    if (SysRename(Temp.c_str(), Path.c_str()) != 0) {
        const int err = errno;
        SysUnlink(Temp.c_str());
        Fail("write", Path, err);
    }
}

void RemoveAll(const std::vector<TStaged>& Staged) {
    for (const TStaged& s : Staged)
        if (!s.Temp.empty()) SysUnlink(s.Temp.c_str());
}

// Puts the written temporaries on disk: one syncfs per file system they live on, which costs
// far less than an fsync per file when a project's forms are rewritten together.
void FlushAll(const std::vector<TStaged>& Staged, const std::vector<std::string>& Files) {
    std::set<dev_t> done;
    for (size_t i = 0; i < Staged.size(); ++i) {
        if (Staged[i].Temp.empty() || !done.insert(Staged[i].Device).second) continue;
        // The folder, not the file: a file's mode may forbid reading it.
        TFd fd(SysOpen(DirectoryOf(Files[i]).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.Get() < 0 || ::syncfs(fd.Get()) != 0) Fail("write", Files[i], errno);
    }
}

// The indices of Paths taken a folder at a time in turn (the first of each folder, then the
// second, ...): threads working in different folders do not queue for one folder's lock.
std::vector<size_t> AcrossFolders(const std::vector<std::string>& Paths) {
    std::map<std::string, std::vector<size_t>> byFolder;
    for (size_t i = 0; i < Paths.size(); ++i) byFolder[DirectoryOf(Paths[i])].push_back(i);
    std::vector<size_t> order;
    for (size_t round = 0; order.size() < Paths.size(); ++round)
        for (const auto& [folder, indices] : byFolder)
            if (round < indices.size()) order.push_back(indices[round]);
    return order;
}

// Runs Job for each index of Order on a few threads: creating and renaming files wait on the
// file system's journal, and those waits overlap. Returns the failures by index (null: none).
std::vector<std::exception_ptr> InParallel(const std::vector<size_t>& Order,
                                           const std::function<void(size_t)>& Job) {
    const size_t count = Order.size();
    std::vector<std::exception_ptr> failures(count);
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k = next++; k < count; k = next++) {
            size_t i = Order[k];
            try {
                Job(i);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    std::vector<std::thread> threads;
    for (size_t t = 1; t < std::min<size_t>(count, 8); ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    return failures;
}

void RethrowFirst(const std::vector<std::exception_ptr>& Failures) {
    for (const std::exception_ptr& f : Failures)
        if (f) std::rethrow_exception(f);
}

}  // namespace

void ReplaceFile(const std::string& Path, const std::string& Content) {
    if (Path == "-") {
        WriteFd(1, Content, "standard output");
        return;
    }
    std::string file = FollowLinks(Path);
    RenameOver(WriteBeside(file, Content, true).Temp, file);
    SyncDirectoryOf(file);
}

void ReplaceFiles(const std::vector<std::pair<std::string, std::string>>& Files) {
    std::vector<std::string> files(Files.size());  // "" for standard output
    std::vector<TStaged> staged(Files.size());
    std::vector<std::string> paths;
    for (const auto& [path, content] : Files) paths.push_back(path);
    const std::vector<size_t> order = AcrossFolders(paths);
    std::vector<std::exception_ptr> failures = InParallel(order, [&](size_t i) {
        if (Files[i].first == "-") return;
        files[i] = FollowLinks(Files[i].first);
        staged[i] = WriteBeside(files[i], Files[i].second, false);
    });
    try {
        RethrowFirst(failures);
        FlushAll(staged, files);
    } catch (...) {
        RemoveAll(staged);
        throw;
    }
    // Every new content is on disk: only the renames are left, then each folder once.
    failures = InParallel(order, [&](size_t i) {
        if (!staged[i].Temp.empty()) RenameOver(staged[i].Temp, files[i]);
    });
    std::set<std::string> folders;
    for (size_t i = 0; i < Files.size(); ++i)
        if (!staged[i].Temp.empty() && !failures[i]) folders.insert(DirectoryOf(files[i]));
    for (const std::string& folder : folders) SyncDirectoryOf(folder + "/.");
    RethrowFirst(failures);
    for (const auto& [path, content] : Files)
        if (path == "-") WriteFd(1, content, "standard output");
}

}  // namespace zk::platform

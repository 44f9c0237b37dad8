#include "zk/host/platform/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "zk/host/platform/Fd.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

int ReadToEnd(int Fd, std::string& Text) {
    char buf[65536];
    for (;;) {
        ssize_t n = SysRead(Fd, buf, sizeof buf);
        if (n < 0) return errno;
        if (n == 0) return 0;
        Text.append(buf, static_cast<size_t>(n));
    }
}

int WriteWhole(int Fd, const std::string& Text) {
    size_t done = 0;
    while (done < Text.size()) {
        ssize_t n = SysWrite(Fd, Text.data() + done, Text.size() - done);
        if (n < 0) return errno;
        done += static_cast<size_t>(n);
    }
    return 0;
}

std::string DirectoryOf(const std::string& Path) {
    size_t slash = Path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

int CommitReplacement(int Fd, const std::string& Text, const std::string& Temp,
                      const std::string& Path, const char*& Step) {
    int err = WriteWhole(Fd, Text);
    Step = "write";
    if (err == 0 && ::fsync(Fd) != 0) {
        err = errno;
        Step = "flush";
    }
    if (err == 0 && SysRename(Temp.c_str(), Path.c_str()) != 0) {
        err = errno;
        Step = "replace";
    }
    if (err != 0) {
        SysUnlink(Temp.c_str());
        return err;
    }
    SyncDirectoryOf(Path);
    return 0;
}

void SyncDirectoryOf(const std::string& Path) {
    TFd dir(SysOpen(DirectoryOf(Path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) ::fsync(dir.Get());
}

}  // namespace zk::platform

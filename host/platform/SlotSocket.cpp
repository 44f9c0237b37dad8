#include "zk/host/platform/SlotSocket.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>

#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

// Path has been checked against sun_path by SlotSocketPath.
socklen_t MakeAddress(const std::string& Path, sockaddr_un& Addr) {
    std::memset(&Addr, 0, sizeof Addr);
    Addr.sun_family = AF_UNIX;
    std::memcpy(Addr.sun_path, Path.c_str(), Path.size() + 1);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + Path.size() + 1);
}

}  // namespace

int OpenDatagramSocket(bool NonBlocking) {
    return SysSocket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | (NonBlocking ? SOCK_NONBLOCK : 0), 0);
}

int BindSlotSocket(int Fd, const std::string& Path) {
    sockaddr_un addr;
    socklen_t len = MakeAddress(Path, addr);
    return SysBind(Fd, reinterpret_cast<const sockaddr*>(&addr), len);
}

DWORD ConnectSlotSocket(int Fd, const std::string& Path) {
    sockaddr_un addr;
    socklen_t len = MakeAddress(Path, addr);
    if (SysConnect(Fd, reinterpret_cast<const sockaddr*>(&addr), len) == 0) return ERROR_SUCCESS;
    if (errno == ENOENT || errno == ECONNREFUSED) return ERROR_FILE_NOT_FOUND;
    return Win32ErrorOf(errno);
}

}  // namespace zk::platform

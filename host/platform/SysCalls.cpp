#include "zk/host/platform/SysCalls.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <mutex>

namespace zk::platform {

namespace {

struct TInjection {
    int Errno = 0;
    unsigned Count = 0;
};

std::atomic<bool> GAnyInjected{false};
std::mutex GInjectLock;
std::array<TInjection, static_cast<size_t>(TSysCall::Count)> GInjections;

// True (with errno set) when a test asked this call to fail now.
bool Injected(TSysCall Call) {
    if (!GAnyInjected.load(std::memory_order_acquire)) return false;
    std::lock_guard<std::mutex> lock(GInjectLock);
    TInjection& inj = GInjections[static_cast<size_t>(Call)];
    if (inj.Count == 0) return false;
    --inj.Count;
    errno = inj.Errno;
    return true;
}

// Runs Fn, retrying while it (or an injection) reports EINTR.
template <typename Fn>
auto Retry(TSysCall Call, Fn&& Body) -> decltype(Body()) {
    for (;;) {
        decltype(Body()) r = Injected(Call) ? -1 : Body();
        if (r >= 0 || errno != EINTR) return r;
    }
}

}  // namespace

void InjectSysError(TSysCall Call, int Errno, unsigned Count) {
    std::lock_guard<std::mutex> lock(GInjectLock);
    GInjections[static_cast<size_t>(Call)] = TInjection{Errno, Count};
    GAnyInjected.store(true, std::memory_order_release);
}

void ClearSysErrors() {
    std::lock_guard<std::mutex> lock(GInjectLock);
    GInjections.fill(TInjection{});
    GAnyInjected.store(false, std::memory_order_release);
}

int SysSocket(int Domain, int Type, int Protocol) {
    return Retry(TSysCall::Socket, [&] { return ::socket(Domain, Type, Protocol); });
}

int SysBind(int Fd, const sockaddr* Addr, socklen_t Len) {
    return Retry(TSysCall::Bind, [&] { return ::bind(Fd, Addr, Len); });
}

int SysConnect(int Fd, const sockaddr* Addr, socklen_t Len) {
    // A datagram connect only records the peer, so repeating it after EINTR is harmless.
    return Retry(TSysCall::Connect, [&] { return ::connect(Fd, Addr, Len); });
}

ssize_t SysSend(int Fd, const void* Buf, size_t Len, int Flags) {
    // A datagram is sent whole or not at all, so an interrupted send can simply be repeated.
    return Retry(TSysCall::Send, [&] { return ::send(Fd, Buf, Len, Flags); });
}

ssize_t SysSendTo(int Fd, const void* Buf, size_t Len, int Flags, const sockaddr* To,
                  socklen_t ToLen) {
    return Retry(TSysCall::SendTo, [&] { return ::sendto(Fd, Buf, Len, Flags, To, ToLen); });
}

int SysGetSockName(int Fd, sockaddr* Addr, socklen_t* Len) {
    return Retry(TSysCall::GetSockName, [&] { return ::getsockname(Fd, Addr, Len); });
}

int SysGetIfAddrs(ifaddrs** List) {
    return Retry(TSysCall::GetIfAddrs, [&] { return ::getifaddrs(List); });
}

void SysFreeIfAddrs(ifaddrs* List) { ::freeifaddrs(List); }

int SysGetAddrInfo(const char* Node, const addrinfo* Hints, addrinfo** List) {
    if (Injected(TSysCall::GetAddrInfo)) return EAI_SYSTEM;
    return ::getaddrinfo(Node, nullptr, Hints, List);
}

void SysFreeAddrInfo(addrinfo* List) { ::freeaddrinfo(List); }

ssize_t SysRecv(int Fd, void* Buf, size_t Len, int Flags) {
    return Retry(TSysCall::Recv, [&] { return ::recv(Fd, Buf, Len, Flags); });
}

int SysPoll(pollfd* Fds, nfds_t Count, int TimeoutMs) {
    int r = Injected(TSysCall::Poll) ? -1 : ::poll(Fds, Count, TimeoutMs);
    if (r < 0 && errno == EINTR) {
        for (nfds_t i = 0; i < Count; ++i) Fds[i].revents = 0;
        return 0;
    }
    return r;
}

int SysSetSockOpt(int Fd, int Level, int Name, const void* Value, socklen_t Len) {
    return Retry(TSysCall::SetSockOpt, [&] { return ::setsockopt(Fd, Level, Name, Value, Len); });
}

int SysGetSockOpt(int Fd, int Level, int Name, void* Value, socklen_t* Len) {
    return Retry(TSysCall::GetSockOpt, [&] { return ::getsockopt(Fd, Level, Name, Value, Len); });
}

int SysOpen(const char* Path, int Flags, mode_t Mode) {
    return Retry(TSysCall::Open, [&] { return ::open(Path, Flags, Mode); });
}

ssize_t SysRead(int Fd, void* Buf, size_t Len) {
    return Retry(TSysCall::Read, [&] { return ::read(Fd, Buf, Len); });
}

ssize_t SysWrite(int Fd, const void* Buf, size_t Len) {
    return Retry(TSysCall::Write, [&] { return ::write(Fd, Buf, Len); });
}

int SysFlock(int Fd, int Operation) {
    return Retry(TSysCall::Flock, [&] { return ::flock(Fd, Operation); });
}

int SysLstat(const char* Path, struct stat* St) {
    return Retry(TSysCall::Lstat, [&] { return ::lstat(Path, St); });
}

int SysMkdir(const char* Path, mode_t Mode) {
    return Retry(TSysCall::Mkdir, [&] { return ::mkdir(Path, Mode); });
}

int SysUnlink(const char* Path) {
    return Retry(TSysCall::Unlink, [&] { return ::unlink(Path); });
}

int SysRename(const char* From, const char* To) {
    return Retry(TSysCall::Rename, [&] { return ::rename(From, To); });
}

int SysEventFd(unsigned Initial, int Flags) {
    return Retry(TSysCall::EventFd, [&] { return ::eventfd(Initial, Flags); });
}

int SysPipe(int Fds[2], int Flags) {
    return Retry(TSysCall::Pipe, [&] { return ::pipe2(Fds, Flags); });
}

pid_t SysFork() { return Injected(TSysCall::Fork) ? -1 : ::fork(); }

pid_t SysWaitPid(pid_t Pid, int* Status, int Options) {
    return Retry(TSysCall::WaitPid, [&] { return ::waitpid(Pid, Status, Options); });
}

int SysStat(const char* Path, struct stat* St) {
    return Retry(TSysCall::Stat, [&] { return ::stat(Path, St); });
}

int SysAccess(const char* Path, int Mode) {
    return Retry(TSysCall::Access, [&] { return ::access(Path, Mode); });
}

int SysSetPriority(int Which, id_t Who, int Prio) {
    return Retry(TSysCall::SetPriority, [&] { return ::setpriority(Which, Who, Prio); });
}

int SysGetPriority(int Which, id_t Who) {
    if (Injected(TSysCall::GetPriority)) return -1;
    errno = 0;
    return ::getpriority(Which, Who);
}

int SysPosixSpawn(pid_t* Pid, const char* Path, const posix_spawn_file_actions_t* Actions,
                  const posix_spawnattr_t* Attributes, char* const Argv[], char* const Envp[]) {
    return ::posix_spawn(Pid, Path, Actions, Attributes, Argv, Envp);
}

void SysExitChild(int Fd, const void* Report, size_t Len, int Status) {
    ssize_t ignored = ::write(Fd, Report, Len);
    (void)ignored;
    ::_exit(Status);
}

int SysGetTid() { return static_cast<int>(::syscall(SYS_gettid)); }

void SysClose(int Fd) {
    if (Fd >= 0) ::close(Fd);
}

std::string SysHostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

uid_t SysEffectiveUid() { return ::geteuid(); }

DWORD Win32ErrorOf(int Errno) {
    switch (Errno) {
        case ENOENT:
        case ECONNREFUSED:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
            return ERROR_ACCESS_DENIED;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENOMEM:
        case ENOBUFS:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EAGAIN:
            return ERROR_SEM_TIMEOUT;
        case EMSGSIZE:
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case ENAMETOOLONG:
            return ERROR_BAD_PATHNAME;
        default:
            return ERROR_GEN_FAILURE;
    }
}

int SysEpollCreate(int Flags) {
    return Retry(TSysCall::EpollCreate, [&] { return ::epoll_create1(Flags); });
}

int SysEpollCtl(int EpollFd, int Op, int Fd, epoll_event* Event) {
    return Retry(TSysCall::EpollCtl, [&] { return ::epoll_ctl(EpollFd, Op, Fd, Event); });
}

int SysEpollWait(int EpollFd, epoll_event* Events, int MaxEvents, int TimeoutMs) {
    return Retry(TSysCall::EpollWait,
                 [&] { return ::epoll_wait(EpollFd, Events, MaxEvents, TimeoutMs); });
}

int SysChmod(const char* Path, mode_t Mode) {
    return Retry(TSysCall::Chmod, [&] { return ::chmod(Path, Mode); });
}

int SysSigMask(int How, const sigset_t* Set, sigset_t* Old) {
    if (Injected(TSysCall::SigMask)) return -1;
    int r = ::pthread_sigmask(How, Set, Old);
    if (r == 0) return 0;
    errno = r;
    return -1;
}

}  // namespace zk::platform

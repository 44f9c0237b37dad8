// The one door from the mailslot platform layer to the kernel. Every system call the layer makes
// goes through a wrapper here, so that tests can make any of them fail with a chosen errno,
// deterministically and without touching the kernel. Wrappers return what the system call
// returns (-1 with errno set on failure) and retry EINTR themselves unless noted.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

#include "host/win32/WinTypes.h"

namespace zk::platform {

using namespace zk::win32;

enum class TSysCall {
    Socket,
    Bind,
    Connect,
    Send,
    Recv,
    Poll,
    SetSockOpt,
    GetSockOpt,
    Open,
    Read,
    Write,
    Flock,
    Lstat,
    Mkdir,
    Unlink,
    Rename,
    EventFd,
    EpollCreate,
    EpollCtl,
    EpollWait,
    Chmod,
    SigMask,
    Count
};

// Test seam: the next Count calls of Call, on any thread, fail with Errno before they reach the
// kernel. An injected EINTR is retried like a real one, so it exercises the retry path.
void InjectSysError(TSysCall Call, int Errno, unsigned Count = 1);
// Forgets every pending injection.
void ClearSysErrors();

int SysSocket(int Domain, int Type, int Protocol);
int SysBind(int Fd, const sockaddr* Addr, socklen_t Len);
int SysConnect(int Fd, const sockaddr* Addr, socklen_t Len);
ssize_t SysSend(int Fd, const void* Buf, size_t Len, int Flags);
ssize_t SysRecv(int Fd, void* Buf, size_t Len, int Flags);
// Not retried: an interrupted poll returns 0, which callers treat like a spurious wake and
// re-arm with the time left.
int SysPoll(pollfd* Fds, nfds_t Count, int TimeoutMs);
int SysSetSockOpt(int Fd, int Level, int Name, const void* Value, socklen_t Len);
int SysGetSockOpt(int Fd, int Level, int Name, void* Value, socklen_t* Len);
int SysOpen(const char* Path, int Flags, mode_t Mode = 0);
ssize_t SysRead(int Fd, void* Buf, size_t Len);
ssize_t SysWrite(int Fd, const void* Buf, size_t Len);
int SysFlock(int Fd, int Operation);
int SysLstat(const char* Path, struct stat* St);
int SysMkdir(const char* Path, mode_t Mode);
int SysUnlink(const char* Path);
int SysRename(const char* From, const char* To);
int SysEventFd(unsigned Initial, int Flags);
// Never retried and never injected: after close the number is gone, whatever the result.
void SysClose(int Fd);
// The machine's host name, or "" when it cannot be read.
std::string SysHostName();
uid_t SysEffectiveUid();

// The Win32 error code that stands for a failed call's errno.
DWORD Win32ErrorOf(int Errno);

int SysEpollCreate(int Flags);
int SysEpollCtl(int EpollFd, int Op, int Fd, epoll_event* Event);
// Retried after EINTR with the same time-out (callers wait without a limit).
int SysEpollWait(int EpollFd, epoll_event* Events, int MaxEvents, int TimeoutMs);
int SysChmod(const char* Path, mode_t Mode);
// The calling thread's signal mask (pthread_sigmask); returns 0 or -1 with errno set.
int SysSigMask(int How, const sigset_t* Set, sigset_t* Old);

}  // namespace zk::platform

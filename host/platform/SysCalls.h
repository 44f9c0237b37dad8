// The one door from the mailslot platform layer to the kernel. Every system call the layer makes
// goes through a wrapper here, so that tests can make any of them fail with a chosen errno,
// deterministically and without touching the kernel. Wrappers return what the system call
// returns (-1 with errno set on failure) and retry EINTR themselves unless noted.
#pragma once

#include <ifaddrs.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

#include "zk/host/platform/ErrorCodes.h"

namespace zk::platform {

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
    Pipe,
    Fork,
    WaitPid,
    Stat,
    Access,
    SetPriority,
    GetPriority,
    EpollCreate,
    EpollCtl,
    EpollWait,
    Chmod,
    SigMask,
    GetIfAddrs,
    GetAddrInfo,
    SendTo,
    GetSockName,
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
int SysPipe(int Fds[2], int Flags);
// Not retried: fork never reports EINTR, and an injected EINTR is a failure like any other.
pid_t SysFork();
pid_t SysWaitPid(pid_t Pid, int* Status, int Options);
int SysStat(const char* Path, struct stat* St);
int SysAccess(const char* Path, int Mode);
// Which and Who as for setpriority(2); Who is a thread id for PRIO_PROCESS on Linux.
int SysSetPriority(int Which, id_t Who, int Prio);
// The nice value, which may itself be -1: errno tells a failure (0 on success).
int SysGetPriority(int Which, id_t Who);
// For the forked child of a threaded process, between fork and exit: async-signal-safe, hence
// never injected (the injection table takes a lock that another thread may have held at the
// fork; the child's copy of a pending injection would also be used up there and not here).
// SysPosixSpawn returns 0 or an error number, as posix_spawn does; SysExitChild writes Len bytes
// of Report to Fd (a pipe write this small is atomic) and ends the child with Status.
int SysPosixSpawn(pid_t* Pid, const char* Path, const posix_spawn_file_actions_t* Actions,
                  const posix_spawnattr_t* Attributes, char* const Argv[], char* const Envp[]);
[[noreturn]] void SysExitChild(int Fd, const void* Report, size_t Len, int Status);
// The kernel's id of the calling thread; cannot fail.
int SysGetTid();
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
// The interface list (getifaddrs); free it with SysFreeIfAddrs, which is never injected.
int SysGetIfAddrs(ifaddrs** List);
void SysFreeIfAddrs(ifaddrs* List);
// The system resolver (hosts file, DNS): 0 or an EAI_ code; an injected error gives EAI_SYSTEM
// with errno set. Free the list with SysFreeAddrInfo, which is never injected.
int SysGetAddrInfo(const char* Node, const addrinfo* Hints, addrinfo** List);
void SysFreeAddrInfo(addrinfo* List);
int SysGetSockName(int Fd, sockaddr* Addr, socklen_t* Len);
ssize_t SysSendTo(int Fd, const void* Buf, size_t Len, int Flags, const sockaddr* To,
                  socklen_t ToLen);

}  // namespace zk::platform

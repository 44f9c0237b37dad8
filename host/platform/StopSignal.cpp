#include "zk/host/platform/StopSignal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <stdexcept>
#include <system_error>

#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM};

// Shared with the handler, which cannot reach the object. Lock-free atomics, because the handler
// may run on any thread and lock-free atomics are safe to use in it.
std::atomic<int> gFd{-1};
std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction gPrevious[2];

void OnStopSignal(int Signo) {
    // Only async-signal-safe work here. The write goes around SysWrite on purpose: its test
    // injection takes a mutex, which a handler must never do.
    int savedErrno = errno;
    gSignal.store(Signo);
    const uint64_t one = 1;
    // A failed write needs nothing: the flag is set, and a full counter already wakes.
    if (int fd = gFd.load(); fd >= 0 && ::write(fd, &one, sizeof one) < 0) {
    }
    errno = savedErrno;
}

}  // namespace

TStopSignal::TStopSignal() {
    int fd = SysEventFd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
    int expected = -1;
    if (!gFd.compare_exchange_strong(expected, fd)) {
        SysClose(fd);
        throw std::logic_error("a stop signal handler is already installed");
    }
    FFd = fd;
    gSignal.store(0);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESTART keeps the rest of the program free of EINTR; SA_RESETHAND lets a second
    // signal end a program whose loop has not stopped.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int i = 0; i < 2; ++i) ::sigaction(kStopSignals[i], &action, &gPrevious[i]);
}

TStopSignal::~TStopSignal() {
    for (int i = 0; i < 2; ++i) ::sigaction(kStopSignals[i], &gPrevious[i], nullptr);
    gFd.store(-1);
    SysClose(FFd);
}

int TStopSignal::Signal() const { return gSignal.load(); }

void TStopSignal::Wake() {
    const uint64_t one = 1;
    SysWrite(FFd, &one, sizeof one);
}

bool TStopSignal::Wait(int TimeoutMs) {
    if (!Requested()) {
        pollfd p{FFd, POLLIN, 0};
        SysPoll(&p, 1, TimeoutMs);
    }
    // Clears the counter, so the next Wait sleeps until the next wake.
    uint64_t count = 0;
    SysRead(FFd, &count, sizeof count);
    return Requested();
}

void TStopSignal::Run(const std::function<void()>& Pump, const std::function<bool()>& Done) {
    for (;;) {
        Pump();
        if (Requested() || (Done && Done())) return;
        Wait();
    }
}

}  // namespace zk::platform

#include "zk/host/platform/SignalQueue.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace zk::platform {

namespace {

int BlockAndOpen(std::initializer_list<int> Signals) {
    sigset_t set;
    sigemptyset(&set);
    for (int s : Signals) sigaddset(&set, s);
    if (int e = pthread_sigmask(SIG_BLOCK, &set, nullptr))
        throw std::system_error(e, std::generic_category(), "pthread_sigmask");
    int fd = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "signalfd");
    return fd;
}

}  // namespace

TSignalQueue::TSignalQueue(std::initializer_list<int> Signals) : FFd(BlockAndOpen(Signals)) {}

int TSignalQueue::Take() {
    signalfd_siginfo info{};
    ssize_t n;
    do {
        n = read(Fd(), &info, sizeof info);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(sizeof info) ? static_cast<int>(info.ssi_signo) : 0;
}

}  // namespace zk::platform

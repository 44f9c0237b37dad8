// Signals as readable events for a daemon's poll loop: the chosen signals are blocked and read
// from a signalfd, so the loop sleeps with no time-out and no handler runs inside it.
#pragma once

#include <initializer_list>

#include "zk/host/platform/Fd.h"

namespace zk::platform {

class TSignalQueue {
  public:
    // Blocks Signals in the calling thread (threads started later inherit that) and opens the
    // descriptor. Create it before any thread starts. Throws std::system_error.
    explicit TSignalQueue(std::initializer_list<int> Signals);
    int Fd() const { return FFd.Get(); }
    // The next pending signal, or 0 when none is.
    int Take();

  private:
    TFd FFd;
};

}  // namespace zk::platform

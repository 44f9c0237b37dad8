// Ctrl-C and SIGTERM as a wake-up for a program's main loop. The signal handler only writes to
// an eventfd, so the loop sleeps on that descriptor with no time-out and returns the moment a
// stop is asked for, instead of polling a flag.
#pragma once

#include <functional>

namespace zk::platform {

class TStopSignal {
  public:
    // Catches SIGINT and SIGTERM until destroyed; the same signal a second time gets the
    // default action, so a program whose loop does not stop can still be ended. One object at a
    // time per process: another throws std::logic_error; a failing eventfd throws
    // std::system_error.
    TStopSignal();
    // Puts back the handlers that were there before.
    ~TStopSignal();
    TStopSignal(const TStopSignal&) = delete;
    TStopSignal& operator=(const TStopSignal&) = delete;

    // The stop signal that arrived, or 0.
    int Signal() const;
    bool Requested() const { return Signal() != 0; }
    // Makes the current or next Wait return at once. Safe on any thread, and cheap enough to
    // be called under another lock.
    void Wake();
    // Sleeps until a stop is asked for, Wake is called or TimeoutMs pass (-1: no limit).
    // True when a stop was asked for.
    bool Wait(int TimeoutMs = -1);
    // The main loop: runs Pump (which must not block) until a stop is asked for or Done
    // holds, sleeping in between. Whoever gives Pump new work calls Wake.
    void Run(const std::function<void()>& Pump, const std::function<bool()>& Done = {});

  private:
    int FFd = -1;
};

}  // namespace zk::platform

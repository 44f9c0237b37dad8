// A slot_peer process the test talks to through pipes: its standard input (closing it ends an
// "own" peer cleanly) and its standard output (a peer prints "owned" once it owns its slot).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace zktest {

class TPeerProcess {
  public:
    // Starts the slot_peer helper with Args.
    explicit TPeerProcess(const std::vector<std::string>& Args);
    // Kills a peer that still runs and reaps it.
    ~TPeerProcess();
    TPeerProcess(const TPeerProcess&) = delete;
    TPeerProcess& operator=(const TPeerProcess&) = delete;

    bool Started() const { return FPid > 0; }
    // The next line the peer prints, without the line feed; "" when its output ends or nothing
    // comes within Timeout.
    std::string ReadLine(std::chrono::milliseconds Timeout = std::chrono::seconds(10));
    // Closes the peer's standard input.
    void CloseInput();
    // Ends the peer with SIGKILL, so that it leaves whatever it owned behind.
    void Kill();
    // Waits for the peer to end and returns its exit status (128 + signal when killed).
    int Wait();

  private:
    pid_t FPid = -1;
    int FIn = -1;
    int FOut = -1;
    int FStatus = -1;
    std::string FPending;
};

}  // namespace zktest

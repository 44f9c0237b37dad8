// Shared test helpers: a private slot directory per test, waiting for a condition with a
// time-out (never a bare sleep), and the paths of the helper programs.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace zktest {

// Points MAILSLOT_DIR at a fresh directory for the lifetime of the object and removes it after.
class SlotDir {
public:
    SlotDir();
    ~SlotDir();
    SlotDir(const SlotDir&) = delete;
    SlotDir& operator=(const SlotDir&) = delete;
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
    std::string FOld;
    bool FHadOld = false;
};

// A slot name unique to this process and call, for tests that share a directory.
std::string UniqueSlotName(const std::string& stem);

// Polls Cond until it holds or Timeout passes; between polls runs the main thread's queued
// calls (CheckSynchronize), so events of endpoints owned by the test fire. True when Cond held.
bool WaitUntil(const std::function<bool()>& Cond,
               std::chrono::milliseconds Timeout = std::chrono::seconds(10));

// Runs a program with arguments and returns its exit status (-1 when it could not run).
int RunProgram(const std::string& Program, const std::vector<std::string>& Args);

// Starts a program without waiting; Wait() returns its exit status.
class Child {
public:
    Child(const std::string& Program, const std::vector<std::string>& Args);
    ~Child();
    int Wait();
    int Pid() const { return FPid; }

private:
    int FPid = -1;
    int FStatus = -1;
};

}  // namespace zktest

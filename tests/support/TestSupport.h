// Shared test helpers: a private slot directory per test, waiting for a condition with a
// time-out (never a bare sleep), and the paths of the helper programs.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "zk/host/rtl/Classes.h"

namespace zktest {

// Owns a host object and releases it with TObject::Free, as its creator would.
template <class T>
using Owned = zk::rtl::TOwned<T>;

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

// Runs a program with arguments and returns its exit status (-1 when it could not run). With
// OutputFile, its standard output and error go to that file.
int RunProgram(const std::string& Program, const std::vector<std::string>& Args,
               const std::string& OutputFile = "");

// The whole content of a file ("" when it cannot be read).
std::string ReadFileText(const std::string& Path);

// Starts a program without waiting; Wait() returns its exit status. With OutputFile, the
// program's standard output and error go to that file.
class Child {
  public:
    Child(const std::string& Program, const std::vector<std::string>& Args,
          const std::string& OutputFile = "");
    ~Child();
    int Wait();
    int Pid() const { return FPid; }

  private:
    int FPid = -1;
    int FStatus = -1;
};

}  // namespace zktest

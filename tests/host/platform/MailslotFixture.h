// Shared ground for the mailslot platform tests: each test gets its own slot directory and slot
// name, short helpers for the Win32 calls, and a way to know that a thread is blocked in a call.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <string>

#include "zk/host/win32/Windows.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

namespace zktest {

// Closes a handle when the test leaves the scope, whatever happened.
class THandleGuard {
  public:
    explicit THandleGuard(THandle Handle) : FHandle(Handle) {}
    ~THandleGuard() {
        if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
    }
    THandleGuard(const THandleGuard&) = delete;
    THandleGuard& operator=(const THandleGuard&) = delete;
    THandle Get() const { return FHandle; }
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
    // Closes now; the guard then owns nothing.
    bool Close();

  private:
    THandle FHandle;
};

class MailslotFixture : public ::testing::Test {
  protected:
    // Undoes fault injection, a changed send wait and changed staging bounds.
    void TearDown() override;

    static std::string SlotPath(const std::string& Name, const std::string& Server = ".");
    // CreateMailslotA on the local slot Name.
    static THandle Create(const std::string& Name, DWORD MaxSize = 0, DWORD ReadTimeout = 0);
    // CreateFileA for writing to Name on Server.
    static THandle Open(const std::string& Name, const std::string& Server = ".");
    // One WriteFile of Message; true when all of it was written.
    static bool Write(THandle Writer, const std::string& Message);
    // Opens Name, writes Message once, closes; true when the write succeeded.
    static bool Send(const std::string& Name, const std::string& Message);
    static DWORD Count(THandle Slot);
    static DWORD NextSize(THandle Slot);
    // Reads the next message with a buffer of exactly its size; fails the test when none waits.
    static std::string ReadOne(THandle Slot);
    // The socket file that stands for slot Name in this test's directory.
    std::string SocketFile(const std::string& Name) const;

    SlotDir FDir;
    std::string FName = UniqueSlotName("slot");
};

// Runs Body with this process's standard error going to a file and returns what it wrote.
std::string CaptureStderr(const std::function<void()>& Body);

// The calling thread's kernel id.
pid_t ThisThreadId();
// Waits until thread Tid sleeps in the kernel (state S), i.e. is blocked in a call.
bool WaitUntilThreadSleeps(pid_t Tid);

}  // namespace zktest

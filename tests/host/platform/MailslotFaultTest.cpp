// Failure paths of the mailslot layer: interrupted and refused system calls injected through
// the system-call seam, and slot directories that must not be trusted.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "zk/host/platform/SlotDirectory.h"
#include "zk/host/platform/SlotWrite.h"
#include "zk/host/platform/SysCalls.h"
#include "tests/host/platform/MailslotFixture.h"
#include "tests/support/Namespaces.h"

using namespace zktest;
using zk::platform::InjectSysError;
using zk::platform::SetSendWaitMs;
using zk::platform::TSysCall;

class MailslotFaults : public MailslotFixture {};

TEST_F(MailslotFaults, InterruptedCallsAreRepeated) {
    for (TSysCall call : {TSysCall::Socket, TSysCall::Flock, TSysCall::Lstat, TSysCall::Bind,
                          TSysCall::Connect, TSysCall::Open})
        InjectSysError(call, EINTR, 2);
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid()) << GetLastError();
    THandleGuard writer(Open(FName));
    ASSERT_TRUE(writer.Valid()) << GetLastError();
    InjectSysError(TSysCall::Send, EINTR, 3);
    ASSERT_TRUE(Write(writer.Get(), "once"));
    InjectSysError(TSysCall::Recv, EINTR, 3);
    EXPECT_EQ(Count(slot.Get()), 1u);  // sent exactly once despite the interruptions
    EXPECT_EQ(ReadOne(slot.Get()), "once");
}

TEST_F(MailslotFaults, PumpCarriesOnAfterFailedWaits) {
    THandleGuard slot(Create(FName, 0, MAILSLOT_WAIT_FOREVER));
    ASSERT_TRUE(slot.Valid());
    // The pump is already waiting; these hit its next waits, after it staged "first".
    InjectSysError(TSysCall::EpollWait, EINTR, 3);
    ASSERT_TRUE(Send(FName, "first"));
    EXPECT_EQ(ReadOne(slot.Get()), "first");
    InjectSysError(TSysCall::EpollWait, ENOMEM, 3);
    ASSERT_TRUE(Send(FName, "second"));
    EXPECT_EQ(ReadOne(slot.Get()), "second");
    std::atomic<pid_t> tid{0};
    std::string got;
    // Only the pump can wake a reader that waits on an empty slot.
    std::thread reader([&] {
        tid = ThisThreadId();
        char buf[16];
        DWORD read = 0;
        if (ReadFile(slot.Get(), buf, sizeof buf, &read, nullptr)) got.assign(buf, read);
    });
    ASSERT_TRUE(WaitUntil([&] { return tid.load() != 0; }));
    ASSERT_TRUE(WaitUntilThreadSleeps(tid.load()));
    EXPECT_TRUE(Send(FName, "late"));
    reader.join();
    EXPECT_EQ(got, "late");
}

TEST_F(MailslotFaults, PumpStillDrainsAfterFailedWaitsWhileNobodyReads) {
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid());
    // A reader waiting on the slot drains it itself; here nobody reads, so only the pump keeps
    // the kernel's few datagrams from filling up: past them a write would wait out its 500 ms.
    SetSendWaitMs(500);
    ASSERT_TRUE(Send(FName, "wake"));
    InjectSysError(TSysCall::EpollWait, EINTR, 3);
    InjectSysError(TSysCall::EpollWait, ENOMEM, 3);
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(Send(FName, std::to_string(i))) << i;
    EXPECT_EQ(Count(slot.Get()), 201u);
    EXPECT_EQ(ReadOne(slot.Get()), "wake");
    for (int i = 0; i < 200; ++i) ASSERT_EQ(ReadOne(slot.Get()), std::to_string(i));
}

TEST_F(MailslotFaults, FullSlotFailsWithTimeoutAndDeliversNothing) {
    THandleGuard slot(Create(FName));
    THandleGuard writer(Open(FName));
    InjectSysError(TSysCall::Send, EAGAIN);
    SetLastError(0);
    EXPECT_FALSE(Write(writer.Get(), "lost?"));
    EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
    EXPECT_EQ(Count(slot.Get()), 0u);
}

TEST_F(MailslotFaults, FailedReceiveIsReportedAndMessageKept) {
    THandleGuard slot(Create(FName));
    // The pump or the caller meets the failures, whoever looks first; the message stays.
    InjectSysError(TSysCall::Recv, ENOMEM, 4);
    ASSERT_TRUE(Send(FName, "kept"));
    ASSERT_TRUE(WaitUntil([&] {
        DWORD count = 7;
        SetLastError(0);
        if (GetMailslotInfo(slot.Get(), nullptr, nullptr, &count, nullptr)) return count == 1;
        EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }));
    EXPECT_EQ(ReadOne(slot.Get()), "kept");
}

TEST_F(MailslotFaults, FailedCreationLeavesNoFilesBehind) {
    InjectSysError(TSysCall::Bind, EACCES);
    SetLastError(0);
    EXPECT_EQ(Create(FName, 100), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    InjectSysError(TSysCall::Socket, EMFILE);
    EXPECT_EQ(Create(FName, 100), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_TOO_MANY_OPEN_FILES);
    InjectSysError(TSysCall::Chmod, EPERM);
    EXPECT_EQ(Create(FName, 100), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    InjectSysError(TSysCall::EpollCtl, ENOMEM);  // the pump cannot watch the socket
    EXPECT_EQ(Create(FName, 100), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(FDir.Path(), ec))
        EXPECT_EQ(entry.path().filename(), ".lock");
    THandleGuard slot(Create(FName, 100));
    EXPECT_TRUE(slot.Valid());
}

// Points MAILSLOT_DIR at Path for one test (the fixture's SlotDir restores the old value).
static void UseSlotDir(const std::string& Path) { setenv("MAILSLOT_DIR", Path.c_str(), 1); }

class MailslotDirectory : public MailslotFixture {};

TEST_F(MailslotDirectory, MissingDirectoryIsCreatedPrivate) {
    std::string dir = FDir.Path() + "/fresh";
    UseSlotDir(dir);
    SetLastError(0);
    EXPECT_EQ(Open(FName), INVALID_HANDLE_VALUE);  // a writer never creates it
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid()) << GetLastError();
    struct stat st {};
    ASSERT_EQ(lstat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    UseSlotDir(FDir.Path() + "/no/such/parent");
    EXPECT_EQ(Create(FName), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(MailslotDirectory, SymlinkedDirectoryIsRefusedAlsoWithTrailingSlashes) {
    std::string real = FDir.Path() + "/real";
    std::string link = FDir.Path() + "/link";
    ASSERT_EQ(mkdir(real.c_str(), 0700), 0);
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    UseSlotDir(real + "/");
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid());
    for (const std::string& dir : {link, link + "/", link + "//", link + "/.", link + "/./"}) {
        UseSlotDir(dir);
        SetLastError(0);
        std::string told = CaptureStderr([&] {
            EXPECT_EQ(Create(FName + "x"), INVALID_HANDLE_VALUE) << dir;
            EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED) << dir;
            EXPECT_EQ(Open(FName), INVALID_HANDLE_VALUE) << dir;
            EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED) << dir;
        });
        // Said once per process, whichever spelling met it first.
        if (dir == link) {
            EXPECT_EQ(told, "slot directory refused: " + link + " is a symbolic link\n");
        }
    }
}

TEST_F(MailslotDirectory, DirectoryWithAnyBitForGroupOrOthersIsRefused) {
    for (mode_t mode : {0701, 0702, 0704, 0710, 0720, 0740, 0750, 0755, 0777}) {
        std::string dir = FDir.Path() + "/m" + std::to_string(mode);
        ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
        ASSERT_EQ(chmod(dir.c_str(), mode), 0);
        UseSlotDir(dir);
        std::string told = CaptureStderr([&] {
            SetLastError(0);
            EXPECT_EQ(Create(FName), INVALID_HANDLE_VALUE) << mode;
            EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED) << mode;
            EXPECT_EQ(Open(FName), INVALID_HANDLE_VALUE) << mode;
            EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED) << mode;
        });
        char octal[8];
        std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(mode));
        EXPECT_EQ(told, "slot directory refused: " + dir + " has mode " + octal +
                            "; group and others must have no access (chmod 0700)\n");
    }
    UseSlotDir(FDir.Path() + "/m" + std::to_string(0750));
    ASSERT_EQ(chmod(zk::platform::SlotDirectoryPath().c_str(), 0700), 0);
    THandleGuard slot(Create(FName));
    EXPECT_TRUE(slot.Valid()) << GetLastError();
}

TEST_F(MailslotDirectory, SocketFileIsPrivateWhateverTheUmask) {
    mode_t old = umask(0);
    THandleGuard slot(Create(FName, 10));
    umask(old);
    ASSERT_TRUE(slot.Valid());
    for (const std::string& file : {SocketFile(FName), SocketFile(FName) + ".max"}) {
        struct stat st {};
        ASSERT_EQ(lstat(file.c_str(), &st), 0) << file;
        EXPECT_EQ(st.st_mode & 07777, 0600u) << file;
    }
}

TEST_F(MailslotDirectory, DirectoryOwnedByAnotherUserIsRefused) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give a directory away";
    std::string dir = FDir.Path() + "/theirs";
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    ASSERT_EQ(chown(dir.c_str(), 65534, 65534), 0);
    UseSlotDir(dir);
    SetLastError(0);
    EXPECT_EQ(Create(FName), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(MailslotDirectory, EnvironmentChoosesTheDirectory) {
    std::string oldRuntime = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    bool hadRuntime = std::getenv("XDG_RUNTIME_DIR") != nullptr;
    EXPECT_EQ(zk::platform::SlotDirectoryPath(), FDir.Path());
    unsetenv("MAILSLOT_DIR");
    setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
    EXPECT_EQ(zk::platform::SlotDirectoryPath(), "/run/user/4242/mailslot");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(zk::platform::SlotDirectoryPath(), "/tmp/mailslot-" + std::to_string(geteuid()));
    setenv("MAILSLOT_DIR", "", 1);  // empty counts as unset
    EXPECT_EQ(zk::platform::SlotDirectoryPath(), "/tmp/mailslot-" + std::to_string(geteuid()));
    if (hadRuntime) setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
}

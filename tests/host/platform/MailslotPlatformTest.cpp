// The mailslot calls within one process: naming, creation, exact counts and sizes, reading
// rules, waiting and waking, the size limit, back-pressure and handle values.
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "zk/host/platform/SlotWrite.h"
#include "zk/host/platform/StagingQueue.h"
#include "zk/host/platform/SysCalls.h"
#include "tests/host/platform/MailslotFixture.h"
#include "tests/support/Namespaces.h"

using namespace zktest;

namespace {

bool IsSocket(const std::string& Path) {
    struct stat st {};
    return lstat(Path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

bool Exists(const std::string& Path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(Path, ec));
}

}  // namespace

class MailslotCreate : public MailslotFixture {};

TEST_F(MailslotCreate, BindsSocketFileUnderEncodedNameAndRemovesItOnClose) {
    std::string name = FName + "/My.Slot";
    THandleGuard slot(Create(name));
    ASSERT_TRUE(slot.Valid()) << GetLastError();
    EXPECT_NE(slot.Get(), 0u);
    std::string file = SocketFile(name);
    EXPECT_NE(file.find("%2Fmy%2Eslot"), std::string::npos);
    EXPECT_TRUE(IsSocket(file));
    EXPECT_FALSE(Exists(file + ".max"));  // no limit, no sidecar
    ASSERT_TRUE(slot.Close());
    EXPECT_FALSE(Exists(file));
}

TEST_F(MailslotCreate, SecondOwnerOfLiveNameFailsInAnyLetterCase) {
    THandleGuard first(Create("Dup" + FName));
    ASSERT_TRUE(first.Valid());
    SetLastError(0);
    EXPECT_EQ(Create("Dup" + FName), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(Create("DUP" + FName), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(first.Close());
    THandleGuard again(Create("dup" + FName));
    EXPECT_TRUE(again.Valid()) << GetLastError();
}

TEST_F(MailslotCreate, RefusesBadAndNonLocalPaths) {
    std::string host = zk::platform::SysHostName();
    for (const std::string& path :
         {std::string("\\\\.\\mailslot\\"), std::string("\\\\.\\pipe\\") + FName,
          "\\\\otherhost\\mailslot\\" + FName, "\\\\" + host + "\\mailslot\\" + FName,
          "\\\\.\\mailslot\\" + std::string(200, 'n'), std::string(FName)}) {
        SetLastError(0);
        EXPECT_EQ(CreateMailslotA(path.c_str(), 0, 0, nullptr), INVALID_HANDLE_VALUE) << path;
        EXPECT_EQ(GetLastError(), ERROR_BAD_PATHNAME) << path;
    }
}

TEST_F(MailslotCreate, HandlesAreNeverReusedAfterClose) {
    THandle first = Create(FName);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(first));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(GetMailslotInfo(first, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    THandleGuard second(Create(FName));
    ASSERT_TRUE(second.Valid());
    EXPECT_NE(second.Get(), first);
    THandleGuard writer(Open(FName));
    ASSERT_TRUE(writer.Valid());
    EXPECT_NE(writer.Get(), first);
    EXPECT_NE(writer.Get(), second.Get());
}

TEST_F(MailslotCreate, ReportsLimitAndTimeout) {
    THandleGuard slot(Create(FName, 424, 250));
    ASSERT_TRUE(slot.Valid());
    DWORD max = 0, next = 0, count = 7, timeout = 0;
    ASSERT_TRUE(GetMailslotInfo(slot.Get(), &max, &next, &count, &timeout));
    EXPECT_EQ(max, 424u);
    EXPECT_EQ(next, MAILSLOT_NO_MESSAGE);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(timeout, 250u);
    EXPECT_TRUE(GetMailslotInfo(slot.Get(), nullptr, nullptr, nullptr, nullptr));
}

class MailslotOpen : public MailslotFixture {};

TEST_F(MailslotOpen, FindsLocalSlotByDotOrHostNameAndAnyLetterCase) {
    THandleGuard slot(Create("Target" + FName));
    ASSERT_TRUE(slot.Valid());
    THandleGuard byDot(Open("TARGET" + FName));
    EXPECT_TRUE(byDot.Valid()) << GetLastError();
    std::string host = zk::platform::SysHostName();
    ASSERT_FALSE(host.empty());
    for (char& c : host) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    THandleGuard byHost(CreateFileA(("\\\\" + host + "\\MAILSLOT\\target" + FName).c_str(),
                                    GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, 0));
    EXPECT_TRUE(byHost.Valid()) << GetLastError();
}

TEST_F(MailslotOpen, MissingSlotAndUnreachableServersFail) {
    SetLastError(0);
    EXPECT_EQ(Open(FName), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid());
    // Without an interface to broadcast on nothing leaves the machine: "*" has nowhere to go,
    // and servers that are no host names are looked up nowhere. An address needs no lookup.
    // (Sending between machines is tested in network namespaces, tests/net.)
    const std::string conf = FDir.Path() + "/netbios.conf";
    std::ofstream(conf) << "interfaces = none\n";
    setenv("MAILSLOT_NETBIOS_CONF", conf.c_str(), 1);
    for (const char* server : {"*", "WORKGROUP", "..", "a b"}) {
        SetLastError(0);
        EXPECT_EQ(Open(FName, server), INVALID_HANDLE_VALUE) << server;
        EXPECT_EQ(GetLastError(), ERROR_BAD_NETPATH) << server;
    }
    THandleGuard byAddress(Open(FName, "10.0.0.1"));
    EXPECT_TRUE(byAddress.Valid()) << GetLastError();
    unsetenv("MAILSLOT_NETBIOS_CONF");
    EXPECT_EQ(CreateFileA(SlotPath(FName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0),
              INVALID_HANDLE_VALUE);
}

TEST_F(MailslotOpen, CallsOnTheWrongKindOfHandleFail) {
    THandleGuard slot(Create(FName));
    THandleGuard writer(Open(FName));
    ASSERT_TRUE(slot.Valid() && writer.Valid());
    char buf[4] = {};
    DWORD n = 0;
    EXPECT_FALSE(ReadFile(writer.Get(), buf, sizeof buf, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(WriteFile(slot.Get(), "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(GetMailslotInfo(writer.Get(), nullptr, nullptr, &n, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(MailslotOpen, WriteAfterOwnerClosedFails) {
    THandleGuard slot(Create(FName));
    THandleGuard writer(Open(FName));
    ASSERT_TRUE(slot.Valid() && writer.Valid());
    ASSERT_TRUE(slot.Close());
    EXPECT_FALSE(Write(writer.Get(), "late"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

class MailslotMessages : public MailslotFixture {};

TEST_F(MailslotMessages, CountsAndSizesAreExactIncludingEmptyMessagesAndZeroBytes) {
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid());
    const std::string withZeros("a\0b\0", 4);
    THandleGuard writer(Open(FName));
    ASSERT_TRUE(writer.Valid());
    ASSERT_TRUE(Write(writer.Get(), "abc"));
    ASSERT_TRUE(Write(writer.Get(), ""));
    ASSERT_TRUE(Write(writer.Get(), withZeros));
    ASSERT_TRUE(Send(FName, ""));
    EXPECT_EQ(Count(slot.Get()), 4u);
    EXPECT_EQ(NextSize(slot.Get()), 3u);
    EXPECT_EQ(ReadOne(slot.Get()), "abc");
    EXPECT_EQ(Count(slot.Get()), 3u);
    EXPECT_EQ(NextSize(slot.Get()), 0u);
    EXPECT_EQ(ReadOne(slot.Get()), "");
    EXPECT_EQ(NextSize(slot.Get()), 4u);
    EXPECT_EQ(ReadOne(slot.Get()), withZeros);
    EXPECT_EQ(ReadOne(slot.Get()), "");
    EXPECT_EQ(Count(slot.Get()), 0u);
    EXPECT_EQ(NextSize(slot.Get()), MAILSLOT_NO_MESSAGE);
}

TEST_F(MailslotMessages, LargestMessageGoesThroughWhole) {
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid());
    std::string big(65535, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    THandleGuard writer(Open(FName));
    ASSERT_TRUE(Write(writer.Get(), big));
    ASSERT_TRUE(Write(writer.Get(), big));
    EXPECT_EQ(Count(slot.Get()), 2u);
    EXPECT_EQ(ReadOne(slot.Get()), big);
    EXPECT_EQ(ReadOne(slot.Get()), big);
}

TEST_F(MailslotMessages, MessageThatDoesNotFitStays) {
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(Send(FName, "hello"));
    char buf[8] = {};
    DWORD read = 99;
    SetLastError(0);
    EXPECT_FALSE(ReadFile(slot.Get(), buf, 4, &read, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(Count(slot.Get()), 1u);
    EXPECT_EQ(ReadOne(slot.Get()), "hello");
}

TEST_F(MailslotMessages, ZeroByteReadWithoutBufferOnlyWaits) {
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(Send(FName, ""));
    ASSERT_TRUE(Send(FName, "x"));
    DWORD read = 99;
    EXPECT_TRUE(ReadFile(slot.Get(), nullptr, 0, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(Count(slot.Get()), 2u);  // the zero-length message was not taken
}

TEST_F(MailslotMessages, ZeroByteReadIntoBufferTakesOnlyAnEmptyMessage) {
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(Send(FName, ""));
    ASSERT_TRUE(Send(FName, "x"));
    char buf[1];
    DWORD read = 99;
    EXPECT_TRUE(ReadFile(slot.Get(), buf, 0, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(Count(slot.Get()), 1u);
    EXPECT_FALSE(ReadFile(slot.Get(), buf, 0, &read, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(Count(slot.Get()), 1u);
    EXPECT_FALSE(ReadFile(slot.Get(), nullptr, 1, &read, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(MailslotMessages, EmptySlotReadTimesOut) {
    for (DWORD timeout : {0u, 20u}) {
        std::string name = FName + "_" + std::to_string(timeout);
        THandleGuard slot(Create(name, 0, timeout));
        ASSERT_TRUE(slot.Valid());
        char buf[4];
        DWORD read = 99;
        SetLastError(0);
        EXPECT_FALSE(ReadFile(slot.Get(), buf, sizeof buf, &read, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
        EXPECT_FALSE(ReadFile(slot.Get(), nullptr, 0, &read, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
    }
}

class MailslotLimit : public MailslotFixture {};

TEST_F(MailslotLimit, WriterOfOversizeMessageFailsAndReaderNeverSeesIt) {
    THandleGuard slot(Create(FName, 10));
    ASSERT_TRUE(slot.Valid());
    std::ifstream sidecar(SocketFile(FName) + ".max");
    std::string text((std::istreambuf_iterator<char>(sidecar)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "10\n");
    THandleGuard writer(Open(FName));
    SetLastError(0);
    EXPECT_FALSE(Write(writer.Get(), "12345678901"));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_TRUE(Write(writer.Get(), "1234567890"));
    EXPECT_EQ(Count(slot.Get()), 1u);
    EXPECT_EQ(ReadOne(slot.Get()), "1234567890");
    ASSERT_TRUE(slot.Close());
    EXPECT_FALSE(Exists(SocketFile(FName) + ".max"));
}

TEST_F(MailslotLimit, ReaderDropsOversizeMessageOfWriterThatIgnoredTheSidecar) {
    THandleGuard slot(Create(FName, 10));
    ASSERT_TRUE(slot.Valid());
    std::filesystem::remove(SocketFile(FName) + ".max");
    THandleGuard writer(Open(FName));  // now unaware of the limit
    ASSERT_TRUE(Write(writer.Get(), "12345678901"));
    ASSERT_TRUE(Write(writer.Get(), "ok"));
    EXPECT_EQ(Count(slot.Get()), 1u);
    EXPECT_EQ(ReadOne(slot.Get()), "ok");
}

TEST_F(MailslotLimit, WriterIntoUnreadSlotFailsAfterBoundedWaitAndLosesNothing) {
    zk::platform::SetSendWaitMs(20);
    zk::platform::SetStageBounds({100, zk::platform::kStageMaxBytes});
    THandleGuard slot(Create(FName));
    THandleGuard writer(Open(FName));
    ASSERT_TRUE(slot.Valid() && writer.Valid());
    int sent = 0;
    while (sent < 100000 && Write(writer.Get(), "m" + std::to_string(sent))) ++sent;
    EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
    ASSERT_GT(sent, 100);  // the bound is staged, the kernel's queue holds the rest
    ASSERT_LT(sent, 100000);
    EXPECT_EQ(Count(slot.Get()), 100u);
    for (int i = 0; i < sent; ++i) ASSERT_EQ(ReadOne(slot.Get()), "m" + std::to_string(i));
    EXPECT_TRUE(Write(writer.Get(), "again"));
}

// Fills the staging queue with messages of Size bytes while reading its count after every
// write; returns how many writes succeeded before one failed.
static int FillWhileCounting(THandle Slot, THandle Writer, size_t Size, DWORD& LastCount) {
    std::string message(Size, 'q');
    int sent = 0;
    while (sent < 200000) {
        DWORD written = 0;
        if (!WriteFile(Writer, message.data(), static_cast<DWORD>(Size), &written, nullptr)) break;
        ++sent;
        EXPECT_TRUE(GetMailslotInfo(Slot, nullptr, nullptr, &LastCount, nullptr));
    }
    return sent;
}

TEST_F(MailslotLimit, StagingStopsAtByteBoundAndWritersMeetBackPressure) {
    zk::platform::SetSendWaitMs(20);
    THandleGuard slot(Create(FName));
    THandleGuard writer(Open(FName));
    DWORD staged = 0;
    int sent = FillWhileCounting(slot.Get(), writer.Get(), 65535, staged);
    EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
    EXPECT_EQ(staged, zk::platform::kStageMaxBytes / 65535);
    EXPECT_GT(sent, static_cast<int>(staged));  // the rest waits in the kernel
    DWORD read = 0;
    std::string buf(65535, '\0');
    int got = 0;
    while (ReadFile(slot.Get(), buf.data(), 65535, &read, nullptr)) ++got;
    EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
    EXPECT_EQ(got, sent);
}

TEST_F(MailslotLimit, StagingStopsAtMessageBound) {
    zk::platform::SetSendWaitMs(20);
    THandleGuard slot(Create(FName));
    THandleGuard writer(Open(FName));
    DWORD staged = 0;
    int sent = FillWhileCounting(slot.Get(), writer.Get(), 0, staged);
    EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
    EXPECT_EQ(staged, zk::platform::kStageMaxMessages);
    EXPECT_GT(sent, static_cast<int>(staged));
}

class MailslotThreads : public MailslotFixture {};

TEST_F(MailslotThreads, CloseWakesWaitingReader) {
    THandle slot = Create(FName, 0, MAILSLOT_WAIT_FOREVER);
    ASSERT_NE(slot, INVALID_HANDLE_VALUE);
    std::atomic<pid_t> tid{0};
    std::atomic<bool> done{false};
    bool ok = true;
    DWORD error = 0;
    std::thread reader([&] {
        tid = ThisThreadId();
        char buf[16];
        DWORD read = 0;
        ok = ReadFile(slot, buf, sizeof buf, &read, nullptr);
        error = GetLastError();
        done = true;
    });
    ASSERT_TRUE(WaitUntil([&] { return tid.load() != 0; }));
    ASSERT_TRUE(WaitUntilThreadSleeps(tid.load()));
    EXPECT_TRUE(CloseHandle(slot));
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }));
    reader.join();
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, ERROR_OPERATION_ABORTED);
    EXPECT_FALSE(Exists(SocketFile(FName)));
}

TEST_F(MailslotThreads, WaitingZeroByteReadReturnsOnEmptyMessageAndLeavesIt) {
    THandleGuard slot(Create(FName, 0, MAILSLOT_WAIT_FOREVER));
    std::atomic<pid_t> tid{0};
    std::atomic<bool> done{false};
    bool ok = false;
    std::thread waiter([&] {
        tid = ThisThreadId();
        DWORD read = 99;
        ok = ReadFile(slot.Get(), nullptr, 0, &read, nullptr) && read == 0;
        done = true;
    });
    ASSERT_TRUE(WaitUntil([&] { return tid.load() != 0; }));
    ASSERT_TRUE(WaitUntilThreadSleeps(tid.load()));
    ASSERT_TRUE(Send(FName, ""));
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }));
    waiter.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(Count(slot.Get()), 1u);
    EXPECT_EQ(ReadOne(slot.Get()), "");
}

TEST_F(MailslotThreads, WaiterAndCounterOnOneHandleSeeEveryMessageOnce) {
    // A lost wake-up ends the reader with a time-out instead of hanging the test.
    THandleGuard slot(Create(FName, 0, 10000));
    constexpr int kMessages = 300;
    std::atomic<bool> stop{false};
    // Another thread keeps staging datagrams while the reader waits and reads.
    std::thread counter([&] {
        while (!stop.load()) {
            DWORD count = 0;
            GetMailslotInfo(slot.Get(), nullptr, nullptr, &count, nullptr);
        }
    });
    std::vector<std::string> got;
    std::thread reader([&] {
        char buf[32];
        while (static_cast<int>(got.size()) < kMessages) {
            DWORD read = 0;
            if (!ReadFile(slot.Get(), nullptr, 0, &read, nullptr)) break;
            if (ReadFile(slot.Get(), buf, sizeof buf, &read, nullptr)) got.emplace_back(buf, read);
        }
    });
    THandleGuard writer(Open(FName));
    for (int i = 0; i < kMessages; ++i) EXPECT_TRUE(Write(writer.Get(), std::to_string(i)));
    reader.join();
    stop = true;
    counter.join();
    ASSERT_EQ(got.size(), static_cast<size_t>(kMessages));
    for (int i = 0; i < kMessages; ++i) EXPECT_EQ(got[i], std::to_string(i));
}

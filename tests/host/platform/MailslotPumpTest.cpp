// A slot buffers on its own, whatever its owner's threads are doing: writers from other
// processes or from the owner itself succeed up to the slot's bound and meet back-pressure only
// past it; a writer waiting on a full slot notices when its owner dies.
#include <signal.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "zk/host/platform/SlotWrite.h"
#include "zk/host/platform/StagingQueue.h"
#include "tests/host/platform/MailslotFixture.h"
#include "tests/host/platform/PeerProcess.h"
#include "tests/support/Namespaces.h"

using namespace zktest;
using zk::platform::SetSendWaitMs;
using zk::platform::SetStageBounds;
using zk::platform::TStageBounds;

class MailslotPump : public MailslotFixture {
  protected:
    // Reads Count messages "TAG:i" in order.
    void ExpectInOrder(THandle Slot, int Count, const std::string& Tag) {
        ASSERT_EQ(this->Count(Slot), static_cast<DWORD>(Count));
        for (int i = 0; i < Count; ++i) ASSERT_EQ(ReadOne(Slot), Tag + ":" + std::to_string(i));
    }
};

TEST_F(MailslotPump, OwnerThatDoesNotReadStillReceivesEveryMessageFromAnotherProcess) {
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid());
    // The peer opens, writes and closes per message; any write that waited out its bounded wait
    // would end it with status 1. Meanwhile this thread does not touch the slot.
    ASSERT_EQ(RunProgram(ZK_SLOT_PEER, {"write", FName, "5000", "B"}), 0);
    ExpectInOrder(slot.Get(), 5000, "B");
}

TEST_F(MailslotPump, OwnerSendingToItsOwnSlotBeforeReadingNeverWaits) {
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid());
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(Send(FName, "S:" + std::to_string(i))) << i;
    ExpectInOrder(slot.Get(), 1000, "S");
}

TEST_F(MailslotPump, WritersFailOnlyPastTheBoundAndResumeWhenAReadMakesRoom) {
    struct TCase {
        TStageBounds Bounds;
        size_t Size;  // of each message
        DWORD Staged;
    };
    for (const TCase& c : {TCase{{8, 1 << 20}, 1, 8}, TCase{{1000, 64}, 16, 4}}) {
        SetStageBounds(c.Bounds);
        std::string name = FName + "_" + std::to_string(c.Staged);
        THandleGuard slot(Create(name));
        ASSERT_TRUE(slot.Valid());
        SetSendWaitMs(20);
        THandleGuard writer(Open(name));
        std::vector<std::string> sent;
        for (;;) {
            std::string m = std::to_string(sent.size());
            m.resize(c.Size, '.');
            if (!Write(writer.Get(), m)) break;
            sent.push_back(m);
        }
        EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
        EXPECT_EQ(Count(slot.Get()), c.Staged);
        EXPECT_GT(sent.size(), c.Staged);  // the rest waits in the kernel's queue
        // A writer blocked on the full slot gets through once a read makes room: nobody but the
        // pump takes the next datagram out of the kernel to let it in.
        SetSendWaitMs(60000);
        THandleGuard late(Open(name));
        std::atomic<pid_t> tid{0};
        bool lateOk = false;
        std::thread blocked([&] {
            tid = ThisThreadId();
            lateOk = Write(late.Get(), std::string(c.Size, 'L'));
        });
        ASSERT_TRUE(WaitUntil([&] { return tid.load() != 0; }));
        ASSERT_TRUE(WaitUntilThreadSleeps(tid.load()));
        EXPECT_EQ(ReadOne(slot.Get()), sent[0]);
        blocked.join();
        EXPECT_TRUE(lateOk);
        sent.push_back(std::string(c.Size, 'L'));
        for (size_t i = 1; i < sent.size(); ++i) ASSERT_EQ(ReadOne(slot.Get()), sent[i]) << i;
        EXPECT_EQ(Count(slot.Get()), 0u);
    }
}

TEST_F(MailslotPump, WriterWaitingOnAFullSlotNoticesItsOwnerDie) {
    TPeerProcess owner({"--bound", "4", "own", FName});
    ASSERT_EQ(owner.ReadLine(), "owned");
    SetSendWaitMs(20);
    THandleGuard writer(Open(FName));
    ASSERT_TRUE(writer.Valid());
    int sent = 0;
    while (Write(writer.Get(), "w")) ++sent;
    ASSERT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
    ASSERT_GT(sent, 4);
    SetSendWaitMs(60000);
    THandleGuard late(Open(FName));
    std::atomic<pid_t> tid{0};
    DWORD error = 0;
    std::thread blocked([&] {
        tid = ThisThreadId();
        if (!Write(late.Get(), "late")) error = GetLastError();
    });
    ASSERT_TRUE(WaitUntil([&] { return tid.load() != 0; }));
    ASSERT_TRUE(WaitUntilThreadSleeps(tid.load()));
    owner.Kill();
    EXPECT_EQ(owner.Wait(), 128 + SIGKILL);
    blocked.join();
    // Not ERROR_SEM_TIMEOUT: the writer learnt of the death instead of waiting out its time.
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}

static size_t OpenDescriptors() {
    size_t n = 0;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec);
         it != std::filesystem::directory_iterator(); it.increment(ec))
        ++n;
    return n;
}

TEST_F(MailslotPump, ClosingWhileThePumpStagesEndsReaderAndWriterAndLeavesNothingOpen) {
    THandleGuard first(Create(FName));  // the pump and its epoll descriptor exist from here on
    size_t before = OpenDescriptors();
    for (int round = 0; round < 20; ++round) {
        std::string name = FName + "_" + std::to_string(round);
        THandle slot = Create(name, 0, MAILSLOT_WAIT_FOREVER);
        ASSERT_NE(slot, INVALID_HANDLE_VALUE);
        std::atomic<bool> stop{false};
        std::thread flood([&] {
            THandleGuard w(Open(name));
            while (!stop.load() && Write(w.Get(), "f")) {
            }
        });
        std::thread reader([&] {
            char buf[4];
            DWORD read = 0;
            while (ReadFile(slot, buf, sizeof buf, &read, nullptr)) {
            }
            // Woken inside the read, or come back after the handle was gone.
            DWORD error = GetLastError();
            EXPECT_TRUE(error == ERROR_OPERATION_ABORTED || error == ERROR_INVALID_HANDLE) << error;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 4));
        ASSERT_TRUE(CloseHandle(slot));
        reader.join();
        stop = true;
        flood.join();
    }
    // The last reference may be the pump's, which lets go after its current pass.
    EXPECT_TRUE(WaitUntil([&] { return OpenDescriptors() == before; }));
}

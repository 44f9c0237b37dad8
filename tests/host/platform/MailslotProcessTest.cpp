// The mailslot convention between processes: one live owner per name, names left by a killed
// owner reclaimed by exactly one new owner, and messages from another process.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "zk/host/platform/SlotDirectory.h"
#include "tests/host/platform/MailslotFixture.h"
#include "tests/host/platform/PeerProcess.h"
#include "tests/support/Namespaces.h"

using namespace zktest;

namespace {

bool IsSocket(const std::string& Path) {
    struct stat st {};
    return lstat(Path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

}  // namespace

class MailslotProcesses : public MailslotFixture {
  protected:
    // Leaves a socket file whose owner was killed.
    void LeaveStaleSlot(const std::string& Name) {
        TPeerProcess owner({"own", Name});
        ASSERT_EQ(owner.ReadLine(), "owned");
        owner.Kill();
        ASSERT_EQ(owner.Wait(), 128 + 9);
        ASSERT_TRUE(IsSocket(SocketFile(Name)));
    }
};

TEST_F(MailslotProcesses, NameOwnedByAnotherProcessAlreadyExistsUntilItCloses) {
    TPeerProcess owner({"own", FName});
    ASSERT_EQ(owner.ReadLine(), "owned");
    SetLastError(0);
    EXPECT_EQ(Create(FName), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    owner.CloseInput();
    EXPECT_EQ(owner.Wait(), 0);
    EXPECT_FALSE(IsSocket(SocketFile(FName)));
    THandleGuard slot(Create(FName));
    EXPECT_TRUE(slot.Valid()) << GetLastError();
}

TEST_F(MailslotProcesses, SocketOfKilledOwnerIsReclaimed) {
    LeaveStaleSlot(FName);
    SetLastError(0);
    EXPECT_EQ(Open(FName), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid()) << GetLastError();
    ASSERT_TRUE(Send(FName, "after"));
    EXPECT_EQ(ReadOne(slot.Get()), "after");
}

TEST_F(MailslotProcesses, ExactlyOneOfTwoRacingCreatorsReclaimsStaleName) {
    for (int round = 0; round < 5; ++round) {
        std::string name = FName + "_" + std::to_string(round);
        LeaveStaleSlot(name);
        auto a = std::make_unique<TPeerProcess>(std::vector<std::string>{"own", name});
        auto b = std::make_unique<TPeerProcess>(std::vector<std::string>{"own", name});
        std::string lineA = a->ReadLine();
        std::string lineB = b->ReadLine();
        // The loser exits at once with status 1; the winner owns the slot until told to stop.
        EXPECT_NE(lineA == "owned", lineB == "owned") << "round " << round;
        TPeerProcess& winner = lineA == "owned" ? *a : *b;
        TPeerProcess& loser = lineA == "owned" ? *b : *a;
        EXPECT_EQ(loser.Wait(), 1);
        ASSERT_TRUE(Send(name, "still alive")) << "round " << round;
        winner.CloseInput();
        EXPECT_EQ(winner.Wait(), 0);
        EXPECT_FALSE(IsSocket(SocketFile(name)));
    }
}

TEST_F(MailslotProcesses, CreatorWaitsForDirectoryLockBeforeReclaiming) {
    LeaveStaleSlot(FName);
    auto lock = std::make_unique<zk::platform::TSlotDirLock>(FDir.Path());
    ASSERT_EQ(lock->Error(), ERROR_SUCCESS);
    TPeerProcess creator({"own", FName});
    // It cannot claim the name while another holds the lock (a creator that ignored the lock
    // would own the slot within a few milliseconds).
    EXPECT_EQ(creator.ReadLine(std::chrono::milliseconds(300)), "");
    lock.reset();
    EXPECT_EQ(creator.ReadLine(), "owned");
    creator.CloseInput();
    EXPECT_EQ(creator.Wait(), 0);
}

TEST_F(MailslotProcesses, MessagesFromAnotherProcessArriveInOrder) {
    THandleGuard slot(Create(FName));
    ASSERT_TRUE(slot.Valid());
    ASSERT_EQ(RunProgram(ZK_SLOT_PEER, {"write", FName, "5", "T"}), 0);
    EXPECT_EQ(Count(slot.Get()), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ReadOne(slot.Get()), "T:" + std::to_string(i));
}

TEST_F(MailslotProcesses, ClosingOwnerNeverRemovesSuccessorsSocket) {
    THandleGuard first(Create(FName));
    ASSERT_TRUE(first.Valid());
    // The owner's socket file disappears behind its back and another process takes the name.
    ASSERT_EQ(unlink(SocketFile(FName).c_str()), 0);
    TPeerProcess successor({"own", FName});
    ASSERT_EQ(successor.ReadLine(), "owned");
    ASSERT_TRUE(first.Close());
    EXPECT_TRUE(IsSocket(SocketFile(FName)));
    EXPECT_TRUE(Send(FName, "to successor"));
    successor.CloseInput();
    EXPECT_EQ(successor.Wait(), 0);
}

TEST_F(MailslotProcesses, AnotherUserCannotWriteIntoTheSlot) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    const std::string nobody = "65534";
    mode_t old = umask(0);
    THandleGuard slot(Create(FName));
    umask(old);
    ASSERT_TRUE(slot.Valid());
    // Even with the directory opened up for others to pass, the socket file keeps them out.
    ASSERT_EQ(chmod(FDir.Path().c_str(), 0711), 0);
    std::string output = FDir.Path() + "/../" + FName + ".out";
    EXPECT_EQ(
        RunProgram(ZK_SLOT_PEER, {"--as-uid", nobody, "sendraw", SocketFile(FName), "x"}, output),
        1);
    EXPECT_EQ(ReadFileText(output), "sendto failed: Permission denied\n");
    // The library's writer does not even trust a directory that is not its own.
    EXPECT_EQ(RunProgram(ZK_SLOT_PEER, {"--as-uid", nobody, "write", FName, "1", "T"}, output), 1);
    EXPECT_NE(ReadFileText(output).find(FDir.Path() + " belongs to uid 0, not to uid 65534"),
              std::string::npos);
    EXPECT_EQ(Count(slot.Get()), 0u);
    // The same helper gets through once the socket file lets it: the mode is what stopped it.
    ASSERT_EQ(chmod(SocketFile(FName).c_str(), 0666), 0);
    EXPECT_EQ(RunProgram(ZK_SLOT_PEER, {"--as-uid", nobody, "sendraw", SocketFile(FName), "x"}), 0);
    EXPECT_EQ(Count(slot.Get()), 1u);
    std::remove(output.c_str());
}

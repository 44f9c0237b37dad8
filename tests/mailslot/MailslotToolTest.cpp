// The mailslot command-line tool as a user runs it: separate processes, exit codes, output.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include "mailslot/Zkmailslot.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

#ifdef ZK_MAILSLOT_TOOL

namespace {

class MailslotToolTest : public ::testing::Test {
  protected:
    zktest::SlotDir FDir;
    std::string FName = zktest::UniqueSlotName("tool");
    std::string FOut = FDir.Path() + "/out.txt";

    bool SocketExists() const {
        struct stat st {};
        return stat((FDir.Path() + "/" + FName).c_str(), &st) == 0;
    }
    // Waits until the listener owns the slot.
    bool ListenerReady() {
        return zktest::WaitUntil([&] { return SocketExists(); });
    }
    std::string Output() const { return zktest::ReadFileText(FOut); }
};

}  // namespace

TEST_F(MailslotToolTest, ListenPrintsEachMessageAndSigtermRemovesTheSlot) {
    zktest::Child listener(ZK_MAILSLOT_TOOL, {"listen", FName}, FOut);
    ASSERT_TRUE(ListenerReady());
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"send", FName, "hello there"}), 0);
    ASSERT_TRUE(SendToMailSlot(".", FName, "second"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return Output() == "hello there\nsecond\n"; })) << Output();
    kill(listener.Pid(), SIGTERM);
    EXPECT_EQ(listener.Wait(), 0);
    EXPECT_FALSE(SocketExists());
}

TEST_F(MailslotToolTest, ListenHexShowsEveryByte) {
    zktest::Child listener(ZK_MAILSLOT_TOOL, {"listen", FName, "--hex"}, FOut);
    ASSERT_TRUE(ListenerReady());
    ASSERT_TRUE(SendBufToMailSlot(".", FName, "a\0\xFF", 3));
    ASSERT_TRUE(zktest::WaitUntil([&] { return Output() == "61 00 FF\n"; })) << Output();
    kill(listener.Pid(), SIGINT);
    EXPECT_EQ(listener.Wait(), 0);
}

TEST_F(MailslotToolTest, FailuresAndUsageErrorsHaveTheirExitCodes) {
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"send", FName, "x"}, FOut), 1);
    EXPECT_NE(Output().find("cannot send"), std::string::npos);
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"send"}, FOut), 2);
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"frobnicate"}, FOut), 2);
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"listen", FName, "--format", "nope"}, FOut), 2);
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"--help"}, FOut), 0);
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"send", "--help"}, FOut), 0);
    EXPECT_NE(Output().find("--server"), std::string::npos);
    TzkMailSlot holder(nullptr);
    holder.SetSlot(FName);
    holder.Open();
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"listen", FName}, FOut), 1);
    EXPECT_EQ(Output(), "mailslot: Mailslot already exists\n");
    EXPECT_EQ(
        zktest::RunProgram(ZK_MAILSLOT_TOOL, {"send", FName, "x", "--server", "faraway"}, FOut), 1);
}

#endif

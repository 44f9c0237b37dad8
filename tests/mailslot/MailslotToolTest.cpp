// The mailslot command-line tool as a user runs it: separate processes, exit codes, output.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <regex>

#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"
#include "zk/mailslot/Zkmailslot.h"

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

// True once Child has ended; leaves it to be reaped by Child::Wait.
bool Ended(const zktest::Child& Child) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(Child.Pid()), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == Child.Pid();
}

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

TEST_F(MailslotToolTest, StopSignalEndsEveryListenerAndRemovesItsSlot) {
    struct Case {
        std::vector<std::string> Args;
        std::string Socket;
        int Signal;
    };
    const Case cases[] = {
        {{"listen", FName}, FName, SIGINT},
        {{"listen", FName, "--format", "long"}, FName, SIGTERM},
        {{"popup", "listen"}, "messngr", SIGINT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args[0] + " " + c.Args[1]);
        const std::string socket = FDir.Path() + "/" + c.Socket;
        struct stat st {};
        zktest::Child listener(ZK_MAILSLOT_TOOL, c.Args, FOut);
        ASSERT_TRUE(zktest::WaitUntil([&] { return stat(socket.c_str(), &st) == 0; }));
        kill(listener.Pid(), c.Signal);
        // Waiting for the end, not in Wait, fails a listener that ignores the signal instead of
        // hanging the test.
        EXPECT_TRUE(zktest::WaitUntil([&] { return Ended(listener); }));
        EXPECT_EQ(listener.Wait(), 0);
        EXPECT_NE(stat(socket.c_str(), &st), 0);
        EXPECT_EQ(Output(), "");
    }
}

TEST_F(MailslotToolTest, ListenHexShowsEveryByte) {
    zktest::Child listener(ZK_MAILSLOT_TOOL, {"listen", FName, "--hex"}, FOut);
    ASSERT_TRUE(ListenerReady());
    ASSERT_TRUE(SendBufToMailSlot(".", FName, "a\0\xFF", 3));
    ASSERT_TRUE(zktest::WaitUntil([&] { return Output() == "61 00 FF\n"; })) << Output();
    kill(listener.Pid(), SIGINT);
    EXPECT_EQ(listener.Wait(), 0);
}

TEST_F(MailslotToolTest, ExitCodesAndTheirMessages) {
    // A slot that exists: it cannot be owned twice, and a far server never reaches it.
    const std::string held = zktest::UniqueSlotName("held");
    TzkMailSlot holder(nullptr);
    holder.SetSlot(held);
    holder.Open();
    struct Case {
        std::vector<std::string> Args;
        int Status;
        const char* Output;  // searched for in standard output and error
    };
    const Case cases[] = {
        {{"--version"}, 0, R"(^mailslot \d+\.\d+\.\d+\n$)"},
        {{"--help"}, 0, R"(Usage: mailslot \[OPTIONS\] SUBCOMMAND)"},
        {{"send", "--help"}, 0, "--server"},
        {{"send", FName, "x"},
         1,
         R"(^mailslot: cannot send to \\\\\.\\mailslot\\tool_\S+: no slot of that name on this machine\n$)"},
        {{"send", held, "x", "--server", "faraway"}, 1, "cannot send"},
        {{"send", held, std::string(65531, 'x'), "--format", "checked"},
         1,
         R"(^mailslot: message of 65531 bytes is longer than checked mail allows \(65530 bytes\)\n$)"},
        {{"listen", held}, 1, R"(^mailslot: Mailslot already exists\n$)"},
        {{"send"}, 2, "^mailslot: NAME is required\n$"},
        {{"frobnicate"}, 2, "^mailslot: unknown command 'frobnicate'\n$"},
        {{"listen", FName, "--format", "nope"}, 2, "nope"},
        {{"listen", FName, "--hex", "--json"}, 2, "excludes"},
        {{"popup", "send", "--to", "bob", "hi"}, 2, "--from is required"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args[0] + " " + (c.Args.size() > 1 ? c.Args[1].substr(0, 20) : ""));
        EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, c.Args, FOut), c.Status);
        EXPECT_TRUE(std::regex_search(Output(), std::regex(c.Output))) << Output();
    }
}

#endif

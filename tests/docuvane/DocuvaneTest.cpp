#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "apps/docuvane/Replies.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"
#include "zk/mailslot/Zkmailslot.h"

using docuvane::TReplyTable;

TEST(ReplyTable, OptionsSplitAtTheFirstEqualsSign) {
    TReplyTable t;
    EXPECT_TRUE(t.AddOption("IM3=INIT,T-,H,10,500"));
    EXPECT_TRUE(t.AddOption("X=a=b"));
    EXPECT_TRUE(t.AddOption("EDITDOC="));
    EXPECT_FALSE(t.AddOption("no rule"));
    EXPECT_EQ(t.RepliesTo("IM3"), std::vector<std::string>{"INIT,T-,H,10,500"});
    EXPECT_EQ(t.RepliesTo("X"), std::vector<std::string>{"a=b"});
    EXPECT_EQ(t.RepliesTo("EDITDOC"), std::vector<std::string>{""});
    EXPECT_TRUE(t.RepliesTo("im3").empty());  // commands match exactly
}

TEST(ReplyTable, ScriptLinesKeepTheReplyAfterOneBlank) {
    TReplyTable t;
    std::vector<int> bad = t.AddScript(
        "# replies of a file-project\n"
        "\n"
        "  PRJ? => PRJ!\r\n"
        "DOC1 =>  FILEOPEN\n"
        "DOC2, =>FILECLOSED\n"
        "PRJ? => PRJS!\n"
        "missing arrow\n"
        " => no command\n");
    EXPECT_EQ(bad, (std::vector<int>{7, 8}));
    EXPECT_EQ(t.RepliesTo("PRJ?"), (std::vector<std::string>{"PRJ!", "PRJS!"}));
    EXPECT_EQ(t.RepliesTo("DOC1"), std::vector<std::string>{" FILEOPEN"});
    EXPECT_EQ(t.RepliesTo("DOC2,"), std::vector<std::string>{"FILECLOSED"});
}

#ifdef ZK_DOCUVANE_APP

namespace {

// The stand-in application on a slot of this test, and a reply slot the test owns.
class DocuvaneApp : public ::testing::Test {
  protected:
    void SetUp() override {
        FSlot = zktest::UniqueSlotName("HS");
        FReplySlot = zktest::UniqueSlotName("reply");
        FStarted = FDir.Path() + "/started";
        FLog = FDir.Path() + "/log";
        FOut = FDir.Path() + "/out";
        FReplies.SetSlot(FReplySlot);
        FReplies.SetOnMessageAvail(
            TmsMessageAvail([this](TObject*, std::string Msg) { FReceived.push_back(Msg); }));
        FReplies.Open();
    }

    std::unique_ptr<zktest::Child> Start(std::vector<std::string> Args) {
        std::vector<std::string> all{"--slot",         FSlot,    "--reply-slot", FReplySlot,
                                     "--started-file", FStarted, "--log",        FLog};
        all.insert(all.end(), Args.begin(), Args.end());
        auto child = std::make_unique<zktest::Child>(ZK_DOCUVANE_APP, all, FOut);
        EXPECT_TRUE(zktest::WaitUntil([&] { return std::filesystem::exists(FStarted); }));
        return child;
    }

    bool Send(const std::string& Command) { return SendToMailSlot(".", FSlot, Command); }

    zktest::SlotDir FDir;
    std::string FSlot, FReplySlot, FStarted, FLog, FOut;
    TzkMailSlot FReplies{nullptr};
    std::vector<std::string> FReceived;
};

}  // namespace

TEST_F(DocuvaneApp, PrintsAndLogsEachCommandAndAnswersFromOptionsAndScript) {
    std::string script = FDir.Path() + "/script";
    std::ofstream(script) << "PRJ? => PRJ!\nDOC1 => INIT,,,0,7\n";
    auto app = Start({"--reply", "IM3=INIT,T-,H,10,500", "--reply", "IM3=FILEOPEN", "--script",
                      script, "--exit-after", "4"});
    for (const char* command : {"IM3", "EDITDOC", "PRJ?", "DOC1"}) ASSERT_TRUE(Send(command));
    EXPECT_EQ(app->Wait(), 0);  // leaves after the fourth command
    ASSERT_TRUE(zktest::WaitUntil([&] { return FReceived.size() == 4; }));
    EXPECT_EQ(FReceived,
              (std::vector<std::string>{"INIT,T-,H,10,500", "FILEOPEN", "PRJ!", "INIT,,,0,7"}));
    EXPECT_EQ(zktest::ReadFileText(FOut), "IM3\nEDITDOC\nPRJ?\nDOC1\n");
    EXPECT_EQ(zktest::ReadFileText(FLog), "IM3\nEDITDOC\nPRJ?\nDOC1\n");
}

TEST_F(DocuvaneApp, TerminationSignalEndsItCleanly) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        std::filesystem::remove(FStarted);
        auto app = Start({});
        ASSERT_TRUE(Send("DOC2,"));
        ASSERT_TRUE(zktest::WaitUntil([&] { return zktest::ReadFileText(FOut) == "DOC2,\n"; }));
        ::kill(app->Pid(), signal);
        EXPECT_EQ(app->Wait(), 0);
        EXPECT_FALSE(Send("IM3"));  // its slot is gone with it
    }
}

// Each press of the ellipsis starts the stand-in again: the later ones leave at once, and the
// first keeps serving.
TEST_F(DocuvaneApp, SecondInstanceLeavesTheSlotToTheFirst) {
    auto first = Start({"--exit-after", "1"});
    const std::string secondOut = FDir.Path() + "/second";
    EXPECT_EQ(zktest::RunProgram(ZK_DOCUVANE_APP, {"--slot", FSlot, "--log", FLog}, secondOut), 0);
    EXPECT_EQ(zktest::ReadFileText(secondOut),
              "docuvane: another instance serves slot " + FSlot + "; this one ends\n");
    ASSERT_TRUE(Send("EDITDOC"));
    EXPECT_EQ(first->Wait(), 0);
    EXPECT_EQ(zktest::ReadFileText(FLog), "EDITDOC\n");
}

// 0 success, 1 a failed operation, 2 a bad command line, whatever code (105, 109, ...) CLI11
// gives the error.
TEST_F(DocuvaneApp, ExitCodes) {
    const std::string badScript = FDir.Path() + "/bad-script";
    std::ofstream(badScript) << "IM3 => OK\nno arrow\n";
    struct Case {
        std::vector<std::string> Args;
        int Status;
        const char* Output;  // searched for in standard output and error
    };
    const Case cases[] = {
        {{"--version"}, 0, R"(^docuvane \d+\.\d+\.\d+\n$)"},
        {{"--help"}, 0, R"(Usage: docuvane \[OPTIONS\])"},
        {{"--log", FDir.Path() + "/no/such/dir/log"}, 1, "^docuvane: cannot open log"},
        {{"--script", FDir.Path() + "/none"}, 1, "^docuvane: cannot read script"},
        {{"--script", badScript}, 1, "bad-script:2: expected COMMAND => REPLY\n$"},
        {{"--bogus"}, 2, "^docuvane: .*--bogus\n$"},
        {{"--exit-after", "-1"}, 2, "--exit-after"},
        {{"--exit-after", "x"}, 2, "--exit-after"},
        {{"--slot"}, 2, "--slot"},
        {{"--reply", "IM3"}, 2, "--reply needs COMMAND=REPLY"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args[0]);
        EXPECT_EQ(zktest::RunProgram(ZK_DOCUVANE_APP, c.Args, FOut), c.Status);
        EXPECT_TRUE(std::regex_search(zktest::ReadFileText(FOut), std::regex(c.Output)))
            << zktest::ReadFileText(FOut);
    }
}

TEST_F(DocuvaneApp, MalformedReplyRuleIsRefused) {
    EXPECT_EQ(zktest::RunProgram(ZK_DOCUVANE_APP, {"--slot", FSlot, "--reply", "IM3"}, FOut), 2);
    EXPECT_NE(zktest::ReadFileText(FOut).find("COMMAND=REPLY"), std::string::npos);
}

#endif

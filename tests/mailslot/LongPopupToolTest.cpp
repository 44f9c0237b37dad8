// The command-line tool with long mail, popups and JSON output, across processes: what it sends
// is received by the library's receivers, and what the library sends shows up on its output.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>

#include "tests/support/FramedSpy.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"
#include "zk/mailslot/Zkmailslot.h"

#ifdef ZK_MAILSLOT_TOOL

using zktest::FramedSpy;

namespace {

using zktest::Owned;

class LongPopupToolTest : public ::testing::Test {
  protected:
    zktest::SlotDir FDir;
    std::string FName = zktest::UniqueSlotName("lptool");
    std::string FOut = FDir.Path() + "/out.txt";
    FramedSpy FSpy;

    Owned<TzkLongMail> LongReceiver() {
        Owned<TzkLongMail> e(new TzkLongMail(nullptr));
        e->SetSlot(FName);
        FSpy.AttachFramed(*e);
        e->Open();
        return e;
    }
    // Starts `mailslot send NAME --format long` with File as its standard input.
    std::unique_ptr<zktest::Child> SendLongFromFile(const std::string& Content) {
        const std::string file = FDir.Path() + "/input";
        std::ofstream(file, std::ios::binary) << Content;
        return std::make_unique<zktest::Child>(
            "/bin/sh",
            std::vector<std::string>{"-c", "exec \"$0\" send \"$1\" --format long < \"$2\"",
                                     ZK_MAILSLOT_TOOL, FName, file},
            FOut);
    }
    // Starts the tool with Args and waits until it owns the socket file Slot.
    std::unique_ptr<zktest::Child> StartListener(const std::vector<std::string>& Args,
                                                 const std::string& Slot) {
        auto child = std::make_unique<zktest::Child>(ZK_MAILSLOT_TOOL, Args, FOut);
        const std::string socket = FDir.Path() + "/" + Slot;
        struct stat st {};
        EXPECT_TRUE(zktest::WaitUntil([&] { return stat(socket.c_str(), &st) == 0; }));
        return child;
    }
    bool OutputBecomes(const std::string& Expected) {
        return zktest::WaitUntil([&] { return zktest::ReadFileText(FOut) == Expected; });
    }
    void Stop(zktest::Child& Listener) {
        kill(Listener.Pid(), SIGTERM);
        EXPECT_EQ(Listener.Wait(), 0);
    }
};

std::string Pattern(size_t Len) {
    std::string M;
    for (size_t i = 0; i < Len; ++i) M += static_cast<char>(1 + i % 250);
    return M;
}

}  // namespace

TEST_F(LongPopupToolTest, SendLongCarriesTheLargestMessageFromStandardInput) {
    auto rx = LongReceiver();
    const std::string Msg = Pattern(65532);
    auto sender = SendLongFromFile(Msg);
    // The receiver delivers on this thread, so the messages come before the sender's end.
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 1; }));
    EXPECT_EQ(sender->Wait(), 0);
    EXPECT_EQ(FSpy.Binaries[0], Msg);
}

TEST_F(LongPopupToolTest, SendLongRefusesLongerInputAndSendsNothingForEmptyInput) {
    auto rx = LongReceiver();
    EXPECT_EQ(SendLongFromFile(Pattern(65533))->Wait(), 1);
    EXPECT_EQ(zktest::ReadFileText(FOut),
              "mailslot: message of 65533 bytes is longer than long mail allows (65532 bytes)\n");
    EXPECT_EQ(SendLongFromFile("")->Wait(), 0);
    ASSERT_TRUE(SendLongMail(".", FName, "marker"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return !FSpy.Binaries.empty(); }));
    EXPECT_EQ(FSpy.Binaries, (std::vector<std::string>{"marker"}));
}

TEST_F(LongPopupToolTest, ListenLongPrintsWholeMessagesAndReportsCorruptFrames) {
    auto listener = StartListener({"listen", FName, "--format", "long"}, FName);
    const std::string Msg(1000, 'm');
    ASSERT_TRUE(SendLongMail(".", FName, Msg));
    ASSERT_TRUE(SendBufToMailSlot(".", FName, "\x01\x02\x03", 3));
    ASSERT_TRUE(SendLongMail(".", FName, "short"));
    EXPECT_TRUE(OutputBecomes(Msg + "\nchecksum error: 01 02 03\nshort\n"))
        << zktest::ReadFileText(FOut);
    Stop(*listener);
}

TEST_F(LongPopupToolTest, ListenJsonPrintsOneObjectPerMessage) {
    auto listener = StartListener({"listen", FName, "--json"}, FName);
    ASSERT_TRUE(SendToMailSlot(".", FName, "hi \"you\""));
    ASSERT_TRUE(SendBufToMailSlot(".", FName, "a\0\xFF\xC3\xA9", 5));
    const std::string head = "{\"slot\":\"" + FName + "\",\"format\":\"plain\",";
    EXPECT_TRUE(OutputBecomes(
        head + "\"length\":8,\"text\":\"hi \\\"you\\\"\",\"hex\":\"68 69 20 22 79 6F 75 22\"}\n" +
        head +
        "\"length\":5,\"text\":\"a\\u0000\xEF\xBF\xBD\xC3\xA9\",\"hex\":\"61 00 FF C3 A9\"}\n"))
        << zktest::ReadFileText(FOut);
    Stop(*listener);
}

TEST_F(LongPopupToolTest, ListenJsonNamesTheFormatAndExcludesHex) {
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"listen", FName, "--json", "--hex"}, FOut), 2);
    auto listener = StartListener({"listen", FName, "--json", "--format", "long"}, FName);
    ASSERT_TRUE(SendLongMail(".", FName, "ok"));
    EXPECT_TRUE(
        OutputBecomes("{\"slot\":\"" + FName +
                      "\",\"format\":\"long\",\"length\":2,\"text\":\"ok\",\"hex\":\"6F 6B\"}\n"))
        << zktest::ReadFileText(FOut);
    Stop(*listener);
}

TEST_F(LongPopupToolTest, PopupSendWritesTheFrameThatTheReceiverReports) {
    TzkWinPopup rx(nullptr);
    std::vector<std::string> popups;
    rx.SetOnMessage(TwpMessage([&](TObject*, std::string To, std::string From, std::string Text) {
        popups.push_back(To + "|" + From + "|" + Text);
    }));
    rx.Open();
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL,
                                 {"popup", "send", "--to", "bob", "--from", "ann", "hi"}, FOut),
              0);
    EXPECT_EQ(
        zktest::RunProgram(
            ZK_MAILSLOT_TOOL,
            {"popup", "send", "--from", "ann", "--to", "bob", "--server", ".", "again"}, FOut),
        0);
    ASSERT_TRUE(zktest::WaitUntil([&] { return popups.size() == 2; }));
    EXPECT_EQ(popups, (std::vector<std::string>{"bob|ann|hi", "bob|ann|again"}));
}

TEST_F(LongPopupToolTest, PopupListenPrintsSenderReceiverAndText) {
    auto listener = StartListener({"popup", "listen"}, "messngr");
    ASSERT_TRUE(SendToWinpopup(".", "bob", "ann", "hi"));
    ASSERT_TRUE(SendToWinpopup(".", "", "", ""));
    EXPECT_TRUE(OutputBecomes("from ann to bob: hi\nfrom  to : \n")) << zktest::ReadFileText(FOut);
    Stop(*listener);
}

TEST_F(LongPopupToolTest, PopupFailuresAndUsageErrorsHaveTheirExitCodes) {
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL,
                                 {"popup", "send", "--to", "bob", "--from", "ann", "hi"}, FOut),
              1);
    EXPECT_EQ(zktest::ReadFileText(FOut),
              "mailslot: cannot send to \\\\.\\mailslot\\messngr: no slot of that name on this "
              "machine\n");
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"popup", "send", "--from", "ann", "hi"}, FOut),
              2);
    EXPECT_EQ(zktest::ReadFileText(FOut), "mailslot: --to is required\n");
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"popup"}, FOut), 2);
    TzkWinPopup holder(nullptr);
    holder.Open();
    EXPECT_EQ(zktest::RunProgram(ZK_MAILSLOT_TOOL, {"popup", "listen"}, FOut), 1);
    EXPECT_EQ(zktest::ReadFileText(FOut), "mailslot: Mailslot already exists\n");
}

#endif

// The command-line tool speaking checked, safe and secure mail with this process: frames it
// sends are checked byte for byte and received by the library's receivers, and frames sent to
// its listener show up as payloads on standard output and as reports on standard error.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <memory>

#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/FramedSpy.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

#ifdef ZK_MAILSLOT_TOOL

using zktest::Bytes;
using zktest::FramedSpy;

namespace {

using zktest::Owned;

class FramedToolTest : public ::testing::Test {
  protected:
    zktest::SlotDir FDir;
    std::string FName = zktest::UniqueSlotName("ftool");
    std::string FOut = FDir.Path() + "/out.txt";
    FramedSpy FSpy;

    template <class R>
    Owned<R> Open() {
        Owned<R> e(new R(nullptr));
        e->SetSlot(FName);
        if constexpr (std::is_same_v<R, TzkMailSlot>)
            FSpy.Attach(*e);
        else
            FSpy.AttachFramed(*e);
        e->Open();
        FSpy.Log.clear();
        return e;
    }
    int Send(const std::string& Format, const std::string& Text) {
        return zktest::RunProgram(ZK_MAILSLOT_TOOL, {"send", FName, Text, "--format", Format},
                                  FOut);
    }
    // Starts a listener in Format and waits until it owns the slot.
    std::unique_ptr<zktest::Child> Listen(const std::string& Format) {
        auto child = std::make_unique<zktest::Child>(
            ZK_MAILSLOT_TOOL, std::vector<std::string>{"listen", FName, "--format", Format}, FOut);
        const std::string socket = FDir.Path() + "/" + FName;
        struct stat st {};
        EXPECT_TRUE(zktest::WaitUntil([&] { return stat(socket.c_str(), &st) == 0; }));
        return child;
    }
    void SendRaw(const std::string& Frame) {
        ASSERT_TRUE(
            SendBufToMailSlot(".", FName, Frame.data(), static_cast<int32_t>(Frame.size())));
    }
    // Waits until the listener's output (standard output and error together) equals Expected.
    bool OutputBecomes(const std::string& Expected) {
        return zktest::WaitUntil([&] { return zktest::ReadFileText(FOut) == Expected; });
    }
    void Stop(zktest::Child& Listener) {
        kill(Listener.Pid(), SIGTERM);
        EXPECT_EQ(Listener.Wait(), 0);
    }
};

}  // namespace

TEST_F(FramedToolTest, SendWritesEachFormatsFrame) {
    auto plain = Open<TzkMailSlot>();
    ASSERT_EQ(Send("checked", "abc"), 0);
    ASSERT_EQ(Send("safe", "abc"), 0);
    ASSERT_EQ(Send("secure", "abc"), 0);
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 3; }));
    EXPECT_EQ(FSpy.Binaries[0], Bytes({0x38, 0x97, 'a', 'b', 'c'}));
    const std::string& safe = FSpy.Binaries[1];
    ASSERT_EQ(safe.size(), 7u);
    EXPECT_TRUE(zkframes::CheckedFrameValid(safe.data(), 7));
    EXPECT_EQ(safe.substr(4), "abc");
    const std::string& secure = FSpy.Binaries[2];
    ASSERT_EQ(secure.size(), 11u);
    EXPECT_EQ(secure.substr(0, 4).find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(secure.substr(4), "9738abc");
}

TEST_F(FramedToolTest, ReceiversDeliverWhatTheToolSends) {
    {
        auto rx = Open<TzkNoErrMail>();
        ASSERT_EQ(Send("checked", "checked one"), 0);
        ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Log.size() == 2; }));
    }
    {
        auto rx = Open<TzkSafeMail>();
        ASSERT_EQ(Send("safe", "safe one"), 0);
        ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Log.size() == 2; }));
    }
    {
        auto rx = Open<TzkSecureMail>();
        ASSERT_EQ(Send("secure", "secure one"), 0);
        ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Log.size() == 2; }));
    }
    EXPECT_EQ(FSpy.Texts, (std::vector<std::string>{"checked one", "safe one", "secure one"}));
    EXPECT_TRUE(FSpy.ErrorFrames.empty());
}

TEST_F(FramedToolTest, SafeListenerPrintsPayloadsAndReportsRejectsAndRepeats) {
    auto listener = Listen("safe");
    const std::string frame = Bytes({0x8C, 0x2B, 0x34, 0x12, 'a', 'b', 'c'});
    SendRaw(frame);
    SendRaw(frame);
    SendRaw(Bytes({0x8C, 0x2B, 0x34, 0x12, 'a', 'b', 'x'}));
    ASSERT_TRUE(SendSafeMail(".", FName, "last"));
    EXPECT_TRUE(
        OutputBecomes("abc\nduplicate dropped\nchecksum error: 8C 2B 34 12 61 62 78\nlast\n"))
        << zktest::ReadFileText(FOut);
    Stop(*listener);
}

TEST_F(FramedToolTest, CheckedListenerReportsShortAndAlteredFrames) {
    auto listener = Listen("checked");
    SendRaw("\x38");
    SendRaw(Bytes({0x38, 0x97, 'a', 'b', 'c'}));
    SendRaw(Bytes({0x38, 0x97, 'a', 'b', 'c'}));
    SendRaw(Bytes({0x38, 0x97, 'a', 'b', 'x'}));
    EXPECT_TRUE(OutputBecomes("checksum error: 38\nabc\nabc\nchecksum error: 38 97 61 62 78\n"))
        << zktest::ReadFileText(FOut);
    Stop(*listener);
}

TEST_F(FramedToolTest, SecureListenerReportsRejectsAndRepeats) {
    auto listener = Listen("secure");
    SendRaw("12349738abc");
    SendRaw("12349738abc");
    SendRaw("12349738ab");
    EXPECT_TRUE(
        OutputBecomes("abc\nduplicate dropped\nchecksum error: 31 32 33 34 39 37 33 38 61 62\n"))
        << zktest::ReadFileText(FOut);
    Stop(*listener);
}

TEST_F(FramedToolTest, SendRefusesPayloadsLongerThanTheFormatCarries) {
    auto plain = Open<TzkMailSlot>();
    const std::string longest(65524, 'x');
    EXPECT_EQ(Send("secure", longest + "y"), 1);
    EXPECT_NE(zktest::ReadFileText(FOut).find("longer than secure mail allows (65524 bytes)"),
              std::string::npos);
    EXPECT_EQ(Send("secure", longest), 0);
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 1; }));
    EXPECT_EQ(FSpy.Binaries[0].size(), 65532u);
}

#endif

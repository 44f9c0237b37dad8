// Safe mail between real slots: the serial the sender draws, the serial test of the receiver
// and its order behind the checksum test.
#include <gtest/gtest.h>

#include <memory>

#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/FramedFixture.h"
#include "tests/support/FrozenClock.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

using zktest::Bytes;
using zktest::FramedSpy;

namespace {

using zktest::Owned;

std::string Safe(uint16_t Serial, const std::string& Payload) {
    return zkframes::EncodeSafe(Serial, Payload.data(), static_cast<int32_t>(Payload.size()));
}

class SafeMailTest : public zktest::FramedTest<TzkSafeMail> {
  protected:
    // Tags drawn under a frozen clock repeat with the seed.
    TClockScope FClockScope{zktest::FrozenClock()};
};

}  // namespace

TEST_F(SafeMailTest, SenderWritesChecksumThenSerialFromTheGeneratorThenPayload) {
    RandSeed(42);
    const uint16_t expected = DrawFrameTag();
    auto plain = PlainListener();
    RandSeed(42);
    ASSERT_TRUE(SendSafeMail(".", FName, "abc"));
    ASSERT_TRUE(SendBufSafe(".", FName, "", 0));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 2; }));
    const std::string& f = FSpy.Binaries[0];
    ASSERT_EQ(f.size(), 7u);
    EXPECT_EQ(zkframes::ReadLE16(f.data() + 2), expected);
    EXPECT_EQ(zkframes::ReadLE16(f.data()), FrameChecksum(f.data() + 2, 5));
    EXPECT_EQ(f.substr(4), "abc");
    const std::string& empty = FSpy.Binaries[1];
    ASSERT_EQ(empty.size(), 4u);
    EXPECT_EQ(zkframes::ReadLE16(empty.data()), FrameChecksum(empty.data() + 2, 2));
}

TEST_F(SafeMailTest, ReceiverDeliversThePayloadBehindTheSerial) {
    auto rx = Receiver();
    SendRaw(Bytes({0x8C, 0x2B, 0x34, 0x12, 'a', 'b', 'c'}));
    ASSERT_TRUE(Logged(2));
    EXPECT_EQ(FSpy.Log, (Lines{"text:abc", "bin:3"}));
}

TEST_F(SafeMailTest, FirstFrameIsDeliveredWhateverItsSerial) {
    auto rx = Receiver();
    SendRaw(Safe(0, "zero"));
    SendRaw(Safe(0, "again"));
    SendRaw(Safe(1, "one"));
    ASSERT_TRUE(Logged(5));
    EXPECT_EQ(FSpy.Log, (Lines{"text:zero", "bin:4", "duplicated", "text:one", "bin:3"}));
}

TEST_F(SafeMailTest, RepeatedSerialFiresOnlyOnDuplicated) {
    auto rx = Receiver();
    const std::string a = Safe(0x1234, "abc");
    SendRaw(a);
    SendRaw(a);
    // A different frame that carries the same serial is a repeat too.
    SendRaw(Safe(0x1234, "other"));
    SendRaw(Safe(0x1235, "end"));
    ASSERT_TRUE(Logged(6));
    EXPECT_EQ(FSpy.Log,
              (Lines{"text:abc", "bin:3", "duplicated", "duplicated", "text:end", "bin:3"}));
}

TEST_F(SafeMailTest, OnlyTheLastSerialIsRemembered) {
    auto rx = Receiver();
    SendRaw(Safe(0xA, "A"));
    SendRaw(Safe(0xB, "B"));
    SendRaw(Safe(0xA, "A"));
    ASSERT_TRUE(Logged(6));
    EXPECT_EQ(FSpy.Texts, (Lines{"A", "B", "A"}));
}

TEST_F(SafeMailTest, CorruptedRepeatIsAnErrorAndLeavesTheLastSerial) {
    auto rx = Receiver();
    SendRaw(Bytes({0x8C, 0x2B, 0x34, 0x12, 'a', 'b', 'c'}));
    const std::string corrupted = Bytes({0x8C, 0x2B, 0x34, 0x12, 'a', 'b', 'x'});
    SendRaw(corrupted);
    SendRaw(Bytes({0x8C, 0x2B, 0x34, 0x12, 'a', 'b', 'c'}));
    ASSERT_TRUE(Logged(5));
    EXPECT_EQ(FSpy.Log,
              (Lines{"text:abc", "bin:3", "error:" + corrupted, "binerror:7", "duplicated"}));
    EXPECT_EQ(FSpy.ErrorFrames, (Lines{corrupted}));
}

TEST_F(SafeMailTest, RejectedFrameDoesNotCountAsAccepted) {
    auto rx = Receiver();
    std::string corrupted = Safe(5, "five");
    corrupted.back() = 'X';
    SendRaw(corrupted);
    SendRaw(Safe(5, "five"));
    ASSERT_TRUE(Logged(4));
    EXPECT_EQ(FSpy.Log, (Lines{"error:" + corrupted.substr(0, corrupted.find('\0')), "binerror:8",
                               "text:five", "bin:4"}));
}

TEST_F(SafeMailTest, FramesWithoutRoomForASerialAreReportedWhole) {
    auto rx = Receiver();
    const Lines frames = {"", "\x01", Bytes({0x00, 0x00}), zkframes::EncodeChecked("x", 1)};
    for (const std::string& f : frames) SendRaw(f);
    SendRaw(Safe(0, "ok"));
    ASSERT_TRUE(Logged(10));
    EXPECT_EQ(FSpy.ErrorFrames, frames);
    EXPECT_EQ(FSpy.Log, (Lines{"error:", "binerror:0", "error:\x01", "binerror:1", "error:",
                               "binerror:2", "error:" + frames[3].substr(0, frames[3].find('\0')),
                               "binerror:3", "text:ok", "bin:2"}));
}

TEST_F(SafeMailTest, SamePayloadSentTwiceGetsAFreshSerial) {
    auto rx = Receiver();
    RandSeed(7);
    ASSERT_TRUE(SendSafeMail(".", FName, "twice"));
    ASSERT_TRUE(SendSafeMail(".", FName, "twice"));
    ASSERT_TRUE(Logged(4));
    EXPECT_EQ(FSpy.Texts, (Lines{"twice", "twice"}));
    // The same draw again gives the same serial, and the second frame is taken for a repeat.
    RandSeed(9);
    ASSERT_TRUE(SendSafeMail(".", FName, "first"));
    RandSeed(9);
    ASSERT_TRUE(SendSafeMail(".", FName, "second"));
    ASSERT_TRUE(Logged(7));
    EXPECT_EQ(FSpy.Log.back(), "duplicated");
    EXPECT_EQ(FSpy.Texts.back(), "first");
}

TEST_F(SafeMailTest, ReopeningKeepsTheLastSerial) {
    auto rx = Receiver();
    SendRaw(Safe(0x77, "once"));
    ASSERT_TRUE(Logged(2));
    rx->Close();
    rx->Open();
    FSpy.Log.clear();
    SendRaw(Safe(0x77, "once"));
    ASSERT_TRUE(Logged(1));
    EXPECT_EQ(FSpy.Log, (Lines{"duplicated"}));
}

// Secure mail between real slots: the text header the sender writes, the checksum and header
// tests of the receiver and their order.
#include <gtest/gtest.h>

#include <memory>

#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/FramedFixture.h"
#include "tests/support/FrozenClock.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

using zktest::FramedSpy;

namespace {

using zktest::Owned;

bool IsUpperHex(const std::string& S) {
    return S.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

class SecureMailTest : public zktest::FramedTest<TzkSecureMail> {
  protected:
    // Tags drawn under a frozen clock repeat with the seed.
    TClockScope FClockScope{zktest::FrozenClock()};
};

}  // namespace

TEST_F(SecureMailTest, SenderWritesHexTagFromTheGeneratorHexChecksumAndPayload) {
    RandSeed(42);
    const uint16_t expected = DrawFrameTag();
    auto plain = PlainListener();
    RandSeed(42);
    ASSERT_TRUE(SendSecureMail(".", FName, "abc"));
    ASSERT_TRUE(SendBufSecure(".", FName, "", 0));
    const std::string withZero("a\0b", 3);
    ASSERT_TRUE(SendBufSecure(".", FName, withZero.data(), 3));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 3; }));
    const std::string& f = FSpy.Binaries[0];
    ASSERT_EQ(f.size(), 11u);
    EXPECT_EQ(f.substr(0, 4), ChecksumText(expected));
    EXPECT_EQ(f.substr(4), "9738abc");
    const std::string& empty = FSpy.Binaries[1];
    ASSERT_EQ(empty.size(), 8u);
    EXPECT_TRUE(IsUpperHex(empty.substr(0, 4))) << empty;
    EXPECT_EQ(empty.substr(4), "0000");
    EXPECT_EQ(FSpy.Binaries[2].substr(8), withZero);
}

TEST_F(SecureMailTest, SendersFailWithoutASlotOrWithANegativeLength) {
    EXPECT_FALSE(SendSecureMail(".", FName, "abc"));
    auto plain = PlainListener();
    EXPECT_FALSE(SendBufSecure(".", FName, "abc", -1));
    EXPECT_FALSE(SendSecureMail("faraway", FName, "abc"));
    ASSERT_TRUE(SendToMailSlot(".", FName, "after"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return !FSpy.Binaries.empty(); }));
    EXPECT_EQ(FSpy.Binaries[0], "after");
}

TEST_F(SecureMailTest, ReceiverDeliversThePayloadWithoutTheHeader) {
    auto rx = Receiver();
    SendRaw("12349738abc");
    SendRaw("ABCD0000");
    // The tag is not interpreted: any four bytes pass.
    SendRaw(std::string("\0\0zz", 4) + "9738abc");
    ASSERT_TRUE(Logged(6));
    EXPECT_EQ(FSpy.Log, (Lines{"text:abc", "bin:3", "text:", "bin:0", "text:abc", "bin:3"}));
}

TEST_F(SecureMailTest, AlteredPayloadIsReportedWholeAndNotDelivered) {
    auto rx = Receiver();
    SendRaw("12349738abx");
    SendRaw("12349738abc");
    ASSERT_TRUE(Logged(4));
    EXPECT_EQ(FSpy.Log, (Lines{"error:12349738abx", "binerror:11", "text:abc", "bin:3"}));
    EXPECT_EQ(FSpy.ErrorFrames, (Lines{"12349738abx"}));
}

TEST_F(SecureMailTest, LowercaseDigitsAndShortFramesFailTheChecksumTest) {
    auto rx = Receiver();
    ASSERT_EQ(ChecksumText(FrameChecksum("xyz", 3)), "6A22");
    const Lines bad = {"00006a22xyz", "1234973", ""};
    for (const std::string& f : bad) SendRaw(f);
    SendRaw("00006A22xyz");
    ASSERT_TRUE(Logged(8));
    EXPECT_EQ(FSpy.Log, (Lines{"error:00006a22xyz", "binerror:11", "error:1234973", "binerror:7",
                               "error:", "binerror:0", "text:xyz", "bin:3"}));
    EXPECT_EQ(FSpy.ErrorFrames, bad);
}

TEST_F(SecureMailTest, RepeatedHeaderFiresOnlyOnDuplicated) {
    auto rx = Receiver();
    SendRaw("12349738abc");
    SendRaw("12349738abc");
    SendRaw("12359738abc");
    ASSERT_TRUE(Logged(5));
    EXPECT_EQ(FSpy.Log, (Lines{"text:abc", "bin:3", "duplicated", "text:abc", "bin:3"}));
}

TEST_F(SecureMailTest, HeadersCompareAsTextEndingAtAZeroByte) {
    auto rx = Receiver();
    // Tags that agree up to a zero byte are the same header, whatever follows it.
    SendRaw(std::string("12\0A9738abc", 11));
    SendRaw(std::string("12\0B9738abc", 11));
    SendRaw(std::string("\0AAA9738abc", 11));
    SendRaw(std::string("\0BBB9738abc", 11));
    ASSERT_TRUE(Logged(6));
    EXPECT_EQ(FSpy.Log,
              (Lines{"text:abc", "bin:3", "duplicated", "text:abc", "bin:3", "duplicated"}));
}

TEST_F(SecureMailTest, OnlyTheLastHeaderIsRemembered) {
    auto rx = Receiver();
    SendRaw("AAAA30C0A");
    SendRaw("BBBB3180B");
    SendRaw("AAAA30C0A");
    ASSERT_TRUE(Logged(6));
    EXPECT_EQ(FSpy.Texts, (Lines{"A", "B", "A"}));
}

TEST_F(SecureMailTest, CorruptedRepeatIsAnErrorAndLeavesTheLastHeader) {
    auto rx = Receiver();
    SendRaw("12349738abc");
    SendRaw("12349738abx");
    SendRaw("12349738abc");
    ASSERT_TRUE(Logged(5));
    EXPECT_EQ(FSpy.Log,
              (Lines{"text:abc", "bin:3", "error:12349738abx", "binerror:11", "duplicated"}));
}

TEST_F(SecureMailTest, SamePayloadSentTwiceGetsAFreshTag) {
    auto rx = Receiver();
    RandSeed(7);
    ASSERT_TRUE(SendSecureMail(".", FName, "twice"));
    ASSERT_TRUE(SendSecureMail(".", FName, "twice"));
    ASSERT_TRUE(Logged(4));
    EXPECT_EQ(FSpy.Texts, (Lines{"twice", "twice"}));
    // The same draw again gives the same header: the frame is taken for a repeat.
    RandSeed(9);
    ASSERT_TRUE(SendSecureMail(".", FName, "again"));
    RandSeed(9);
    ASSERT_TRUE(SendSecureMail(".", FName, "again"));
    ASSERT_TRUE(Logged(7));
    EXPECT_EQ(FSpy.Log.back(), "duplicated");
}

TEST_F(SecureMailTest, ReopeningKeepsTheLastHeader) {
    auto rx = Receiver();
    SendRaw("77779738abc");
    ASSERT_TRUE(Logged(2));
    rx->Close();
    rx->Open();
    FSpy.Log.clear();
    SendRaw("77779738abc");
    ASSERT_TRUE(Logged(1));
    EXPECT_EQ(FSpy.Log, (Lines{"duplicated"}));
}

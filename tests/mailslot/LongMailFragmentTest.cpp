#include "zk/mailslot/ZkFrames.h"
#include "tests/support/Namespaces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace zkframes;

std::string Message(int32_t Len) {
    std::string S(static_cast<std::size_t>(Len), '\0');
    for (int32_t I = 0; I < Len; ++I) S[I] = static_cast<char>((I * 31 + 7) & 0xFF);
    return S;
}

std::string Fragment(uint16_t Id, const std::string& Msg, int32_t Index) {
    return EncodeFragment(Id, Msg.data(), static_cast<int32_t>(Msg.size()), Index);
}

// Parses Payload from a heap copy of exactly its size, so a read past the end is caught.
bool Parse(const std::string& Payload, FragmentHeader& H) {
    const std::vector<char> Copy(Payload.begin(), Payload.end());
    return ParseFragment(Copy.data(), static_cast<int32_t>(Copy.size()), H);
}

TEST(LongMailFragment, CountsFragmentsOf394Bytes) {
    EXPECT_EQ(FragmentCount(-5), 0);
    EXPECT_EQ(FragmentCount(0), 0);
    EXPECT_EQ(FragmentCount(1), 1);
    EXPECT_EQ(FragmentCount(394), 1);
    EXPECT_EQ(FragmentCount(395), 2);
    EXPECT_EQ(FragmentCount(LongMailMax), 167);
}

TEST(LongMailFragment, EncodesThousandByteMessageAsThreeFragments) {
    const std::string Msg = Message(1000);
    const std::string F0 = Fragment(0x1234, Msg, 0);
    const std::string F1 = Fragment(0x1234, Msg, 1);
    const std::string F2 = Fragment(0x1234, Msg, 2);
    EXPECT_EQ(F0.substr(0, 4), std::string("\x34\x92\xE8\x03", 4));  // 0x9234, 1000
    EXPECT_EQ(F1.substr(0, 4), std::string("\x34\x12\x5E\x02", 4));  // 0x1234, 606
    EXPECT_EQ(F2.substr(0, 4), std::string("\x34\x12\xD4\x00", 4));  // 0x1234, 212
    EXPECT_EQ(F0.substr(4), Msg.substr(0, 394));
    EXPECT_EQ(F1.substr(4), Msg.substr(394, 394));
    EXPECT_EQ(F2.substr(4), Msg.substr(788));
    EXPECT_EQ(Fragment(0x1234, Msg, 3), "");
    EXPECT_EQ(Fragment(0x1234, Msg, -1), "");
}

TEST(LongMailFragment, SplitsBoundaryLengths) {
    const std::string Exact = Message(394);
    EXPECT_EQ(Fragment(7, Exact, 0), std::string("\x07\x80\x8A\x01", 4) + Exact);

    const std::string Over = Message(395);
    EXPECT_EQ(Fragment(7, Over, 0).size(), 398u);
    EXPECT_EQ(Fragment(7, Over, 1), std::string("\x07\x00\x01\x00", 4) + Over.substr(394));

    const std::string Largest = Message(LongMailMax);
    const std::string Last = Fragment(7, Largest, 166);
    EXPECT_EQ(Last.size(), 4u + 128u);
    FragmentHeader H;
    ASSERT_TRUE(Parse(Last, H));
    EXPECT_EQ(H.Remaining, 128);
    EXPECT_FALSE(H.First);
}

TEST(LongMailFragment, MasksIdToFifteenBits) {
    const std::string Msg = Message(500);
    FragmentHeader H;
    ASSERT_TRUE(Parse(Fragment(0xFFFF, Msg, 0), H));
    EXPECT_EQ(H.Id, 0x7FFF);
    EXPECT_TRUE(H.First);
    ASSERT_TRUE(Parse(Fragment(0x8001, Msg, 1), H));
    EXPECT_EQ(H.Id, 0x0001);
    EXPECT_FALSE(H.First);
}

TEST(LongMailFragment, ParsedFragmentsRebuildTheMessage) {
    const std::string Msg = Message(LongMailMax);
    std::string Rebuilt;
    int32_t Expected = LongMailMax;
    for (int32_t K = 0; K < FragmentCount(LongMailMax); ++K) {
        const std::string Payload = Fragment(0x0ABC, Msg, K);
        ASSERT_LE(Payload.size(), static_cast<std::size_t>(FragmentBufferSize));
        FragmentHeader H;
        ASSERT_TRUE(Parse(Payload, H));
        EXPECT_EQ(H.Id, 0x0ABC);
        EXPECT_EQ(H.First, K == 0);
        EXPECT_EQ(H.Remaining, Expected);
        Rebuilt += Payload.substr(FragmentHeaderSize);
        Expected -= FragmentPayloadMax;
    }
    EXPECT_EQ(Rebuilt, Msg);
}

TEST(LongMailFragment, IgnoresFragmentsWithoutBytes) {
    FragmentHeader H;
    H.Id = 99;
    H.Remaining = 5;
    EXPECT_FALSE(Parse(std::string("\x01\x80\x01\x00", 4), H));
    EXPECT_FALSE(Parse("", H));
    EXPECT_FALSE(ParseFragment(nullptr, -1, H));
    EXPECT_EQ(H.Id, 99);
    EXPECT_EQ(H.Remaining, 5);
    EXPECT_FALSE(H.First);

    ASSERT_TRUE(Parse(std::string("\x01\x80\x01\x00z", 5), H));
    EXPECT_EQ(H.Id, 1);
    EXPECT_TRUE(H.First);
    EXPECT_EQ(H.Remaining, 1);
}

TEST(LongMailFragment, EveryFrameFitsInFourHundredBytes) {
    const std::string Payload = Fragment(1, Message(LongMailMax), 0);
    EXPECT_EQ(EncodeChecked(Payload.data(), static_cast<int32_t>(Payload.size())).size(), 400u);
}

}  // namespace

#include "zk/mailslot/ZkFrames.h"
#include "tests/support/Namespaces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace zkframes;

std::string Bytes(std::initializer_list<int> Values) {
    std::string S;
    for (int V : Values) S += static_cast<char>(V);
    return S;
}

// Checks Frame from a heap copy of exactly its size, so a read past the end is caught.
bool Valid(const std::string& Frame) {
    const std::vector<char> Copy(Frame.begin(), Frame.end());
    return CheckedFrameValid(Copy.data(), static_cast<int32_t>(Copy.size()));
}

TEST(CheckedFrame, PutsChecksumLowByteFirst) {
    EXPECT_EQ(EncodeChecked("abc", 3), Bytes({0x38, 0x97, 'a', 'b', 'c'}));
    EXPECT_EQ(EncodeChecked("", 0), Bytes({0x00, 0x00}));
    EXPECT_EQ(EncodeChecked(nullptr, -4), Bytes({0x00, 0x00}));
    EXPECT_EQ(EncodeChecked("\x12", 1), Bytes({0x80, 0x00, 0x12}));
    EXPECT_EQ(EncodeChecked("123456789", 9), Bytes({0xFC, 0x7E}) + "123456789");
    const std::string WithZero("a\0b", 3);
    EXPECT_EQ(EncodeChecked(WithZero.data(), 3).substr(2), WithZero);
}

TEST(CheckedFrame, AcceptsMatchingFrames) {
    EXPECT_TRUE(Valid(Bytes({0x38, 0x97, 'a', 'b', 'c'})));
    EXPECT_TRUE(Valid(Bytes({0x00, 0x00})));
    std::string Big(5000, '\0');
    for (std::size_t I = 0; I < Big.size(); ++I) Big[I] = static_cast<char>(I * 7);
    EXPECT_TRUE(Valid(EncodeChecked(Big.data(), static_cast<int32_t>(Big.size()))));
}

TEST(CheckedFrame, RejectsAlteredFrames) {
    const std::string Good = EncodeChecked("abc", 3);
    for (std::size_t Byte = 0; Byte < Good.size(); ++Byte) {
        for (int Bit = 0; Bit < 8; ++Bit) {
            std::string Bad = Good;
            Bad[Byte] = static_cast<char>(Bad[Byte] ^ (1 << Bit));
            EXPECT_FALSE(Valid(Bad)) << Byte << ':' << Bit;
        }
    }
    // Checksum bytes swapped (big-endian) do not match.
    EXPECT_FALSE(Valid(Bytes({0x97, 0x38, 'a', 'b', 'c'})));
    // The published CRC-16/ARC value of the digits is not accepted.
    EXPECT_FALSE(Valid(Bytes({0x3D, 0xBB}) + "123456789"));
}

TEST(CheckedFrame, RejectsFramesWithoutRoomForChecksum) {
    EXPECT_FALSE(Valid(""));
    EXPECT_FALSE(Valid(Bytes({0x00})));
    EXPECT_FALSE(CheckedFrameValid(nullptr, -3));
}

TEST(SafeFrame, CarriesSerialInsideCheckedFrame) {
    const std::string Frame = EncodeSafe(0x1234, "abc", 3);
    EXPECT_EQ(Frame, Bytes({0x8C, 0x2B, 0x34, 0x12, 'a', 'b', 'c'}));
    ASSERT_TRUE(Valid(Frame));
    EXPECT_EQ(ReadLE16(Frame.data() + CheckedHeaderSize), 0x1234);
    EXPECT_EQ(Frame.substr(CheckedHeaderSize + SafeSerialSize), "abc");

    const std::string Empty = EncodeSafe(0xFFFF, nullptr, 0);
    EXPECT_EQ(Empty.size(), 4u);
    EXPECT_TRUE(Valid(Empty));
    EXPECT_EQ(ReadLE16(Empty.data() + CheckedHeaderSize), 0xFFFF);
}

TEST(SafeFrame, AlteredSerialFailsTheChecksum) {
    std::string Frame = EncodeSafe(0x1234, "abc", 3);
    Frame[2] = 0x35;
    EXPECT_FALSE(Valid(Frame));
}

TEST(ReadLE16, ReadsLowByteFirst) {
    EXPECT_EQ(ReadLE16("\x34\x12"), 0x1234);
    EXPECT_EQ(ReadLE16("\xFF\x80"), 0x80FF);
    EXPECT_EQ(ReadLE16(std::string(2, '\0').data()), 0);
}

}  // namespace

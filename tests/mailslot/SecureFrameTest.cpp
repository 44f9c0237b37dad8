#include "zk/mailslot/ZkFrames.h"

#include "zk/mailslot/ZkChecksum.h"
#include "tests/support/Namespaces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace zkframes;

// Checks Frame from a heap copy of exactly its size, so a read past the end is caught.
bool Valid(const std::string& Frame) {
    const std::vector<char> Copy(Frame.begin(), Frame.end());
    return SecureFrameValid(Copy.data(), static_cast<int32_t>(Copy.size()));
}

TEST(SecureFrame, PutsTagAndChecksumAsUppercaseHex) {
    EXPECT_EQ(EncodeSecure(0x00AB, "abc", 3), "00AB9738abc");
    EXPECT_EQ(EncodeSecure(0xFFFF, nullptr, 0), "FFFF0000");
    EXPECT_EQ(EncodeSecure(0x0000, "a", 1), "0000E8C1a");
    EXPECT_EQ(EncodeSecure(0x1000, "\x12", 1), "10000080\x12");
    const std::string WithZero("x\0y", 3);
    EXPECT_EQ(EncodeSecure(1, WithZero.data(), 3).substr(SecureHeaderSize), WithZero);
}

TEST(SecureFrame, AcceptsMatchingFramesWhateverTheTag) {
    EXPECT_TRUE(Valid("00AB9738abc"));
    EXPECT_TRUE(Valid("FFFF0000"));
    EXPECT_TRUE(Valid("zz!?9738abc"));
    EXPECT_TRUE(Valid(std::string(4, '\0') + "0000"));
}

TEST(SecureFrame, RejectsAlteredPayloadOrChecksum) {
    EXPECT_FALSE(Valid("00AB9738abd"));
    EXPECT_FALSE(Valid("00AB9739abc"));
    EXPECT_FALSE(Valid("00AB9738abcd"));
    // A checksum made with the published CRC-16/ARC table.
    EXPECT_FALSE(Valid("0000BB3D123456789"));
    EXPECT_TRUE(Valid("00007EFC123456789"));
}

TEST(SecureFrame, RejectsLowercaseDigits) {
    EXPECT_TRUE(Valid("0000E8C1a"));
    EXPECT_FALSE(Valid("0000e8c1a"));
    EXPECT_FALSE(Valid("0000E8c1a"));
}

TEST(SecureFrame, RejectsFramesShorterThanHeader) {
    const std::string Full = "FFFF0000";
    for (std::size_t Len = 0; Len < Full.size(); ++Len) {
        EXPECT_FALSE(Valid(Full.substr(0, Len))) << Len;
    }
    EXPECT_FALSE(SecureFrameValid(nullptr, -1));
    // A zero byte inside the checksum digits never matches.
    EXPECT_FALSE(
        Valid(std::string("0000\0"
                          "000",
                          8)));
}

}  // namespace

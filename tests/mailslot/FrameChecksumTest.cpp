#include "zk/mailslot/ZkChecksum.h"
#include "tests/support/Namespaces.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The published CRC-16/ARC table entry for Index, by its bitwise rule.
uint16_t ArcEntry(int Index) {
    uint16_t C = static_cast<uint16_t>(Index);
    for (int Bit = 0; Bit < 8; ++Bit) {
        C = (C & 1) ? static_cast<uint16_t>((C >> 1) ^ 0xA001) : static_cast<uint16_t>(C >> 1);
    }
    return C;
}

uint16_t Checksum(const std::string& Bytes) {
    return FrameChecksum(Bytes.data(), static_cast<int32_t>(Bytes.size()));
}

TEST(FrameChecksum, GivesTheCheckValuesInBothRenderings) {
    struct Case {
        std::string Input;
        uint16_t Value;
        const char* Text;
    };
    const Case Cases[] = {{"", 0x0000, "0000"},
                          {"\x12", 0x0080, "0080"},
                          {"abc", 0x9738, "9738"},
                          {"a", 0xE8C1, "E8C1"},
                          {"123456789", 0x7EFC, "7EFC"}};
    for (const Case& C : Cases) {
        const uint16_t Value = Checksum(C.Input);
        EXPECT_EQ(Value, C.Value) << C.Text;
        EXPECT_EQ(ChecksumText(Value), C.Text);
    }
    // Carried little-endian in binary frames: 0x7EFC travels as FC 7E.
    const uint16_t Digits = Checksum("123456789");
    EXPECT_EQ(Digits & 0xFF, 0xFC);
    EXPECT_EQ(Digits >> 8, 0x7E);
}

TEST(FrameChecksum, ZeroOrNegativeCountGivesZeroWithoutReading) {
    EXPECT_EQ(FrameChecksum(nullptr, 0), 0);
    EXPECT_EQ(FrameChecksum(nullptr, -1), 0);
    EXPECT_EQ(FrameChecksum(nullptr, INT32_MIN), 0);
    EXPECT_EQ(FrameChecksum("abc", -8), 0);
}

TEST(FrameChecksum, TableFollowsArcRuleExceptFourEntries) {
    std::set<int> Differing;
    for (int I = 0; I < 256; ++I) {
        if (FrameChecksumTable[I] != ArcEntry(I)) Differing.insert(I);
    }
    EXPECT_EQ(Differing, (std::set<int>{18, 26, 55, 211}));
    EXPECT_EQ(FrameChecksumTable[18], 0x0080);
    EXPECT_EQ(FrameChecksumTable[26], 0xC881);
    EXPECT_EQ(FrameChecksumTable[55], 0x0641);
    EXPECT_EQ(FrameChecksumTable[211], 0x9041);
}

TEST(FrameChecksum, SingleByteReadsItsTableEntry) {
    for (int B = 0; B < 256; ++B) {
        const char Byte = static_cast<char>(B);
        EXPECT_EQ(FrameChecksum(&Byte, 1), FrameChecksumTable[B]) << B;
    }
}

TEST(FrameChecksum, CountsOnlyTheGivenBytes) {
    EXPECT_EQ(FrameChecksum("abcdef", 3), 0x9738);
    // Zero bytes are data like any other.
    EXPECT_NE(Checksum(std::string("a\0b", 3)), Checksum("ab"));
}

TEST(ChecksumText, RendersFourUppercaseDigitsPadded) {
    EXPECT_EQ(ChecksumText(0x0000), "0000");
    EXPECT_EQ(ChecksumText(0x000F), "000F");
    EXPECT_EQ(ChecksumText(0x00AB), "00AB");
    EXPECT_EQ(ChecksumText(0x0FFF), "0FFF");
    EXPECT_EQ(ChecksumText(0xA01D), "A01D");
    EXPECT_EQ(ChecksumText(0xFFFF), "FFFF");
}

}  // namespace

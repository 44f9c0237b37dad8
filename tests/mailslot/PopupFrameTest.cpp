#include "zk/mailslot/ZkFrames.h"

#include "zk/mailslot/ZkChecksum.h"
#include "tests/support/Namespaces.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace zkframes;

// Splits Frame from a heap copy of exactly its size, so a read past the end is caught.
PopupFields Split(const std::string& Frame) {
    const std::vector<char> Copy(Frame.begin(), Frame.end());
    return SplitPopup(Copy.data(), static_cast<int32_t>(Copy.size()));
}

void ExpectFields(const PopupFields& F, const std::string& Sender, const std::string& Receiver,
                  const std::string& Text) {
    EXPECT_EQ(F.Sender, Sender);
    EXPECT_EQ(F.Receiver, Receiver);
    EXPECT_EQ(F.Text, Text);
}

TEST(PopupFrame, EncodesSenderReceiverTextWithoutTrailingZero) {
    const std::string Frame = EncodePopup("ann", "bob", "hi");
    EXPECT_EQ(Frame, std::string("ann\0bob\0hi", 10));
    EXPECT_EQ(ChecksumText(FrameChecksum(Frame.data(), static_cast<int32_t>(Frame.size()))),
              "A01D");
    EXPECT_EQ(EncodePopup("", "", ""), std::string(2, '\0'));
    EXPECT_EQ(EncodePopup("\x8E", "b", "\x99!"), std::string("\x8E\0b\0\x99!", 6));
}

TEST(PopupFrame, SplitsIntoTheThreeFields) {
    ExpectFields(Split(std::string("ann\0bob\0hi", 10)), "ann", "bob", "hi");
    ExpectFields(Split(std::string(2, '\0')), "", "", "");
    ExpectFields(Split(EncodePopup("\x8E", "b", "\x99!")), "\x8E", "b", "\x99!");
}

TEST(PopupFrame, TrailingZeroAndAnythingAfterItAreIgnored) {
    ExpectFields(Split(std::string("ann\0bob\0hi\0", 11)), "ann", "bob", "hi");
    ExpectFields(Split(std::string("ann\0bob\0hi\0more\0x", 18)), "ann", "bob", "hi");
}

TEST(PopupFrame, ShortFramesLeaveMissingFieldsEmpty) {
    ExpectFields(Split(""), "", "", "");
    ExpectFields(Split("ann"), "ann", "", "");
    ExpectFields(Split(std::string("ann\0", 4)), "ann", "", "");
    ExpectFields(Split(std::string("ann\0bob", 7)), "ann", "bob", "");
    ExpectFields(Split(std::string("ann\0bob\0", 8)), "ann", "bob", "");
    ExpectFields(SplitPopup(nullptr, 0), "", "", "");
    ExpectFields(SplitPopup("ann", -2), "", "", "");
}

TEST(PopupFrame, StopsAtTheGivenLength) {
    // Bytes behind Len belong to someone else, even without a zero among them.
    ExpectFields(SplitPopup("annXbob", 3), "ann", "", "");
    ExpectFields(SplitPopup(std::string("a\0bcdef", 7).data(), 4), "a", "bc", "");
}

}  // namespace

// Checked mail between real slots: the bytes the senders write, what the receiver delivers and
// how it reports frames that fail the checksum.
#include <gtest/gtest.h>

#include <memory>

#include "zk/host/forms/Streaming.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/FramedFixture.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

using zktest::Bytes;
using zktest::FramedSpy;

namespace {

using zktest::Owned;

class NoErrMailTest : public zktest::FramedTest<TzkNoErrMail> {};

}  // namespace

TEST_F(NoErrMailTest, SendersPutTheChecksumLowByteFirstInFrontOfThePayload) {
    auto plain = PlainListener();
    EXPECT_TRUE(SendNoErrMail(".", FName, "abc"));
    EXPECT_TRUE(SendBufNoErr(".", FName, "", 0));
    const std::string withZero("a\0b", 3);
    EXPECT_TRUE(SendBufNoErr(".", FName, withZero.data(), 3));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 3; }));
    EXPECT_EQ(FSpy.Binaries[0], Bytes({0x38, 0x97, 'a', 'b', 'c'}));
    EXPECT_EQ(FSpy.Binaries[1], Bytes({0x00, 0x00}));
    EXPECT_EQ(FSpy.Binaries[2].size(), 5u);
    EXPECT_EQ(FSpy.Binaries[2].substr(2), withZero);
}

TEST_F(NoErrMailTest, SendersFailWithoutASlotOrWithANegativeLength) {
    EXPECT_FALSE(SendNoErrMail(".", FName, "abc"));
    EXPECT_FALSE(SendSafeMail(".", FName, "abc"));
    auto plain = PlainListener();
    EXPECT_FALSE(SendBufNoErr(".", FName, "abc", -1));
    EXPECT_FALSE(SendBufSafe(".", FName, "abc", -2));
    EXPECT_FALSE(SendNoErrMail("faraway", FName, "abc"));
    ASSERT_TRUE(SendToMailSlot(".", FName, "after"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return !FSpy.Binaries.empty(); }));
    EXPECT_EQ(FSpy.Binaries[0], "after");  // nothing was sent before it
}

TEST_F(NoErrMailTest, ReceiverDeliversThePayloadWithoutTheChecksum) {
    auto rx = Receiver();
    SendRaw(Bytes({0x38, 0x97, 'a', 'b', 'c'}));
    SendRaw(Bytes({0x00, 0x00}));
    const std::string withZero("x\0y", 3);
    ASSERT_TRUE(SendBufNoErr(".", FName, withZero.data(), 3));
    ASSERT_TRUE(Logged(6));
    EXPECT_EQ(FSpy.Log,
              (std::vector<std::string>{"text:abc", "bin:3", "text:", "bin:0", "text:x", "bin:3"}));
    EXPECT_EQ(FSpy.Binaries[2], withZero);
}

TEST_F(NoErrMailTest, AlteredFrameIsReportedWholeAndNotDelivered) {
    auto rx = Receiver();
    const std::string altered = Bytes({0x38, 0x97, 'a', 'b', 'x'});
    SendRaw(altered);
    // The checksum's low byte is zero here, so the frame's text is empty.
    const std::string zeroFirst = Bytes({0x00, 0x00, 'x'});
    SendRaw(zeroFirst);
    ASSERT_TRUE(SendNoErrMail(".", FName, "next"));
    ASSERT_TRUE(Logged(6));
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"error:\x38\x97"
                                                  "abx",
                                                  "binerror:5", "error:", "binerror:3", "text:next",
                                                  "bin:4"}));
    EXPECT_EQ(FSpy.ErrorFrames, (std::vector<std::string>{altered, zeroFirst}));
}

TEST_F(NoErrMailTest, FramesTooShortForAChecksumAreReportedAsErrors) {
    auto rx = Receiver();
    SendRaw("");
    SendRaw("\x38");
    ASSERT_TRUE(SendNoErrMail(".", FName, "next"));
    ASSERT_TRUE(Logged(6));
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"error:", "binerror:0", "error:\x38",
                                                  "binerror:1", "text:next", "bin:4"}));
    EXPECT_EQ(FSpy.ErrorFrames[1], "\x38");
}

TEST_F(NoErrMailTest, RepeatsAreDeliveredEachTime) {
    auto rx = Receiver();
    ASSERT_TRUE(SendNoErrMail(".", FName, "same"));
    ASSERT_TRUE(SendNoErrMail(".", FName, "same"));
    ASSERT_TRUE(Logged(4));
    EXPECT_EQ(FSpy.Texts, (std::vector<std::string>{"same", "same"}));
}

TEST_F(NoErrMailTest, RaisingErrorHandlerLeavesLaterFramesDelivered) {
    auto rx = Receiver();
    rx->SetOnError(TmsMessageAvail([](TObject*, std::string) { throw Exception("handler"); }));
    SendRaw(Bytes({0x00, 0x00, 'x'}));
    ASSERT_TRUE(SendNoErrMail(".", FName, "next"));
    ASSERT_TRUE(Logged(2));
    // OnBinError did not fire for the frame whose OnError raised.
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"text:next", "bin:4"}));
}

TEST_F(NoErrMailTest, PublishedClassesListTheirDesignTimeProperties) {
    auto names = [](const TClassInfo& C) {
        std::vector<std::string> out;
        for (const TPropInfo& p : C.OwnProps()) out.push_back(p.Name);
        return out;
    };
    const std::vector<std::string> slot = {"Active",         "Server",           "Slot",
                                           "MaxSize",        "OnOpen",           "OnClose",
                                           "OnMessageAvail", "OnBinMessageAvail"};
    auto with = [&](std::initializer_list<std::string> more) {
        std::vector<std::string> v = slot;
        v.insert(v.end(), more);
        return v;
    };
    EXPECT_EQ(names(TzkNoErrMail::StaticClass()), with({"OnError"}));
    EXPECT_EQ(names(TzkSafeMail::StaticClass()), with({"OnError", "OnDuplicated"}));
    EXPECT_EQ(names(TzkSecureMail::StaticClass()), with({"OnError", "OnDuplicated"}));
    for (const TClassInfo* c :
         {&TzkNoErrMail::StaticClass(), &TzkSafeMail::StaticClass(), &TzkSecureMail::StaticClass()})
        EXPECT_EQ(c->FindProp("OnBinError"), nullptr) << c->Name();
    EXPECT_TRUE(TzkSafeMail::StaticClass().InheritsFrom(TzkCustomNoErrMail::StaticClass()));
}

TEST_F(NoErrMailTest, StoredFormsCreateTheFramedReceivers) {
    RegisterMailSlotClasses();
    TComponent owner(nullptr);
    for (std::string cls : {"TzkNoErrMail", "TzkSafeMail", "TzkSecureMail"}) {
        const std::string text = "object Rx: " + cls +
                                 "\n  Active = True\n  Server = '.'\n  Slot = '" + FName +
                                 "'\nend\n";
        Owned<TComponent> c(ReadComponentFromText(text, &owner));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->ClassType().Name(), cls);
        auto* e = dynamic_cast<TzkCustomMailSlot*>(c.get());
        ASSERT_NE(e, nullptr);
        EXPECT_TRUE(e->Active());
        EXPECT_EQ(WriteComponentText(e), text);
    }
}

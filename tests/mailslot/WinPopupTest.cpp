// Messenger popups: the frame the senders write to "messngr", what the receiver reports, the
// code-page conversion on both sides and the two-second repeat rule (on a manual clock).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "zk/host/forms/Streaming.h"
#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/EventSpy.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

namespace {

using zktest::Owned;

// A popup receiver whose repeat fields the tests can read.
class PopupProbe : public TzkWinPopup {
  public:
    using TzkWinPopup::TzkWinPopup;
    const std::string& LastChecksum() const { return FLastChecksum; }
    uint32_t LastTick() const { return FLastTick; }
};

// Records OnMessage as "to=<receiver> from=<sender> text=<text>".
struct PopupSpy : TObject {
    std::vector<std::string> Popups;
    void Message(TObject*, std::string AReciever, std::string ASender, std::string AMsg) {
        Popups.push_back("to=" + AReciever + " from=" + ASender + " text=" + AMsg);
    }
    TwpMessage Handler() { return TwpMessage::Bind(this, &PopupSpy::Message); }
};

// A manual clock that lives as long as the process, set to Now: the wait threads of closed
// endpoints end on their own and may still pause on the installed clock after a test.
TManualClock& LastingClock(uint32_t Now = 1000, bool AdvanceOnSleep = true) {
    static TManualClock* Clock = new TManualClock();
    Clock->Set(Now);
    Clock->AdvanceOnSleep(AdvanceOnSleep);
    return *Clock;
}

const std::string AnnToBob("ann\0bob\0hi", 10);

class WinPopupTest : public ::testing::Test {
  protected:
    zktest::SlotDir FDir;
    zktest::EventSpy FRaw;
    PopupSpy FSpy;

    // A plain endpoint on "messngr", to see the exact bytes the senders write.
    Owned<TzkMailSlot> RawListener() {
        Owned<TzkMailSlot> e(new TzkMailSlot(nullptr));
        e->SetSlot(PopupSlot);
        FRaw.Attach(*e);
        e->Open();
        return e;
    }
    Owned<PopupProbe> Receiver() {
        Owned<PopupProbe> p(new PopupProbe(nullptr));
        FRaw.Attach(*p);
        p->SetOnMessage(FSpy.Handler());
        p->Open();
        FRaw.Log.clear();
        return p;
    }
    // Hands Frame to the receiver as the endpoint would, from a buffer of exactly its size.
    static void Deliver(TzkCustomWinPopup& P, const std::string& Frame) {
        std::vector<char> Copy(Frame.begin(), Frame.end());
        P.DoBinMessageAvail(Copy.data(), static_cast<int32_t>(Copy.size()));
    }
};

}  // namespace

TEST_F(WinPopupTest, SendersWriteSenderReceiverTextToMessngr) {
    auto raw = RawListener();
    EXPECT_TRUE(SendToWinpopup(".", "bob", "ann", "hi"));
    // The method takes the sender first; a closed component sends all the same.
    TzkWinPopup closed(nullptr);
    EXPECT_TRUE(closed.Send(".", "ann", "bob", "hi"));
    EXPECT_TRUE(SendToWinpopup(".", "", "", ""));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FRaw.Binaries.size() == 3; }));
    EXPECT_EQ(FRaw.Binaries[0], AnnToBob);
    EXPECT_EQ(FRaw.Binaries[1], AnnToBob);
    EXPECT_EQ(FRaw.Binaries[2], std::string(2, '\0'));
    EXPECT_EQ(ChecksumText(FrameChecksum(AnnToBob.data(), 10)), "A01D");
}

TEST_F(WinPopupTest, SendersFailWithoutAListener) {
    EXPECT_FALSE(SendToWinpopup(".", "bob", "ann", "hi"));
    EXPECT_FALSE(SendToWinpopup("faraway", "bob", "ann", "hi"));
}

TEST_F(WinPopupTest, ReceiverReportsReceiverSenderAndText) {
    auto rx = Receiver();
    ASSERT_TRUE(SendToWinpopup(".", "bob", "ann", "hi"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Popups.size() == 1; }));
    EXPECT_EQ(FSpy.Popups[0], "to=bob from=ann text=hi");
    // The text event still fires, with the sender field; the byte event never does.
    EXPECT_EQ(FRaw.Log, (std::vector<std::string>{"text:ann"}));
    EXPECT_EQ(rx->LastChecksum(), "A01D");
}

TEST_F(WinPopupTest, NonAsciiTravelsInTheOemPageAndArrivesInTheAnsiPage) {
    {
        auto raw = RawListener();
        ASSERT_TRUE(SendToWinpopup(".", "b\xE9", "ann", "caf\xE9"));
        ASSERT_TRUE(zktest::WaitUntil([&] { return FRaw.Binaries.size() == 1; }));
        EXPECT_EQ(FRaw.Binaries[0], std::string("ann\0b\x82\0caf\x82", 11));
    }
    FRaw.Binaries.clear();
    auto rx = Receiver();
    ASSERT_TRUE(SendToWinpopup(".", "b\xE9", "ann", "caf\xE9"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Popups.size() == 1; }));
    EXPECT_EQ(FSpy.Popups[0], "to=b\xE9 from=ann text=caf\xE9");
    const std::string oem("ann\0b\x82\0caf\x82", 11);
    EXPECT_EQ(rx->LastChecksum(), ChecksumText(FrameChecksum(oem.data(), 11)));
}

TEST_F(WinPopupTest, ShortFramesGiveEmptyFieldsAndExtraFieldsAreIgnored) {
    TManualClock& clock = LastingClock();
    TClockScope scope(clock);
    PopupProbe rx(nullptr);
    rx.SetOnMessage(FSpy.Handler());
    for (const std::string& frame : {std::string(), std::string("ann"), std::string("ann\0bob", 7),
                                     std::string(2, '\0'), std::string("ann\0bob\0hi\0more\0", 16)})
        Deliver(rx, frame);
    EXPECT_EQ(FSpy.Popups, (std::vector<std::string>{
                               "to= from= text=", "to= from=ann text=", "to=bob from=ann text=",
                               "to= from= text=", "to=bob from=ann text=hi"}));
}

TEST_F(WinPopupTest, SameFrameIsDroppedWithinTwoWholeSeconds) {
    TManualClock& clock = LastingClock(50000);
    TClockScope scope(clock);
    PopupProbe rx(nullptr);
    rx.SetOnMessage(FSpy.Handler());
    Deliver(rx, AnnToBob);
    clock.Advance(1999);
    Deliver(rx, AnnToBob);
    EXPECT_EQ(FSpy.Popups.size(), 1u);
    clock.Advance(2000);
    Deliver(rx, AnnToBob);
    EXPECT_EQ(FSpy.Popups.size(), 2u);
    // A clock that went back counts as a repeat too.
    clock.Set(40000);
    Deliver(rx, AnnToBob);
    EXPECT_EQ(FSpy.Popups.size(), 2u);
    EXPECT_EQ(rx.LastTick(), 40000u);
}

TEST_F(WinPopupTest, RunOfRepeatsDeliversOnlyItsFirstFrame) {
    TManualClock& clock = LastingClock();
    TClockScope scope(clock);
    PopupProbe rx(nullptr);
    rx.SetOnMessage(FSpy.Handler());
    for (int i = 0; i < 3; ++i) {
        Deliver(rx, AnnToBob);
        clock.Advance(1500);
    }
    EXPECT_EQ(FSpy.Popups.size(), 1u);
    // A, B, A within a second: each differs from the one before it.
    const std::string other = zkframes::EncodePopup("ann", "bob", "ho");
    clock.Advance(5000);
    FSpy.Popups.clear();
    Deliver(rx, AnnToBob);
    clock.Advance(300);
    Deliver(rx, other);
    clock.Advance(300);
    Deliver(rx, AnnToBob);
    EXPECT_EQ(FSpy.Popups,
              (std::vector<std::string>{"to=bob from=ann text=hi", "to=bob from=ann text=ho",
                                        "to=bob from=ann text=hi"}));
}

TEST_F(WinPopupTest, FramesSeenWithoutAHandlerLeaveTheRepeatFieldsAlone) {
    TManualClock& clock = LastingClock();
    TClockScope scope(clock);
    PopupProbe rx(nullptr);
    Deliver(rx, AnnToBob);
    EXPECT_EQ(rx.LastChecksum(), "");
    EXPECT_EQ(rx.LastTick(), 0u);
    rx.SetOnMessage(FSpy.Handler());
    Deliver(rx, AnnToBob);
    EXPECT_EQ(rx.LastChecksum(), "A01D");
    rx.SetOnMessage(TwpMessage());
    clock.Advance(100);
    Deliver(rx, zkframes::EncodePopup("ann", "bob", "ho"));
    EXPECT_EQ(rx.LastChecksum(), "A01D");
    EXPECT_EQ(rx.LastTick(), 1000u);
    // Judged against the last frame seen with a handler: a repeat, dropped.
    rx.SetOnMessage(FSpy.Handler());
    clock.Advance(100);
    Deliver(rx, AnnToBob);
    EXPECT_EQ(FSpy.Popups.size(), 1u);
    EXPECT_EQ(rx.LastTick(), 1200u);
}

TEST_F(WinPopupTest, RepeatRuleHoldsForFramesDeliveredThroughTheSlot) {
    TManualClock& clock = LastingClock(1000, false);
    TClockScope scope(clock);
    auto rx = Receiver();
    ASSERT_TRUE(SendToWinpopup(".", "bob", "ann", "hi"));
    ASSERT_TRUE(SendToWinpopup(".", "bob", "ann", "hi"));
    ASSERT_TRUE(SendToWinpopup(".", "bob", "ann", "later"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FRaw.Log.size() == 3; }));
    EXPECT_EQ(FSpy.Popups,
              (std::vector<std::string>{"to=bob from=ann text=hi", "to=bob from=ann text=later"}));
    // Closing and opening again keeps the repeat fields.
    rx->Close();
    rx->Open();
    EXPECT_EQ(rx->LastChecksum(),
              ChecksumText(FrameChecksum(zkframes::EncodePopup("ann", "bob", "later").data(), 13)));
}

TEST_F(WinPopupTest, ComponentListensOnMessngrAndPublishesItsFiveProperties) {
    TComponent owner(nullptr);
    auto* p = new TzkWinPopup(&owner);
    EXPECT_EQ(p->Slot(), "messngr");
    p->SetName("Popup1");
    EXPECT_EQ(p->Slot(), "messngr");
    std::vector<std::string> names;
    for (const TPropInfo& prop : TzkWinPopup::StaticClass().OwnProps()) names.push_back(prop.Name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Active", "MaxSize", "OnOpen", "OnClose", "OnMessage"}));
    EXPECT_TRUE(TzkWinPopup::StaticClass().InheritsFrom(TzkCustomMailSlot::StaticClass()));
}

TEST_F(WinPopupTest, StoredFormCreatesAnOpenPopupReceiver) {
    RegisterMailSlotClasses();
    TComponent owner(nullptr);
    const std::string text = "object Pop: TzkWinPopup\n  Active = True\n  MaxSize = 400\nend\n";
    Owned<TComponent> c(ReadComponentFromText(text, &owner));
    ASSERT_NE(c, nullptr);
    auto* p = dynamic_cast<TzkWinPopup*>(c.get());
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->Active());
    EXPECT_EQ(p->Slot(), "messngr");
    EXPECT_EQ(WriteComponentText(p), text);
}

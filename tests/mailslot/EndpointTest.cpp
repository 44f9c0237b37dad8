// The endpoint's properties, state changes, error texts and delivery.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <thread>

#include "zk/host/forms/Streaming.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/EventSpy.h"
#include "tests/support/FrozenClock.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

using zktest::EventSpy;

namespace {

using zktest::Owned;

class EndpointTest : public ::testing::Test {
  protected:
    zktest::SlotDir FDir;
    std::string FName = zktest::UniqueSlotName("ep");
    EventSpy FSpy;

    Owned<TzkMailSlot> NewEndpoint(const std::string& Slot) {
        Owned<TzkMailSlot> e(new TzkMailSlot(nullptr));
        e->SetSlot(Slot);
        FSpy.Attach(*e);
        return e;
    }
    std::string ErrorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const EzkMailSlot& e) {
            return e.Message();
        }
        return "(no error)";
    }
};

}  // namespace

TEST_F(EndpointTest, NewEndpointDefaultsAndSlotFollowsTheName) {
    TzkMailSlot e(nullptr);
    EXPECT_FALSE(e.Active());
    EXPECT_EQ(e.Server(), ".");
    EXPECT_EQ(e.Slot(), "zkMailSlot1");
    EXPECT_EQ(e.MaxSize(), 0u);
    e.SetName("Listener");
    EXPECT_EQ(e.Slot(), "Listener");
    EXPECT_EQ(WriteComponentText(&e), "object Listener: TzkMailSlot\n  Server = '.'\nend\n");
}

TEST_F(EndpointTest, ExplicitSlotStopsFollowingTheNameAndIsStored) {
    TzkMailSlot e(nullptr);
    e.SetName("A");
    e.SetSlot("a");  // the current name in other case changes nothing
    EXPECT_EQ(e.Slot(), "A");
    e.SetName("B");
    EXPECT_EQ(e.Slot(), "B");
    e.SetSlot("Replies");
    e.SetName("C");
    EXPECT_EQ(e.Slot(), "Replies");
    EXPECT_EQ(WriteComponentText(&e),
              "object C: TzkMailSlot\n  Server = '.'\n  Slot = 'Replies'\nend\n");
}

TEST_F(EndpointTest, ServerOfSameLettersIgnoringCaseKeepsItsLetters) {
    TzkMailSlot e(nullptr);
    e.SetServer("MyHost");
    e.SetServer("MYHOST");
    EXPECT_EQ(e.Server(), "MyHost");
}

TEST_F(EndpointTest, ActiveTwiceClosesAndReopens) {
    auto e = NewEndpoint(FName);
    e->SetActive(true);
    e->SetActive(true);
    e->SetActive(false);
    e->SetActive(false);
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"open", "close", "open", "close"}));
}

TEST_F(EndpointTest, ChangingSlotOfAnOpenEndpointReopensUnderTheNewName) {
    auto e = NewEndpoint(FName);
    e->SetActive(true);
    e->SetSlot(FName + "b");
    e->SetMaxSize(100);
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"open", "close", "open", "close", "open"}));
    EXPECT_FALSE(SendToMailSlot(".", FName, "x"));
    EXPECT_TRUE(SendToMailSlot(".", FName + "b", "x"));
}

TEST_F(EndpointTest, SecondEndpointWithTheSameNameFailsAndStaysClosed) {
    auto first = NewEndpoint(FName);
    first->SetActive(true);
    auto second = NewEndpoint(FName);
    EXPECT_EQ(ErrorOf([&] { second->Open(); }), "Mailslot already exists");
    EXPECT_FALSE(second->Active());
    EXPECT_EQ(second->Slot(), FName);
    EXPECT_EQ(second->GetWaiting(), 0u);
}

TEST_F(EndpointTest, OpenErrorsCarryTheirTexts) {
    auto e = NewEndpoint("");
    EXPECT_EQ(ErrorOf([&] { e->Open(); }), "Bad mailslot name");
    e->SetSlot(FName);
    e->SetServer("elsewhere");
    EXPECT_EQ(ErrorOf([&] { e->Open(); }), "Bad mailslot name");
    e->SetServer(".");
    // A slot directory that another user could have planted is refused.
    std::string link = FDir.Path() + "/link";
    ASSERT_EQ(symlink(FDir.Path().c_str(), link.c_str()), 0);
    setenv("MAILSLOT_DIR", link.c_str(), 1);
    EXPECT_EQ(ErrorOf([&] { e->Open(); }), "Cannot open mailslot");
    setenv("MAILSLOT_DIR", FDir.Path().c_str(), 1);
    EXPECT_FALSE(e->Active());
}

TEST_F(EndpointTest, FailedReopenHasClosedTheEarlierOpening) {
    auto holder = NewEndpoint(FName + "x");
    holder->SetActive(true);
    FSpy.Log.clear();
    auto e = NewEndpoint(FName);
    e->SetActive(true);
    EXPECT_EQ(ErrorOf([&] { e->SetSlot(FName + "x"); }), "Mailslot already exists");
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"open", "close"}));
    EXPECT_FALSE(e->Active());
    EXPECT_EQ(e->Slot(), FName + "x");
}

TEST_F(EndpointTest, QueriesOnAClosedEndpoint) {
    auto e = NewEndpoint(FName);
    EXPECT_EQ(e->GetWaiting(), 0u);
    EXPECT_EQ(ErrorOf([&] { e->GetNextSize(); }), "Not active");
    TMsgPtr msg;
    EXPECT_EQ(ErrorOf([&] { e->ReadNext(msg); }), "Not active");
    e->SetActive(true);
    EXPECT_EQ(ErrorOf([&] { e->ReadNext(msg); }), "No messages waiting");
    e->FreeNext(msg);
}

TEST_F(EndpointTest, DesignTimeActiveIsOnlyMarked) {
    TComponent form(nullptr);
    form.SetDesigning(true);
    auto* e = new TzkMailSlot(&form);
    FSpy.Attach(*e);
    e->SetSlot(FName);
    e->SetActive(true);
    EXPECT_TRUE(e->Active());
    EXPECT_TRUE(FSpy.Log.empty());
    EXPECT_EQ(ErrorOf([&] { e->GetWaiting(); }), "Error in GetMailSlotInfo");
    EXPECT_FALSE(SendToMailSlot(".", FName, "x"));  // no slot was created
    e->Close();
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"close"}));
}

TEST_F(EndpointTest, BufferAllocationLimitsAndSingleRelease) {
    TzkMailSlot e(nullptr);
    TMsgPtr msg;
    ASSERT_TRUE(e.AllocNext(msg, 65532));
    EXPECT_EQ(msg.Size, 65532);
    EXPECT_EQ(msg.Len, 65532);
    EXPECT_EQ(msg.Cur, msg.Data);
    EXPECT_EQ(msg.Data[65532], 0);
    e.FreeNext(msg);
    e.FreeNext(msg);
    EXPECT_EQ(msg.Size, 0);
    EXPECT_FALSE(e.AllocNext(msg, 65533));
    EXPECT_EQ(msg.Size, 0);
    EXPECT_FALSE(e.AllocNext(msg, -1));
    ASSERT_TRUE(e.AllocNext(msg, 0));
    EXPECT_EQ(msg.Data[0], 0);
    e.FreeNext(msg);  // the one byte of an empty message is released too (checked by ASan)
}

TEST_F(EndpointTest, DeliversTextUpToTheFirstZeroAndAllBytes) {
    auto e = NewEndpoint(FName);
    e->SetActive(true);
    const std::string withZero("ab\0cd", 5);
    ASSERT_TRUE(SendBufToMailSlot(".", FName, withZero.data(), 5));
    ASSERT_TRUE(SendToMailSlot(".", FName, ""));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 2; }));
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"open", "text:ab", "bin:5", "text:", "bin:0"}));
    EXPECT_EQ(FSpy.Binaries[0], withZero);
    EXPECT_TRUE(FSpy.BinOnMainThread[0]);
}

TEST_F(EndpointTest, RaisingHandlerDoesNotStopDelivery) {
    auto e = NewEndpoint(FName);
    int calls = 0;
    e->SetOnMessageAvail(TmsMessageAvail([&](TObject*, std::string) {
        if (++calls == 1) throw Exception("handler failed");
    }));
    e->SetActive(true);
    ASSERT_TRUE(SendToMailSlot(".", FName, "one"));
    ASSERT_TRUE(SendToMailSlot(".", FName, "two"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 1; }));
    EXPECT_EQ(FSpy.Binaries[0], "two");  // the first message's byte event never fired
    EXPECT_EQ(calls, 2);
}

TEST_F(EndpointTest, OversizedMessageIsTakenOutAndNeverDelivered) {
    auto e = NewEndpoint(FName);
    e->SetActive(true);
    std::string big(65533, 'x');
    ASSERT_TRUE(SendBufToMailSlot(".", FName, big.data(), static_cast<int32_t>(big.size())));
    ASSERT_TRUE(SendToMailSlot(".", FName, "after"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 1; }));
    EXPECT_EQ(FSpy.Binaries[0], "after");
    EXPECT_EQ(e->GetWaiting(), 0u);
}

TEST_F(EndpointTest, MaxSizeKeepsLargerMessagesFromTheReaderAndFailsTheWriter) {
    auto e = NewEndpoint(FName);
    e->SetMaxSize(4);
    e->SetActive(true);
    EXPECT_FALSE(SendToMailSlot(".", FName, "12345"));
    EXPECT_TRUE(SendToMailSlot(".", FName, "1234"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 1; }));
    EXPECT_EQ(FSpy.Binaries[0], "1234");
}

TEST_F(EndpointTest, StoredFormWithActiveOpensAfterLoadingUnderStoredValues) {
    RegisterMailSlotClasses();
    TComponent owner(nullptr);
    std::string text = "object Rx: TzkMailSlot\n  Active = True\n  Server = '.'\n  Slot = '" +
                       FName + "'\n  MaxSize = 64\nend\n";
    Owned<TComponent> c(ReadComponentFromText(text, &owner));
    auto* e = dynamic_cast<TzkMailSlot*>(c.get());
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->Active());
    EXPECT_EQ(e->Slot(), FName);
    EXPECT_EQ(e->MaxSize(), 64u);
    FSpy.Attach(*e);
    ASSERT_TRUE(SendToMailSlot(".", FName, "loaded"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Texts.size() == 1; }));
    EXPECT_EQ(FSpy.Texts[0], "loaded");
    EXPECT_EQ(WriteComponentText(e), text);
}

TEST_F(EndpointTest, DestroyingAnOpenEndpointClosesItsSlot) {
    {
        auto e = NewEndpoint(FName);
        e->SetActive(true);
        ASSERT_TRUE(SendToMailSlot(".", FName, "pending"));
    }
    // The handed-over message, if queued, must not reach the destroyed endpoint.
    CheckSynchronize(50);
    EXPECT_FALSE(SendToMailSlot(".", FName, "x"));
    auto again = NewEndpoint(FName);
    EXPECT_NO_THROW(again->Open());
}

TEST_F(EndpointTest, ClosedEndpointGetsNoQueuedHandOver) {
    std::atomic<int> queued{0};
    SetWakeMainThread([&] { ++queued; });
    auto e = NewEndpoint(FName);
    e->SetActive(true);
    ASSERT_TRUE(SendToMailSlot(".", FName, "late"));
    // Wait until the wait thread has queued its hand-over, then close before the main thread runs
    // it.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (queued.load() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    SetWakeMainThread(nullptr);
    ASSERT_EQ(queued.load(), 1);
    e->Close();
    CheckSynchronize(50);
    EXPECT_TRUE(FSpy.Texts.empty());
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"open", "close"}));
}

TEST_F(EndpointTest, WaitThreadPausesTenMillisecondsBetweenLooks) {
    TManualClock& clock = zktest::LastingClock();
    clock.AdvanceOnSleep(false);
    TClockScope scope(clock);
    auto e = NewEndpoint(FName);
    e->SetActive(true);
    ASSERT_TRUE(zktest::WaitUntil([&] { return !clock.Pauses().empty(); }));
    EXPECT_EQ(clock.Pauses()[0].Milliseconds, 10u);
    e->Close();
}

TEST_F(EndpointTest, PlainSendersWriteExactBytesAndFailWithoutASlot) {
    EXPECT_FALSE(SendToMailSlot(".", FName, "IM3"));
    auto e = NewEndpoint(FName);
    e->SetActive(true);
    EXPECT_FALSE(SendBufToMailSlot(".", FName, "abc", -1));
    EXPECT_FALSE(SendToMailSlot("otherhost", FName, "IM3"));
    EXPECT_TRUE(SendToMailSlot(".", FName, "IM3"));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 1; }));
    EXPECT_EQ(FSpy.Binaries[0], "IM3");
}

// Long mail between real slots: the fragments the sender writes (sizes, headers, pacing on a
// manual clock) and what the receiver delivers, drops and reports; two senders at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "zk/host/forms/Streaming.h"
#include "zk/host/win32/Windows.h"
#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/ZkLongMailList.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/FramedSpy.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

using zktest::FramedSpy;

namespace {

using zktest::Owned;

// A slot read directly, without a wait thread: what has been sent is there as soon as the send
// returns.
class RawSlot {
  public:
    explicit RawSlot(const std::string& Name)
        : FHandle(CreateMailslotA(("\\\\.\\mailslot\\" + Name).c_str(), 0, 0, nullptr)) {}
    ~RawSlot() { CloseHandle(FHandle); }
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
    // Number of waiting messages.
    DWORD Waiting() {
        DWORD Count = 0;
        return GetMailslotInfo(FHandle, nullptr, nullptr, &Count, nullptr) ? Count : 0;
    }
    // Takes every waiting message, in order.
    std::vector<std::string> Drain() {
        std::vector<std::string> Out;
        DWORD Next = 0;
        DWORD Count = 0;
        while (GetMailslotInfo(FHandle, nullptr, &Next, &Count, nullptr) && Count > 0) {
            std::string M(Next, '\0');
            DWORD Read = 0;
            if (!ReadFile(FHandle, M.data(), Next, &Read, nullptr)) break;
            Out.push_back(M);
        }
        return Out;
    }

  private:
    THandle FHandle;
};

// Keeps a raw slot's socket from filling while the sender runs on the test's own thread: a
// thread that moves arriving messages into the slot's staging queue, taking none.
class Stager {
  public:
    explicit Stager(RawSlot& Slot)
        : FThread([this, &Slot] {
              while (!FStop.load()) {
                  Slot.Waiting();
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          }) {}
    ~Stager() {
        FStop.store(true);
        FThread.join();
    }

  private:
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

// A manual clock that, at each pause the sender (this thread) makes, takes what it has written so
// far out of the slot and notes how many fragments that was.
class DrainingClock : public TManualClock {
  public:
    explicit DrainingClock(RawSlot& Slot) : FSlot(Slot) {}
    void Sleep(uint32_t Milliseconds) override {
        if (std::this_thread::get_id() != FSender) return TManualClock::Sleep(Milliseconds);
        for (std::string& F : FSlot.Drain()) Frames.push_back(std::move(F));
        SentBeforePause.push_back(Frames.size());
        TManualClock::Sleep(Milliseconds);
    }
    std::vector<std::string> Frames;
    std::vector<size_t> SentBeforePause;

  private:
    RawSlot& FSlot;
    std::thread::id FSender = std::this_thread::get_id();
};

// A long-mail receiver whose reassembly list the tests can look at.
class LongMailProbe : public TzkLongMail {
  public:
    using TzkLongMail::TzkLongMail;
    TzkLongMailInfoList& List() { return *FMsgList; }
};

// A manual clock that lives as long as the process, set to Now: the wait threads of closed
// endpoints end on their own and may still pause on the installed clock after a test.
TManualClock& LastingClock(uint32_t Now = 1000, bool AdvanceOnSleep = true) {
    static TManualClock* Clock = new TManualClock();
    Clock->Set(Now);
    Clock->AdvanceOnSleep(AdvanceOnSleep);
    return *Clock;
}

// Bytes 0, 1, 2, ... 250, 0, 1, ...: zero bytes inside, and every fragment differs.
std::string Pattern(int32_t Len) {
    std::string M;
    for (int32_t i = 0; i < Len; ++i) M += static_cast<char>(i % 251);
    return M;
}

struct Fragment {
    uint16_t IdWord;
    uint16_t Remaining;
    std::string Bytes;
};

// Checks the checked framing of a long-mail frame and takes its fragment apart.
Fragment Parse(const std::string& Frame) {
    EXPECT_TRUE(zkframes::CheckedFrameValid(Frame.data(), static_cast<int32_t>(Frame.size())));
    EXPECT_GE(Frame.size(), 6u);
    if (Frame.size() < 6) return {};
    return {zkframes::ReadLE16(Frame.data() + 2), zkframes::ReadLE16(Frame.data() + 4),
            Frame.substr(6)};
}

// Message ids the tests pick themselves lie above those a sender draws on a manual clock
// (below its tick count, 1000), and collide with freshly drawn ones only by rare chance.
class LongMailTest : public ::testing::Test {
  protected:
    zktest::SlotDir FDir;
    std::string FName = zktest::UniqueSlotName("long");
    FramedSpy FSpy;

    Owned<LongMailProbe> Receiver() {
        Owned<LongMailProbe> e(new LongMailProbe(nullptr));
        e->SetSlot(FName);
        FSpy.AttachFramed(*e);
        e->Open();
        FSpy.Log.clear();
        return e;
    }
    // Sends one fragment (header and bytes) as a checked frame.
    void SendFragment(const std::string& Payload) {
        ASSERT_TRUE(SendBufNoErr(".", FName, Payload.data(), static_cast<int32_t>(Payload.size())));
    }
    void SendFragmentOf(uint16_t Id, const std::string& Msg, int32_t Index) {
        SendFragment(
            zkframes::EncodeFragment(Id, Msg.data(), static_cast<int32_t>(Msg.size()), Index));
    }
    // Sends a one-fragment message and waits until the receiver has delivered it: every frame
    // sent before it has been handled by then.
    void Marker(const std::string& Text) {
        ASSERT_TRUE(SendLongMail(".", FName, Text));
        ASSERT_TRUE(zktest::WaitUntil(
            [&] { return !FSpy.Binaries.empty() && FSpy.Binaries.back() == Text; }));
    }
    // Runs Send on a thread of its own while this (the main) thread delivers: a slot queues only
    // a few messages until its owner reads them, and this thread is the one that reads.
    void SendWhileDelivering(const std::function<void()>& Send, size_t Deliveries) {
        std::thread Sender(Send);
        EXPECT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() >= Deliveries; }));
        Sender.join();
    }
};

}  // namespace

TEST_F(LongMailTest, OneFragmentCarriesUpTo394Bytes) {
    RawSlot slot(FName);
    ASSERT_TRUE(slot.Valid());
    const std::string Msg = Pattern(395);
    ASSERT_TRUE(SendBufLong(".", FName, Msg.data(), 394));
    ASSERT_TRUE(SendBufLong(".", FName, Msg.data(), 395));
    const std::vector<std::string> Frames = slot.Drain();
    ASSERT_EQ(Frames.size(), 3u);
    EXPECT_EQ(Frames[0].size(), 400u);
    const Fragment One = Parse(Frames[0]);
    EXPECT_TRUE(One.IdWord & 0x8000);
    EXPECT_EQ(One.Remaining, 394);
    EXPECT_EQ(One.Bytes, Msg.substr(0, 394));
    const Fragment First = Parse(Frames[1]);
    const Fragment Second = Parse(Frames[2]);
    EXPECT_TRUE(First.IdWord & 0x8000);
    EXPECT_EQ(Second.IdWord, First.IdWord & 0x7FFF);
    EXPECT_EQ(First.Remaining, 395);
    EXPECT_EQ(First.Bytes, Msg.substr(0, 394));
    EXPECT_EQ(Second.Remaining, 1);
    EXPECT_EQ(Second.Bytes, Msg.substr(394));
}

TEST_F(LongMailTest, LargestMessageGoesIn167FragmentsWithAPauseBeforeEveryTwentieth) {
    RawSlot slot(FName);
    DrainingClock clock(slot);
    TClockScope scope(clock);
    Stager stager(slot);
    const std::string Msg = Pattern(65532);
    ASSERT_TRUE(SendBufLong(".", FName, Msg.data(), 65532));
    std::vector<std::string> Frames = clock.Frames;
    for (std::string& F : slot.Drain()) Frames.push_back(std::move(F));
    ASSERT_EQ(Frames.size(), 167u);
    const uint16_t Id = Parse(Frames[0]).IdWord & 0x7FFF;
    std::string Joined;
    for (size_t k = 0; k < Frames.size(); ++k) {
        const Fragment F = Parse(Frames[k]);
        EXPECT_EQ(F.IdWord, k == 0 ? (Id | 0x8000) : Id) << k;
        EXPECT_EQ(F.Remaining, 65532 - 394 * k) << k;
        Joined += F.Bytes;
    }
    EXPECT_EQ(Frames.back().size(), 2u + 4u + 128u);
    EXPECT_EQ(Joined, Msg);
    EXPECT_EQ(clock.SentBeforePause, (std::vector<size_t>{19, 39, 59, 79, 99, 119, 139, 159}));
    for (const TManualClock::Pause& P : clock.Pauses()) EXPECT_EQ(P.Milliseconds, 20u);
    EXPECT_EQ(clock.Pauses().size(), 8u);
}

TEST_F(LongMailTest, TooLongAndEmptyMessagesSendNothing) {
    RawSlot slot(FName);
    const std::string Msg = Pattern(65533);
    EXPECT_FALSE(SendBufLong(".", FName, Msg.data(), 65533));
    EXPECT_FALSE(SendLongMail(".", FName, Msg));
    EXPECT_TRUE(SendBufLong(".", FName, Msg.data(), 0));
    EXPECT_TRUE(SendBufLong(".", FName, Msg.data(), -5));
    EXPECT_TRUE(SendLongMail(".", FName, ""));
    EXPECT_TRUE(slot.Drain().empty());
}

TEST_F(LongMailTest, SendFailsWithoutASlot) {
    EXPECT_FALSE(SendLongMail(".", FName, "nobody listens"));
    EXPECT_FALSE(SendLongMail("faraway", FName, "x"));
}

TEST_F(LongMailTest, EveryMessageGetsAFreshId) {
    RawSlot slot(FName);
    TManualClock& clock = LastingClock(5000000);
    TClockScope scope(clock);
    RandSeed(20240601);
    ASSERT_TRUE(SendLongMail(".", FName, "one"));
    ASSERT_TRUE(SendLongMail(".", FName, "one"));
    const std::vector<std::string> Frames = slot.Drain();
    ASSERT_EQ(Frames.size(), 2u);
    EXPECT_NE(Parse(Frames[0]).IdWord, Parse(Frames[1]).IdWord);
}

TEST_F(LongMailTest, ReceiverDeliversEachMessageWhole) {
    auto rx = Receiver();
    const std::string Big = Pattern(65532);
    SendWhileDelivering(
        [&] {
            EXPECT_TRUE(SendLongMail(".", FName, "abc"));
            EXPECT_TRUE(SendBufLong(".", FName, Big.data(), 395));
            EXPECT_TRUE(SendBufLong(".", FName, Big.data(), 65532));
        },
        3);
    ASSERT_EQ(FSpy.Binaries.size(), 3u);
    EXPECT_EQ(FSpy.Binaries[0], "abc");
    EXPECT_EQ(FSpy.Binaries[1], Big.substr(0, 395));
    EXPECT_EQ(FSpy.Binaries[2], Big);
    // The text stops at the first zero byte, which the pattern puts first.
    EXPECT_EQ(FSpy.Texts, (std::vector<std::string>{"abc", "", ""}));
    EXPECT_EQ(rx->List().Count(), 0);
}

TEST_F(LongMailTest, MessageThatLostAFragmentIsNeverDeliveredAndAgesOut) {
    TManualClock& clock = LastingClock(1000, false);
    TClockScope scope(clock);
    auto rx = Receiver();
    const std::string Msg = Pattern(1200);  // four fragments
    SendFragmentOf(30077, Msg, 0);
    SendFragmentOf(30077, Msg, 2);
    SendFragmentOf(30077, Msg, 3);
    Marker("after");
    EXPECT_EQ(FSpy.Binaries.size(), 1u);
    EXPECT_EQ(rx->List().Count(), 1);
    clock.Advance(2000);
    Marker("not yet");
    EXPECT_EQ(rx->List().Count(), 1);
    clock.Advance(1);
    Marker("purged");
    EXPECT_EQ(rx->List().Count(), 0);
    EXPECT_TRUE(FSpy.ErrorFrames.empty());
}

TEST_F(LongMailTest, RepeatedFragmentsAreDroppedAndTheMessageStillArrivesOnce) {
    auto rx = Receiver();
    const std::string Msg = Pattern(900);
    SendFragmentOf(30005, Msg, 0);
    SendFragmentOf(30005, Msg, 0);
    SendFragmentOf(30005, Msg, 1);
    SendFragmentOf(30005, Msg, 1);
    SendFragmentOf(30005, Msg, 2);
    SendFragmentOf(30005, Msg, 2);
    Marker("end");
    EXPECT_EQ(FSpy.Binaries, (std::vector<std::string>{Msg, "end"}));
}

TEST_F(LongMailTest, OneFragmentMessageArrivingTwiceIsDeliveredTwice) {
    auto rx = Receiver();
    SendFragmentOf(30006, "twice", 0);
    SendFragmentOf(30006, "twice", 0);
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Log.size() == 4; }));
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"text:twice", "bin:5", "text:twice", "bin:5"}));
}

TEST_F(LongMailTest, MalformedFragmentsAreDroppedWithoutAnEvent) {
    auto rx = Receiver();
    SendFragment(std::string("\x01\xFF\x05\x00", 4));  // header only
    SendFragment(
        std::string("\x02\xFF\x02\x00"
                    "abc",
                    7));  // more than it announces
    SendFragment(
        std::string("\x03\xFF\x05\x00"
                    "ab",
                    6));  // expects 3 more
    SendFragment(
        std::string("\x03\x7F\x03\x00"
                    "abcd",
                    8));  // 4 of 3
    SendFragment(
        std::string("\x09\x7F\x03\x00"
                    "abc",
                    7));  // continuation of nothing
    Marker("end");
    EXPECT_EQ(FSpy.Log, (std::vector<std::string>{"text:end", "bin:3"}));
    EXPECT_EQ(rx->List().Count(), 1);  // message 3 still waits for its last 3 bytes
    SendFragment(
        std::string("\x03\x7F\x03\x00"
                    "cde",
                    7));
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 2; }));
    EXPECT_EQ(FSpy.Binaries[1], "abcde");
}

TEST_F(LongMailTest, CorruptFramesAreReportedAndNotFiled) {
    auto rx = Receiver();
    std::string Frame = zkframes::EncodeChecked("\x04\xFF\x03\x00xyz", 7);
    Frame.back() = 'q';
    ASSERT_TRUE(SendBufToMailSlot(".", FName, Frame.data(), static_cast<int32_t>(Frame.size())));
    Marker("end");
    ASSERT_EQ(FSpy.ErrorFrames.size(), 1u);
    EXPECT_EQ(FSpy.ErrorFrames[0], Frame);
    EXPECT_EQ(rx->List().Count(), 0);
}

TEST_F(LongMailTest, MessageAnnouncingMoreThanAnEndpointHoldsIsDroppedWhenComplete) {
    auto rx = Receiver();
    const std::string Msg = Pattern(65535);
    SendWhileDelivering(
        [&] {
            for (int32_t k = 0; k < zkframes::FragmentCount(65535); ++k)
                SendFragmentOf(30008, Msg, k);
            EXPECT_TRUE(SendLongMail(".", FName, "end"));
        },
        1);
    EXPECT_EQ(FSpy.Binaries, (std::vector<std::string>{"end"}));
    EXPECT_EQ(rx->List().Count(), 0);
}

#ifdef ZK_MAILSLOT_TOOL
TEST_F(LongMailTest, TwoSendersAtOnceAreBothDeliveredWhole) {
    auto rx = Receiver();
    std::string A(30000, 'a');
    std::string B(30000, 'b');
    for (size_t i = 0; i < A.size(); i += 97) {
        A[i] = static_cast<char>('A' + i % 26);
        B[i] = static_cast<char>('0' + i % 10);
    }
    zktest::Child SendA(ZK_MAILSLOT_TOOL, {"send", FName, A, "--format", "long"});
    zktest::Child SendB(ZK_MAILSLOT_TOOL, {"send", FName, B, "--format", "long"});
    // This thread delivers, so it waits for the messages before it waits for the senders.
    ASSERT_TRUE(zktest::WaitUntil([&] { return FSpy.Binaries.size() == 2; }));
    EXPECT_EQ(SendA.Wait(), 0);
    EXPECT_EQ(SendB.Wait(), 0);
    std::vector<std::string> Got = FSpy.Binaries;
    if (Got[0] != A) std::swap(Got[0], Got[1]);
    EXPECT_EQ(Got, (std::vector<std::string>{A, B}));
    EXPECT_TRUE(FSpy.ErrorFrames.empty());
}
#endif

TEST_F(LongMailTest, PublishedLikeCheckedMailAndCreatedFromStoredForms) {
    std::vector<std::string> names;
    for (const TPropInfo& p : TzkLongMail::StaticClass().OwnProps()) names.push_back(p.Name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Active", "Server", "Slot", "MaxSize", "OnOpen", "OnClose",
                                        "OnMessageAvail", "OnBinMessageAvail", "OnError"}));
    EXPECT_TRUE(TzkLongMail::StaticClass().InheritsFrom(TzkCustomNoErrMail::StaticClass()));
    RegisterMailSlotClasses();
    TComponent owner(nullptr);
    const std::string text =
        "object Rx: TzkLongMail\n  Active = True\n  Server = '.'\n  Slot = '" + FName + "'\nend\n";
    Owned<TComponent> c(ReadComponentFromText(text, &owner));
    ASSERT_NE(c, nullptr);
    auto* e = dynamic_cast<TzkLongMail*>(c.get());
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->Active());
    EXPECT_EQ(WriteComponentText(e), text);
}

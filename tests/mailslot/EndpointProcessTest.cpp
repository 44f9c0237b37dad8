// The endpoint against other processes: delivery, ordering under load, stale slots, and opening
// and closing while writers keep sending.
#include <gtest/gtest.h>
#include <signal.h>

#include <map>
#include <memory>

#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/EventSpy.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

using zktest::EventSpy;

namespace {

class EndpointProcessTest : public ::testing::Test {
  protected:
    zktest::SlotDir FDir;
    std::string FName = zktest::UniqueSlotName("proc");
};

}  // namespace

TEST_F(EndpointProcessTest, MessageFromAnotherProcessArrivesOnTheMainThreadAsTextAndBytes) {
    TzkMailSlot e(nullptr);
    EventSpy spy;
    spy.Attach(e);
    e.SetSlot(FName);
    e.Open();
    ASSERT_EQ(zktest::RunProgram(ZK_SLOT_PEER, {"write", FName, "1", "peer"}), 0);
    ASSERT_TRUE(zktest::WaitUntil([&] { return spy.Binaries.size() == 1; }));
    EXPECT_EQ(spy.Texts, (std::vector<std::string>{"peer:0"}));
    EXPECT_EQ(spy.Binaries[0], "peer:0");
    EXPECT_TRUE(spy.BinOnMainThread[0]);
}

TEST_F(EndpointProcessTest, EightWritersEveryMessageOnceAndInOrderPerWriter) {
    constexpr int kWriters = 8;
    constexpr int kEach = 5000;
    TzkMailSlot e(nullptr);
    std::map<std::string, int> next;  // writer tag -> next expected index
    int delivered = 0;
    int faults = 0;
    e.SetOnMessageAvail(TmsMessageAvail([&](TObject*, std::string msg) {
        ++delivered;
        auto colon = msg.find(':');
        std::string tag = msg.substr(0, colon);
        int index = std::stoi(msg.substr(colon + 1));
        if (index != next[tag]) ++faults;
        next[tag] = index + 1;
    }));
    e.SetSlot(FName);
    e.Open();
    std::vector<std::unique_ptr<zktest::Child>> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.push_back(std::make_unique<zktest::Child>(
            ZK_SLOT_PEER, std::vector<std::string>{"write", FName, std::to_string(kEach),
                                                   "w" + std::to_string(w)}));
    ASSERT_TRUE(
        zktest::WaitUntil([&] { return delivered == kWriters * kEach; }, std::chrono::seconds(120)))
        << delivered;
    for (auto& w : writers) EXPECT_EQ(w->Wait(), 0);
    EXPECT_EQ(faults, 0);
    ASSERT_EQ(next.size(), static_cast<size_t>(kWriters));
    for (auto& [tag, n] : next) EXPECT_EQ(n, kEach) << tag;
    CheckSynchronize(20);
    EXPECT_EQ(delivered, kWriters * kEach);
}

TEST_F(EndpointProcessTest, SlotOfAnotherLiveProcessExistsAndADeadOnesIsReclaimed) {
    int toPeer[2];
    ASSERT_EQ(pipe(toPeer), 0);
    // The peer owns the slot until its standard input closes or it is killed.
    int saved = dup(0);
    dup2(toPeer[0], 0);
    auto owner =
        std::make_unique<zktest::Child>(ZK_SLOT_PEER, std::vector<std::string>{"own", FName});
    dup2(saved, 0);
    close(saved);
    close(toPeer[0]);
    TzkMailSlot e(nullptr);
    e.SetSlot(FName);
    ASSERT_TRUE(zktest::WaitUntil([&] { return SendToMailSlot(".", FName, "probe"); }));
    EXPECT_THROW(e.Open(), EzkMailSlot);
    EXPECT_FALSE(e.Active());
    // Killed without closing: its socket file stays behind and is reclaimed.
    kill(owner->Pid(), SIGKILL);
    owner->Wait();
    close(toPeer[1]);
    EXPECT_NO_THROW(e.Open());
    EXPECT_TRUE(e.Active());
    EXPECT_TRUE(SendToMailSlot(".", FName, "mine"));
}

TEST_F(EndpointProcessTest, OpenCloseAndDestroyUnderTrafficLeaveNothingBehind) {
    zktest::Child flood(ZK_SLOT_PEER, {"flood", FName, "3000"});
    EventSpy spy;
    for (int round = 0; round < 60; ++round) {
        auto* e = new TzkMailSlot(nullptr);
        spy.Attach(*e);
        e->SetSlot(FName);
        e->Open();
        CheckSynchronize(round % 3 == 0 ? 0 : 5);
        if (round % 2 == 0) e->Close();
        if (round % 5 == 0) {
            e->Open();
            CheckSynchronize(2);
        }
        TObject::Free(e);  // open or closed: either way no hand-over may reach it
        CheckSynchronize(1);
    }
    EXPECT_EQ(flood.Wait(), 0);
    CheckSynchronize(50);
    EXPECT_FALSE(spy.Texts.empty());
}

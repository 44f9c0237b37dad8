#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>

#include "zk/host/platform/SysCalls.h"
#include "zk/host/platform/ThreadPriority.h"
#include "zk/host/rtl/Threads.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

namespace {

class TProbeThread : public TThread {
  public:
    explicit TProbeThread(std::function<void(TProbeThread&)> Body)
        : TThread(true), FBody(std::move(Body)) {}
    // Execute uses this object's members, so stop the thread before they go.
    ~TProbeThread() override {
        Terminate();
        WaitFor();
    }
    void Sync(const std::function<void()>& f) { Synchronize(f); }
    std::atomic<int> Nice{-100};

  protected:
    void Execute() override {
        Nice = zk::platform::GetThreadNice(zk::platform::CurrentThreadId());
        FBody(*this);
    }

  private:
    std::function<void(TProbeThread&)> FBody;
};

}  // namespace

TEST(Threads, CreatedSuspendedRunsOnlyAfterResume) {
    std::atomic<bool> ran{false};
    TProbeThread t([&](TProbeThread&) { ran = true; });
    // Nothing has started it yet; WaitFor on a thread that never started returns at once.
    t.WaitFor();
    EXPECT_FALSE(ran);
    t.Resume();
    t.WaitFor();
    EXPECT_TRUE(ran);
}

TEST(Threads, SynchronizeRunsOnTheMainThreadAndWaits) {
    std::atomic<bool> onMain{false};
    std::atomic<bool> returned{false};
    TProbeThread t([&](TProbeThread& self) {
        self.Sync([&] { onMain = IsMainThread(); });
        returned = true;
    });
    t.Resume();
    EXPECT_TRUE(zktest::WaitUntil([&] { return returned.load(); }));
    EXPECT_TRUE(onMain);
    t.WaitFor();
}

TEST(Threads, SynchronizeOnTheMainThreadRunsDirectly) {
    TProbeThread t([](TProbeThread&) {});
    bool ran = false;
    t.Sync([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(Threads, CheckSynchronizeWaitsForWorkWithATimeOut) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CheckSynchronize(30));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));
}

TEST(Threads, LowestPriorityLowersTheThreadsNiceValue) {
    TProbeThread t([](TProbeThread&) {});
    t.SetPriority(tpLowest);
    t.Resume();
    t.WaitFor();
    EXPECT_GT(t.Nice.load(), 0);
}

TEST(Threads, FreeOnTerminateThreadDeletesItself) {
    static std::atomic<int> destroyed{0};
    struct TSelfFree : TThread {
        TSelfFree() : TThread(true) { SetFreeOnTerminate(true); }
        ~TSelfFree() override { ++destroyed; }
        void Execute() override {
            while (!Terminated()) Synchronize([] {});
        }
    };
    auto* t = new TSelfFree;
    t->Resume();
    EXPECT_TRUE(CheckSynchronize(5000));
    t->Terminate();
    EXPECT_TRUE(zktest::WaitUntil([] { return destroyed.load() == 1; }));
}

TEST(Threads, DestroyingARunningThreadTerminatesAndJoinsIt) {
    std::atomic<int> passes{0};
    {
        TProbeThread t([&](TProbeThread& self) {
            while (!self.Terminated()) ++passes;
        });
        t.Resume();
        EXPECT_TRUE(zktest::WaitUntil([&] { return passes.load() > 0; }));
    }
    SUCCEED();
}

TEST(Threads, CreatedRunningStartsOnlyOnceTheDerivedObjectIsWhole) {
    // Its member is set by its own constructor and read by Execute: a thread started from the
    // base constructor reads it unset (a data race under ThreadSanitizer) or calls Execute
    // before the derived part exists.
    struct TGreeter : TThread {
        explicit TGreeter(std::string Name) : TThread(false), FName(std::move(Name)) {}
        ~TGreeter() override { WaitFor(); }
        void Execute() override { Seen = "hello " + FName; }
        std::string FName;
        std::string Seen;
    };
    TOwned<TGreeter> early(new TGreeter("early"));
    early->WaitFor();  // not started yet, so this returns at once
    EXPECT_EQ(early->Seen, "");
    early->AfterConstruction();
    early->WaitFor();
    EXPECT_EQ(early->Seen, "hello early");

    TOwned<TGreeter> t(TThread::Create<TGreeter>("world"));
    t->WaitFor();
    EXPECT_EQ(t->Seen, "hello world");
}

TEST(Threads, RefusedPriorityChangeIsIgnored) {
    const int mainNice = zk::platform::GetThreadNice(zk::platform::CurrentThreadId());
    zk::platform::InjectSysError(zk::platform::TSysCall::SetPriority, EPERM);
    TProbeThread t([](TProbeThread&) {});
    t.SetPriority(tpLowest);
    t.Resume();
    t.WaitFor();
    zk::platform::ClearSysErrors();
    EXPECT_EQ(t.Priority(), tpLowest);
    EXPECT_EQ(t.Nice.load(), mainNice);  // the thread ran, at the priority it inherited
}

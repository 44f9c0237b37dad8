// Test clocks: a clock that only moves when told to, and a scope that installs one.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "zk/host/rtl/Clock.h"
#include "tests/support/Namespaces.h"

namespace zktest {

// Sleep records the pause, returns at once and, unless AdvanceOnSleep(false) was set, advances
// the clock by the pause.
class TManualClock : public zk::rtl::TClock {
  public:
    explicit TManualClock(uint32_t Start = 1000) : FNow(Start) {}
    uint32_t TickCount() override { return FNow.load(); }
    void Sleep(uint32_t Milliseconds) override {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FPauses.push_back({FNow.load(), Milliseconds});
        }
        if (FAdvanceOnSleep.load()) FNow.fetch_add(Milliseconds);
        // Let other threads run, so that a loop pausing on this clock cannot starve them.
        std::this_thread::yield();
    }
    void Advance(uint32_t Milliseconds) { FNow.fetch_add(Milliseconds); }
    void Set(uint32_t Now) { FNow.store(Now); }
    void AdvanceOnSleep(bool On) { FAdvanceOnSleep.store(On); }
    // The pauses made so far, each with the tick count at which it began.
    struct Pause {
        uint32_t At;
        uint32_t Milliseconds;
    };
    std::vector<Pause> Pauses() const {
        std::lock_guard<std::mutex> lock(FLock);
        return FPauses;
    }

  private:
    std::atomic<uint32_t> FNow;
    std::atomic<bool> FAdvanceOnSleep{true};
    mutable std::mutex FLock;
    std::vector<Pause> FPauses;
};

// Installs a clock for the lifetime of a scope.
class TClockScope {
  public:
    explicit TClockScope(zk::rtl::TClock& Clock) { zk::rtl::SetClock(&Clock); }
    ~TClockScope() { zk::rtl::SetClock(nullptr); }
    TClockScope(const TClockScope&) = delete;
    TClockScope& operator=(const TClockScope&) = delete;
};

}  // namespace zktest

using zktest::TClockScope;
using zktest::TManualClock;

#include "host/Clock.h"

#include <chrono>
#include <thread>

namespace {

class TSystemClock : public TClock {
  public:
    uint32_t TickCount() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<uint32_t>(ms.count());
    }
    void Sleep(uint32_t Milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
    }
};

TSystemClock gSystemClock;
std::atomic<TClock*> gClock{&gSystemClock};

}  // namespace

uint32_t GetTickCount() { return gClock.load()->TickCount(); }

void Sleep(uint32_t Milliseconds) { gClock.load()->Sleep(Milliseconds); }

void SetClock(TClock* Clock) { gClock.store(Clock ? Clock : &gSystemClock); }

void TManualClock::Sleep(uint32_t Milliseconds) {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FPauses.push_back({FNow.load(), Milliseconds});
    }
    if (FAdvanceOnSleep.load()) FNow.fetch_add(Milliseconds);
    // Let other threads run, so that a loop pausing on this clock cannot starve them.
    std::this_thread::yield();
}

std::vector<TManualClock::Pause> TManualClock::Pauses() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FPauses;
}

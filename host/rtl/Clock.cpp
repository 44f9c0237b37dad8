#include "zk/host/rtl/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace zk::rtl {

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

// Never destroyed: a wait thread of a closed endpoint may still be in its pause while the
// program runs its static destructors.
TClock& SystemClock() {
    static TClock& clock = *new TSystemClock;
    return clock;
}

// Null: the system clock.
std::atomic<TClock*> gClock{nullptr};

}  // namespace

TClock& CurrentClock() {
    TClock* clock = gClock.load();
    return clock ? *clock : SystemClock();
}

void SetClock(TClock* Clock) { gClock.store(Clock); }

}  // namespace zk::rtl

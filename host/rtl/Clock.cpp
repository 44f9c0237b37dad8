#include "host/rtl/Clock.h"

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

// Never destroyed: a self-freeing wait thread may still pause on it while the program exits.
TSystemClock& gSystemClock = *new TSystemClock;
std::atomic<TClock*> gClock{&gSystemClock};

}  // namespace

TClock& CurrentClock() { return *gClock.load(); }

void SetClock(TClock* Clock) { gClock.store(Clock ? Clock : &gSystemClock); }

}  // namespace zk::rtl

// A clock that stands still, for tests that need the tick count (and so the tags drawn from it)
// to repeat. It lives as long as the process: the wait threads of closed endpoints end on their
// own and may still pause on the installed clock after a test has finished.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"

namespace zktest {

// The one frozen clock, far from zero so that draws below the tick count come from a wide range.
inline TManualClock& FrozenClock() {
    static TManualClock* Clock = [] {
        auto* C = new TManualClock(0x7FFFFFF0);
        C->AdvanceOnSleep(false);
        return C;
    }();
    return *Clock;
}

// A fresh manual clock (advancing on Sleep unless told otherwise) that also lives as long as the
// process, for tests that install a clock while endpoints' wait threads run.
inline TManualClock& LastingClock(uint32_t Start = 1000) {
    static auto* Kept = new std::vector<std::unique_ptr<TManualClock>>;
    static std::mutex Lock;
    std::lock_guard<std::mutex> guard(Lock);
    Kept->push_back(std::make_unique<TManualClock>(Start));
    return *Kept->back();
}

}  // namespace zktest

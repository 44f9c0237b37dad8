// Time as the libraries see it: a 32-bit millisecond tick count and a pause, both routed through
// a replaceable clock so that time rules are tested without waiting.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

// Milliseconds since an arbitrary start, monotonic, wrapping at 2^32.
uint32_t GetTickCount();
// Pauses the calling thread for Milliseconds (on a test clock: advances it instead).
void Sleep(uint32_t Milliseconds);

// A source of time. The default is the system's monotonic clock.
class TClock {
  public:
    virtual ~TClock() = default;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t Milliseconds) = 0;
};

// Installs Clock for GetTickCount and Sleep; nullptr restores the system clock. The caller keeps
// ownership and must restore the system clock before destroying it.
void SetClock(TClock* Clock);

// A clock that only moves when told to. Sleep records the pause, returns at once and, unless
// AdvanceOnSleep(false) was set, advances the clock by the pause.
class TManualClock : public TClock {
  public:
    explicit TManualClock(uint32_t Start = 1000) : FNow(Start) {}
    uint32_t TickCount() override { return FNow.load(); }
    void Sleep(uint32_t Milliseconds) override;
    void Advance(uint32_t Milliseconds) { FNow.fetch_add(Milliseconds); }
    void Set(uint32_t Now) { FNow.store(Now); }
    void AdvanceOnSleep(bool On) { FAdvanceOnSleep.store(On); }
    // The pauses made so far, each with the tick count at which it began.
    struct Pause {
        uint32_t At;
        uint32_t Milliseconds;
    };
    std::vector<Pause> Pauses() const;

  private:
    std::atomic<uint32_t> FNow;
    std::atomic<bool> FAdvanceOnSleep{true};
    mutable std::mutex FLock;
    std::vector<Pause> FPauses;
};

// Installs a clock for the lifetime of a scope (tests).
class TClockScope {
  public:
    explicit TClockScope(TClock& Clock) { SetClock(&Clock); }
    ~TClockScope() { SetClock(nullptr); }
    TClockScope(const TClockScope&) = delete;
    TClockScope& operator=(const TClockScope&) = delete;
};

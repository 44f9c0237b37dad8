// Time as the libraries see it: a 32-bit millisecond tick count and a pause, both taken from a
// replaceable clock so that time rules are tested without waiting (win32's GetTickCount and
// Sleep read it).
#pragma once

#include <cstdint>

namespace zk::rtl {

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

// The installed clock, or the system clock when none is.
TClock& CurrentClock();

}  // namespace zk::rtl

// Win32 time over the run-time library's replaceable clock.
#include "zk/host/rtl/Clock.h"
#include "zk/host/win32/Windows.h"

namespace zk::win32 {

uint32_t GetTickCount() { return rtl::CurrentClock().TickCount(); }

void Sleep(uint32_t Milliseconds) { rtl::CurrentClock().Sleep(Milliseconds); }

}  // namespace zk::win32
